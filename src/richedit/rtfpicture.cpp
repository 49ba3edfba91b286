#include "rtfpicture.h"

#include <QAtomicInteger>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <emf2svg.h>

#include <climits>
#include <cmath>
#include <functional>
#include <queue>
#include <vector>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kHiMetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerPixel = 15; // at 96 dots per inch
constexpr int kMaxMetafileSide = 2048; // pixels a drawn metafile takes at most

quint32 le32(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 le16(const QByteArray &b, qsizetype at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    const auto *p = reinterpret_cast<const uchar *>(b.constData() + at);
    return quint16(p[0] | p[1] << 8);
}

void put32(QByteArray &b, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xFF);
}

// One shared placeholder: a grey frame with a cross, scaled to each picture's size.
QImage placeholder()
{
    static const QImage image = [] {
        QImage im(64, 48, QImage::Format_RGB32);
        im.fill(QColor(236, 236, 236));
        QPainter p(&im);
        p.setPen(QColor(150, 150, 150));
        p.drawRect(0, 0, im.width() - 1, im.height() - 1);
        p.drawLine(0, 0, im.width() - 1, im.height() - 1);
        p.drawLine(0, im.height() - 1, im.width() - 1, 0);
        return im;
    }();
    return image;
}

// Decodes at most maxPixels pixels and charges the pixels of the source to
// budget: nothing when the budget cannot pay for them, and a picture larger
// than maxPixels only when its reader can scale it while decoding.
QImage readBitmap(const QByteArray &bytes, const char *format, qint64 maxPixels, qint64 &budget)
{
    maxPixels = qMin(maxPixels, budget);
    if (maxPixels <= 0)
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 source = qint64(size.width()) * size.height();
        if (source <= 0 || source > budget)
            return {};
        if (source > maxPixels) {
            if (!reader.supportsOption(QImageIOHandler::ScaledSize))
                return {};
            const double f = std::sqrt(double(maxPixels) / double(source));
            reader.setScaledSize(QSize(qMax(1, int(size.width() * f)), qMax(1, int(size.height() * f))));
        }
        budget -= source;
    }
    QImage image = reader.read();
    if (!size.isValid() && !image.isNull()) {
        const qint64 decoded = qint64(image.width()) * image.height();
        budget -= decoded;
        if (decoded > maxPixels)
            return {};
    }
    return image;
}

// A \dibitmap is a BMP file without its file header: put one in front.
QImage readDib(const QByteArray &dib, qint64 maxPixels, qint64 &budget)
{
    const quint32 headerSize = le32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 colours = 0;
    quint32 bitCount = 0;
    quint32 compression = 0;
    if (headerSize == 12) {
        bitCount = le16(dib, 10);
        colours = bitCount <= 8 ? (1u << bitCount) * 3 : 0;
    } else {
        bitCount = le16(dib, 14);
        compression = le32(dib, 16);
        quint32 used = le32(dib, 32);
        if (used == 0 && bitCount <= 8)
            used = 1u << bitCount;
        colours = qMin<quint32>(used, 256) * 4;
        if (headerSize == 40 && (compression == 3 || compression == 6))
            colours += compression == 3 ? 12 : 16;
    }
    QByteArray bmp("BM");
    put32(bmp, quint32(14 + dib.size()));
    put32(bmp, 0);
    put32(bmp, 14 + headerSize + colours);
    bmp += dib;
    return readBitmap(bmp, "BMP", maxPixels, budget);
}

// A \wbitmap: rows of a device-dependent bitmap, top row first.
QImage readDdb(const PictureData &d, qint64 maxPixels, qint64 &budget)
{
    const int w = d.picw, h = d.pich, bpp = d.bitsPerPixel;
    if (w <= 0 || h <= 0 || qint64(w) * h > qMin(maxPixels, budget))
        return {};
    QImage::Format format;
    switch (bpp) {
    case 1: format = QImage::Format_Mono; break;
    case 24: format = QImage::Format_BGR888; break;
    case 32: format = QImage::Format_RGB32; break;
    default: return {};
    }
    const qint64 rowBytes = (qint64(w) * bpp + 7) / 8;
    const qint64 stride = d.widthBytes > 0 ? d.widthBytes : ((rowBytes + 1) / 2) * 2;
    if (stride < rowBytes || stride * h > d.bytes.size())
        return {};
    QImage image(w, h, format);
    if (image.isNull())
        return {};
    if (bpp == 1)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < h; ++y)
        std::memcpy(image.scanLine(y), d.bytes.constData() + stride * y, size_t(rowBytes));
    budget -= qint64(w) * h;
    return image;
}

