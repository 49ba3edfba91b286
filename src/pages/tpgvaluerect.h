#pragma once

#include "tpgvaluepoint.h"

/// A rectangle of two points; it has no callback of its own.
class TPgValueRect
{
public:
    TPgValueRect() = default;
    TPgValueRect(const TPgValueRect &) = delete;
    TPgValueRect &operator=(const TPgValueRect &) = delete;

    TPgValuePoint &TopLeft() { return m_topLeft; }
    TPgValuePoint &BottomRight() { return m_bottomRight; }

    /// Edge by index: 1 left, 2 top, 3 right, 4 bottom; any other index gives nullptr.
    TPgValue *Edge(int index);
    const TPgValue *Edge(int index) const;

    /// Sets all four edges in inches.
    void SetRect(const TPgRectF &inches);
    /// The rectangle in inches.
    TPgRectF AsRectF() const;

private:
    TPgValuePoint m_topLeft;
    TPgValuePoint m_bottomRight;
};
