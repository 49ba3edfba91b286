#include "temfpaintengine_p.h"
#include "tlittleendian_p.h"

#include "temfdevice.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>
#include <QtEndian>

#include <cmath>

namespace {

constexpr quint32 kStockWhiteBrush = 0x80000000;
constexpr quint32 kStockNullBrush = 0x80000005;
constexpr quint32 kStockBlackPen = 0x80000007;
constexpr quint32 kStockNullPen = 0x80000008;
constexpr quint32 kStockSystemFont = 0x8000000D;

enum Slot : quint32 { PenSlot = 1, BrushSlot = 2, FontSlot = 3 };

class Writer {
public:
    QByteArray bytes;
    void u32(quint32 v) { TessaryExport::put32(bytes, v); }
    void i32(qint32 v) { u32(quint32(v)); }
    void u16(quint16 v) { TessaryExport::put16(bytes, v); }
    void u8(quint8 v) { bytes.append(char(v)); }
    void f32(float v)
    {
        quint32 bits;
        memcpy(&bits, &v, 4);
        u32(bits);
    }
    void point(QPointF p)
    {
        i32(qRound(p.x()));
        i32(qRound(p.y()));
    }
    void rect(const QRect &r) // RECTL, inclusive
    {
        i32(r.left());
        i32(r.top());
        i32(r.right());
        i32(r.bottom());
    }
    void pad()
    {
        while (bytes.size() % 4)
            bytes.append('\0');
    }
};

quint32 colourRef(const QColor &c)
{
    const QRgb rgb = c.rgb();
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

QRect boundsOf(const QPolygonF &points)
{
    return points.boundingRect().toAlignedRect();
}

QImage onWhite(const QImage &image)
{
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

} // namespace

TEmfPaintEngine::TEmfPaintEngine(TEmfDevice *device)
    : QPaintEngine(QPaintEngine::AllFeatures)
    , m_device(device)
{
}

bool TEmfPaintEngine::begin(QPaintDevice *)
{
    m_transform = QTransform();
    m_pen = QPen();
    m_brush = QBrush();
    m_penDirty = m_brushDirty = true;
    if (!m_defaultsWritten) emitDefaults();
    return true;
}

bool TEmfPaintEngine::end()
{
    return true;
}

void TEmfPaintEngine::emitRecord(quint32 type, const QByteArray &payload)
{
    Writer w;
    w.u32(type);
    w.u32(quint32(8 + payload.size()));
    w.bytes += payload;
    w.pad();
    qToLittleEndian(quint32(w.bytes.size()), w.bytes.data() + 4);
    m_records += w.bytes;
    ++m_recordCount;
}

void TEmfPaintEngine::emitDefaults()
{
    m_defaultsWritten = true;
    Writer mapMode;
    mapMode.u32(1); // MM_TEXT: one logical unit is one pixel
    emitRecord(EmrSetMapMode, mapMode.bytes);
    Writer bkMode;
    bkMode.u32(1); // TRANSPARENT: text leaves what is behind it
    emitRecord(EmrSetBkMode, bkMode.bytes);
    Writer align;
    align.u32(24); // TA_BASELINE | TA_LEFT: QPainter places text by its baseline
    emitRecord(EmrSetTextAlign, align.bytes);
}

void TEmfPaintEngine::replaceObject(
    quint32 slot, quint32 stockObject, quint32 type, const QByteArray &body)
{
    // A selected object may not be deleted: hand the slot's place in the DC
    // to a stock object first, then reuse the slot.
    Writer stock;
    stock.u32(stockObject);
    emitRecord(EmrSelectObject, stock.bytes);
    Writer del;
    del.u32(slot);
    emitRecord(EmrDeleteObject, del.bytes);
    Writer create;
    create.u32(slot);
    create.bytes += body;
    emitRecord(type, create.bytes);
    Writer select;
    select.u32(slot);
    emitRecord(EmrSelectObject, select.bytes);
}

void TEmfPaintEngine::selectPen()
{
    if (!m_penDirty) return;
    m_penDirty = false;
    quint32 style = 0;
    switch (m_pen.style()) {
    case Qt::NoPen:
        style = 5;
        break;
    case Qt::DashLine:
        style = 1;
        break;
    case Qt::DotLine:
        style = 2;
        break;
    case Qt::DashDotLine:
        style = 3;
        break;
    case Qt::DashDotDotLine:
        style = 4;
        break;
    default:
        style = 0;
        break;
    }
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const double width = m_pen.isCosmetic() ? qMax(1.0, m_pen.widthF()) : m_pen.widthF() * scale;
    // A geometric pen keeps its width, caps and joins in every reader.
    quint32 cap = 0x200; // PS_ENDCAP_FLAT
    if (m_pen.capStyle() == Qt::RoundCap)
        cap = 0x000;
    else if (m_pen.capStyle() == Qt::SquareCap)
        cap = 0x100;
    quint32 join = 0x2000; // PS_JOIN_MITER
    if (m_pen.joinStyle() == Qt::RoundJoin)
        join = 0x0000;
    else if (m_pen.joinStyle() == Qt::BevelJoin)
        join = 0x1000;
    Writer pen;
    pen.u32(0);  // offBmi: no pattern bitmap
    pen.u32(0);  // cbBmi
    pen.u32(0);  // offBits
    pen.u32(0);  // cbBits
    pen.u32(0x10000 | style | cap | join); // PS_GEOMETRIC
    pen.u32(quint32(qMax(1, qRound(width))));
    pen.u32(style == 5 ? 1 : 0); // BS_NULL for no pen, BS_SOLID otherwise
    pen.u32(colourRef(m_pen.color()));
    pen.u32(0); // hatch
    pen.u32(0); // no custom dash entries
    replaceObject(PenSlot, kStockBlackPen, EmrExtCreatePen, pen.bytes);
}

void TEmfPaintEngine::selectBrush()
{
    if (!m_brushDirty) return;
    m_brushDirty = false;
    Writer brush;
    if (m_brush.style() == Qt::NoBrush) {
        brush.u32(1); // BS_NULL
        brush.u32(0);
    } else {
        // Gradients and patterns are recorded as their main colour.
        QColor colour = m_brush.color();
        if (m_brush.gradient() && !m_brush.gradient()->stops().isEmpty())
            colour = m_brush.gradient()->stops().first().second;
        brush.u32(0); // BS_SOLID
        brush.u32(colourRef(colour));
    }
    brush.u32(0);
    replaceObject(BrushSlot, kStockWhiteBrush, EmrCreateBrushIndirect, brush.bytes);
}

void TEmfPaintEngine::selectFont(const QFont &font)
{
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const double pixels = font.pixelSize() > 0 ? font.pixelSize()
                                               : font.pointSizeF() * m_device->logicalDpiY() / 72.0;
    const qint32 height = -qMax(1, qRound(pixels * scale));
    const QString key = font.key() + QString::number(height);
    if (key == m_fontKey) return;
    m_fontKey = key;

    Writer lf; // LOGFONTW, then the rest of a LogFontPanose left zero
    lf.i32(height); // negative: the character height, without internal leading
    lf.i32(0);
    lf.i32(0);
    lf.i32(0);
    lf.i32(qBound(1,
        font.weight() >= QFont::Bold           ? 700
            : font.weight() >= QFont::DemiBold ? 600
                                               : 400,
        1000));
    lf.u8(font.italic() ? 1 : 0);
    lf.u8(font.underline() ? 1 : 0);
    lf.u8(font.strikeOut() ? 1 : 0);
    lf.u8(1); // DEFAULT_CHARSET
    lf.u8(0); // OUT_DEFAULT_PRECIS
    lf.u8(0); // CLIP_DEFAULT_PRECIS
    lf.u8(0); // DEFAULT_QUALITY
    lf.u8(font.fixedPitch() ? 1 : 0);
    const QString face = font.family().left(31);
    for (int i = 0; i < 32; ++i)
        lf.u16(i < face.size() ? face.at(i).unicode() : 0);
    lf.bytes.append(QByteArray(320 - 92, '\0'));
    replaceObject(FontSlot, kStockSystemFont, EmrExtCreateFontIndirectW, lf.bytes);
}

void TEmfPaintEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyTransform) {
        m_transform = state.transform();
        m_penDirty = true;
        m_fontKey.clear();
    }
    if (flags & DirtyPen) {
        m_pen = state.pen();
        m_penDirty = true;
    }
    if (flags & DirtyBrush) {
        m_brush = state.brush();
        m_brushDirty = true;
    }
    if (flags & DirtyFont) m_font = state.font();
}

