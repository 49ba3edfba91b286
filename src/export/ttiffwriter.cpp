#include "ttiffwriter.h"
#include "tlittleendian_p.h"

#include "tsavetofile_p.h"

#include <QImage>
#include <QtEndian>

#include <algorithm>
#include <vector>

using namespace TessaryExport;

namespace {

enum FieldType : quint16 { Ascii = 2, Short = 3, Long = 4, Rational = 5 };

struct Entry {
    quint16 tag;
    quint16 type;
    quint32 count;
    quint32 value;
};

class TiffBuffer {
public:
    QByteArray bytes;

    void u16(quint16 v) { put16(bytes, v); }
    void u32(quint32 v) { put32(bytes, v); }
    quint32 pos() const { return quint32(bytes.size()); }

    void header()
    {
        bytes.append("II", 2);
        u16(42);
        u32(0); // directory offset, set last
    }
    quint32 resolution()
    {
        const quint32 at = pos();
        u32(877);
        u32(10);
        return at;
    }
    quint32 software()
    {
        const quint32 at = pos();
        bytes.append("Ondaro Office", 14); // with its NUL
        return at;
    }
    void directory(std::vector<Entry> entries)
    {
        std::sort(entries.begin(), entries.end(),
            [](const Entry &a, const Entry &b) { return a.tag < b.tag; });
        const quint32 at = pos();
        u16(quint16(entries.size()));
        for (const Entry &e : entries) {
            u16(e.tag);
            u16(e.type);
            u32(e.count);
            if (e.type == Short && e.count == 1) {
                u16(quint16(e.value));
                u16(0);
            } else {
                u32(e.value);
            }
        }
        u32(0);
        qToLittleEndian(at, bytes.data() + 4);
    }
};

// Width and height are SHORT fields up to 65535 and LONG beyond.
Entry dimension(quint16 tag, int value)
{
    return { tag, quint16(value > 0xFFFF ? Long : Short), 1, quint32(value) };
}

int luminance(QRgb c)
{
    return qGray(c);
}

QByteArray rgbFile(const QImage &bitmap)
{
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width();
    const int h = rgb.height();
    const quint32 strip = quint32(w) * 3 * quint32(h);

    TiffBuffer t;
    t.bytes.reserve(qsizetype(strip) + 300);
    t.header();
    const quint32 xres = t.resolution();
    const quint32 yres = t.resolution();
    const quint32 bits = t.pos();
    t.u16(8);
    t.u16(8);
    t.u16(8);
    const quint32 software = t.software();
    const quint32 stripAt = t.pos();
    for (int y = 0; y < h; ++y)
        t.bytes.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), qsizetype(w) * 3);
    t.directory({
        { 254, Long, 1, 0 },
        dimension(256, w),
        dimension(257, h),
        { 258, Short, 3, bits },
        { 259, Short, 1, 1 },
        { 262, Short, 1, 2 },
        { 273, Long, 1, stripAt },
        { 277, Short, 1, 3 },
        { 278, Long, 1, quint32(h) },
        { 279, Long, 1, strip },
        { 282, Rational, 1, xres },
        { 283, Rational, 1, yres },
        { 284, Short, 1, 1 },
        { 296, Short, 1, 2 },
        { 305, Ascii, 14, software },
    });
    return t.bytes;
}

