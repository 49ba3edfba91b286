#include "ttextattributes.h"

#include "richtextproperties.h"

#include <QStringList>

TTextAttributes TTextAttributes::fromCharFormat(const QTextCharFormat &format,
                                                const QFont &defaultFont)
{
    TTextAttributes a;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        a.m_name = families.first();
    else if (format.hasProperty(QTextFormat::FontFamily))
        a.m_name = format.property(QTextFormat::FontFamily).toString();
    else
        a.m_name = defaultFont.family();
    a.m_size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                              : defaultFont.pointSizeF();
    if (format.hasProperty(QTextFormat::ForegroundBrush)
        && format.foreground().style() != Qt::NoBrush)
        a.m_color = format.foreground().color();
    if (format.hasProperty(QTextFormat::BackgroundBrush)
        && format.background().style() != Qt::NoBrush)
        a.m_backColor = format.background().color();
    a.m_bold = format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                           : defaultFont.bold();
    a.m_italic = format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic()
                                                             : defaultFont.italic();
    a.m_underline = format.hasProperty(QTextFormat::TextUnderlineStyle)
                            || format.hasProperty(QTextFormat::FontUnderline)
                        ? format.fontUnderline()
                        : defaultFont.underline();
    a.m_strikeOut = format.hasProperty(QTextFormat::FontStrikeOut) ? format.fontStrikeOut()
                                                                   : defaultFont.strikeOut();
    a.m_charset = format.hasProperty(RichTextProperty::Charset)
                      ? format.intProperty(RichTextProperty::Charset)
                      : 1;
    a.m_protected = format.boolProperty(RichTextProperty::Protected);
    a.m_hidden = format.boolProperty(RichTextProperty::Hidden);
    a.m_disabled = format.boolProperty(RichTextProperty::Disabled);
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignSubScript: a.m_position = VerticalPosition::Subscript; break;
    case QTextCharFormat::AlignSuperScript: a.m_position = VerticalPosition::Superscript; break;
    default: a.m_position = VerticalPosition::Normal; break;
    }
    a.m_kerningThreshold = format.intProperty(RichTextProperty::KerningThreshold);
    return a;
}

void TTextAttributes::SetName(const QString &name) { m_name = name; m_changed |= NameField; }
void TTextAttributes::SetSize(qreal points)
{
    // A size of zero or below means nothing to a font; keep the smallest real one.
    m_size = qMax<qreal>(points, 1);
    m_changed |= SizeField;
}
void TTextAttributes::SetColor(const QColor &color) { m_color = color; m_changed |= ColorField; }
void TTextAttributes::SetBackColor(const QColor &color)
{
    m_backColor = color;
    m_changed |= BackColorField;
}
void TTextAttributes::SetBold(bool on) { m_bold = on; m_changed |= BoldField; }
void TTextAttributes::SetItalic(bool on) { m_italic = on; m_changed |= ItalicField; }
void TTextAttributes::SetUnderline(bool on) { m_underline = on; m_changed |= UnderlineField; }
void TTextAttributes::SetStrikeOut(bool on) { m_strikeOut = on; m_changed |= StrikeOutField; }
void TTextAttributes::SetCharset(int charset) { m_charset = charset; m_changed |= CharsetField; }
void TTextAttributes::SetProtected(bool on) { m_protected = on; m_changed |= ProtectedField; }
void TTextAttributes::SetHidden(bool on) { m_hidden = on; m_changed |= HiddenField; }
void TTextAttributes::SetDisabled(bool on) { m_disabled = on; m_changed |= DisabledField; }
void TTextAttributes::SetPosition(VerticalPosition position)
{
    m_position = position;
    m_changed |= VerticalPositionField;
}
void TTextAttributes::SetKerningThreshold(int points)
{
    m_kerningThreshold = qMax(points, 0);
    m_changed |= KerningThresholdField;
}

void TTextAttributes::Assign(const QFont &font)
{
    SetName(font.family());
    if (font.pointSizeF() > 0)
        SetSize(font.pointSizeF());
    SetBold(font.bold());
    SetItalic(font.italic());
    SetUnderline(font.underline());
    SetStrikeOut(font.strikeOut());
}

