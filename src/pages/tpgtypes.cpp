#include "tpgtypes.h"

#include <QPainter>

#include <cmath>

int pgRound(double x)
{
    // nearbyint follows the current rounding mode, which is round-half-to-even unless
    // someone changed it; the engine never does.
    return static_cast<int>(std::nearbyint(x));
}

int pgTrunc(double x)
{
    return static_cast<int>(x);
}

double UnitsPerInch(TPgMeasurement unit)
{
    switch (unit) {
    case pgUnits:
        return 2540.0;
    case pgPixels:
        return 96.0;
    case pgMillimeters:
        return 25.4;
    case pgCentimeters:
        return 2.54;
    case pgInches:
        return 1.0;
    case pgTwips:
        return 1440.0;
    }
    return 1.0;
}

double ConvertValue(TPgMeasurement from, TPgMeasurement to, double x)
{
    if (from == to)
        return x;
    double inches = x;
    switch (from) {
    case pgUnits:
        inches = x / 100.0 / 25.4;
        break;
    case pgPixels:
        inches = x / 96.0;
        break;
    case pgMillimeters:
        inches = x / 25.4;
        break;
    case pgCentimeters:
        inches = x * 10.0 / 25.4;
        break;
    case pgTwips:
        inches = x / 1440.0;
        break;
    case pgInches:
    default:
        break;
    }
    switch (to) {
    case pgUnits:
        return inches * 25.4 * 100.0;
    case pgPixels:
        return inches * 96.0;
    case pgMillimeters:
        return inches * 25.4;
    case pgCentimeters:
        return inches * 25.4 / 10.0;
    case pgTwips:
        return inches * 1440.0;
    case pgInches:
    default:
        return inches;
    }
}

TPgRectF ConvertValue(TPgMeasurement from, TPgMeasurement to, const TPgRectF &r)
{
    return { ConvertValue(from, to, r.left), ConvertValue(from, to, r.top),
        ConvertValue(from, to, r.right), ConvertValue(from, to, r.bottom) };
}

TPgPageSize ConvertValue(TPgMeasurement from, TPgMeasurement to, const TPgPageSize &s)
{
    return { ConvertValue(from, to, s.width), ConvertValue(from, to, s.height) };
}

TPgRectF OffsetRect(const TPgRectF &r, double dx, double dy)
{
    return { r.left + dx, r.top + dy, r.right + dx, r.bottom + dy };
}

QRect ScaleRect(const QRect &r, double factor)
{
    const int l = pgRound(r.left() * factor);
    const int t = pgRound(r.top() * factor);
    const int rr = pgRound((r.right() + 1) * factor);
    const int b = pgRound((r.bottom() + 1) * factor);
    return QRect(QPoint(l, t), QPoint(rr - 1, b - 1));
}

TPgCornerPoints RectToCorners(int left, int top, int right, int bottom)
{
    return { QPoint(left, top), QPoint(right, top), QPoint(left, bottom), QPoint(right, bottom) };
}

QRect CornersToRect(const TPgCornerPoints &c)
{
    return QRect(c.topLeft, QPoint(c.bottomRight.x() - 1, c.bottomRight.y() - 1));
}

