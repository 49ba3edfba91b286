#pragma once

#include "tpggraphiclist.h"

#include <QBrush>
#include <QPen>

#include <memory>
#include <vector>

/// Resources shared by the objects of a page list: pictures, pens and brushes. Only the
/// picture list receives entries today; pens and brushes are there for shape objects.
class TPgResourceTable
{
public:
    TPgGraphicList &Graphics() { return m_graphics; }
    const TPgGraphicList &Graphics() const { return m_graphics; }

    const QPen *AddPen(const QPen &pen);
    const QBrush *AddBrush(const QBrush &brush);
    int PenCount() const { return int(m_pens.size()); }
    int BrushCount() const { return int(m_brushes.size()); }

    /// Empties every list; objects still referring to them must be gone first.
    void Clear();

private:
    TPgGraphicList m_graphics;
    std::vector<std::unique_ptr<QPen>> m_pens;
    std::vector<std::unique_ptr<QBrush>> m_brushes;
};