// Checks that every record of an enhanced metafile lies inside it, so the
// drawing library only ever walks well-formed record chains.
bool wellFormedEmf(const QByteArray &b)
{
    if (b.size() < 88 || le32(b, 0) != 1 || le32(b, 40) != 0x464D4520)
        return false;
    qsizetype at = 0;
    int records = 0;
    while (at + 8 <= b.size()) {
        const quint32 type = le32(b, at), size = le32(b, at + 4);
        if (size < 8 || size % 4 != 0 || size > quint32(b.size() - at) || type < 1 || type > 122
            || ++records > 1'000'000)
            return false;
        if (type == 14) // EMR_EOF
            return true;
        at += size;
    }
    return false;
}

QImage drawEmf(const QByteArray &bytes, QSize pixels)
{
    if (!wellFormedEmf(bytes))
        return {};
    generatorOptions options{};
    char ns[] = "";
    options.nameSpace = ns;
    options.verbose = false;
    options.emfplus = false; // EMF+ records are not drawn: left unparsed
    options.svgDelimiter = true;
    options.imgWidth = pixels.width();
    options.imgHeight = pixels.height();
    QByteArray copy = bytes; // the library takes a writable buffer
    char *out = nullptr;
    size_t length = 0;
    const int status = emf2svg(copy.data(), size_t(copy.size()), &out, &length, &options);
    QByteArray svg;
    if (out) {
        if (status)
            svg = QByteArray(out, qsizetype(length));
        std::free(out);
    }
    if (svg.isEmpty())
        return {};
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return image;
}


// A player for the records of Windows metafiles that word processors write:
// the window, pens, brushes and fonts, lines, rectangles, ellipses,
// polygons, text and device-independent bitmaps. Every record is checked to
// lie inside the data; unknown records are passed over.
class WmfReader
{
public:
    WmfReader(const QByteArray &b, qsizetype at, qsizetype end) : m_b(b), m_at(at), m_end(end) {}
    int u16(int i) const { return le16(m_b, m_at + 6 + 2 * i); }
    int s16(int i) const { return qint16(le16(m_b, m_at + 6 + 2 * i)); }
    quint32 u32(int i) const { return le32(m_b, m_at + 6 + 2 * i); }
    bool has(int words) const { return m_at + 6 + 2 * qsizetype(words) <= m_end; }
    QByteArray from(int i) const
    {
        const qsizetype start = m_at + 6 + 2 * qsizetype(i);
        return start < m_end ? m_b.mid(start, m_end - start) : QByteArray();
    }
    QColor colour(int i) const
    {
        const quint32 c = u32(i);
        return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    }

private:
    const QByteArray &m_b;
    qsizetype m_at, m_end;
};

bool wellFormedWmf(const QByteArray &b)
{
    return b.size() >= 18 && (le16(b, 0) == 1 || le16(b, 0) == 2) && le16(b, 2) == 9;
}

