#include "rtfwriter.h"

#include "codepage.h"
#include "richtextproperties.h"
#include "rtfpicture.h"

#include <QColor>
#include <QHash>
#include <QIODevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>

#include <climits>
#include <cmath>

namespace {

int twips(qreal points) { return int(std::lround(points * 20.0)); }

struct FontKey {
    QString family;
    int charset;
    bool operator==(const FontKey &o) const { return family == o.family && charset == o.charset; }
};
size_t qHash(const FontKey &k, size_t seed = 0) { return qHashMulti(seed, k.family, k.charset); }

// The items of a frame or cell in order: blocks, and child frames. The empty
// block that only carries a table's start (every table that does not follow
// a paragraph has one) is left out: it is no paragraph of the text.
struct Item {
    QTextBlock block;
    QTextFrame *frame = nullptr;
};
QList<Item> items(QTextFrame::iterator it)
{
    QList<Item> out;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame *f = it.currentFrame()) {
            if (!out.isEmpty() && !out.last().frame) {
                const QTextBlock &b = out.last().block;
                if (b.length() == 1 && b.position() + b.length() >= f->firstPosition() - 1)
                    out.removeLast();
            }
            out << Item{QTextBlock(), f};
        } else if (it.currentBlock().isValid()) {
            out << Item{it.currentBlock(), nullptr};
        }
    }
    return out;
}

class Writer
{
public:
    Writer(const QTextDocument &doc, int from, int to) : m_doc(doc), m_from(from), m_to(to) {}
    QByteArray run();

private:
    QString family(const QTextCharFormat &f) const
    {
        const QStringList fams = f.fontFamilies().toStringList();
        if (!fams.isEmpty() && !fams.first().isEmpty())
            return fams.first();
        return m_doc.defaultFont().family();
    }
    int fontIndex(const QTextCharFormat &f)
    {
        const FontKey key{family(f), f.hasProperty(RichTextProperty::Charset)
                                         ? f.intProperty(RichTextProperty::Charset) : 0};
        auto it = m_fontIndex.constFind(key);
        if (it != m_fontIndex.constEnd())
            return *it;
        m_fonts << key;
        return m_fontIndex[key] = int(m_fonts.size() - 1);
    }
    int colorIndex(const QColor &c)
    {
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        auto it = m_colorIndex.constFind(rgb);
        if (it != m_colorIndex.constEnd())
            return *it;
        m_colors << rgb;
        return m_colorIndex[rgb] = int(m_colors.size()); // index 0 is "automatic"
    }
    void blockProps(const QTextBlockFormat &b, int level, QByteArray &out);
    bool frame(QTextFrame *frame, int level, QByteArray &out);
    bool itemsOf(const QList<Item> &list, int level, QByteArray &out);
    void block(const QTextBlock &block, int level, QByteArray &out);
    void table(QTextTable *table, int level, QByteArray &out);
    void cellContent(const QTextTableCell &cell, int level, QByteArray &out);
    void listProps(const QTextBlock &block, QByteArray &out);
    QByteArray listTable() const;
    void charProps(const QTextCharFormat &f, QByteArray &out);
    void text(const QString &s, QByteArray &out);

    const QTextDocument &m_doc;
    int m_from, m_to;
    int m_end = 0;
    bool m_open = false; ///< a paragraph was written and has no \\par yet
    QList<FontKey> m_fonts;
    QHash<FontKey, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QList<QTextList *> m_lists;
    QHash<QTextList *, int> m_listIndex;
};

void num(QByteArray &out, const char *word, int v)
{
    out += word;
    out += QByteArray::number(v);
}

