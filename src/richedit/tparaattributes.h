#pragma once

#include "richtextproperties.h"

#include <QList>
#include <QTextBlockFormat>

/// Paragraph attributes in whole points, as the editor's callers see them.
///
/// Lengths of Qt's text document (margins, indents, tab positions) are kept in
/// pixels of a 96 dpi reference device; these accessors convert to and from
/// points. As with TTextAttributes, setters mark their field as changed and
/// writing the value back applies the changed fields only; Assign() marks all.
class TParaAttributes
{
public:
    enum Field : unsigned {
        AlignmentField = 1u << 0,
        FirstIndentField = 1u << 1,
        LeftIndentField = 1u << 2,
        RightIndentField = 1u << 3,
        SpaceBeforeField = 1u << 4,
        SpaceAfterField = 1u << 5,
        LineSpacingField = 1u << 6, ///< rule and amount go together
        BulletsField = 1u << 7,
        TabsField = 1u << 8,
        StyleNumberField = 1u << 9,
        KeepWithNextField = 1u << 10,
        AllFields = (1u << 11) - 1,
    };

    /// Points per document length unit and back (96 dpi reference pixels).
    static qreal toPoints(qreal documentUnits) { return documentUnits * 72.0 / 96.0; }
    static qreal fromPoints(qreal points) { return points * 96.0 / 72.0; }

    TParaAttributes() = default;
    static TParaAttributes fromBlockFormat(const QTextBlockFormat &format);

    /// 0 left, 1 right, 2 centre, 3 justify.
    int Alignment() const { return m_alignment; }
    void SetAlignment(int alignment);
    /// Start indent of the first line, from the left edge.
    int FirstIndent() const { return m_firstIndent; }
    void SetFirstIndent(int points);
    /// Indent of the following lines relative to the first line's start.
    int LeftIndent() const { return m_leftIndent; }
    void SetLeftIndent(int points);
    int RightIndent() const { return m_rightIndent; }
    void SetRightIndent(int points);
    int SpaceBefore() const { return m_spaceBefore; }
    void SetSpaceBefore(int points);
    int SpaceAfter() const { return m_spaceAfter; }
    void SetSpaceAfter(int points);
    LineSpacing LineSpacingRule() const { return m_lineSpacingRule; }
    /// Twips for AtLeast and Exactly, twentieths of a line for Multiple,
    /// unused by the other rules.
    int LineSpacingAmount() const { return m_lineSpacingAmount; }
    void SetLineSpacing(LineSpacing rule, int amount = 0);
    bool Bullets() const { return m_bullets; }
    void SetBullets(bool on);
    /// Tab stop positions in points, ascending.
    QList<int> Tabs() const { return m_tabs; }
    void SetTabs(const QList<int> &points);
    int StyleNumber() const { return m_styleNumber; }
    void SetStyleNumber(int number);
    bool KeepWithNext() const { return m_keepWithNext; }
    void SetKeepWithNext(bool on);

    void Assign(const TParaAttributes &other);

    unsigned changedFields() const { return m_changed; }
    void clearChanged() { m_changed = 0; }
    /// Writes the changed fields into format (bullets excepted: the editor
    /// puts bulleted paragraphs into a list as well).
    void applyTo(QTextBlockFormat &format) const;

    bool operator==(const TParaAttributes &other) const;

private:
    int m_alignment = 0;
    int m_firstIndent = 0;
    int m_leftIndent = 0;
    int m_rightIndent = 0;
    int m_spaceBefore = 0;
    int m_spaceAfter = 0;
    LineSpacing m_lineSpacingRule = LineSpacing::Single;
    int m_lineSpacingAmount = 0;
    bool m_bullets = false;
    QList<int> m_tabs;
    int m_styleNumber = 0;
    bool m_keepWithNext = false;
    unsigned m_changed = 0;
};

char *toString(const TParaAttributes &attributes); // for QTest failure messages