QImage drawWmf(const QByteArray &b, QSize pixels, qint64 maxPixels, RtfPicture::Work &work)
{
    if (!wellFormedWmf(b))
        return {};
    struct Object {
        int kind = 0; // 0 none, 1 pen, 2 brush, 3 font, 4 other
        QPen pen;
        QBrush brush;
        QFont font;
    };
    QList<Object> objects(qBound(1, int(le16(b, 10)), 4096));
    // the free slots, lowest first: a new object takes the lowest
    std::priority_queue<int, std::vector<int>, std::greater<int>> freeSlots;
    for (int i = 0; i < objects.size(); ++i)
        freeSlots.push(i);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::white);
    QPoint org(0, 0);
    QSize ext = pixels;
    QPoint current;
    QColor textColour = Qt::black;
    QFont font;
    Qt::FillRule fill = Qt::OddEvenFill;
    bool drew = false;
    bool outOfWork = false;
    int saved = 0;
    const auto setWindow = [&] {
        if (ext.width() != 0 && ext.height() != 0) {
            p.setWindow(QRect(org, ext));
            p.setViewport(QRect(QPoint(0, 0), pixels));
        }
    };
    const auto points = [](const WmfReader &r, int first, int count) {
        QPolygon poly;
        for (int i = 0; i < count && r.has(first + 2 * i + 2); ++i)
            poly << QPoint(r.s16(first + 2 * i), r.s16(first + 2 * i + 1));
        return poly;
    };
    const auto bitmap = [&](const WmfReader &r, int dibAt, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
        if (work.dibPixels <= 0) {
            outOfWork = true;
            return;
        }
        const QImage dib = readDib(r.from(dibAt), maxPixels, work.dibPixels);
        if (dib.isNull())
            return;
        // DIB rows run bottom up but the source rectangle counts from the top
        p.drawImage(QRect(dx, dy, dw, dh), dib, QRect(sx, sy, sw ? sw : dib.width(), sh ? sh : dib.height()));
        drew = true;
    };
    qsizetype at = qsizetype(le16(b, 2)) * 2;
    for (int records = 0; at + 6 <= b.size() && records < 1'000'000 && !outOfWork; ++records) {
        const qsizetype size = qsizetype(le32(b, at)) * 2;
        const int function = le16(b, at + 4);
        if (size < 6 || at + size > b.size() || function == 0)
            break;
        if (--work.records < 0) {
            outOfWork = true;
            break;
        }
        const WmfReader r(b, at, at + size);
        switch (function) {
        case 0x020B: if (r.has(2)) { org = QPoint(r.s16(1), r.s16(0)); setWindow(); } break; // SetWindowOrg
        case 0x020C: if (r.has(2)) { ext = QSize(r.s16(1), r.s16(0)); setWindow(); } break; // SetWindowExt
        case 0x001E: // SaveDC
            if (saved < 64) {
                p.save();
                ++saved;
            }
            break;
        case 0x0127: // RestoreDC
            if (saved > 0) {
                p.restore();
                --saved;
                setWindow();
            }
            break;
        case 0x0209: if (r.has(2)) textColour = r.colour(0); break; // SetTextColor
        case 0x0106: if (r.has(1)) fill = r.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
        case 0x02FA: case 0x02FC: case 0x02FB: // CreatePenIndirect, CreateBrushIndirect, CreateFontIndirect
        case 0x00F7: case 0x01F9: case 0x0142: case 0x06FF: { // palettes, pattern brushes, regions
            Object o;
            if (function == 0x02FA && r.has(5)) {
                o.kind = 1;
                const int style = r.u16(0) & 0xF;
                o.pen = style == 5 ? QPen(Qt::NoPen) : QPen(r.colour(3), qMax(0, r.s16(1)));
                if (style >= 1 && style <= 4)
                    o.pen.setStyle(Qt::PenStyle(style + 1));
            } else if (function == 0x02FC && r.has(3)) {
                o.kind = 2;
                o.brush = r.u16(0) == 1 ? QBrush(Qt::NoBrush) : QBrush(r.colour(1));
            } else if (function == 0x02FB && r.has(9)) {
                o.kind = 3;
                const QByteArray face = r.from(9);
                o.font.setFamily(QString::fromLatin1(face.left(qMax<qsizetype>(0, face.indexOf('\0')))));
                o.font.setPixelSize(qBound(1, qAbs(r.s16(0)), 10000));
                o.font.setBold(r.s16(4) >= 600);
                o.font.setItalic(r.u16(5) & 0xFF);
            } else {
                o.kind = 4;
            }
            if (!freeSlots.empty()) {
                objects[freeSlots.top()] = o;
                freeSlots.pop();
            }
            break;
        }
        case 0x012D: // SelectObject
            if (r.has(1) && r.u16(0) < objects.size()) {
                const Object &o = objects[r.u16(0)];
                if (o.kind == 1)
                    p.setPen(o.pen);
                else if (o.kind == 2)
                    p.setBrush(o.brush);
                else if (o.kind == 3)
                    font = o.font;
            }
            break;
        case 0x01F0: // DeleteObject
            if (r.has(1) && r.u16(0) < objects.size() && objects[r.u16(0)].kind != 0) {
                objects[r.u16(0)] = Object();
                freeSlots.push(r.u16(0));
            }
            break;
        case 0x0214: if (r.has(2)) current = QPoint(r.s16(1), r.s16(0)); break; // MoveTo
        case 0x0213: // LineTo
            if (r.has(2)) {
                const QPoint to(r.s16(1), r.s16(0));
                p.drawLine(current, to);
                current = to;
                drew = true;
            }
            break;
        case 0x041B: case 0x0418: // Rectangle, Ellipse
            if (r.has(4)) {
                const QRect rect(QPoint(r.s16(3), r.s16(2)), QPoint(r.s16(1), r.s16(0)));
                function == 0x041B ? p.drawRect(rect) : p.drawEllipse(rect);
                drew = true;
            }
            break;
        case 0x0324: case 0x0325: // Polygon, Polyline
            if (r.has(1)) {
                const QPolygon poly = points(r, 1, r.u16(0));
                function == 0x0324 ? p.drawPolygon(poly, fill) : p.drawPolyline(poly);
                drew = true;
            }
            break;
        case 0x0538: // PolyPolygon
            if (r.has(1)) {
                const int n = r.u16(0);
                QPainterPath path;
                path.setFillRule(fill);
                int first = 1 + n;
                for (int i = 0; i < n && r.has(1 + i + 1); ++i) {
                    const int count = r.u16(1 + i);
                    QPolygon poly = points(r, first, count);
                    if (!poly.isEmpty())
                        poly << poly.first();
                    path.addPolygon(poly);
                    first += 2 * count;
                }
                p.drawPath(path);
                drew = true;
            }
            break;
        case 0x0521: // TextOut
            if (r.has(1)) {
                const int len = r.u16(0);
                const int words = (len + 1) / 2;
                if (r.has(1 + words + 2)) {
                    p.setFont(font);
                    p.setPen(textColour);
                    p.drawText(QPoint(r.s16(1 + words + 1), r.s16(1 + words) + font.pixelSize()),
                               QString::fromLatin1(r.from(1).left(len)));
                    drew = true;
                }
            }
            break;
        case 0x0A32: // ExtTextOut
            if (r.has(4)) {
                const int len = r.u16(2);
                const int textAt = (r.u16(3) & 0x6) ? 8 : 4;
                if (!r.has(textAt + (len + 1) / 2)) // the text lies inside the record
                    break;
                p.setFont(font);
                QPen pen = p.pen();
                p.setPen(textColour);
                p.drawText(QPoint(r.s16(1), r.s16(0) + font.pixelSize()), QString::fromLatin1(r.from(textAt).left(len)));
                p.setPen(pen);
                drew = true;
            }
            break;
        case 0x0B41: // DIBStretchBlt
            if (size > 2 * (function >> 8) + 6 && r.has(10))
                bitmap(r, 10, r.s16(9), r.s16(8), r.s16(7), r.s16(6), r.s16(5), r.s16(4), r.s16(3), r.s16(2));
            break;
        case 0x0F43: // StretchDIBits
            if (r.has(11))
                bitmap(r, 11, r.s16(10), r.s16(9), r.s16(8), r.s16(7), r.s16(6), r.s16(5), r.s16(4), r.s16(3));
            break;
        case 0x0940: // DIBBitBlt
            if (size > 2 * (function >> 8) + 6 && r.has(8))
                bitmap(r, 8, r.s16(7), r.s16(6), r.s16(5), r.s16(4), r.s16(3), r.s16(2), r.s16(5), r.s16(4));
            break;
        default: break;
        }
        at += size;
    }
    while (saved-- > 0)
        p.restore();
    p.end();
    return drew && !outOfWork ? image : QImage();
}

