#pragma once

#include "tpgvisibleobject.h"

class QPen;

/// A visible object drawn with a shared pen (may be none).
class TPgOutlineShape : public TPgVisibleObject
{
public:
    using TPgVisibleObject::TPgVisibleObject;

    const QPen *Pen() const { return m_pen; }
    void SetPen(const QPen *pen);

    void Draw(QPainter &painter, int ppiX, int ppiY, bool flag) const override;

private:
    const QPen *m_pen = nullptr;
};