namespace {

enum class PaperUnit { Mm, In, None };

struct PaperRow {
    const char *name;
    double width;
    double height;
    PaperUnit unit;
    int code;
};

// Portrait dimensions as the engine defines them; Envelope_12, Envelope_14 and Ledger are
// wider than high on purpose and are used unchanged.
constexpr PaperRow paperTable[pgPaperSizeCount] = {
    { "A3", 297, 420, PaperUnit::Mm, 8 },
    { "A4", 210, 297, PaperUnit::Mm, 9 },
    { "A5", 148.5, 210, PaperUnit::Mm, 11 },
    { "A6", 105, 148, PaperUnit::Mm, 70 },
    { "B5", 6.92, 9.84, PaperUnit::In, 13 },
    { "C5", 6.38, 9.02, PaperUnit::In, 28 },
    { "C6", 114, 162, PaperUnit::Mm, -1 },
    { "C65", 114, 229, PaperUnit::Mm, -1 },
    { "Legal", 8.5, 14, PaperUnit::In, 5 },
    { "Letter", 8.5, 11, PaperUnit::In, 1 },
    { "Custom", 0, 0, PaperUnit::None, -1 },
    { "B4", 250, 354, PaperUnit::Mm, 12 },
    { "Envelope_DL", 110, 220, PaperUnit::Mm, -1 },
    { "Envelope_DL_Maxi", 120, 235, PaperUnit::Mm, -1 },
    { "Envelope_09", 3.78, 8.78, PaperUnit::In, 19 },
    { "Envelope_10", 4.18, 9.12, PaperUnit::In, 20 },
    { "Envelope_11", 4.12, 10.38, PaperUnit::In, 21 },
    { "Envelope_12", 12.44, 11, PaperUnit::In, 22 },
    { "Envelope_14", 14.5, 11.12, PaperUnit::In, 23 },
    { "Tabloid", 11, 17, PaperUnit::In, 3 },
    { "Ledger", 17, 11, PaperUnit::In, 4 },
    { "Executive", 7.14, 10.12, PaperUnit::In, 7 },
};

const PaperRow *paperRow(TPgPaperSize size)
{
    const int i = static_cast<int>(size);
    if (i < 0 || i >= pgPaperSizeCount)
        return nullptr;
    return &paperTable[i];
}

} // namespace

TPgPageSize PaperDimensions(TPgPaperSize size)
{
    const PaperRow *row = paperRow(size);
    if (!row || row->unit == PaperUnit::None)
        return {};
    if (row->unit == PaperUnit::Mm)
        return { ConvertValue(pgMillimeters, pgInches, row->width),
            ConvertValue(pgMillimeters, pgInches, row->height) };
    return { row->width, row->height };
}

TPgPageSize PaperPageSize(TPgPaperSize size, TPgOrientation orientation)
{
    TPgPageSize s = PaperDimensions(size);
    if (orientation == pgLandscape)
        std::swap(s.width, s.height);
    return s;
}

int PrinterPaperCode(TPgPaperSize size)
{
    const PaperRow *row = paperRow(size);
    return row ? row->code : -1;
}

QString PaperSizeName(TPgPaperSize size)
{
    const PaperRow *row = paperRow(size);
    return row ? QString::fromLatin1(row->name) : QStringLiteral("Custom");
}

TPgPaperSize PaperSizeFromName(const QString &name)
{
    for (int i = 0; i < pgPaperSizeCount; ++i) {
        if (name == QLatin1String(paperTable[i].name))
            return static_cast<TPgPaperSize>(i);
    }
    return TPgPaperSize::Custom;
}

QStringList PaperSizeNames()
{
    QStringList names;
    names.reserve(pgPaperSizeCount);
    for (const PaperRow &row : paperTable)
        names << QString::fromLatin1(row.name);
    return names;
}

int PackColor(const QColor &c)
{
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

QColor UnpackColor(int packed)
{
    const unsigned v = static_cast<unsigned>(packed) & 0xFFFFFFu;
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

int PenStyleOrdinal(Qt::PenStyle style)
{
    switch (style) {
    case Qt::SolidLine:
        return 0;
    case Qt::DashLine:
        return 1;
    case Qt::DotLine:
        return 2;
    case Qt::DashDotLine:
        return 3;
    case Qt::DashDotDotLine:
        return 4;
    case Qt::NoPen:
        return 5;
    default:
        return 0;
    }
}

bool PenStyleFromOrdinal(int ordinal, Qt::PenStyle *style)
{
    static constexpr Qt::PenStyle styles[] = { Qt::SolidLine, Qt::DashLine, Qt::DotLine,
        Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen, Qt::SolidLine };
    if (ordinal < 0 || ordinal > 6)
        return false;
    *style = styles[ordinal];
    return true;
}

QPen DevicePen(const QPen &pen)
{
    QPen p(pen);
    if (p.widthF() <= 1.0) {
        p.setWidth(0);
        p.setCosmetic(true);
    }
    return p;
}

void ApplyPenMode(QPainter &painter, int mode)
{
    switch (mode) {
    case 3: // not
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        break;
    case 14: // xor
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    }
}

void DrawFrameRect(QPainter &painter, int left, int top, int right, int bottom)
{
    // Under a scaling map one logical unit can be far below a pixel; drawing the frame
    // from its edges keeps it where the platform would put it at any mapping.
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(left, top, right - left - 1, bottom - top - 1));
    painter.restore();
}
