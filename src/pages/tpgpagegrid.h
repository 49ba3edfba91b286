#pragma once

#include "tpgvalue.h"

#include <QPen>

class QPainter;

/// An optional grid of dots or lines at a fixed 10 mm pitch, drawn over the page.
class TPgPageGrid
{
public:
    explicit TPgPageGrid(TPgValue::ChangeCallback onChange = {});

    TPgPageGrid(const TPgPageGrid &) = delete;
    TPgPageGrid &operator=(const TPgPageGrid &) = delete;

    TPgGridStyle GridStyle() const { return m_style; }
    void SetGridStyle(TPgGridStyle style);
    /// Default silver, solid, width 1.
    const QPen &GridPen() const { return m_pen; }
    void SetGridPen(const QPen &pen);
    /// Fixed at 10 mm; a change notifies too.
    TPgValue &GridSpacing() { return m_spacing; }
    const TPgValue &GridSpacing() const { return m_spacing; }

    /// Number of lines (or dot columns and rows) across and down a page of @p pageSize.
    static int LineCount(double extent, double spacing);

    /// Draws the grid on a page of @p pageSize inches drawn at @p ppi units per inch.
    void DrawGrid(QPainter &painter, const TPgPageSize &pageSize, int ppi) const;

    void SetOnChange(TPgValue::ChangeCallback cb) { m_onChange = std::move(cb); }

private:
    void changed();

    TPgGridStyle m_style = pgNoGrid;
    QPen m_pen;
    TPgValue m_spacing;
    TPgValue::ChangeCallback m_onChange;
};
