#include "tpgshadow.h"

#include <QPainter>

TPgShadow::TPgShadow(TPgValue::ChangeCallback onChange)
    : m_onChange(std::move(onChange))
{
}

void TPgShadow::SetColor(const QColor &c)
{
    if (c == m_color)
        return;
    m_color = c;
    changed();
}

void TPgShadow::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    changed();
}

void TPgShadow::SetWidth(int w)
{
    if (w == m_width)
        return;
    m_width = w;
    changed();
}

void TPgShadow::Assign(const TPgShadow &other)
{
    m_color = other.m_color;
    m_visible = other.m_visible;
    m_width = other.m_width;
    changed();
}

void TPgShadow::DrawShadow(QPainter &painter, int l, int t, int r, int b) const
{
    if (!m_visible || m_width <= 0)
        return;
    painter.save();
    painter.setClipping(false);
    const QTransform tr = painter.worldTransform();
    painter.setWorldTransform(QTransform::fromTranslate(tr.dx(), tr.dy()));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const int w = m_width;
    // Each strip lies beside the page, moved one pixel right and down.
    painter.fillRect(QRect(QPoint(r + 1, t + w + 1), QPoint(r + w, b)), m_color);
    painter.fillRect(QRect(QPoint(l + w + 1, b + 1), QPoint(r + w, b + w)), m_color);
    painter.restore();
}

void TPgShadow::changed()
{
    if (m_onChange)
        m_onChange();
}
