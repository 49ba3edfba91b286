#include "tformatrange.h"

#include "richtextproperties.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>

#include <algorithm>

namespace {
constexpr int TwipsPerInch = 1440;
constexpr qreal ReferenceDpi = 96.0;

int validDpi(int dpi)
{
    return dpi > 0 ? dpi : int(ReferenceDpi);
}

// Qt scales vertical block lengths, tab stops and line heights with the paint
// device's resolution but takes horizontal margins and indents as device
// pixels; bring those to the device too so a page looks the same at any
// resolution.
void scaleBlock(const QTextBlock &block, qreal factor)
{
    QTextBlockFormat f = block.blockFormat();
    if (f.leftMargin() == 0 && f.rightMargin() == 0 && f.textIndent() == 0)
        return;
    f.setLeftMargin(f.leftMargin() * factor);
    f.setRightMargin(f.rightMargin() * factor);
    f.setTextIndent(f.textIndent() * factor);
    QTextCursor(block).setBlockFormat(f);
}

void scaleHorizontalLengths(QTextDocument &doc, qreal factor)
{
    if (qFuzzyCompare(factor, 1.0))
        return;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        scaleBlock(block, factor);
    doc.setIndentWidth(doc.indentWidth() * factor);
}

// Without true justified layout, justified paragraphs are set flush left.
void alignJustifiedLeft(QTextDocument &doc)
{
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat f = block.blockFormat();
        if (!(f.alignment() & Qt::AlignJustify))
            continue;
        f.setAlignment((f.alignment() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft);
        QTextCursor(block).setBlockFormat(f);
    }
}

// Hidden text keeps its positions (so that positions of the layout are those
// of the source) but takes no room and draws nothing; disabled text is grey.
void applyVisibility(QTextDocument &doc, QTextBlock from = QTextBlock(), QTextBlock to = QTextBlock())
{
    struct Run {
        int from, to;
        QTextCharFormat format;
    };
    std::vector<Run> runs; // collected first: changing formats re-cuts fragments
    const QTextBlock first = from.isValid() ? from : doc.begin();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const bool hidden = format.boolProperty(RichTextProperty::Hidden);
            if (!hidden && !format.boolProperty(RichTextProperty::Disabled))
                continue;
            QTextCharFormat changed = format;
            if (hidden) {
                changed.setForeground(Qt::transparent);
                changed.clearBackground();
                changed.setFontPointSize(0.1);
                changed.setFontLetterSpacingType(QFont::PercentageSpacing);
                changed.setFontLetterSpacing(0);
                changed.setFontUnderline(false);
                changed.setFontStrikeOut(false);
            } else {
                changed.setForeground(QColor(128, 128, 128));
            }
            runs.push_back({fragment.position(), fragment.position() + fragment.length(), changed});
        }
        if (to.isValid() && block == to)
            break;
    }
    QTextCursor c(&doc);
    for (const Run &run : runs) {
        c.setPosition(run.from);
        c.setPosition(run.to, QTextCursor::KeepAnchor);
        c.setCharFormat(run.format);
    }
}
} // namespace

TFormatRange::TFormatRange(QTextDocument *source)
{
    setSource(source);
}

TFormatRange::~TFormatRange()
{
    QObject::disconnect(m_changeConnection);
    QObject::disconnect(m_editConnection);
}

void TFormatRange::setSource(QTextDocument *source)
{
    QObject::disconnect(m_changeConnection);
    QObject::disconnect(m_editConnection);
    m_source = source;
    release();
    if (source) {
        m_editConnection = QObject::connect(source, &QTextDocument::contentsChange,
            [this](int position, int removed, int added) { noteEdit(position, removed, added); });
        m_changeConnection = QObject::connect(source, &QTextDocument::contentsChanged, [this] {
            // A change that came without its edit range is taken as a change of all.
            if (!m_sawEdit)
                m_dirty = true;
            m_sawEdit = false;
        });
    }
}

void TFormatRange::noteEdit(int position, int removed, int added)
{
    m_sawEdit = true;
    if (m_dirty || !m_layout)
        return;
    if (m_editFrom < 0) {
        m_editFrom = position;
        m_editTo = position + added;
        m_editDelta = added - removed;
        return;
    }
    // The edited range in the source's current positions, and the length it gained.
    const int to = m_editTo < position ? m_editTo
        : m_editTo >= position + removed ? m_editTo + added - removed
                                         : position + added;
    m_editFrom = std::min(m_editFrom, position);
    m_editTo = std::max(to, position + added);
    m_editDelta += added - removed;
}

namespace {
bool plainFlowBlock(const QTextBlock &block)
{
    if (block.textList() || block.document()->rootFrame() != QTextCursor(block).currentFrame())
        return false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            return false;
    }
    return true;
}
} // namespace