void Writer::blockProps(const QTextBlockFormat &b, int level, QByteArray &out)
{
    out += "\\pard";
    if (level > 0)
        out += "\\intbl";
    if (level > 1)
        num(out, "\\itap", level);
    const Qt::Alignment a = b.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignJustify)
        out += "\\qj";
    else if (a & Qt::AlignHCenter)
        out += "\\qc";
    else if (a & Qt::AlignRight)
        out += "\\qr";
    if (b.hasProperty(RichTextProperty::StyleNumber) && b.intProperty(RichTextProperty::StyleNumber))
        num(out, "\\s", b.intProperty(RichTextProperty::StyleNumber));
    if (int v = twips(b.textIndent()))
        num(out, "\\fi", v);
    if (int v = twips(b.leftMargin()))
        num(out, "\\li", v);
    if (int v = twips(b.rightMargin()))
        num(out, "\\ri", v);
    if (int v = twips(b.topMargin()))
        num(out, "\\sb", v);
    if (int v = twips(b.bottomMargin()))
        num(out, "\\sa", v);
    if (b.hasProperty(RichTextProperty::LineSpacingRule)) {
        const int amount = b.intProperty(RichTextProperty::LineSpacingAmount);
        switch (LineSpacing(b.intProperty(RichTextProperty::LineSpacingRule))) {
        case LineSpacing::Single: break;
        case LineSpacing::OneAndHalf: out += "\\sl360\\slmult1"; break;
        case LineSpacing::Double: out += "\\sl480\\slmult1"; break;
        case LineSpacing::AtLeast: num(out, "\\sl", amount); out += "\\slmult0"; break;
        case LineSpacing::Exactly: num(out, "\\sl", -amount); out += "\\slmult0"; break;
        case LineSpacing::Multiple: num(out, "\\sl", amount * 12); out += "\\slmult1"; break;
        }
    } else if (b.hasProperty(QTextFormat::LineHeight)) {
        const qreal h = b.lineHeight();
        switch (b.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (int(h) != 100) { num(out, "\\sl", int(h * 240 / 100)); out += "\\slmult1"; }
            break;
        case QTextBlockFormat::MinimumHeight: num(out, "\\sl", twips(h)); out += "\\slmult0"; break;
        case QTextBlockFormat::FixedHeight: num(out, "\\sl", -twips(h)); out += "\\slmult0"; break;
        default: break;
        }
    }
    for (const QTextOption::Tab &t : b.tabPositions()) {
        if (t.type == QTextOption::RightTab) out += "\\tqr";
        else if (t.type == QTextOption::CenterTab) out += "\\tqc";
        else if (t.type == QTextOption::DelimiterTab) out += "\\tqdec";
        num(out, "\\tx", twips(t.position));
    }
    if (b.boolProperty(RichTextProperty::KeepWithNext))
        out += "\\keepn";
}

namespace {
// The RTF number format of a list style (\\levelnfc), 23 for bullets.
int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal: return 0;
    case QTextListFormat::ListUpperRoman: return 1;
    case QTextListFormat::ListLowerRoman: return 2;
    case QTextListFormat::ListUpperAlpha: return 3;
    case QTextListFormat::ListLowerAlpha: return 4;
    default: return 23;
    }
}
} // namespace

// A list item: \\ls and \\ilvl for readers of list tables, the label in
// \\pntext and an old-style \\pn for those that only know those.
void Writer::listProps(const QTextBlock &block, QByteArray &out)
{
    QTextList *list = block.textList();
    if (!list) {
        if (block.blockFormat().boolProperty(RichTextProperty::Bullets))
            out += " {\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'95}}";
        else
            out += ' ';
        return;
    }
    int index = m_listIndex.value(list, -1);
    if (index < 0) {
        m_lists << list;
        index = m_listIndex[list] = int(m_lists.size());
    }
    const int nfc = numberFormat(list->format().style());
    num(out, "\\ls", index);
    num(out, "\\ilvl", qBound(0, list->format().indent() - 1, 8));
    out += " {\\pntext ";
    if (nfc == 23) {
        out += "\\'95";
    } else {
        text(list->itemText(block), out);
    }
    out += "\\tab}";
    if (nfc == 23) {
        out += "{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'95}}";
    } else {
        static const char *const styles[] = {"\\pndec", "\\pnucrm", "\\pnlcrm", "\\pnucltr", "\\pnlcltr"};
        out += "{\\*\\pn\\pnlvlbody";
        out += styles[nfc];
        num(out, "\\pnstart", 1);
        out += "\\pnindent360{\\pntxta .}}";
    }
}

// The list table: one list of nine levels for each list of the text, and
// the override that gives it its \\ls number.
QByteArray Writer::listTable() const
{
    if (m_lists.isEmpty())
        return {};
    QByteArray out = "{\\*\\listtable\n";
    for (int i = 0; i < m_lists.size(); ++i) {
        const int nfc = numberFormat(m_lists[i]->format().style());
        num(out, "{\\list\\listtemplateid", i + 1);
        out += "\\listsimple0\n";
        for (int level = 0; level < 9; ++level) {
            num(out, "{\\listlevel\\levelnfc", nfc);
            num(out, "\\levelnfcn", nfc);
            out += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1";
            if (nfc == 23) {
                out += "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}";
            } else {
                out += "{\\leveltext\\'02\\'0";
                out += char('0' + level);
                out += ".;}{\\levelnumbers\\'01;}";
            }
            num(out, "\\fi", -360);
            num(out, "\\li", 720 + 360 * level);
            out += "}\n";
        }
        num(out, "\\listid", i + 1);
        out += "}\n";
    }
    out += "}\n{\\*\\listoverridetable";
    for (int i = 0; i < m_lists.size(); ++i) {
        num(out, "{\\listoverride\\listid", i + 1);
        num(out, "\\listoverridecount0\\ls", i + 1);
        out += '}';
    }
    out += "}\n";
    return out;
}

