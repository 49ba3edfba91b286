#include "tpgfontmapper.h"

#include "tpgtypes.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

// A paint device that reports the given resolution, so that Qt's font metrics come out
// in that device's units.
QImage resolutionDevice(int ppi)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    const int dpm = qRound(ppi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

QStringList codePoints(const QString &text)
{
    QStringList out;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()
            && text.at(i + 1).isLowSurrogate()) {
            out << text.mid(i, 2);
            ++i;
        } else {
            out << QString(text.at(i));
        }
    }
    return out;
}

} // namespace

TPgFontMapper &TPgFontMapper::Instance()
{
    static TPgFontMapper mapper;
    return mapper;
}

TPgFontMapper::TPgFontMapper() = default;

QFont TPgFontMapper::PointFont(const QFont &font)
{
    QFont f(font);
    if (font.pointSizeF() <= 0 && font.pixelSize() > 0)
        f.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return f;
}

QSizeF TPgFontMapper::MeasureText(const QFont &font, const QString &text) const
{
    const QImage device = resolutionDevice(m_reference);
    const QFontMetrics fm(PointFont(font), &device);
    return QSizeF(double(fm.horizontalAdvance(text)) / m_reference,
        double(fm.height()) / m_reference);
}

QVector<int> TPgFontMapper::SpreadAdvances(const QVector<double> &exact)
{
    QVector<int> dx;
    dx.reserve(exact.size());
    double carried = 0;
    for (double a : exact) {
        int d = pgTrunc(a);
        carried += a - pgTrunc(a);
        if (carried >= 1) {
            d += pgTrunc(carried);
            carried -= pgTrunc(carried);
        }
        dx << d;
    }
    return dx;
}

QVector<int> TPgFontMapper::Advances(const QFont &font, int resolution, const QString &text) const
{
    const QImage device = resolutionDevice(m_reference);
    const QFontMetrics fm(PointFont(font), &device);
    QVector<double> exact;
    for (const QString &c : codePoints(text))
        exact << double(fm.horizontalAdvance(c)) / m_reference * resolution;
    return SpreadAdvances(exact);
}

int TPgFontMapper::TextMetricsHeight(const QFont &font, int resolution)
{
    const QImage device = resolutionDevice(resolution);
    const QFontMetrics fm(PointFont(font), &device);
    return fm.ascent() + fm.descent();
}

void TPgFontMapper::PlaceText(QPainter &painter, const QFont &font, int resolution, int x, int y,
    const QString &text) const
{
    if (text.isEmpty() || resolution <= 0)
        return;
    const QFont pf = PointFont(font);
    const QImage device = resolutionDevice(m_reference);
    const QFontMetrics ref(pf, &device);
    const double ascent = double(ref.ascent()) / m_reference * resolution;

    // The painter's font is sized so that one point covers resolution / 72 logical units,
    // whatever the device's own resolution.
    QFont drawFont(pf);
    const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    drawFont.setPointSizeF(pf.pointSizeF() * resolution / deviceDpi);
    painter.save();
    painter.setFont(drawFont);
    const QStringList chars = codePoints(text);
    const QVector<int> dx = Advances(pf, resolution, text);
    double pos = x;
    for (int i = 0; i < chars.size(); ++i) {
        painter.drawText(QPointF(pos, y + ascent), chars.at(i));
        pos += dx.at(i);
    }
    painter.restore();
}
