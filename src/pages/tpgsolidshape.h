#pragma once

#include "tpgoutlineshape.h"

class QBrush;

/// An outline shape that is also filled with a shared brush (may be none).
class TPgSolidShape : public TPgOutlineShape
{
public:
    using TPgOutlineShape::TPgOutlineShape;

    const QBrush *Brush() const { return m_brush; }
    void SetBrush(const QBrush *brush);

    void Draw(QPainter &painter, int ppiX, int ppiY, bool flag) const override;

private:
    const QBrush *m_brush = nullptr;
};