bool TFormatRange::updateLayout()
{
    const int delta = m_editDelta;
    if (m_layout->characterCount() + delta != m_source->characterCount())
        return false;
    // Whole paragraphs of the source replace the same paragraphs of the copy.
    const QTextBlock sourceFirst = m_source->findBlock(m_editFrom);
    const QTextBlock sourceLast = m_source->findBlock(std::max(m_editFrom, m_editTo));
    if (!sourceFirst.isValid() || !sourceLast.isValid())
        return false;
    const int from = sourceFirst.position();
    const int to = sourceLast.position() + sourceLast.length() - 1;
    const QTextBlock copyFirst = m_layout->findBlock(from);
    const QTextBlock copyLast = m_layout->findBlock(to - delta);
    if (!copyFirst.isValid() || !copyLast.isValid() || copyFirst.position() != from
        || copyLast.position() + copyLast.length() - 1 != to - delta)
        return false;
    // Lists, tables, frames and pictures reach beyond their paragraphs; they are laid
    // out again whole.
    for (QTextBlock b = sourceFirst; b.isValid(); b = b.next()) {
        if (!plainFlowBlock(b))
            return false;
        if (b == sourceLast)
            break;
    }
    for (QTextBlock b = copyFirst; b.isValid(); b = b.next()) {
        if (!plainFlowBlock(b))
            return false;
        if (b == copyLast)
            break;
    }
    QTextCursor source(m_source);
    source.setPosition(from);
    source.setPosition(to, QTextCursor::KeepAnchor);
    QTextCursor copy(m_layout.get());
    copy.setPosition(from);
    copy.setPosition(to - delta, QTextCursor::KeepAnchor);
    copy.removeSelectedText();
    copy.insertFragment(source.selection());

    const qreal factor = m_dpi / ReferenceDpi;
    QTextBlock target = m_layout->findBlock(from);
    const QTextBlock first = target;
    QTextBlock last;
    for (QTextBlock b = sourceFirst; b.isValid() && target.isValid();
         b = b.next(), target = target.next()) {
        QTextCursor c(target);
        QTextBlockFormat bf = b.blockFormat();
        if (!m_trueJustification && (bf.alignment() & Qt::AlignJustify)) // as alignJustifiedLeft
            bf.setAlignment((bf.alignment() & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft);
        c.setBlockFormat(bf);
        c.setBlockCharFormat(b.charFormat());
        if (!qFuzzyCompare(factor, 1.0))
            scaleBlock(target, factor);
        last = target;
        if (b == sourceLast)
            break;
    }
    applyVisibility(*m_layout, first, last);
    return m_layout->characterCount() == m_source->characterCount();
}

void TFormatRange::release()
{
    m_editFrom = -1;
    m_layout.reset();
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_dirty = true;
}

void TFormatRange::setTrueJustification(bool on)
{
    if (on == m_trueJustification)
        return;
    m_trueJustification = on;
    m_dirty = true;
}

int TFormatRange::length() const
{
    return m_source ? qMax(m_source->characterCount() - 1, 0) : 0;
}

void TFormatRange::ensureLayout(int dpi, int widthTwips)
{
    const bool same = m_layout && dpi == m_dpi && widthTwips == m_widthTwips
        && m_layout->defaultFont() == m_source->defaultFont();
    if (same && !m_dirty && m_editFrom < 0)
        return;
    if (same && !m_dirty) {
        // Only some paragraphs changed: replace them in the copy, which lays out again
        // only what they touch.
        const bool updated = updateLayout();
        m_editFrom = -1;
        if (updated) {
            (void)m_layout->documentLayout()->documentSize();
            indexLines();
            ++m_layoutCount;
            return;
        }
    }
    m_editFrom = -1;

    m_layout.reset(m_source->clone());
    m_layout->setUndoRedoEnabled(false);
    m_layout->setDocumentMargin(0);
    m_layout->setDefaultFont(m_source->defaultFont());
    const qreal factor = dpi / ReferenceDpi;
    scaleHorizontalLengths(*m_layout, factor);
    if (!m_trueJustification)
        alignJustifiedLeft(*m_layout);
    applyVisibility(*m_layout);

    m_device = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    m_device.setDotsPerMeterX(qRound(dpi / 0.0254));
    m_device.setDotsPerMeterY(qRound(dpi / 0.0254));
    QAbstractTextDocumentLayout *layout = m_layout->documentLayout();
    layout->setPaintDevice(&m_device);
    m_layout->setTextWidth(qMax<qreal>(1.0, qreal(widthTwips) * dpi / TwipsPerInch));
    (void)layout->documentSize(); // finishes the whole layout now
    m_dpi = dpi;
    m_widthTwips = widthTwips;
    m_dirty = false;
    indexLines();
    ++m_layoutCount;
}

void TFormatRange::indexLines()
{
    QAbstractTextDocumentLayout *layout = m_layout->documentLayout();
    m_lines.clear();
    m_lines.reserve(size_t(m_layout->blockCount()));
    for (QTextBlock block = m_layout->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *tl = block.layout();
        if (!tl)
            continue;
        const QPointF offset = layout->blockBoundingRect(block).topLeft()
                               - tl->boundingRect().topLeft();
        const QTextBlockFormat bf = block.blockFormat();
        const int count = tl->lineCount();
        for (int i = 0; i < count; ++i) {
            const QTextLine line = tl->lineAt(i);
            Line entry;
            entry.position = block.position() + line.textStart();
            entry.bottom = offset.y() + line.y() + line.height();
            entry.breakBefore = i == 0 && (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
            entry.breakAfter = i == count - 1
                               && (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter);
            m_lines.push_back(entry);
        }
        if (count == 0) {
            // A block without lines (empty cell of a table not yet laid out):
            // keep its position so every position belongs to a line.
            m_lines.push_back(Line {block.position(), offset.y(), false, false});
        }
    }
    if (m_lines.empty() || m_lines.front().position != 0)
        m_lines.insert(m_lines.begin(), Line {0, 0, false, false});
    // Positions must grow for the index; a later line never starts earlier.
    for (size_t i = 1; i < m_lines.size(); ++i)
        m_lines[i].position = qMax(m_lines[i].position, m_lines[i - 1].position);
}

int TFormatRange::paginate(qreal heightPx, int start, int end, qreal *top, qreal *bottom) const
{
    const auto after = std::upper_bound(m_lines.begin(), m_lines.end(), start,
                                        [](int pos, const Line &l) { return pos < l.position; });
    const size_t first = size_t(std::max<std::ptrdiff_t>(after - m_lines.begin() - 1, 0));
    const qreal pageTop = first > 0 ? m_lines[first - 1].bottom : 0;
    qreal pageBottom = pageTop;
    size_t j = first;
    while (j < m_lines.size() && m_lines[j].position < end) {
        const Line &line = m_lines[j];
        if (j > first) {
            if (line.breakBefore || m_lines[j - 1].breakAfter)
                break;
            // Half a pixel of tolerance against rounding of twips to pixels.
            if (line.bottom - pageTop > heightPx + 0.5)
                break;
        }
        pageBottom = std::max(pageBottom, line.bottom);
        ++j;
    }
    *top = pageTop;
    *bottom = pageBottom;
    const int next = j < m_lines.size() ? m_lines[j].position : length();
    return std::min(next, end);
}

int TFormatRange::measure(int dpiX, int dpiY, const QRect &layoutTwips, int start, int end)
{
    Q_UNUSED(dpiX);
    if (!m_source)
        return qMax(start, 0);
    const int len = length();
    if (end < 0 || end > len)
        end = len;
    start = qMax(start, 0);
    if (start >= end)
        return end;
    const int dpi = validDpi(dpiY);
    ensureLayout(dpi, layoutTwips.width());
    qreal top = 0, bottom = 0;
    return paginate(qreal(layoutTwips.height()) * dpi / TwipsPerInch, start, end, &top, &bottom);
}

int TFormatRange::render(QPainter *painter, const QRect &layoutTwips, int start, int end, bool draw)
{
    QPaintDevice *device = painter ? painter->device() : nullptr;
    const int dpiX = validDpi(device ? device->logicalDpiX() : 0);
    const int dpiY = validDpi(device ? device->logicalDpiY() : 0);
    if (!m_source)
        return qMax(start, 0);
    const int len = length();
    if (end < 0 || end > len)
        end = len;
    start = qMax(start, 0);
    if (start >= end)
        return end;

    // Fonts have one resolution; lay out at the vertical one and stretch the
    // page horizontally when the device's pixels are not square.
    ensureLayout(dpiY, layoutTwips.width());
    qreal top = 0, bottom = 0;
    const int next = paginate(qreal(layoutTwips.height()) * dpiY / TwipsPerInch, start, end,
                              &top, &bottom);
    if (!draw || !painter || !painter->isActive())
        return next;

    const qreal widthPx = m_layout->textWidth();
    painter->save();
    painter->translate(qreal(layoutTwips.left()) * dpiX / TwipsPerInch,
                       qreal(layoutTwips.top()) * dpiY / TwipsPerInch);
    if (dpiX != dpiY)
        painter->scale(qreal(dpiX) / dpiY, 1.0);
    painter->translate(0, -top);
    // Vertically exactly the page's lines; horizontally generous, so that
    // italic overhangs are not cut.
    const QRectF clip(-widthPx, top, 3 * widthPx, bottom - top);
    painter->setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    m_layout->documentLayout()->draw(painter, context);
    painter->restore();
    return next;
}
