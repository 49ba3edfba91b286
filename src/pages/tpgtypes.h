#pragma once

/// @file tpgtypes.h
/// Units, enumerations, plain geometry records and the conversions shared by the whole
/// page engine. Every length the engine stores is in inches; the functions here convert
/// to and from the six measurement units and round the way the engine rounds everywhere
/// (half to even, truncation toward zero where stated).

#include <QColor>
#include <QPen>
#include <QRect>
#include <QString>
#include <QStringList>

/// Measurement units; the ordinal values are part of stored settings.
enum TPgMeasurement {
    pgUnits = 0, ///< hundredth of a millimetre (2540 per inch)
    pgPixels = 1, ///< pixel at a fixed 96 per inch, whatever the screen
    pgMillimeters = 2,
    pgCentimeters = 3,
    pgInches = 4,
    pgTwips = 5, ///< 1440 per inch
};

enum TPgOrientation { pgPortrait = 0, pgLandscape = 1 };

enum TPgGridStyle { pgNoGrid = 0, pgDots = 1, pgLines = 2 };

enum TPgPagesPerSheet { pgOnePage = 0, pgTwoPage = 1, pgFourPage = 2 };

/// Origin of the coordinates handed to the drawing facade.
enum TPgCoordsRelative {
    pgFromPage = 0, ///< paper corner
    pgFromPrinterMargins = 1, ///< printer's unprintable left and top margin
    pgFromUserMargins = 2, ///< left and top margin
    pgFromHeaderLine = 3, ///< left margin; top margin plus header height
};

enum TPgZoomStyle { pgFixedZoom = 0, pgVariableZoom = 1 };

/// The 22 paper sizes; ordinal = row of the paper table. The identifiers are also the
/// names shown in paper lists.
enum class TPgPaperSize {
    A3, A4, A5, A6, B5, C5, C6, C65, Legal, Letter, Custom, B4,
    Envelope_DL, Envelope_DL_Maxi, Envelope_09, Envelope_10, Envelope_11, Envelope_12,
    Envelope_14, Tabloid, Ledger, Executive,
};
inline constexpr int pgPaperSizeCount = 22;

/// Width and height, in inches unless a unit is named.
struct TPgPageSize {
    double width = 0;
    double height = 0;
    bool operator==(const TPgPageSize &) const = default;
};

/// Rectangle of floating-point edges, in inches unless a unit is named.
struct TPgRectF {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool operator==(const TPgRectF &) const = default;
};

/// The four corners of an integer rectangle.
struct TPgCornerPoints {
    QPoint topLeft;
    QPoint topRight;
    QPoint bottomLeft;
    QPoint bottomRight;
    bool operator==(const TPgCornerPoints &) const = default;
};

/// Round to nearest, ties to even (2.5 -> 2, 3.5 -> 4).
int pgRound(double x);
/// Round toward zero.
int pgTrunc(double x);
/// Integer halving that truncates toward zero, also for negative numbers.
inline int pgHalf(int x) { return x / 2; }

/// Units of @p unit in one inch; an out-of-range unit counts as inches.
double UnitsPerInch(TPgMeasurement unit);
/// Converts @p x from one unit to another; the same unit returns @p x untouched.
/// An out-of-range unit is taken as inches on the way in and gives inches on the way out.
double ConvertValue(TPgMeasurement from, TPgMeasurement to, double x);
TPgRectF ConvertValue(TPgMeasurement from, TPgMeasurement to, const TPgRectF &r);
TPgPageSize ConvertValue(TPgMeasurement from, TPgMeasurement to, const TPgPageSize &s);

TPgRectF OffsetRect(const TPgRectF &r, double dx, double dy);
/// Scales every coordinate by @p factor and rounds it.
QRect ScaleRect(const QRect &r, double factor);
/// Corners of a rectangle given by its edges (right and bottom are edge coordinates,
/// not the last pixel as QRect::right() would say).
TPgCornerPoints RectToCorners(int left, int top, int right, int bottom);
/// Left/top from the top-left corner, right/bottom from the bottom-right corner; the
/// result is a QRect spanning those edges (right and bottom exclusive).
QRect CornersToRect(const TPgCornerPoints &c);

/// Portrait dimensions of a paper size in inches, exactly as the paper table defines
/// them (three sizes are wider than high). Custom has no dimensions and gives 0 x 0.
TPgPageSize PaperDimensions(TPgPaperSize size);
/// The page size a page list gives new pages: the paper dimensions, swapped for landscape.
TPgPageSize PaperPageSize(TPgPaperSize size, TPgOrientation orientation);
/// The platform printer paper code of a size, -1 for sizes that have none.
int PrinterPaperCode(TPgPaperSize size);
QString PaperSizeName(TPgPaperSize size);
/// First exact, case-sensitive match among the identifiers; anything else is Custom.
TPgPaperSize PaperSizeFromName(const QString &name);
/// All 22 names in ordinal order.
QStringList PaperSizeNames();

/// Colours are stored packed as R + 256 G + 65536 B. The system-colour bit (top bit) is
/// not supported by this engine and is dropped.
int PackColor(const QColor &c);
QColor UnpackColor(int packed);

/// Pen style ordinals as stored in settings: solid 0, dash 1, dot 2, dash-dot 3,
/// dash-dot-dot 4, clear 5, inside-frame 6 (drawn solid).
int PenStyleOrdinal(Qt::PenStyle style);
/// Returns false for an ordinal outside 0..6.
bool PenStyleFromOrdinal(int ordinal, Qt::PenStyle *style);

/// Mode of a pen in settings: the sixteen raster modes from black (0) to not-xor (15);
/// copy is 4 and is the only one the engine writes by default.
inline constexpr int pgPenModeCopy = 4;
inline constexpr int pgPenModeCount = 16;

/// A pen for drawing on a device at any mapping: a width of 1 or less is one device
/// pixel wide, like the platform's thinnest pen; wider pens scale with the mapping.
QPen DevicePen(const QPen &pen);

class QPainter;
/// Sets the painter's composition for a pen mode ordinal (copy, xor and not are honoured;
/// the other raster modes draw as copy).
void ApplyPenMode(QPainter &painter, int mode);

/// Outline of the rectangle with edges (left, top, right, bottom), right and bottom
/// exclusive as the platform draws rectangles, with the painter's current pen.
void DrawFrameRect(QPainter &painter, int left, int top, int right, int bottom);
