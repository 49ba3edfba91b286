#include "tpgprintermetrics.h"

TPgPrinterMetrics TPgPrinterMetrics::Defaults()
{
    return TPgPrinterMetrics();
}

double TPgPrinterMetrics::PaperWidth() const
{
    if (orientation == pgLandscape)
        return double(physicalHeight) / resolutionY;
    return double(physicalWidth) / resolutionX;
}

double TPgPrinterMetrics::PaperHeight() const
{
    if (orientation == pgLandscape)
        return double(physicalWidth) / resolutionX;
    return double(physicalHeight) / resolutionY;
}

int TPgPrinterMetrics::ResolutionX() const
{
    return orientation == pgLandscape ? resolutionY : resolutionX;
}

int TPgPrinterMetrics::ResolutionY() const
{
    return orientation == pgLandscape ? resolutionX : resolutionY;
}

QMargins TPgPrinterMetrics::PrinterMarginsPixels(TPgOrientation o) const
{
    if (o == pgLandscape)
        return QMargins(offsetTop, offsetRight, offsetBottom, offsetLeft);
    return QMargins(offsetLeft, offsetTop, offsetRight, offsetBottom);
}

TPgRectF TPgPrinterMetrics::PrinterMargins(TPgOrientation o) const
{
    const QMargins m = PrinterMarginsPixels(o);
    const double rx = ResolutionX();
    const double ry = ResolutionY();
    return { m.left() / rx, m.top() / ry, m.right() / rx, m.bottom() / ry };
}

double TPgPrinterMetrics::PrintableWidth(TPgMeasurement unit) const
{
    return ConvertValue(pgInches, unit, double(printableWidth) / ResolutionX());
}

double TPgPrinterMetrics::PrintableHeight(TPgMeasurement unit) const
{
    return ConvertValue(pgInches, unit, double(printableHeight) / ResolutionY());
}