bool isMetafile(PictureKind k)
{
    return k == PictureKind::Emf || k == PictureKind::Wmf || k == PictureKind::Other;
}

qint64 side(int goal, int pic, int imageSide, bool metafile)
{
    if (goal > 0)
        return goal;
    if (pic > 0)
        return metafile ? qint64(pic) * kTwipsPerInch / kHiMetricPerInch : qint64(pic) * kTwipsPerPixel;
    return qint64(imageSide) * kTwipsPerPixel;
}

const char kHex[] = "0123456789abcdef";

// A document keeps its resources by name alone, so the kept bytes have a name of their own.
QUrl bytesUrl(const QString &name)
{
    return QUrl(name + QStringLiteral("#bytes"));
}

} // namespace

QImage RtfPicture::decode(const PictureData &d, bool *drawn, qint64 maxPixels, Work *work)
{
    Work own;
    if (!work)
        work = &own;
    QImage image;
    switch (d.kind) {
    case PictureKind::Png: image = readBitmap(d.bytes, "PNG", maxPixels, work->pixels); break;
    case PictureKind::Jpeg: image = readBitmap(d.bytes, "JPEG", maxPixels, work->pixels); break;
    case PictureKind::Dib: image = readDib(d.bytes, maxPixels, work->pixels); break;
    case PictureKind::Bitmap: image = readDdb(d, maxPixels, work->pixels); break;
    case PictureKind::Emf: {
        const QSize twips = displayTwips(d, QImage());
        QSize px(qMax(1, twips.width() / kTwipsPerPixel), qMax(1, twips.height() / kTwipsPerPixel));
        px = px.boundedTo(QSize(kMaxMetafileSide, kMaxMetafileSide));
        const qint64 area = qint64(px.width()) * px.height();
        if (area <= qMin(maxPixels, work->pixels))
            image = drawEmf(d.bytes, px);
        if (!image.isNull())
            work->pixels -= area;
        break;
    }
    case PictureKind::Wmf: {
        const QSize twips = displayTwips(d, QImage());
        QSize px(qMax(1, twips.width() / kTwipsPerPixel), qMax(1, twips.height() / kTwipsPerPixel));
        px = px.boundedTo(QSize(kMaxMetafileSide, kMaxMetafileSide));
        const qint64 area = qint64(px.width()) * px.height();
        if (area <= qMin(maxPixels, work->pixels))
            image = drawWmf(d.bytes, px, maxPixels, *work);
        if (!image.isNull())
            work->pixels -= area;
        break;
    }
    default: break;
    }
    if (drawn)
        *drawn = !image.isNull();
    return image.isNull() ? placeholder() : image;
}

