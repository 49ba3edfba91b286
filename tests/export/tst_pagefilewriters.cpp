#include "tbitmapwriter.h"
#include "tjpegwriter.h"
#include "tpngwriter.h"

#include "exporttools_p.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <png.h>

namespace {

QImage exportPage()
{
    QImage page(693, 950, QImage::Format_RGB32);
    page.fill(Qt::white);
    for (int x = 20; x < 300; ++x)
        page.setPixel(x, 20, qRgb(0, 0, 0));
    page.setPixel(0, 0, qRgb(247, 247, 247));
    page.setPixel(1, 0, qRgb(247, 247, 248));
    page.setPixel(692, 949, qRgb(247, 247, 247));
    page.setPixel(5, 949, qRgb(10, 200, 30));
    return page;
}

// Reads a PNG with libpng itself, as RGBA whatever its colour type.
QImage readPng(const QByteArray &data, int *colourType, QString *software)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.constData(), size_t(data.size()))) return {};
    *colourType = (image.format & PNG_FORMAT_FLAG_ALPHA) ? 6 : 2;
    image.format = PNG_FORMAT_RGBA;
    QImage out(int(image.width), int(image.height), QImage::Format_RGBA8888);
    png_image_finish_read(&image, nullptr, out.bits(), out.bytesPerLine(), nullptr);
    const qsizetype text = data.indexOf("tEXtSoftware");
    *software = text < 0 ? QString()
                         : QString::fromLatin1(data.mid(
                             text + 13, qFromBigEndian<quint32>(data.constData() + text - 4) - 9));
    return out;
}

} // namespace

class TstPageFileWriters : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void pngTransparency_data();
    void pngTransparency();
    void pngOpenError();
    void bitmapFile();
    void jpegFile();
    void failuresKeepTheOldFile();
};

void TstPageFileWriters::pngTransparency_data()
{
    QTest::addColumn<bool>("withTransparentColour");
    QTest::newRow("transparent RGB(247, 247, 247)") << true;
    QTest::newRow("no transparent colour") << false;
}

void TstPageFileWriters::pngTransparency()
{
    QFETCH(bool, withTransparentColour);
    const QImage page = exportPage();
    const std::optional<QRgb> transparent = withTransparentColour
        ? std::optional<QRgb>(TPngWriter::PageTransparentColour)
        : std::nullopt;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(TPngWriter::WritePNGStream(buffer, page, transparent));
    const QByteArray png = buffer.data();
    QCOMPARE(quint8(png[25]), quint8(withTransparentColour ? 6 : 2)); // IHDR colour type
    QCOMPARE(quint8(png[24]), quint8(8));

    int colourType = 0;
    QString software;
    const QImage back = readPng(png, &colourType, &software);
    QCOMPARE(back.size(), QSize(693, 950));
    QCOMPARE(colourType, withTransparentColour ? 6 : 2);
    QCOMPARE(software, QString::fromLatin1(TPngWriter::softwareText()));
    const int clear = withTransparentColour ? 0 : 255;
    QCOMPARE(back.pixel(0, 0), qRgba(247, 247, 247, clear));
    QCOMPARE(back.pixel(692, 949), qRgba(247, 247, 247, clear));
    QCOMPARE(back.pixel(1, 0), qRgba(247, 247, 248, 255));
    QCOMPARE(back.pixel(5, 949), qRgba(10, 200, 30, 255)); // bottom row stays at the bottom
    QCOMPARE(back.pixel(25, 20), qRgba(0, 0, 0, 255));
    QCOMPARE(back.pixel(400, 400), qRgba(255, 255, 255, 255));

    const QString path = m_dir.filePath(QStringLiteral("page.png"));
    QVERIFY(TPngWriter::WritePNGFile(path, page, transparent));
    RUN_TOOL(check, "pngcheck", { QStringLiteral("-v"), path });
    QVERIFY2(check.exitCode == 0, check.out + check.err);
    QVERIFY2(check.out.contains(withTransparentColour ? "RGB+alpha" : "RGB,"), check.out);
}

void TstPageFileWriters::pngOpenError()
{
    const QString path = m_dir.filePath(QStringLiteral("No/Such/Folder/a - Page 1.png"));
    const TExportResult result
        = TPngWriter::WritePNGFile(path, exportPage(), TPngWriter::PageTransparentColour);
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, QStringLiteral("Error Opening File %1!").arg(path));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(TPngWriter::WritePNGFile(m_dir.filePath(QStringLiteral("x.png")), QImage(), {}).reason,
        QStringLiteral("Error Writing PNG File!"));
}

void TstPageFileWriters::bitmapFile()
{
    const QImage page = exportPage();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(TBitmapWriter::WriteBMPStream(buffer, page));
    const QByteArray bmp = buffer.data();
    QCOMPARE(bmp.size(), 54 + 693 * 950 * 4);
    QCOMPARE(bmp.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bmp.constData() + 28), quint16(32));
    QCOMPARE(qFromLittleEndian<quint32>(bmp.constData() + 30), 0u); // no compression
    // Rows bottom-up, blue green red: the first pixel stored is the bottom-left one.
    QCOMPARE(bmp.mid(54, 4), QByteArray("\xff\xff\xff\0", 4));
    QCOMPARE(bmp.mid(54 + 5 * 4, 3), QByteArray("\x1e\xc8\x0a"));

    QImage back;
    QVERIFY(back.loadFromData(bmp, "BMP"));
    QCOMPARE(back.size(), page.size());
    QCOMPARE(back.convertToFormat(QImage::Format_RGB32), page);
}

void TstPageFileWriters::jpegFile()
{
    const QImage page = exportPage();
    const QString path = m_dir.filePath(QStringLiteral("page.jpg"));
    QVERIFY(TJpegWriter::WriteJPEGFile(path, page));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    QVERIFY(jpeg.startsWith("\xff\xd8"));
    QVERIFY(jpeg.contains(QByteArray("\xff\xc0", 2))); // baseline frame
    QVERIFY(!jpeg.contains(QByteArray("\xff\xc2", 2))); // not progressive
    const qsizetype sof = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    QCOMPARE(quint8(jpeg[sof + 9]), quint8(3)); // three colour components

    QImage back;
    QVERIFY(back.loadFromData(jpeg, "JPEG"));
    QCOMPARE(back.size(), page.size());
    QVERIFY(!back.isGrayscale());
    const QRgb paper = back.pixel(400, 400);
    QVERIFY(qRed(paper) >= 250 && qGreen(paper) >= 250 && qBlue(paper) >= 250);

    RUN_TOOL(identify, "identify",
        { QStringLiteral("-format"), QStringLiteral("%Q %[interlace]"), path });
    QCOMPARE(identify.out.trimmed(), QByteArray("100 None"));
}

void TstPageFileWriters::failuresKeepTheOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("keep.bmp"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();
    QVERIFY(!TBitmapWriter::WriteBMPFile(path, QImage()).ok);
    QVERIFY(!TJpegWriter::WriteJPEGFile(path, QImage()).ok);
    QVERIFY(!TPngWriter::WritePNGFile(path, QImage(), {}).ok);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
}

QTEST_GUILESS_MAIN(TstPageFileWriters)
#include "tst_pagefilewriters.moc"