void TTextAttributes::Assign(const TTextAttributes &other)
{
    *this = other;
    m_changed = AllFields;
}

QFont TTextAttributes::Font() const
{
    QFont f(m_name);
    if (m_size > 0)
        f.setPointSizeF(m_size);
    f.setBold(m_bold);
    f.setItalic(m_italic);
    f.setUnderline(m_underline);
    f.setStrikeOut(m_strikeOut);
    return f;
}

void TTextAttributes::applyTo(QTextCharFormat &format) const
{
    const auto setFlag = [&format](int property, bool on) {
        if (on)
            format.setProperty(property, true);
        else
            format.clearProperty(property);
    };
    if (m_changed & NameField) {
        format.setFontFamilies(QStringList { m_name });
        format.setProperty(QTextFormat::FontFamily, m_name);
    }
    if (m_changed & SizeField && m_size > 0)
        format.setFontPointSize(m_size);
    if (m_changed & ColorField) {
        if (m_color.isValid())
            format.setForeground(m_color);
        else
            format.clearForeground();
    }
    if (m_changed & BackColorField) {
        if (m_backColor.isValid())
            format.setBackground(m_backColor);
        else
            format.clearBackground();
    }
    if (m_changed & BoldField)
        format.setFontWeight(m_bold ? QFont::Bold : QFont::Normal);
    if (m_changed & ItalicField)
        format.setFontItalic(m_italic);
    if (m_changed & UnderlineField)
        format.setFontUnderline(m_underline);
    if (m_changed & StrikeOutField)
        format.setFontStrikeOut(m_strikeOut);
    if (m_changed & CharsetField)
        format.setProperty(RichTextProperty::Charset, m_charset);
    if (m_changed & ProtectedField)
        setFlag(RichTextProperty::Protected, m_protected);
    if (m_changed & HiddenField)
        setFlag(RichTextProperty::Hidden, m_hidden);
    if (m_changed & DisabledField)
        setFlag(RichTextProperty::Disabled, m_disabled);
    if (m_changed & VerticalPositionField) {
        switch (m_position) {
        case VerticalPosition::Subscript:
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            break;
        case VerticalPosition::Superscript:
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            break;
        case VerticalPosition::Normal:
            format.clearProperty(QTextFormat::TextVerticalAlignment);
            break;
        }
    }
    if (m_changed & KerningThresholdField) {
        if (m_kerningThreshold > 0)
            format.setProperty(RichTextProperty::KerningThreshold, m_kerningThreshold);
        else
            format.clearProperty(RichTextProperty::KerningThreshold);
    }
}

bool TTextAttributes::operator==(const TTextAttributes &o) const
{
    return m_name == o.m_name && qFuzzyCompare(m_size + 1, o.m_size + 1) && m_color == o.m_color
        && m_backColor == o.m_backColor && m_bold == o.m_bold && m_italic == o.m_italic
        && m_underline == o.m_underline && m_strikeOut == o.m_strikeOut
        && m_charset == o.m_charset && m_protected == o.m_protected && m_hidden == o.m_hidden
        && m_disabled == o.m_disabled && m_position == o.m_position
        && m_kerningThreshold == o.m_kerningThreshold;
}

char *toString(const TTextAttributes &a)
{
    const QString s = QStringLiteral("%1 %2pt color=%3 back=%4%5%6%7%8 charset=%9%10%11%12 pos=%13 "
                                     "kern=%14")
                          .arg(a.Name())
                          .arg(a.SizeF())
                          .arg(a.Color().isValid() ? a.Color().name() : QStringLiteral("auto"))
                          .arg(a.BackColor().isValid() ? a.BackColor().name()
                                                       : QStringLiteral("none"))
                          .arg(a.Bold() ? " bold" : "")
                          .arg(a.Italic() ? " italic" : "")
                          .arg(a.Underline() ? " underline" : "")
                          .arg(a.StrikeOut() ? " strikeout" : "")
                          .arg(a.Charset())
                          .arg(a.Protected() ? " protected" : "")
                          .arg(a.Hidden() ? " hidden" : "")
                          .arg(a.Disabled() ? " disabled" : "")
                          .arg(int(a.Position()))
                          .arg(a.KerningThreshold());
    return qstrdup(s.toUtf8().constData());
}
