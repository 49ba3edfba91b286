#include "tparaattributes.h"

#include <QString>
#include <QStringList>

#include <algorithm>

namespace {
int pointsOf(qreal documentUnits)
{
    return qRound(TParaAttributes::toPoints(documentUnits));
}

// Twips to 96 dpi document units and back.
qreal unitsFromTwips(int twips) { return twips / 15.0; }
int twipsFromUnits(qreal units) { return qRound(units * 15.0); }
} // namespace

TParaAttributes TParaAttributes::fromBlockFormat(const QTextBlockFormat &f)
{
    TParaAttributes p;
    const Qt::Alignment h = f.alignment() & Qt::AlignHorizontal_Mask;
    if (h & Qt::AlignRight)
        p.m_alignment = 1;
    else if (h & Qt::AlignHCenter)
        p.m_alignment = 2;
    else if (h & Qt::AlignJustify)
        p.m_alignment = 3;
    // Qt keeps the following lines' start as the left margin and the first
    // line as an offset from it; callers think of the first line's start and
    // the following lines' offset from it.
    p.m_firstIndent = pointsOf(f.leftMargin() + f.textIndent());
    p.m_leftIndent = pointsOf(-f.textIndent());
    p.m_rightIndent = pointsOf(f.rightMargin());
    p.m_spaceBefore = pointsOf(f.topMargin());
    p.m_spaceAfter = pointsOf(f.bottomMargin());

    if (f.hasProperty(RichTextProperty::LineSpacingRule)) {
        p.m_lineSpacingRule = LineSpacing(
            std::clamp(f.intProperty(RichTextProperty::LineSpacingRule), 0, 5));
        p.m_lineSpacingAmount = f.intProperty(RichTextProperty::LineSpacingAmount);
    } else {
        switch (f.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight: {
            const int percent = qRound(f.lineHeight());
            if (percent == 150) {
                p.m_lineSpacingRule = LineSpacing::OneAndHalf;
            } else if (percent == 200) {
                p.m_lineSpacingRule = LineSpacing::Double;
            } else if (percent != 100) {
                p.m_lineSpacingRule = LineSpacing::Multiple;
                p.m_lineSpacingAmount = qRound(f.lineHeight() / 5.0);
            }
            break;
        }
        case QTextBlockFormat::MinimumHeight:
            p.m_lineSpacingRule = LineSpacing::AtLeast;
            p.m_lineSpacingAmount = twipsFromUnits(f.lineHeight());
            break;
        case QTextBlockFormat::FixedHeight:
            p.m_lineSpacingRule = LineSpacing::Exactly;
            p.m_lineSpacingAmount = twipsFromUnits(f.lineHeight());
            break;
        default: break;
        }
    }
    p.m_bullets = f.boolProperty(RichTextProperty::Bullets);
    for (const QTextOption::Tab &tab : f.tabPositions())
        p.m_tabs.append(pointsOf(tab.position));
    p.m_styleNumber = f.intProperty(RichTextProperty::StyleNumber);
    p.m_keepWithNext = f.boolProperty(RichTextProperty::KeepWithNext);
    return p;
}

void TParaAttributes::SetAlignment(int alignment)
{
    m_alignment = std::clamp(alignment, 0, 3);
    m_changed |= AlignmentField;
}
void TParaAttributes::SetFirstIndent(int points)
{
    m_firstIndent = points;
    m_changed |= FirstIndentField;
}
void TParaAttributes::SetLeftIndent(int points)
{
    m_leftIndent = points;
    m_changed |= LeftIndentField;
}
void TParaAttributes::SetRightIndent(int points)
{
    m_rightIndent = points;
    m_changed |= RightIndentField;
}
void TParaAttributes::SetSpaceBefore(int points)
{
    m_spaceBefore = qMax(points, 0);
    m_changed |= SpaceBeforeField;
}
void TParaAttributes::SetSpaceAfter(int points)
{
    m_spaceAfter = qMax(points, 0);
    m_changed |= SpaceAfterField;
}
void TParaAttributes::SetLineSpacing(LineSpacing rule, int amount)
{
    m_lineSpacingRule = rule;
    m_lineSpacingAmount = qMax(amount, 0);
    m_changed |= LineSpacingField;
}
void TParaAttributes::SetBullets(bool on)
{
    m_bullets = on;
    m_changed |= BulletsField;
}
void TParaAttributes::SetTabs(const QList<int> &points)
{
    m_tabs = points;
    std::sort(m_tabs.begin(), m_tabs.end());
    m_tabs.erase(std::unique(m_tabs.begin(), m_tabs.end()), m_tabs.end());
    m_changed |= TabsField;
}
void TParaAttributes::SetStyleNumber(int number)
{
    m_styleNumber = number;
    m_changed |= StyleNumberField;
}
void TParaAttributes::SetKeepWithNext(bool on)
{
    m_keepWithNext = on;
    m_changed |= KeepWithNextField;
}

void TParaAttributes::Assign(const TParaAttributes &other)
{
    *this = other;
    m_changed = AllFields;
}

