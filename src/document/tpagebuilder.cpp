#include "tpagebuilder.h"

#include "tpgcanvas.h"
#include "tpgpreview.h"
#include "tpgprinter.h"
#include "trichedit.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

namespace {
constexpr int PictureDpi = 600;
constexpr int TwipsPerInch = 1440;
constexpr int MinimumLayoutTwips = TwipsPerInch;
} // namespace

int TPageBuilder::PagePicture::metric(PaintDeviceMetric m) const
{
    switch (m) {
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return PictureDpi;
    default:
        return QPicture::metric(m);
    }
}

TPageBuilder::TPageBuilder(TRichEditor *editor)
    : m_editor(editor)
{
}

TPageBuilder::~TPageBuilder()
{
    QObject::disconnect(m_connection);
}

void TPageBuilder::Invalidate()
{
    m_pages.clear();
}

void TPageBuilder::attach()
{
    QTextDocument *doc = m_editor->document();
    if (doc == m_document)
        return;
    QObject::disconnect(m_connection);
    m_document = doc;
    m_pages.clear();
    m_connection = QObject::connect(doc, &QTextDocument::contentsChange, doc,
        [this](int position, int removed, int added) { contentsChange(position, removed, added); });
}

void TPageBuilder::contentsChange(int position, int removed, int added)
{
    if (m_pages.empty() || !m_document)
        return;
    // Lines are broken from the start of their paragraph on, so an edit can change every
    // line of its paragraph from the first; list numbers and table columns reach further.
    const QTextBlock block = m_document->findBlock(position);
    const QTextBlock last = m_document->findBlock(position + added);
    for (QTextBlock b = block; b.isValid(); b = b.next()) {
        if (b.textList() || QTextCursor(b).currentTable()) {
            m_pages.clear();
            return;
        }
        if (b == last)
            break;
    }
    const int from = block.isValid() ? std::min(block.position(), position) : position;
    const int delta = added - removed;
    for (Page &page : m_pages) {
        if (!page.valid)
            continue;
        if (page.next <= from)
            continue; // wholly before the edited paragraph
        if (page.start >= position + removed) {
            page.start += delta; // wholly after the edit: only moved
            page.next += delta;
            continue;
        }
        page.valid = false;
    }
}

void TPageBuilder::PaginateInto(TPgPreview *preview, QList<int> &pageStarts, int widthTwips,
    int heightTwips)
{
    m_rendered = 0;
    if (!preview || !m_editor)
        return;
    attach();
    TPgPrinter &printer = preview->PgPrinter();
    // Margins that leave the paper no room for text would lay out a word, or a letter,
    // per page: thousands of pages. The text keeps at least an inch each way instead
    // and runs into the margins.
    const QRect layout(0, 0, std::max(MinimumLayoutTwips, widthTwips),
        std::max(MinimumLayoutTwips, heightTwips));
    m_editor->SetPageRect(layout);
    const double printableW = printer.PrintableWidth(pgTwips);
    const double printableH = printer.PrintableHeight(pgTwips);
    const QSize frame(qRound(printableW * PictureDpi / TwipsPerInch),
        qRound(printableH * PictureDpi / TwipsPerInch));
    const QFont font = m_document->defaultFont();
    const QString fontKey = font.toString();
    if (layout != m_layout || frame != m_frame || fontKey != m_fontKey)
        m_pages.clear();
    m_layout = layout;
    m_frame = frame;
    m_fontKey = fontKey;

    // Kept pictures by their (start, next), in order.
    std::vector<Page> old;
    old.swap(m_pages);
    size_t oldIndex = 0;

    TPgCanvas &canvas = preview->Canvas();
    const bool compare = canvas.CompareGraphics();
    canvas.SetCompareGraphics(false); // every page picture is different
    const TPgCoordsRelative coords = canvas.CoordsRelativeTo();
    canvas.SetCoordsRelativeTo(pgFromPage);
    const double left = qRound(preview->Margins().LeftMargin().AsUnit(pgTwips));
    const double top = qRound(preview->Margins().TopMargin().AsUnit(pgTwips))
        + preview->Header().Height(pgTwips);

    TFormatRange &range = m_editor->formatRange();
    const int end = range.length();
    int start = 0;
    int pageNumber = 1;
    for (;;) {
        Page page { start, 0, true, QPicture() };
        const int measured = range.measure(PictureDpi, PictureDpi, layout, start, end);
        while (oldIndex < old.size() && old[oldIndex].start < start)
            ++oldIndex;
        if (oldIndex < old.size() && old[oldIndex].valid && old[oldIndex].start == start
            && old[oldIndex].next == measured) {
            page.picture = old[oldIndex].picture;
            page.next = measured;
        } else {
            PagePicture picture;
            QPainter painter(&picture);
            page.next = m_editor->FormatRange(&painter, layout, layout, start, end);
            painter.end();
            picture.setBoundingRect(QRect(QPoint(0, 0), frame));
            page.picture = picture;
            ++m_rendered;
        }
        pageStarts.append(start);
        if (pageNumber > 1)
            preview->NewPage();
        canvas.StretchDraw(left, top, left + printableW, top + printableH,
            TPgGraphic::FromPicture(page.picture), pgTwips);
        const int next = page.next;
        m_pages.push_back(std::move(page));
        // The format range always renders at least one line; a page that does not
        // advance would be a fault of it, and ends the build rather than loop.
        if (next >= end || next <= start)
            break;
        start = next;
        ++pageNumber;
    }
    canvas.SetCompareGraphics(compare);
    canvas.SetCoordsRelativeTo(coords);
}