void TEmfPaintEngine::drawPath(const QPainterPath &path)
{
    const QPainterPath mapped = m_transform.map(path);
    if (mapped.isEmpty()) return;
    selectPen();
    selectBrush();
    const int mode = mapped.fillRule() == Qt::WindingFill ? 2 : 1;
    if (mode != m_fillMode) {
        m_fillMode = mode;
        Writer fill;
        fill.u32(quint32(mode));
        emitRecord(EmrSetPolyFillMode, fill.bytes);
    }

    emitRecord(EmrBeginPath, {});
    QPointF start;
    QPointF current;
    for (int i = 0; i < mapped.elementCount(); ++i) {
        const QPainterPath::Element e = mapped.elementAt(i);
        if (e.isMoveTo()) {
            if (i > 0 && current == start) emitRecord(EmrCloseFigure, {});
            Writer move;
            move.point(e);
            emitRecord(EmrMoveToEx, move.bytes);
            start = current = e;
        } else if (e.isLineTo()) {
            Writer line;
            line.point(e);
            emitRecord(EmrLineTo, line.bytes);
            current = e;
        } else if (e.isCurveTo() && i + 2 < mapped.elementCount()) {
            const QPolygonF points { QPointF(e), QPointF(mapped.elementAt(i + 1)),
                QPointF(mapped.elementAt(i + 2)) };
            Writer curve;
            curve.rect(boundsOf(points));
            curve.u32(3);
            for (const QPointF &p : points)
                curve.point(p);
            emitRecord(EmrPolyBezierTo, curve.bytes);
            current = points.last();
            i += 2;
        }
    }
    if (current == start) emitRecord(EmrCloseFigure, {});
    emitRecord(EmrEndPath, {});

    Writer bounds;
    bounds.rect(mapped.boundingRect().toAlignedRect());
    if (fillable() && strokable())
        emitRecord(EmrStrokeAndFillPath, bounds.bytes);
    else if (fillable())
        emitRecord(EmrFillPath, bounds.bytes);
    else if (strokable())
        emitRecord(EmrStrokePath, bounds.bytes);
}

void TEmfPaintEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    if (count < 2) return;
    QPolygonF polygon;
    polygon.reserve(count);
    for (int i = 0; i < count; ++i)
        polygon.append(m_transform.map(points[i]));
    selectPen();
    if (mode == PolylineMode) {
        if (!strokable()) return;
        Writer line;
        line.rect(boundsOf(polygon));
        line.u32(quint32(count));
        for (const QPointF &p : polygon)
            line.point(p);
        emitRecord(EmrPolyline, line.bytes);
        return;
    }
    selectBrush();
    const int fill = mode == OddEvenMode ? 1 : 2;
    if (fill != m_fillMode) {
        m_fillMode = fill;
        Writer w;
        w.u32(quint32(fill));
        emitRecord(EmrSetPolyFillMode, w.bytes);
    }
    Writer shape;
    shape.rect(boundsOf(polygon));
    shape.u32(quint32(count));
    for (const QPointF &p : polygon)
        shape.point(p);
    emitRecord(EmrPolygon, shape.bytes);
}

void TEmfPaintEngine::drawRects(const QRectF *rects, int count)
{
    if (m_transform.type() > QTransform::TxScale) {
        for (int i = 0; i < count; ++i) {
            const QPolygonF corners(rects[i]);
            drawPolygon(corners.constData(), 4, WindingMode);
        }
        return;
    }
    selectPen();
    selectBrush();
    for (int i = 0; i < count; ++i) {
        const QRect r = m_transform.mapRect(rects[i]).toRect();
        Writer box; // RECTL of Rectangle(): right and bottom are exclusive
        box.i32(r.left());
        box.i32(r.top());
        box.i32(r.left() + r.width());
        box.i32(r.top() + r.height());
        emitRecord(EmrRectangle, box.bytes);
    }
}

void TEmfPaintEngine::drawLines(const QLineF *lines, int count)
{
    if (!strokable()) return;
    selectPen();
    for (int i = 0; i < count; ++i) {
        Writer move;
        move.point(m_transform.map(lines[i].p1()));
        emitRecord(EmrMoveToEx, move.bytes);
        Writer line;
        line.point(m_transform.map(lines[i].p2()));
        emitRecord(EmrLineTo, line.bytes);
    }
}

