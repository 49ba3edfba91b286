#include "tpgoutlineshape.h"

#include <QPainter>

void TPgOutlineShape::SetPen(const QPen *pen)
{
    m_pen = pen;
    Changed();
}

void TPgOutlineShape::Draw(QPainter &painter, int, int, bool) const
{
    if (m_pen)
        painter.setPen(DevicePen(*m_pen));
}
