#include "tpgbasesolidshape.h"

void TPgBaseSolidShape::SetRect(const TPgRectF &inches)
{
    if (inches == m_rect)
        return;
    m_rect = inches;
    Changed();
}

QRect TPgBaseSolidShape::DeviceRect(int ppiX, int ppiY) const
{
    const int l = pgRound(ppiX * m_rect.left);
    const int t = pgRound(ppiY * m_rect.top);
    const int r = pgRound(ppiX * m_rect.right);
    const int b = pgRound(ppiY * m_rect.bottom);
    return QRect(l, t, r - l, b - t);
}

void TPgBaseSolidShape::Offset(TPgMeasurement unit, double dx, double dy)
{
    SetRect(OffsetRect(m_rect, ConvertValue(unit, pgInches, dx), ConvertValue(unit, pgInches, dy)));
}

TPgCornerPoints TPgBaseSolidShape::OutlineCorners(int ppi) const
{
    const QRect r = DeviceRect(ppi, ppi);
    return RectToCorners(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}