void TEmfPaintEngine::drawPixmap(const QRectF &r, const QPixmap &pm, const QRectF &sr)
{
    drawImage(r, pm.toImage(), sr, Qt::AutoColor);
}

void TEmfPaintEngine::drawImage(
    const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags)
{
    const QImage source = onWhite(image.copy(sr.toAlignedRect()));
    if (source.isNull()) return;
    const QRect target = m_transform.mapRect(r).toAlignedRect();
    const int w = source.width();
    const int h = source.height();

    Writer rec;
    rec.rect(target.adjusted(0, 0, -1, -1)); // rclBounds, inclusive
    rec.i32(target.left());
    rec.i32(target.top());
    rec.i32(0);
    rec.i32(0);
    rec.i32(w);
    rec.i32(h);
    const quint32 bitsSize = quint32(w) * quint32(h) * 4;
    rec.u32(80); // offBmiSrc: right after this record's fixed part
    rec.u32(40); // cbBmiSrc: BITMAPINFOHEADER
    rec.u32(120); // offBitsSrc
    rec.u32(bitsSize); // cbBitsSrc
    rec.u32(0); // DIB_RGB_COLORS
    rec.u32(0x00CC0020); // SRCCOPY
    rec.i32(target.width());
    rec.i32(target.height());
    // BITMAPINFOHEADER: bottom-up, 32 bits per pixel, uncompressed.
    rec.u32(40);
    rec.i32(w);
    rec.i32(h);
    rec.u16(1);
    rec.u16(32);
    rec.u32(0);
    rec.u32(bitsSize);
    rec.i32(3780);
    rec.i32(3780);
    rec.u32(0);
    rec.u32(0);
    rec.bytes.reserve(rec.bytes.size() + qsizetype(bitsSize));
    for (int y = h - 1; y >= 0; --y)
        rec.bytes.append(reinterpret_cast<const char *>(source.constScanLine(y)), qsizetype(w) * 4);
    emitRecord(EmrStretchDIBits, rec.bytes);
}

void TEmfPaintEngine::drawTextItem(const QPointF &p, const QTextItem &textItem)
{
    const QString text = textItem.text();
    if (text.isEmpty()) return;
    const QFont font = textItem.font();
    selectFont(font);
    const quint32 colour = colourRef(m_pen.color());
    if (colour != m_textColour) {
        m_textColour = colour;
        Writer w;
        w.u32(colour);
        emitRecord(EmrSetTextColor, w.bytes);
    }

    const QPointF at = m_transform.map(p);
    const double scale = std::sqrt(std::abs(m_transform.determinant()));
    const QFontMetricsF metrics(font, m_device);
    QList<qint32> advances;
    double x = 0;
    double previous = 0;
    for (int i = 0; i < text.size(); ++i) {
        // Advances are rounded on the running total so that long lines keep
        // their width.
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size();
        x += metrics.horizontalAdvance(text.mid(i, pair ? 2 : 1)) * scale;
        advances.append(qint32(std::lround(x) - std::lround(previous)));
        previous = x;
        if (pair) {
            advances.append(0); // the low surrogate takes no room of its own
            ++i;
        }
    }
    const QRect bounds = QRectF(at.x(), at.y() - metrics.ascent() * scale, x,
        (metrics.ascent() + metrics.descent()) * scale)
                             .toAlignedRect();

    const quint32 chars = quint32(text.size());
    const quint32 stringOffset = 76;
    const quint32 stringBytes = (chars * 2 + 3) / 4 * 4;
    Writer rec;
    rec.rect(bounds);
    rec.u32(1); // GM_COMPATIBLE
    rec.f32(1.0f); // exScale
    rec.f32(1.0f); // eyScale
    rec.point(at);
    rec.u32(chars);
    rec.u32(stringOffset);
    rec.u32(0); // no clipping or opaque rectangle
    for (int i = 0; i < 4; ++i)
        rec.i32(0); // rcl: unused without options
    rec.u32(stringOffset + stringBytes); // offDx
    for (QChar c : text)
        rec.u16(c.unicode());
    rec.pad();
    for (qint32 dx : advances)
        rec.i32(dx);
    emitRecord(EmrExtTextOutW, rec.bytes);
}