QSize RtfPicture::displayTwips(const PictureData &d, const QImage &image)
{
    const bool metafile = isMetafile(d.kind);
    qint64 w = side(d.goalw, d.picw, image.width(), metafile);
    qint64 h = side(d.goalh, d.pich, image.height(), metafile);
    w = w * qBound(1, d.scalex, 10000) / 100;
    h = h * qBound(1, d.scaley, 10000) / 100;
    if (w <= 0 || h <= 0) // nothing says how large: two inches by one and a half
        w = 2 * kTwipsPerInch, h = 3 * kTwipsPerInch / 2;
    return QSize(int(qBound(qint64(kTwipsPerPixel), w, qint64(kMaxTwips))),
                 int(qBound(qint64(kTwipsPerPixel), h, qint64(kMaxTwips))));
}

void RtfPicture::insert(QTextCursor &cursor, const PictureData &d, const QImage &image, const QTextCharFormat &run)
{
    static QAtomicInteger<quint32> serial;
    QTextDocument *doc = cursor.document();
    const QString name = QStringLiteral("tessary-picture:%1").arg(++serial);
    const QUrl url(name);
    doc->addResource(QTextDocument::ImageResource, url, image);
    if (d.kind != PictureKind::None && !d.bytes.isEmpty())
        doc->addResource(QTextDocument::UserResource, bytesUrl(name), d.bytes);
    const QSize twips = displayTwips(d, image);
    QTextImageFormat f;
    f.merge(run); // a link or hidden text the picture stands in
    f.setName(name);
    f.setWidth(twips.width() / double(kTwipsPerPixel));
    f.setHeight(twips.height() / double(kTwipsPerPixel));
    f.setProperty(RichTextProperty::PictureKind, int(d.kind));
    if (d.picw > 0)
        f.setProperty(RichTextProperty::PicturePixelWidth, d.picw);
    if (d.pich > 0)
        f.setProperty(RichTextProperty::PicturePixelHeight, d.pich);
    if (isMetafile(d.kind))
        f.setProperty(RichTextProperty::PictureMapMode, d.mapMode);
    if (d.kind == PictureKind::Other)
        f.setProperty(RichTextProperty::PictureTypeWord, QString::fromLatin1(d.typeWord));
    if (d.kind == PictureKind::Bitmap)
        f.setProperty(RichTextProperty::PictureBitmapInfo, (d.bitsPerPixel & 0xFF) << 16 | (d.widthBytes & 0xFFFF));
    cursor.insertImage(f);
}