QByteArray paletteFile(const QImage &indexed, int bitsPerPixel)
{
    const int w = indexed.width();
    const int h = indexed.height();
    const int entries = 1 << bitsPerPixel;
    // Every pixel is kept: at 4 bits an odd width leaves the low half of each
    // row's last byte unused, as TIFF rows always end on a byte.
    const int rowBytes = bitsPerPixel == 8 ? w : (w + 1) / 2;
    const QList<QRgb> table = indexed.colorTable();

    TiffBuffer t;
    t.header();
    const quint32 colourMap = t.pos();
    for (int channel = 0; channel < 3; ++channel) {
        for (int i = 0; i < entries; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            const int v = channel == 0 ? qRed(c) : channel == 1 ? qGreen(c) : qBlue(c);
            t.u16(quint16(v * 256));
        }
    }
    const quint32 xres = t.resolution();
    const quint32 yres = t.resolution();
    const quint32 software = t.software();
    const quint32 stripAt = t.pos();
    QByteArray row(rowBytes, '\0');
    for (int y = 0; y < h; ++y) {
        const uchar *src = indexed.constScanLine(y);
        if (bitsPerPixel == 8) {
            memcpy(row.data(), src, size_t(w));
        } else {
            row.fill('\0');
            for (int x = 0; x < w; ++x) {
                const int nibble = src[x] & 0x0F;
                row[x / 2] = char(uchar(row[x / 2]) | (x % 2 == 0 ? nibble << 4 : nibble));
            }
        }
        t.bytes += row;
    }
    t.directory({
        { 254, Long, 1, 0 },
        dimension(256, w),
        dimension(257, h),
        { 258, Short, 1, quint32(bitsPerPixel) },
        { 259, Short, 1, 1 },
        { 262, Short, 1, 3 },
        { 273, Long, 1, stripAt },
        { 277, Short, 1, 1 },
        { 278, Long, 1, quint32(h) },
        { 279, Long, 1, quint32(h) * quint32(rowBytes) },
        { 282, Rational, 1, xres },
        { 283, Rational, 1, yres },
        { 296, Short, 1, 2 },
        { 305, Ascii, 14, software },
        { 320, Short, quint32(3 * entries), colourMap },
    });
    return t.bytes;
}

QByteArray monoFile(const QImage &bitmap)
{
    const QImage mono = bitmap.convertToFormat(QImage::Format_Mono);
    const int w = mono.width();
    const int h = mono.height();
    const int rowBytes = (w + 7) / 8;
    // The file says "black is zero"; when the image's colour table has its
    // lighter colour at index 0 the bits are inverted so the picture keeps
    // its look.
    const QList<QRgb> table = mono.colorTable();
    const bool invert = table.size() >= 2 && luminance(table[0]) > luminance(table[1]);

    TiffBuffer t;
    t.header();
    const quint32 stripAt = t.pos();
    for (int y = 0; y < h; ++y) {
        QByteArray row(reinterpret_cast<const char *>(mono.constScanLine(y)), rowBytes);
        if (invert)
            for (char &b : row)
                b = char(~uchar(b));
        t.bytes += row;
    }
    const quint32 xres = t.resolution();
    const quint32 yres = t.resolution();
    const quint32 software = t.software();
    t.directory({
        { 254, Long, 1, 0 },
        dimension(256, w),
        dimension(257, h),
        { 258, Short, 1, 1 },
        { 259, Short, 1, 1 },
        { 262, Short, 1, 1 },
        { 273, Long, 1, stripAt },
        { 277, Short, 1, 1 },
        { 278, Long, 1, quint32(h) },
        { 279, Long, 1, quint32(h) * quint32(rowBytes) },
        { 282, Rational, 1, xres },
        { 283, Rational, 1, yres },
        { 296, Short, 1, 2 },
        { 305, Ascii, 14, software },
    });
    return t.bytes;
}

} // namespace

TExportResult TTiffWriter::WriteTIFFStream(
    QIODevice &device, const QImage &bitmap, int bitsPerPixel)
{
    if (bitmap.isNull())
        return TExportResult::failure(QStringLiteral("The picture to write as TIFF is empty."));
    if (qint64(bitmap.width()) * bitmap.height() * 3 > 0xFFFFFF00LL)
        return TExportResult::failure(QStringLiteral("The picture is too large for a TIFF file."));

    QByteArray file;
    switch (bitmap.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        file = monoFile(bitmap);
        break;
    case QImage::Format_Indexed8:
        file = paletteFile(bitmap, bitsPerPixel == 4 && bitmap.colorCount() <= 16 ? 4 : 8);
        break;
    default:
        file = rgbFile(bitmap);
        break;
    }
    if (!writeAll(device, file)) return writeFailure(device);
    return TExportResult::success();
}

TExportResult TTiffWriter::WriteTIFFFile(
    const QString &fileName, const QImage &bitmap, int bitsPerPixel)
{
    if (bitmap.isNull())
        return TExportResult::failure(QStringLiteral("The picture to write as TIFF is empty."));
    return saveToFile(fileName, defaultOpenError(fileName),
        [&](QIODevice &device) { return WriteTIFFStream(device, bitmap, bitsPerPixel); });
}
