#include "ttiffwriter.h"

#include "exporttools_p.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <tiffio.h>

namespace {

quint32 u32At(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16At(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// The value field of the directory entry with this tag.
quint32 entryValue(const QByteArray &file, quint16 tag, quint16 *type = nullptr)
{
    const quint32 dir = u32At(file, 4);
    const int count = u16At(file, dir);
    for (int i = 0; i < count; ++i) {
        const qsizetype at = dir + 2 + 12 * i;
        if (u16At(file, at) == tag) {
            if (type) *type = u16At(file, at + 2);
            return u16At(file, at + 2) == 3 && u32At(file, at + 4) == 1 ? u16At(file, at + 8)
                                                                        : u32At(file, at + 8);
        }
    }
    return 0xDEADBEEF;
}

QByteArray write(const QImage &image, int bitsPerPixel = 0)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const TExportResult result = TTiffWriter::WriteTIFFStream(buffer, image, bitsPerPixel);
    if (!result) qWarning() << result.reason;
    return buffer.data();
}

// Reads the file back with libtiff as the colours it shows.
QImage readBack(const QString &path)
{
    TIFFSetWarningHandler(nullptr);
    TIFF *tif = TIFFOpen(path.toLocal8Bit().constData(), "r");
    if (!tif) return {};
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(size_t(w) * h);
    QImage image;
    if (TIFFReadRGBAImageOriented(tif, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
        image = QImage(int(w), int(h), QImage::Format_RGB32);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const uint32_t p = raster[y * w + x];
                image.setPixel(int(x), int(y), qRgb(TIFFGetR(p), TIFFGetG(p), TIFFGetB(p)));
            }
    }
    TIFFClose(tif);
    return image;
}

QImage indexedImage(int width, int height, int colours)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.append(qRgb(i * 255 / qMax(1, colours - 1), (i * 37) % 256, 255 - i * 7 % 256));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x * 3 + y * 5) % colours));
    return image;
}

} // namespace

class TstTiffWriter : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void exportPageLayout();
    void readersSeeTheSamePicture_data();
    void readersSeeTheSamePicture();
    void paletteRowsHaveNoPadding();
    void monochromeFollowsColourTable();
    void emptyPictureIsRefused();
    void fileWrapperKeepsOldFileOnFailure();
};

void TstTiffWriter::exportPageLayout()
{
    QImage page(693, 950, QImage::Format_RGB32);
    page.fill(Qt::white);
    const QByteArray white = write(page);
    QCOMPARE(white.size(), 1975280);
    QCOMPARE(white.left(4), QByteArray("II*\0", 4));
    QCOMPARE(u32At(white, 4), 1975094u);
    QCOMPARE(u16At(white, 1975094), 15);
    QCOMPARE(white.mid(30, 14), QByteArray("Ondaro Office\0", 14));
    QCOMPARE(white.mid(8, 16), QByteArray("\x6d\x03\0\0\x0a\0\0\0\x6d\x03\0\0\x0a\0\0\0", 16));
    QCOMPARE(white.mid(24, 6), QByteArray("\x08\0\x08\0\x08\0", 6));
    QCOMPARE(white.mid(44, 1975050), QByteArray(1975050, '\xff'));
    QCOMPARE(entryValue(white, 273), 44u);
    QCOMPARE(entryValue(white, 279), 1975050u);
    QCOMPARE(entryValue(white, 258), 24u);
    QCOMPARE(entryValue(white, 305), 30u);

    // Stored blue 1, green 2, red 3 becomes the strip bytes 3, 2, 1.
    page.setPixel(0, 0, qRgb(3, 2, 1));
    page.setPixel(692, 949, qRgb(9, 8, 7));
    const QByteArray marked = write(page);
    QCOMPARE(marked.mid(44, 6), QByteArray("\x03\x02\x01\xff\xff\xff"));
    QCOMPARE(marked.mid(44 + 1975050 - 3, 3), QByteArray("\x09\x08\x07"));
}

void TstTiffWriter::readersSeeTheSamePicture_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("bitsPerPixel");
    QTest::addColumn<int>("fileBits");

    QImage rgb32(31, 17, QImage::Format_ARGB32);
    for (int y = 0; y < rgb32.height(); ++y)
        for (int x = 0; x < rgb32.width(); ++x)
            rgb32.setPixel(x, y, qRgba(x * 8, y * 15, (x * y) % 256, 128));
    QTest::newRow("32 bits") << rgb32 << 0 << 8;
    QTest::newRow("24 bits") << rgb32.convertToFormat(QImage::Format_RGB888) << 0 << 8;
    QTest::newRow("8 bits, width 10") << indexedImage(10, 6, 200) << 0 << 8;
    QTest::newRow("4 bits, width 7") << indexedImage(7, 5, 16) << 4 << 4;
    QTest::newRow("4 bits, width 8") << indexedImage(8, 3, 11) << 4 << 4;
    QImage mono(13, 9, QImage::Format_Mono);
    mono.setColorTable({ qRgb(0, 0, 0), qRgb(255, 255, 255) });
    for (int y = 0; y < mono.height(); ++y)
        for (int x = 0; x < mono.width(); ++x)
            mono.setPixel(x, y, uint((x + y) % 3 == 0));
    QTest::newRow("1 bit, width 13") << mono << 0 << 1;
}

