// Writes a 300-page set of 693 x 950 page images as PDF, TIFF, PNG and
// animated GIF, and sets each writer's time against the bare compression it
// relies on (zlib, libpng, our LZW coder) on the same pixels.
// Run: QT_QPA_PLATFORM=offscreen ./bench_export [pages]

#include "tgifanimation.h"
#include "tgifcolourreducer.h"
#include "tgiflzwencoder.h"
#include "tpdfwriter.h"
#include "tpngwriter.h"
#include "ttiffwriter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <functional>

namespace {

constexpr int kDistinctPages = 30;

QList<QImage> makePages()
{
    QList<QImage> pages;
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(16);
    for (int p = 0; p < kDistinctPages; ++p) {
        QImage page(693, 950, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setFont(font);
        for (int line = 0; line < 42; ++line) {
            painter.setPen(line % 7 == 0 ? QColor(0, 0, 160) : QColor(0, 0, 0));
            painter.drawText(20, 40 + line * 21,
                QStringLiteral("Page %1, line %2: the quick brown fox jumps over the "
                               "lazy dog, %3 times.")
                    .arg(p + 1)
                    .arg(line + 1)
                    .arg(p * 42 + line));
        }
        painter.fillRect(QRect(400, 700, 200, 120), QColor(247, 247, 247));
        painter.end();
        pages.append(page);
    }
    return pages;
}

double timeIt(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

void pngWriteData(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray *>(png_get_io_ptr(png))
        ->append(reinterpret_cast<char *>(data), qsizetype(length));
}

void pngFlush(png_structp) { }

// libpng alone on RGBA rows prepared beforehand.
qint64 barePng(const QImage &rgba)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return -1;
    }
    png_set_write_fn(png, &out, pngWriteData, pngFlush);
    png_set_IHDR(png, info, png_uint_32(rgba.width()), png_uint_32(rgba.height()), 8,
        PNG_COLOR_TYPE_RGB_ALPHA, 0, 0, 0);
    png_write_info(png, info);
    for (int y = 0; y < rgba.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(rgba.constScanLine(y)));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out.size();
}

void report(const char *name, double writerMs, double bareMs, qint64 bytes, const char *bare)
{
    std::printf("%-5s writer %9.1f ms  %-22s %9.1f ms  ratio %5.2f %s  output %11lld bytes\n", name,
        writerMs, bare, bareMs, writerMs / bareMs,
        writerMs <= 2 * bareMs ? "(within 2x)" : "(OVER 2x)  ", static_cast<long long>(bytes));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int pageCount = argc > 1 ? qMax(1, atoi(argv[1])) : 300;
    std::printf(
        "Rendering %d distinct 693 x 950 pages for a %d-page set...\n", kDistinctPages, pageCount);
    const QList<QImage> pages = makePages();
    auto page = [&pages](int i) -> const QImage & { return pages[i % kDistinctPages]; };

    // PDF: every page as a 24-bit picture, Flate-compressed.
    qint64 pdfBytes = 0;
    const double pdfMs = timeIt([&] {
        TPdfWriter writer;
        writer.setPageWidth(596);
        writer.setPageHeight(842);
        writer.BeginDoc();
        for (int i = 0; i < pageCount; ++i) {
            if (i > 0) writer.NewPage();
            writer.Draw(25, 20, page(i));
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        writer.EndDoc(buffer);
        pdfBytes = buffer.size();
    });
    QList<QByteArray> rgbRows;
    for (const QImage &p : pages) {
        const QImage rgb = p.convertToFormat(QImage::Format_RGB888);
        QByteArray rows;
        for (int y = 0; y < rgb.height(); ++y)
            rows.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
        rgbRows.append(rows);
    }
    const double zlibMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i) {
            const QByteArray &rows = rgbRows[i % kDistinctPages];
            uLongf size = compressBound(uLong(rows.size()));
            QByteArray out(qsizetype(size), Qt::Uninitialized);
            compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                reinterpret_cast<const Bytef *>(rows.constData()), uLong(rows.size()),
                Z_DEFAULT_COMPRESSION);
        }
    });
    report("PDF", pdfMs, zlibMs, pdfBytes, "zlib on the RGB rows");

    // TIFF: uncompressed; the bare work is copying the RGB rows out.
    qint64 tiffBytes = 0;
    const double tiffMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            TTiffWriter::WriteTIFFStream(buffer, page(i));
            tiffBytes += buffer.size();
        }
    });
    const double copyMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i) {
            const QImage rgb = page(i).convertToFormat(QImage::Format_RGB888);
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            for (int y = 0; y < rgb.height(); ++y)
                buffer.write(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 3);
        }
    });
    report("TIFF", tiffMs, copyMs, tiffBytes, "RGB rows copied");

    // PNG: RGBA with the page's transparent colour.
    qint64 pngBytes = 0;
    const double pngMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            TPngWriter::WritePNGStream(buffer, page(i), TPngWriter::PageTransparentColour);
            pngBytes += buffer.size();
        }
    });
    QList<QImage> rgba;
    for (const QImage &p : pages)
        rgba.append(p.convertToFormat(QImage::Format_RGBA8888));
    const double libpngMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i)
            barePng(rgba[i % kDistinctPages]);
    });
    report("PNG", pngMs, libpngMs, pngBytes, "libpng on RGBA rows");

    // GIF: colour reduction of every frame and LZW coding at save.
    qint64 gifBytes = 0;
    const double gifMs = timeIt([&] {
        TGifAnimation gif;
        gif.setLooping(true);
        for (int i = 0; i < pageCount; ++i)
            gif.frame(gif.addFrame(page(i))).setDisplayTime(5000);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        gif.saveToStream(buffer);
        gifBytes = buffer.size();
    });
    QList<QImage> indexed;
    for (const QImage &p : pages)
        indexed.append(TGifColourReducer::reduce(p));
    const double lzwMs = timeIt([&] {
        TGifLzwEncoder encoder(8);
        for (int i = 0; i < pageCount; ++i) {
            const QImage &frame = indexed[i % kDistinctPages];
            QByteArray pixels;
            for (int y = 0; y < frame.height(); ++y)
                pixels.append(
                    reinterpret_cast<const char *>(frame.constScanLine(y)), frame.width());
            encoder.encode(reinterpret_cast<const uchar *>(pixels.constData()), pixels.size());
        }
    });
    report("GIF", gifMs, lzwMs, gifBytes, "LZW coder on indices");
    const double reduceMs = timeIt([&] {
        for (int i = 0; i < pageCount; ++i)
            TGifColourReducer::reduce(page(i));
    });
    std::printf("      of which colour reduction alone %9.1f ms\n", reduceMs);
    return 0;
}
