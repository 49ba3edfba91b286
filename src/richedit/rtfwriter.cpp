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

#include <cmath>

namespace {

int twips(qreal points) { return int(std::lround(points * 20.0)); }

struct FontKey {
    QString family;
    int charset;
    bool operator==(const FontKey &o) const { return family == o.family && charset == o.charset; }
};
size_t qHash(const FontKey &k, size_t seed = 0) { return qHashMulti(seed, k.family, k.charset); }

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
    void blockProps(const QTextBlockFormat &b, QByteArray &out);
    void charProps(const QTextCharFormat &f, QByteArray &out);
    void text(const QString &s, QByteArray &out);

    const QTextDocument &m_doc;
    int m_from, m_to;
    QList<FontKey> m_fonts;
    QHash<FontKey, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
};

void num(QByteArray &out, const char *word, int v)
{
    out += word;
    out += QByteArray::number(v);
}

void Writer::blockProps(const QTextBlockFormat &b, QByteArray &out)
{
    out += "\\pard";
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
    out += ' ';
    if (b.boolProperty(RichTextProperty::Bullets))
        out += "{\\pntext\\'95\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'95}}";
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

QByteArray Writer::run()
{
    const int end = m_to < 0 ? m_doc.characterCount() - 1 : qMin(m_to, m_doc.characterCount() - 1);
    QByteArray body;
    body.reserve(end * 2);
    bool first = true;
    for (QTextBlock block = m_doc.findBlock(m_from); block.isValid() && block.position() <= end;
         block = block.next()) {
        const QTextBlockFormat bf = block.blockFormat();
        if (!first)
            body += bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore ? "\\page\n" : "\\par\n";
        first = false;
        QTextBlockFormat props = bf;
        if (block.textList())
            props.setProperty(RichTextProperty::Bullets, true);
        blockProps(props, body);
        QString href;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            int a = qMax(frag.position(), m_from), b = qMin(frag.position() + frag.length(), end);
            if (a >= b)
                continue;
            const QTextCharFormat cf = frag.charFormat();
            const QString link = cf.isAnchor() ? cf.anchorHref() : QString();
            if (link != href) {
                if (!href.isEmpty())
                    body += "}}}";
                if (!link.isEmpty()) {
                    body += "{\\field{\\*\\fldinst{HYPERLINK \"";
                    text(link, body);
                    body += "\"}}{\\fldrslt{";
                }
                href = link;
            }
            if (cf.isImageFormat()) {
                const QByteArray pict = RtfPicture::toRtf(m_doc, cf.toImageFormat());
                for (int i = a; i < b; ++i)
                    body += pict;
                continue;
            }
            body += '{';
            charProps(cf, body);
            text(frag.text().mid(a - frag.position(), b - a), body);
            body += '}';
        }
        if (!href.isEmpty())
            body += "}}}";
        if (block.position() + block.length() > end + 1 && m_to >= 0)
            break;
    }
    body += "\\par\n}";

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
