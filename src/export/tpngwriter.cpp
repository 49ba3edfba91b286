#include "tpngwriter.h"

#include "tsavetofile_p.h"

#include <QImage>

#include <png.h>

#include <csetjmp>
#include <vector>

using namespace TessaryExport;

namespace {

struct Sink {
    QIODevice *device;
    bool failed;
};

void writeData(png_structp png, png_bytep data, png_size_t length)
{
    auto *sink = static_cast<Sink *>(png_get_io_ptr(png));
    if (!writeAll(*sink->device, reinterpret_cast<const char *>(data), qint64(length))) {
        sink->failed = true;
        png_error(png, "write refused");
    }
}

void flushData(png_structp) { }

// Everything that may be skipped by libpng's longjmp lives in the caller, so
// this function holds no objects with destructors.
bool encode(png_structp png, png_infop info, Sink *sink, png_uint_32 width, png_uint_32 height,
    int colourType, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, sink, writeData, flushData);
    png_set_write_status_fn(png, nullptr);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_text text {};
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<png_charp>("Software");
    text.text = const_cast<png_charp>(TPngWriter::softwareText());
    png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    png_write_flush(png);
    return true;
}

} // namespace

const char *TPngWriter::softwareText()
{
    return "Ondaro Tessary Editor - PNG writer";
}

TExportResult TPngWriter::WritePNGStream(
    QIODevice &device, const QImage &bitmap, std::optional<QRgb> transparent)
{
    const TExportResult failed = TExportResult::failure(QStringLiteral("Error Writing PNG File!"));
    if (bitmap.isNull()) return failed;

    const bool alpha = transparent.has_value();
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width();
    const int h = rgb.height();
    const int bytesPerPixel = alpha ? 4 : 3;
    const qsizetype rowBytes = qsizetype(w) * bytesPerPixel;

    std::vector<png_byte> pixels(static_cast<size_t>(rowBytes) * static_cast<size_t>(h));
    std::vector<png_bytep> rows(static_cast<size_t>(h));
    const int tr = alpha ? qRed(*transparent) : 0;
    const int tg = alpha ? qGreen(*transparent) : 0;
    const int tb = alpha ? qBlue(*transparent) : 0;
    for (int y = 0; y < h; ++y) {
        png_bytep out = pixels.data() + size_t(y) * size_t(rowBytes);
        rows[size_t(y)] = out;
        const uchar *in = rgb.constScanLine(y);
        if (!alpha) {
            memcpy(out, in, size_t(rowBytes));
            continue;
        }
        for (int x = 0; x < w; ++x, in += 3, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = (in[0] == tr && in[1] == tg && in[2] == tb) ? 0 : 255;
        }
    }

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return failed;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return failed;
    }
    Sink sink { &device, false };
    const bool ok = encode(png, info, &sink, png_uint_32(w), png_uint_32(h),
        alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, rows.data());
    png_destroy_write_struct(&png, &info);
    return ok ? TExportResult::success() : failed;
}

TExportResult TPngWriter::WritePNGFile(
    const QString &fileName, const QImage &bitmap, std::optional<QRgb> transparent)
{
    return saveToFile(fileName, QStringLiteral("Error Opening File %1!").arg(fileName),
        [&](QIODevice &device) { return WritePNGStream(device, bitmap, transparent); });
}
