#include "tpgheaderfooter.h"

#include "tpgfontmapper.h"

#include <QPainter>

TPgHeaderFooter::TPgHeaderFooter(TPgValue::ChangeCallback onChange)
    : m_pen(Qt::black, 1, Qt::SolidLine)
    , m_height([this] { changed(); })
    , m_onChange(std::move(onChange))
{
    for (auto &c : m_captions)
        c = std::make_unique<TPgHeaderFooterCaption>([this] { changed(); });
}

TPgHeaderFooter::~TPgHeaderFooter() = default;

TPgHeaderFooterCaption *TPgHeaderFooter::Caption(int index)
{
    return index >= 0 && index < 3 ? m_captions[index].get() : nullptr;
}

const TPgHeaderFooterCaption *TPgHeaderFooter::Caption(int index) const
{
    return index >= 0 && index < 3 ? m_captions[index].get() : nullptr;
}

void TPgHeaderFooter::SetPen(const QPen &pen)
{
    if (pen == m_pen)
        return;
    m_pen = pen;
    changed();
}

void TPgHeaderFooter::SetShowLine(bool on)
{
    if (on == m_showLine)
        return;
    m_showLine = on;
    changed();
}

void TPgHeaderFooter::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    changed();
}

double TPgHeaderFooter::AutomaticHeight() const
{
    const auto size = [](const QFont &f) { return TPgFontMapper::PointFont(f).pointSizeF(); };
    const QFont *winner = &m_captions[0]->Font();
    if (size(m_captions[1]->Font()) > size(*winner))
        winner = &m_captions[1]->Font();
    if (size(m_captions[2]->Font()) > size(*winner))
        winner = &m_captions[2]->Font();
    return TPgFontMapper::TextMetricsHeight(*winner, 600) / 600.0;
}

double TPgHeaderFooter::Height(TPgMeasurement unit) const
{
    if (m_height.AsInches() != 0)
        return m_height.AsUnit(unit);
    return ConvertValue(pgInches, unit, AutomaticHeight());
}

void TPgHeaderFooter::SetHeight(TPgMeasurement unit, double value)
{
    m_height.SetAsUnit(unit, value);
}

void TPgHeaderFooter::Assign(const TPgHeaderFooter &other)
{
    for (int i = 0; i < 3; ++i)
        m_captions[i]->Assign(*other.m_captions[i]);
}

void TPgHeaderFooter::DrawBand(QPainter &painter, const TPgMargins &margins,
    const TPgPageSize &pageSize, int ppiX, int ppiY, int pageNumber, int pageCount) const
{
    if (!m_visible)
        return;
    const QRect band = BandRect(margins, pageSize, ppiX, ppiY);
    for (int i = 0; i < 3; ++i)
        m_captions[i]->DrawCaption(painter, band, pageNumber, pageCount, i, ppiY, ppiX, placement());
    if (m_showLine) {
        painter.save();
        painter.setPen(DevicePen(m_pen));
        const int y = lineY(band);
        painter.drawLine(band.left(), y, band.left() + band.width(), y);
        painter.restore();
    }
}

void TPgHeaderFooter::changed()
{
    if (m_onChange)
        m_onChange();
}
