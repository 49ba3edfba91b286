#include "tpgmarginvalues.h"

#include "tpgmargins.h"

TPgMarginValues::TPgMarginValues(TPgMargins &margins)
    : m_margins(margins)
{
}

float TPgMarginValues::Left() const { return float(m_margins.LeftMargin().AsUnit(m_unit)); }
float TPgMarginValues::Top() const { return float(m_margins.TopMargin().AsUnit(m_unit)); }
float TPgMarginValues::Right() const { return float(m_margins.RightMargin().AsUnit(m_unit)); }
float TPgMarginValues::Bottom() const { return float(m_margins.BottomMargin().AsUnit(m_unit)); }
void TPgMarginValues::SetLeft(float v) { m_margins.LeftMargin().SetAsUnit(m_unit, v); }
void TPgMarginValues::SetTop(float v) { m_margins.TopMargin().SetAsUnit(m_unit, v); }
void TPgMarginValues::SetRight(float v) { m_margins.RightMargin().SetAsUnit(m_unit, v); }
void TPgMarginValues::SetBottom(float v) { m_margins.BottomMargin().SetAsUnit(m_unit, v); }