bool RtfPicture::fromFile(const QString &path, PictureData *d, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The picture \"%1\" cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > 256 * 1024 * 1024) {
        if (error)
            *error = QStringLiteral("The picture \"%1\" is too large.").arg(path);
        return false;
    }
    const QByteArray bytes = file.readAll();
    *d = PictureData();
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
        d->kind = PictureKind::Png;
        d->bytes = bytes;
    } else if (bytes.startsWith("\xFF\xD8\xFF")) {
        d->kind = PictureKind::Jpeg;
        d->bytes = bytes;
    } else if (wellFormedEmf(bytes)) {
        d->kind = PictureKind::Emf;
        d->bytes = bytes;
        // rclFrame, in hundredths of a millimetre
        d->picw = int(qBound(qint64(0), qint64(qint32(le32(bytes, 32))) - qint32(le32(bytes, 24)), qint64(INT_MAX)));
        d->pich = int(qBound(qint64(0), qint64(qint32(le32(bytes, 36))) - qint32(le32(bytes, 28)), qint64(INT_MAX)));
    } else if (le32(bytes, 0) == 0x9AC6CDD7 && bytes.size() > 22 + 18) {
        // a placeable metafile: RTF carries the metafile without its 22-byte header
        d->kind = PictureKind::Wmf;
        d->bytes = bytes.mid(22);
        const int unitsPerInch = le16(bytes, 14) ? le16(bytes, 14) : 1440;
        const int w = qint16(le16(bytes, 10)) - qint16(le16(bytes, 6));
        const int h = qint16(le16(bytes, 12)) - qint16(le16(bytes, 8));
        d->picw = w * kHiMetricPerInch / unitsPerInch;
        d->pich = h * kHiMetricPerInch / unitsPerInch;
        d->goalw = w * kTwipsPerInch / unitsPerInch;
        d->goalh = h * kTwipsPerInch / unitsPerInch;
    } else if (wellFormedWmf(bytes)) {
        d->kind = PictureKind::Wmf;
        d->bytes = bytes;
    } else {
        qint64 budget = kMaxPixels;
        QImage image = readBitmap(bytes, nullptr, kMaxPixels, budget);
        if (image.isNull()) {
            QByteArray copy = bytes; // shared, not copied
            QBuffer buffer(&copy);
            buffer.open(QIODevice::ReadOnly);
            const QSize known = QImageReader(&buffer).size();
            const bool tooLarge = known.isValid() && qint64(known.width()) * known.height() > kMaxPixels;
            if (error && tooLarge)
                *error = QStringLiteral("The picture \"%1\" is too large to insert.").arg(QFileInfo(path).fileName());
            else if (error)
                *error = QStringLiteral("The file \"%1\" is not a picture that can be inserted.").arg(QFileInfo(path).fileName());
            return false;
        }
        QBuffer buffer(&d->bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        d->kind = PictureKind::Png;
        d->picw = image.width();
        d->pich = image.height();
        return true;
    }
    if (d->kind == PictureKind::Png || d->kind == PictureKind::Jpeg) {
        QBuffer buffer(&d->bytes);
        buffer.open(QIODevice::ReadOnly);
        const QSize size = QImageReader(&buffer).size();
        if (!size.isValid()) {
            if (error)
                *error = QStringLiteral("The file \"%1\" is not a picture that can be inserted.").arg(QFileInfo(path).fileName());
            return false;
        }
        d->picw = size.width();
        d->pich = size.height();
    }
    return true;
}

