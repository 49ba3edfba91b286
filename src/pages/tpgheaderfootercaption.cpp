#include "tpgheaderfootercaption.h"

#include "tpgfontmapper.h"
#include "tpgtokens.h"

#include <QPainter>

TPgHeaderFooterCaption::TPgHeaderFooterCaption(TPgValue::ChangeCallback onChange)
    : m_font(QStringLiteral("Arial"), 12)
    , m_onChange(std::move(onChange))
{
}

void TPgHeaderFooterCaption::SetCaption(const QString &text)
{
    if (text == m_caption)
        return;
    m_caption = text;
    changed();
}

void TPgHeaderFooterCaption::SetFont(const QFont &font)
{
    m_font = font;
    changed();
}

void TPgHeaderFooterCaption::Assign(const TPgHeaderFooterCaption &other)
{
    m_caption = other.m_caption;
    m_font = other.m_font;
    changed();
}

int TPgHeaderFooterCaption::AlignedX(const QRect &band, double textWidth, int alignment, int ppi)
{
    const int left = band.left();
    const int right = band.left() + band.width();
    const int tw = pgRound(ppi * textWidth);
    switch (alignment) {
    case 1:
        return (right + left - tw) / 2; // C++ division truncates toward zero
    case 2:
        return right - tw;
    default:
        return left;
    }
}

void TPgHeaderFooterCaption::DrawCaption(QPainter &painter, const QRect &band, int pageNumber,
    int pageCount, int alignment, int ppiY, int ppiX, Placement placement) const
{
    Q_UNUSED(ppiY);
    const QString text = ExpandTokens(m_caption, pageNumber, pageCount);
    if (text.isEmpty())
        return;
    const TPgFontMapper &mapper = TPgFontMapper::Instance();
    const QSizeF size = mapper.MeasureText(m_font, text);
    const int p = ppiX; // the font is scaled by the horizontal resolution, as the device does
    const int x = AlignedX(band, size.width(), alignment, p);
    const int y = placement == StandOnBottom ? band.top() + band.height() - pgRound(p * size.height())
                                             : band.top();
    painter.save();
    painter.setPen(QPen(Qt::black));
    mapper.PlaceText(painter, m_font, p, x, y, text);
    painter.restore();
}

void TPgHeaderFooterCaption::changed()
{
    if (m_onChange)
        m_onChange();
}