void TstTiffWriter::readersSeeTheSamePicture()
{
    QFETCH(QImage, image);
    QFETCH(int, bitsPerPixel);
    QFETCH(int, fileBits);
    const QString path = m_dir.filePath(QStringLiteral("picture.tiff"));
    QVERIFY(TTiffWriter::WriteTIFFFile(path, image, bitsPerPixel));

    RUN_TOOL(info, "tiffinfo", { path });
    QVERIFY2(info.exitCode == 0 && info.err.isEmpty(), info.out + info.err);
    QVERIFY2(info.out.contains("Bits/Sample: " + QByteArray::number(fileBits)), info.out);
    QVERIFY2(info.out.contains("Software: Ondaro Office"), info.out);

    // Every pixel is kept, whatever the depth.
    const QImage back = readBack(path);
    QCOMPARE(back.size(), image.size());
    const QImage expected = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = expected.pixel(x, y);
            const QRgb b = back.pixel(x, y);
            // Colour maps hold 8-bit components times 256, which readers scale back.
            if (qAbs(qRed(a) - qRed(b)) > 1 || qAbs(qGreen(a) - qGreen(b)) > 1
                || qAbs(qBlue(a) - qBlue(b)) > 1)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 read back as %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(a, 0, 16)
                                     .arg(b, 0, 16)));
        }
}

void TstTiffWriter::paletteRowsHaveNoPadding()
{
    const QImage eight = indexedImage(10, 4, 256);
    QCOMPARE(eight.bytesPerLine(), 12);
    const QByteArray file = write(eight);
    const int e = 256;
    QCOMPARE(entryValue(file, 273), quint32(38 + 6 * e));
    QCOMPARE(entryValue(file, 279), 40u);
    QCOMPARE(file.mid(38 + 6 * e, 10),
        QByteArray(reinterpret_cast<const char *>(eight.constScanLine(0)), 10));
    QCOMPARE(entryValue(file, 320), 8u);
    // Colour map: all reds, then all greens, then all blues, component x 256.
    QCOMPARE(u16At(file, 8 + 2 * 255), quint16(qRed(eight.color(255)) * 256));
    QCOMPARE(u16At(file, 8 + 2 * 256), quint16(qGreen(eight.color(0)) * 256));

    const QByteArray four = write(indexedImage(7, 2, 16), 4);
    QCOMPARE(entryValue(four, 256), 7u);
    QCOMPARE(entryValue(four, 279), 8u); // 2 rows of 4 bytes
}

void TstTiffWriter::monochromeFollowsColourTable()
{
    // Index 0 white: the bits are turned so that the file still shows black dots.
    QImage mono(8, 1, QImage::Format_Mono);
    mono.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    mono.fill(0);
    mono.setPixel(0, 0, 1);
    const QByteArray file = write(mono);
    QCOMPARE(file.size(), 8 + 1 + 8 + 8 + 14 + 2 + 14 * 12 + 4);
    QCOMPARE(u32At(file, 4), quint32(8 + 1 + 30));
    QCOMPARE(quint8(file[8]), quint8(0x7F));
    QCOMPARE(entryValue(file, 262), 1u);
}

void TstTiffWriter::emptyPictureIsRefused()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(!TTiffWriter::WriteTIFFStream(buffer, QImage()).ok);
    QCOMPARE(buffer.size(), 0);
}

void TstTiffWriter::fileWrapperKeepsOldFileOnFailure()
{
    const QString path = m_dir.filePath(QStringLiteral("old.tiff"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(TTiffWriter::WriteTIFFFile(path, image));
    const qint64 size = QFileInfo(path).size();
    QVERIFY(!TTiffWriter::WriteTIFFFile(path, QImage()).ok);
    QCOMPARE(QFileInfo(path).size(), size);
    const TExportResult missing
        = TTiffWriter::WriteTIFFFile(m_dir.filePath(QStringLiteral("no/such/a.tiff")), image);
    QVERIFY(!missing.ok);
    QVERIFY(missing.reason.startsWith(QStringLiteral("Error Opening File ")));
}

QTEST_GUILESS_MAIN(TstTiffWriter)
#include "tst_tiffwriter.moc"