QByteArray RtfPicture::toRtf(const QTextDocument &document, const QTextImageFormat &f)
{
    const QUrl url(f.name());
    auto kind = PictureKind(f.intProperty(RichTextProperty::PictureKind));
    QByteArray bytes = kind == PictureKind::None
                           ? QByteArray() : document.resource(QTextDocument::UserResource, bytesUrl(f.name())).toByteArray();
    int picw = f.intProperty(RichTextProperty::PicturePixelWidth);
    int pich = f.intProperty(RichTextProperty::PicturePixelHeight);
    const QVariant resource = document.resource(QTextDocument::ImageResource, url);
    QImage image = resource.value<QImage>();
    if (image.isNull() && resource.userType() == QMetaType::QByteArray)
        image = QImage::fromData(resource.toByteArray()); // a picture the editor loaded from a file
    if (bytes.isEmpty()) {
        if (image.isNull())
            return {};
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = PictureKind::Png;
        picw = image.width();
        pich = image.height();
    }
    const int goalw = f.width() > 0 ? int(std::lround(f.width() * kTwipsPerPixel)) : image.width() * kTwipsPerPixel;
    const int goalh = f.height() > 0 ? int(std::lround(f.height() * kTwipsPerPixel)) : image.height() * kTwipsPerPixel;
    QByteArray out = "{\\pict";
    const int mapMode = f.hasProperty(RichTextProperty::PictureMapMode)
                            ? f.intProperty(RichTextProperty::PictureMapMode) : 8;
    switch (kind) {
    case PictureKind::Png: out += "\\pngblip"; break;
    case PictureKind::Jpeg: out += "\\jpegblip"; break;
    case PictureKind::Emf: out += "\\emfblip"; break;
    case PictureKind::Wmf: out += "\\wmetafile" + QByteArray::number(mapMode); break;
    case PictureKind::Dib: out += "\\dibitmap0"; break;
    case PictureKind::Bitmap: {
        const int info = f.intProperty(RichTextProperty::PictureBitmapInfo);
        out += "\\wbitmap0\\wbmbitspixel" + QByteArray::number(info >> 16) + "\\wbmplanes1\\wbmwidthbytes"
               + QByteArray::number(info & 0xFFFF);
        break;
    }
    case PictureKind::Other: // the type word it came with; none for a picture that had none
        out += f.hasProperty(RichTextProperty::PictureTypeWord)
                   ? f.stringProperty(RichTextProperty::PictureTypeWord).toLatin1() : QByteArrayLiteral("\\macpict");
        break;
    case PictureKind::None: break;
    }
    if (picw > 0)
        out += "\\picw" + QByteArray::number(picw);
    if (pich > 0)
        out += "\\pich" + QByteArray::number(pich);
    out += "\\picwgoal" + QByteArray::number(goalw) + "\\pichgoal" + QByteArray::number(goalh) + "\n";
    QByteArray hex(bytes.size() * 2 + bytes.size() / 64 + 1, Qt::Uninitialized);
    char *h = hex.data();
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        *h++ = kHex[b[i] >> 4];
        *h++ = kHex[b[i] & 15];
        if (i % 64 == 63)
            *h++ = '\n';
    }
    hex.truncate(h - hex.constData());
    out += hex;
    out += '}';
    return out;
}

QByteArray RtfPicture::keptBytes(const QTextDocument &document, const QTextImageFormat &format)
{
    return document.resource(QTextDocument::UserResource, bytesUrl(format.name())).toByteArray();
}