void Writer::charProps(const QTextCharFormat &f, QByteArray &out)
{
    num(out, "\\f", fontIndex(f));
    const qreal pt = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize()
                                                               : m_doc.defaultFont().pointSizeF();
    num(out, "\\fs", qMax(1, int(std::lround((pt > 0 ? pt : 12) * 2))));
    if (f.fontWeight() >= QFont::DemiBold) out += "\\b";
    if (f.fontItalic()) out += "\\i";
    switch (f.underlineStyle()) {
    case QTextCharFormat::NoUnderline: break;
    case QTextCharFormat::DotLine: out += "\\uld"; break;
    case QTextCharFormat::DashUnderline: out += "\\uldash"; break;
    case QTextCharFormat::WaveUnderline: case QTextCharFormat::SpellCheckUnderline: out += "\\ulwave"; break;
    default: out += "\\ul"; break;
    }
    if (f.fontStrikeOut()) out += "\\strike";
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        num(out, "\\cf", colorIndex(f.foreground().color()));
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        num(out, "\\highlight", colorIndex(f.background().color()));
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) out += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) out += "\\sub";
    if (f.fontCapitalization() == QFont::AllUppercase) out += "\\caps";
    else if (f.fontCapitalization() == QFont::SmallCaps) out += "\\scaps";
    if (f.boolProperty(RichTextProperty::Hidden)) out += "\\v";
    if (f.boolProperty(RichTextProperty::Protected)) out += "\\protect";
    if (f.boolProperty(RichTextProperty::Disabled)) out += "\\disabled";
    if (int k = f.intProperty(RichTextProperty::KerningThreshold)) num(out, "\\kerning", k * 2);
    if (int sp = f.intProperty(RichTextProperty::Spacing)) num(out, "\\expndtw", sp);
    out += ' ';
}

void Writer::text(const QString &s, QByteArray &out)
{
    for (const QChar ch : s) {
        const char16_t u = ch.unicode();
        switch (u) {
        case '\\': out += "\\\\"; continue;
        case '{': out += "\\{"; continue;
        case '}': out += "\\}"; continue;
        case '\t': out += "\\tab "; continue;
        case 0x2028: case '\n': out += "\\line "; continue;
        case 0x00A0: out += "\\~"; continue;
        case 0x00AD: out += "\\-"; continue;
        case 0x2011: out += "\\_"; continue;
        case QChar::ObjectReplacementCharacter: continue;
        default: break;
        }
        if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else if (u >= 0x80) {
            num(out, "\\u", int(qint16(u)));
            const char fallback = CodePage::toWindows1252(u);
            if (fallback) {
                out += "\\'";
                out += QByteArray::number(uchar(fallback), 16).rightJustified(2, '0');
            } else {
                out += '?';
            }
        }
    }
}

// Writes the blocks and tables of frame; false once past the end of the range.
bool Writer::frame(QTextFrame *frame, int level, QByteArray &out)
{
    return itemsOf(items(frame->begin()), level, out);
}

bool Writer::itemsOf(const QList<Item> &list, int level, QByteArray &out)
{
    for (const Item &item : list) {
        if (QTextFrame *child = item.frame) {
            if (child->lastPosition() < m_from)
                continue;
            if (child->firstPosition() > m_end)
                return false;
            auto *t = qobject_cast<QTextTable *>(child);
            if (t && level == 0 && m_from >= t->firstPosition() && m_end <= t->lastPosition()) {
                // a range inside one cell is that cell's text, not the table
                const QTextTableCell first = t->cellAt(m_from), last = t->cellAt(m_end);
                if (first.isValid() && first == last)
                    return itemsOf(items(first.begin()), 0, out);
            }
            if (t) {
                if (m_open)
                    out += "\\par\n";
                m_open = false;
                table(t, level + 1, out);
            } else if (!this->frame(child, level, out)) {
                return false;
            }
            continue;
        }
        const QTextBlock &b = item.block;
        if (b.position() + b.length() <= m_from && level == 0)
            continue;
        if (b.position() > m_end)
            return false;
        if (m_open)
            out += b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore ? "\\page\n" : "\\par\n";
        block(b, level, out);
        m_open = true;
    }
    return true;
}

void Writer::cellContent(const QTextTableCell &cell, int level, QByteArray &out)
{
    m_open = false;
    for (const Item &item : items(cell.begin())) {
        if (auto *t = qobject_cast<QTextTable *>(item.frame)) {
            if (m_open)
                out += "\\par\n";
            m_open = false;
            table(t, level + 1, out);
        } else if (!item.frame) {
            if (m_open)
                out += "\\par\n";
            block(item.block, level, out);
            m_open = true;
        }
    }
    if (!m_open) {
        QTextBlockFormat empty;
        blockProps(empty, level, out);
        out += ' ';
    }
    out += level > 1 ? "\\nestcell\n" : "\\cell\n";
    m_open = false;
}

