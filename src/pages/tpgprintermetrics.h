#pragma once

/// @file tpgprintermetrics.h
/// The printer geometry the page engine needs for drawing and placing content.

#include "tpgtypes.h"

#include <QMargins>

/// Geometry of the current printer in device pixels, read in portrait.
///
/// The page list keeps one of these and hands it to its margins; the printer wrapper
/// replaces it with the real printer's figures (TPgPageList::SetPrinterMetrics). Until
/// then, and whenever no printer can be asked, the engine works with Defaults(): an A4
/// sheet at 300 dots per inch.
class TPgPrinterMetrics
{
public:
    /// A4 at 300 per inch: physical 2481 x 3507, offsets 65, 50, 58, 50, printable
    /// 2358 x 3407.
    static TPgPrinterMetrics Defaults();

    /// Whether a printer can be asked for its margins (an information context can be
    /// created). The defaults count as available so that the preview can show them.
    bool available = true;
    int physicalWidth = 2481;
    int physicalHeight = 3507;
    int printableWidth = 2358;
    int printableHeight = 3407;
    int offsetLeft = 65;
    int offsetTop = 50;
    int offsetRight = 58;
    int offsetBottom = 50;
    int resolutionX = 300;
    int resolutionY = 300;
    /// The printer's current orientation; PaperWidth(), PaperHeight() and the resolutions
    /// are reported for it.
    TPgOrientation orientation = pgPortrait;

    /// Paper width and height in inches for the current orientation.
    double PaperWidth() const;
    double PaperHeight() const;
    int ResolutionX() const;
    int ResolutionY() const;

    /// Unprintable margins in pixels; for landscape the portrait offsets turn
    /// (left := top, top := right, right := bottom, bottom := left).
    QMargins PrinterMarginsPixels(TPgOrientation orientation) const;
    /// The same margins in inches (left and right by ResolutionX(), top and bottom by
    /// ResolutionY()).
    TPgRectF PrinterMargins(TPgOrientation orientation) const;

    /// Printable area (portrait values) in @p unit.
    double PrintableWidth(TPgMeasurement unit) const;
    double PrintableHeight(TPgMeasurement unit) const;
};
