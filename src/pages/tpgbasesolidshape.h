#pragma once

#include "tpgsolidshape.h"

/// A solid shape occupying a rectangle of the page, in inches.
class TPgBaseSolidShape : public TPgSolidShape
{
public:
    using TPgSolidShape::TPgSolidShape;

    const TPgRectF &Rect() const { return m_rect; }
    void SetRect(const TPgRectF &inches);

    /// The rectangle in device units at (@p ppiX, @p ppiY), each edge rounded; the QRect's
    /// width is right - left.
    QRect DeviceRect(int ppiX, int ppiY) const;

    void Offset(TPgMeasurement unit, double dx, double dy) override;
    TPgCornerPoints OutlineCorners(int ppi) const override;

private:
    TPgRectF m_rect;
};
