#pragma once

#include "tpgvalue.h"

#include <QColor>

class QPainter;

/// The shadow drawn beside the right and below the bottom edge of the paper.
class TPgShadow
{
public:
    explicit TPgShadow(TPgValue::ChangeCallback onChange = {});

    TPgShadow(const TPgShadow &) = delete;
    TPgShadow &operator=(const TPgShadow &) = delete;

    QColor Color() const { return m_color; }
    void SetColor(const QColor &c);
    bool Visible() const { return m_visible; }
    void SetVisible(bool on);
    /// Width in pixels; default 3.
    int Width() const { return m_width; }
    void SetWidth(int w);

    /// Copies all three properties and notifies.
    void Assign(const TPgShadow &other);

    /// Draws the shadow of a page whose edges are (left, top, right, bottom) in device
    /// pixels (right and bottom exclusive). Clipping is removed and the world transform is
    /// reduced to its translation, so it must be drawn after the page content.
    void DrawShadow(QPainter &painter, int left, int top, int right, int bottom) const;

    void SetOnChange(TPgValue::ChangeCallback cb) { m_onChange = std::move(cb); }

private:
    void changed();

    QColor m_color = Qt::black;
    bool m_visible = true;
    int m_width = 3;
    TPgValue::ChangeCallback m_onChange;
};