// A table as RTF rows: each row's definition (merged cells, shading,
// borders, right edges), then its cells. Nested tables carry their row
// definitions in \nesttableprops after their cells, as Word writes them.
void Writer::table(QTextTable *t, int level, QByteArray &out)
{
    const QTextTableFormat tf = t->format();
    const int rows = t->rows(), columns = t->columns();
    const QList<QTextLength> widths = tf.columnWidthConstraints();
    const bool border = tf.border() > 0 && tf.borderStyle() != QTextFrameFormat::BorderStyle_None;
    for (int r = 0; r < rows; ++r) {
        QByteArray def = "\\trowd";
        num(def, "\\trgaph", int(std::lround(tf.cellPadding() * 15)));
        int right = 0;
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.column() < c)
                def += "\\clmrg";
            else if (cell.columnSpan() > 1)
                def += "\\clmgf";
            if (cell.rowSpan() > 1)
                def += cell.row() == r ? "\\clvmgf" : "\\clvmrg";
            const QTextCharFormat cf = cell.format();
            if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush)
                num(def, "\\clcbpat", colorIndex(cf.background().color()));
            if (border)
                def += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
            int w = 9000 / qMax(1, columns);
            if (c < widths.size() && widths[c].type() == QTextLength::FixedLength)
                w = int(std::lround(widths[c].rawValue() * 15));
            right += qMax(w, 15);
            num(def, "\\cellx", right);
        }
        if (level == 1)
            out += def + "\n";
        for (int c = 0; c < columns; ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() == r && cell.column() == c) {
                cellContent(cell, level, out);
            } else {
                // covered by a merged cell: an empty cell keeps the row's shape
                blockProps(QTextBlockFormat(), level, out);
                out += ' ';
                out += level > 1 ? "\\nestcell\n" : "\\cell\n";
            }
        }
        if (level == 1)
            out += "\\row\n";
        else
            out += "{\\*\\nesttableprops" + def + "\\nestrow}{\\nonesttables\\par}\n";
    }
    m_open = false;
}

void Writer::block(const QTextBlock &block, int level, QByteArray &out)
{
    blockProps(block.blockFormat(), level, out);
    listProps(block, out);
    const int from = level == 0 ? m_from : 0;
    const int end = level == 0 ? m_end : INT_MAX;
    QString href;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int a = qMax(frag.position(), from), b = qMin(frag.position() + frag.length(), end);
        if (a >= b)
            continue;
        const QTextCharFormat cf = frag.charFormat();
        const QString link = cf.isAnchor() ? cf.anchorHref() : QString();
        if (link != href) {
            if (!href.isEmpty())
                out += "}}}";
            if (!link.isEmpty()) {
                out += "{\\field{\\*\\fldinst{HYPERLINK \"";
                text(link, out);
                out += "\"}}{\\fldrslt{";
            }
            href = link;
        }
        if (cf.isImageFormat()) {
            QByteArray pict = RtfPicture::toRtf(m_doc, cf.toImageFormat());
            if (cf.boolProperty(RichTextProperty::Hidden))
                pict = "{\\v " + pict + '}';
            for (int i = a; i < b; ++i)
                out += pict;
            continue;
        }
        out += '{';
        charProps(cf, out);
        text(frag.text().mid(a - frag.position(), b - a), out);
        out += '}';
    }
    if (!href.isEmpty())
        out += "}}}";
}

QByteArray Writer::run()
{
    m_end = m_to < 0 ? m_doc.characterCount() - 1 : qMin(m_to, m_doc.characterCount() - 1);
    QByteArray body;
    body.reserve(m_end * 2);
    frame(m_doc.rootFrame(), 0, body);
    body += m_open ? "\\par\n}" : "\\pard\n}"; // after a table: no row of its own

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (m_fonts.isEmpty())
        fontIndex(QTextCharFormat());
    for (int i = 0; i < m_fonts.size(); ++i) {
        num(out, "{\\f", i);
        num(out, "\\fnil\\fcharset", m_fonts[i].charset);
        out += ' ';
        text(m_fonts[i].family, out);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (QRgb c : m_colors) {
        num(out, "\\red", qRed(c));
        num(out, "\\green", qGreen(c));
        num(out, "\\blue", qBlue(c));
        out += ';';
    }
    out += "}\n";
    out += listTable();
    out += body;
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document, int from, int to)
{
    return Writer(document, qMax(0, from), to).run();
}

bool RtfWriter::write(const QTextDocument &document, QIODevice &device, QString *error)
{
    const QByteArray data = write(document);
    if (device.write(data) != data.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}
