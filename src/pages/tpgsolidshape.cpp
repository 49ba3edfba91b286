#include "tpgsolidshape.h"

#include <QPainter>

void TPgSolidShape::SetBrush(const QBrush *brush)
{
    m_brush = brush;
    Changed();
}

void TPgSolidShape::Draw(QPainter &painter, int ppiX, int ppiY, bool flag) const
{
    TPgOutlineShape::Draw(painter, ppiX, ppiY, flag);
    if (m_brush)
        painter.setBrush(*m_brush);
}
