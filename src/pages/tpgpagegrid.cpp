#include "tpgpagegrid.h"

#include <QPainter>

TPgPageGrid::TPgPageGrid(TPgValue::ChangeCallback onChange)
    : m_pen(QColor(192, 192, 192), 1, Qt::SolidLine)
    , m_spacing([this] { changed(); })
{
    m_spacing.SetAsMillimeters(10);
    m_onChange = std::move(onChange);
}

void TPgPageGrid::SetGridStyle(TPgGridStyle style)
{
    if (style == m_style)
        return;
    m_style = style;
    changed();
}

void TPgPageGrid::SetGridPen(const QPen &pen)
{
    if (pen == m_pen)
        return;
    m_pen = pen;
    changed();
}

int TPgPageGrid::LineCount(double extent, double spacing)
{
    // A pitch of zero or less would mean endless lines; such a grid draws nothing.
    if (!(spacing > 0))
        return 0;
    return qMax(0, pgRound(extent / spacing));
}

void TPgPageGrid::DrawGrid(QPainter &painter, const TPgPageSize &size, int ppi) const
{
    if (m_style == pgNoGrid)
        return;
    const double s = m_spacing.AsInches();
    const int across = LineCount(size.width, s);
    const int down = LineCount(size.height, s);
    painter.save();
    painter.setPen(DevicePen(m_pen));
    if (m_style == pgLines) {
        const int bottom = pgRound(ppi * size.height);
        const int right = pgRound(ppi * size.width);
        for (int i = 1; i <= across; ++i) {
            const int x = pgRound(i * s * ppi);
            painter.drawLine(x, 0, x, bottom);
        }
        for (int j = 1; j <= down; ++j) {
            const int y = pgRound(j * s * ppi);
            painter.drawLine(0, y, right, y);
        }
    } else {
        // One device pixel per dot, whatever the mapping.
        QPen dot(m_pen.color());
        dot.setWidth(0);
        dot.setCosmetic(true);
        painter.setPen(dot);
        for (int i = 1; i <= across; ++i) {
            for (int j = 1; j <= down; ++j)
                painter.drawPoint(pgRound(i * s * ppi), pgRound(j * s * ppi));
        }
    }
    painter.restore();
}

void TPgPageGrid::changed()
{
    if (m_onChange)
        m_onChange();
}
