#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextCharFormat>

/// Character attributes as the editor's callers see them: one value class for
/// the selection's attributes, the attributes of new text and those of the
/// word at the caret.
///
/// A value read from the editor carries the values of the first character;
/// every setter also marks its field as changed. Writing the value back
/// (TRichEditor::SetSelAttributes and friends) applies the changed fields only,
/// so that making a selection of mixed fonts bold keeps its fonts. Assign()
/// marks every field it copies, so `a.Assign(editor.DefAttributes())` followed
/// by `editor.SetSelAttributes(a)` gives the selection all default attributes.
class TTextAttributes
{
public:
    enum class VerticalPosition { Normal, Subscript, Superscript };

    enum Field : unsigned {
        NameField = 1u << 0,
        SizeField = 1u << 1,
        ColorField = 1u << 2,
        BackColorField = 1u << 3,
        BoldField = 1u << 4,
        ItalicField = 1u << 5,
        UnderlineField = 1u << 6,
        StrikeOutField = 1u << 7,
        CharsetField = 1u << 8,
        ProtectedField = 1u << 9,
        HiddenField = 1u << 10,
        DisabledField = 1u << 11,
        VerticalPositionField = 1u << 12,
        KerningThresholdField = 1u << 13,
        AllFields = (1u << 14) - 1,
    };

    TTextAttributes() = default;

    /// The attributes of a character of format, with unset font properties
    /// taken from defaultFont. Nothing is marked as changed.
    static TTextAttributes fromCharFormat(const QTextCharFormat &format, const QFont &defaultFont);

    QString Name() const { return m_name; }
    void SetName(const QString &name);
    /// Size in whole points (rounded); SizeF keeps fractions such as 10.5.
    int Size() const { return qRound(m_size); }
    qreal SizeF() const { return m_size; }
    void SetSize(qreal points);
    /// An invalid colour means automatic (the default text colour).
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color);
    /// An invalid colour means no highlight.
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor &color);
    bool Bold() const { return m_bold; }
    void SetBold(bool on);
    bool Italic() const { return m_italic; }
    void SetItalic(bool on);
    bool Underline() const { return m_underline; }
    void SetUnderline(bool on);
    bool StrikeOut() const { return m_strikeOut; }
    void SetStrikeOut(bool on);
    /// The RTF character set of the font (0 ANSI, 1 default, 2 symbol, ...).
    int Charset() const { return m_charset; }
    void SetCharset(int charset);
    bool Protected() const { return m_protected; }
    void SetProtected(bool on);
    bool Hidden() const { return m_hidden; }
    void SetHidden(bool on);
    bool Disabled() const { return m_disabled; }
    void SetDisabled(bool on);
    VerticalPosition Position() const { return m_position; }
    void SetPosition(VerticalPosition position);
    /// Fonts at or above this size in points are kerned; 0 is off.
    int KerningThreshold() const { return m_kerningThreshold; }
    void SetKerningThreshold(int points);

    /// Name, size, bold, italic, underline and strike-out of font, all marked.
    void Assign(const QFont &font);
    /// Every field of other, all marked.
    void Assign(const TTextAttributes &other);
    /// The font these attributes describe.
    QFont Font() const;

    unsigned changedFields() const { return m_changed; }
    void clearChanged() { m_changed = 0; }

    /// Writes the changed fields into format: set ones are set, fields back at
    /// their defaults (no highlight, not protected ...) are removed, so the
    /// format stays as clean as the RTF reader made it.
    void applyTo(QTextCharFormat &format) const;

    bool operator==(const TTextAttributes &other) const;

private:
    QString m_name;
    qreal m_size = 0;
    QColor m_color;
    QColor m_backColor;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
    bool m_strikeOut = false;
    int m_charset = 1;
    bool m_protected = false;
    bool m_hidden = false;
    bool m_disabled = false;
    VerticalPosition m_position = VerticalPosition::Normal;
    int m_kerningThreshold = 0;
    unsigned m_changed = 0;
};

char *toString(const TTextAttributes &attributes); // for QTest failure messages