void TParaAttributes::applyTo(QTextBlockFormat &f) const
{
    if (m_changed & AlignmentField) {
        static const Qt::Alignment alignments[] = {Qt::AlignLeft | Qt::AlignAbsolute,
                                                   Qt::AlignRight | Qt::AlignAbsolute,
                                                   Qt::AlignHCenter, Qt::AlignJustify};
        f.setAlignment(alignments[m_alignment]);
    }
    if (m_changed & (FirstIndentField | LeftIndentField)) {
        // Keep the field that was not changed as it is in f.
        const TParaAttributes current = fromBlockFormat(f);
        const int first = (m_changed & FirstIndentField) ? m_firstIndent : current.m_firstIndent;
        const int offset = (m_changed & LeftIndentField) ? m_leftIndent : current.m_leftIndent;
        f.setLeftMargin(fromPoints(qMax(first + offset, 0)));
        f.setTextIndent(fromPoints(first) - f.leftMargin());
    }
    if (m_changed & RightIndentField)
        f.setRightMargin(fromPoints(qMax(m_rightIndent, 0)));
    if (m_changed & SpaceBeforeField)
        f.setTopMargin(fromPoints(m_spaceBefore));
    if (m_changed & SpaceAfterField)
        f.setBottomMargin(fromPoints(m_spaceAfter));
    if (m_changed & LineSpacingField) {
        f.setProperty(RichTextProperty::LineSpacingRule, int(m_lineSpacingRule));
        f.setProperty(RichTextProperty::LineSpacingAmount, m_lineSpacingAmount);
        switch (m_lineSpacingRule) {
        case LineSpacing::Single:
            f.setLineHeight(100, QTextBlockFormat::SingleHeight);
            break;
        case LineSpacing::OneAndHalf:
            f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            break;
        case LineSpacing::Double:
            f.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
            break;
        case LineSpacing::AtLeast:
            f.setLineHeight(unitsFromTwips(m_lineSpacingAmount), QTextBlockFormat::MinimumHeight);
            break;
        case LineSpacing::Exactly:
            // An exact height of nothing would stack every line on the first.
            if (m_lineSpacingAmount > 0)
                f.setLineHeight(unitsFromTwips(m_lineSpacingAmount), QTextBlockFormat::FixedHeight);
            else
                f.setLineHeight(100, QTextBlockFormat::SingleHeight);
            break;
        case LineSpacing::Multiple:
            if (m_lineSpacingAmount > 0)
                f.setLineHeight(m_lineSpacingAmount * 5.0, QTextBlockFormat::ProportionalHeight);
            else
                f.setLineHeight(100, QTextBlockFormat::SingleHeight);
            break;
        }
    }
    if (m_changed & BulletsField) {
        if (m_bullets)
            f.setProperty(RichTextProperty::Bullets, true);
        else
            f.clearProperty(RichTextProperty::Bullets);
    }
    if (m_changed & TabsField) {
        QList<QTextOption::Tab> tabs;
        for (int pt : m_tabs)
            tabs.append(QTextOption::Tab(fromPoints(pt), QTextOption::LeftTab));
        f.setTabPositions(tabs);
    }
    if (m_changed & StyleNumberField) {
        if (m_styleNumber != 0)
            f.setProperty(RichTextProperty::StyleNumber, m_styleNumber);
        else
            f.clearProperty(RichTextProperty::StyleNumber);
    }
    if (m_changed & KeepWithNextField) {
        if (m_keepWithNext)
            f.setProperty(RichTextProperty::KeepWithNext, true);
        else
            f.clearProperty(RichTextProperty::KeepWithNext);
    }
}

bool TParaAttributes::operator==(const TParaAttributes &o) const
{
    return m_alignment == o.m_alignment && m_firstIndent == o.m_firstIndent
        && m_leftIndent == o.m_leftIndent && m_rightIndent == o.m_rightIndent
        && m_spaceBefore == o.m_spaceBefore && m_spaceAfter == o.m_spaceAfter
        && m_lineSpacingRule == o.m_lineSpacingRule
        && m_lineSpacingAmount == o.m_lineSpacingAmount && m_bullets == o.m_bullets
        && m_tabs == o.m_tabs && m_styleNumber == o.m_styleNumber
        && m_keepWithNext == o.m_keepWithNext;
}

char *toString(const TParaAttributes &p)
{
    QStringList tabs;
    for (int t : p.Tabs())
        tabs << QString::number(t);
    const QString s = QStringLiteral("align=%1 first=%2 left=%3 right=%4 before=%5 after=%6 "
                                     "spacing=%7/%8 bullets=%9 tabs=[%10] style=%11 keep=%12")
                          .arg(p.Alignment())
                          .arg(p.FirstIndent())
                          .arg(p.LeftIndent())
                          .arg(p.RightIndent())
                          .arg(p.SpaceBefore())
                          .arg(p.SpaceAfter())
                          .arg(int(p.LineSpacingRule()))
                          .arg(p.LineSpacingAmount())
                          .arg(p.Bullets())
                          .arg(tabs.join(QLatin1Char(',')))
                          .arg(p.StyleNumber())
                          .arg(p.KeepWithNext());
    return qstrdup(s.toUtf8().constData());
}
