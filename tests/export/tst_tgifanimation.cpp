#include "tgifanimation.h"
#include "tgifcolourreducer.h"
#include "tgiflzwencoder.h"

#include "exporttools_p.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <gif_lib.h>

namespace {

const QStringList kExportComments = {
    QStringLiteral("Created by Ondaro Tessary Pro Word Processor v1.0.0.0"),
    QStringLiteral("Application created by Brevant Software {TM}"),
    QStringLiteral("Ondaro Tessary Pro 1.0 - Professional Text Editor"),
    QStringLiteral("Company Name: Ondaro Office Software"),
    QStringLiteral("Web Site: www.ondaro-office.example"),
};

struct MemoryReader {
    QByteArray data;
    qsizetype at = 0;
};

int readFromMemory(GifFileType *gif, GifByteType *to, int length)
{
    auto *reader = static_cast<MemoryReader *>(gif->UserData);
    const int n = int(qMin<qsizetype>(length, reader->data.size() - reader->at));
    memcpy(to, reader->data.constData() + reader->at, size_t(n));
    reader->at += n;
    return n;
}

// What giflib makes of a file.
struct DecodedGif {
    bool ok = false;
    QSize screen;
    int background = -1;
    bool globalTable = false;
    QList<QImage> frames; // as RGB32, through the frame's colour table
    QList<QByteArray> frameIndices; // raw indices
    QList<int> delays; // hundredths, -1 without a control extension
    QList<bool> localTables;
    int loopCount = -1; // -1 without the looping extension
    QStringList comments;
    QList<QRgb> globalColours;
};

DecodedGif decode(const QByteArray &file)
{
    DecodedGif out;
    MemoryReader reader { file };
    int error = 0;
    GifFileType *gif = DGifOpen(&reader, readFromMemory, &error);
    if (!gif) return out;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return out;
    }
    out.ok = true;
    out.screen = QSize(gif->SWidth, gif->SHeight);
    out.background = gif->SBackGroundColor;
    out.globalTable = gif->SColorMap != nullptr;
    if (gif->SColorMap)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType c = gif->SColorMap->Colors[i];
            out.globalColours.append(qRgb(c.Red, c.Green, c.Blue));
        }
    auto readExtensions = [&out](int count, ExtensionBlock *blocks) {
        int function = 0;
        for (int e = 0; e < count; ++e) {
            const ExtensionBlock &b = blocks[e];
            // giflib keeps each further sub-block as a block of its own.
            if (b.Function != CONTINUE_EXT_FUNC_CODE) function = b.Function;
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11
                && memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 && e + 1 < count
                && blocks[e + 1].ByteCount == 3)
                out.loopCount = blocks[e + 1].Bytes[1] | (blocks[e + 1].Bytes[2] << 8);
            if (function == COMMENT_EXT_FUNC_CODE)
                out.comments.append(
                    QString::fromLatin1(reinterpret_cast<char *>(b.Bytes), b.ByteCount));
        }
    };
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage &s = gif->SavedImages[i];
        const ColorMapObject *map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
        QImage image(s.ImageDesc.Width, s.ImageDesc.Height, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const GifColorType c = map->Colors[s.RasterBits[y * image.width() + x]];
                image.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
        out.frames.append(image);
        out.frameIndices.append(QByteArray(
            reinterpret_cast<const char *>(s.RasterBits), image.width() * image.height()));
        out.localTables.append(s.ImageDesc.ColorMap != nullptr);
        GraphicsControlBlock gcb;
        out.delays.append(DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK ? gcb.DelayTime : -1);
        readExtensions(s.ExtensionBlockCount, s.ExtensionBlocks);
    }
    readExtensions(gif->ExtensionBlockCount, gif->ExtensionBlocks);
    DGifCloseFile(gif, &error);
    return out;
}

QImage textPage(int seed)
{
    QImage page(693, 950, QImage::Format_RGB32);
    page.fill(Qt::white);
    QRandomGenerator random(static_cast<quint32>(seed));
    for (int line = 0; line < 40; ++line)
        for (int x = 20; x < 673; ++x)
            if (random.bounded(3) == 0) page.setPixel(x, 20 + line * 22, qRgb(0, 0, 0));
    return page;
}

QByteArray save(const TGifAnimation &gif)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const TExportResult result = gif.saveToStream(buffer);
    if (!result) qWarning() << result.reason;
    return buffer.data();
}

TGifAnimation exportAnimation(int pages, int seconds)
{
    TGifAnimation gif;
    gif.Comments() = kExportComments;
    gif.setBackgroundColour(qRgb(255, 255, 255));
    gif.setTransparent(false);
    gif.setLooping(true);
    gif.setRepeatCount(0);
    for (int p = 0; p < pages; ++p) {
        const int index = gif.addFrame(textPage(p));
        gif.frame(index).setDisplayTime(quint16(seconds * 1000));
    }
    return gif;
}

} // namespace

class TstTGifAnimation : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void onePageExport();
    void threePageExport();
    void lzwRoundTrip_data();
    void lzwRoundTrip();
    void reductionPalette();
    void reductionTieGoesToFirstMetFromBottom();
    void reductionMapsLeftoverColoursToNearest();
    void reductionNarrowsMasksBeyond2049Colours();
    void commentsAreCutAndSkipped();
    void framesOfDifferentSizes();
};

void TstTGifAnimation::onePageExport()
{
    const TGifAnimation gif = exportAnimation(1, 5);
    const QByteArray file = save(gif);
    QVERIFY(file.startsWith("GIF89a"));
    QCOMPARE(quint8(file[10]), quint8(0xF7));
    QVERIFY(file.endsWith(";"));
    QVERIFY(!file.contains("NETSCAPE2.0"));

    const DecodedGif d = decode(file);
    QVERIFY(d.ok);
    QCOMPARE(d.screen, QSize(693, 950));
    QCOMPARE(d.frames.size(), 1);
    QCOMPARE(d.delays, QList<int> { 500 });
    QCOMPARE(d.loopCount, -1);
    QCOMPARE(d.localTables, QList<bool> { false });
    QCOMPARE(d.comments, kExportComments);
    QCOMPARE(d.globalColours.value(d.background), qRgb(255, 255, 255));
    QCOMPARE(d.frames[0], textPage(0));
    // Black and white only: the rest of the table is grey filler.
    QCOMPARE(d.globalColours.size(), 256);
    for (int i = 2; i < 256; ++i)
        QCOMPARE(d.globalColours[i], qRgb(128, 128, 128));

    const QString path = m_dir.filePath(QStringLiteral("Manual.gif"));
    QVERIFY(gif.saveToFile(path));
    RUN_TOOL(info, "gifsicle", { QStringLiteral("--info"), path });
    QVERIFY2(info.exitCode == 0 && info.err.isEmpty(), info.out + info.err);
    QVERIFY2(info.out.contains("1 image"), info.out);
    QVERIFY2(info.out.contains("delay 5.00s"), info.out);
}

void TstTGifAnimation::threePageExport()
{
    const TGifAnimation gif = exportAnimation(3, 15);
    const QByteArray file = save(gif);
    const DecodedGif d = decode(file);
    QVERIFY(d.ok);
    QCOMPARE(d.frames.size(), 3);
    QCOMPARE(d.delays, (QList<int> { 1500, 1500, 1500 }));
    QCOMPARE(d.loopCount, 0);
    QCOMPARE(d.localTables, (QList<bool> { false, true, true }));
    for (int p = 0; p < 3; ++p)
        QCOMPARE(d.frames[p], textPage(p));
    // The looping extension sits between the global table and the first frame.
    QCOMPARE(file.indexOf("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"), 13 + 768);

    const QString path = m_dir.filePath(QStringLiteral("Three.gif"));
    QVERIFY(gif.saveToFile(path));
    RUN_TOOL(info, "gifsicle", { QStringLiteral("--info"), path });
    QVERIFY2(info.exitCode == 0 && info.err.isEmpty(), info.out + info.err);
    QVERIFY2(info.out.contains("3 images"), info.out);
    QVERIFY2(info.out.contains("loop forever"), info.out);
    QVERIFY2(info.out.count("delay 15.00s") == 3, info.out);
    QCOMPARE(info.out.count("local color table [256]"), 2);

    TGifAnimation minute = exportAnimation(1, 60);
    QCOMPARE(decode(save(minute)).delays, QList<int> { 6000 });
}

void TstTGifAnimation::lzwRoundTrip_data()
{
    QTest::addColumn<QImage>("indexed");
    auto make = [](int w, int h, auto index) {
        QImage image(w, h, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table.append(qRgb(i, 255 - i, (i * 7) % 256));
        image.setColorTable(table);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, uint(index(x, y)));
        return image;
    };
    QRandomGenerator random(7);
    // Random indices fill the 4096-code table again and again: clear codes.
    QTest::newRow("random, many table resets")
        << make(997, 613, [&random](int, int) { return random.bounded(256); });
    QTest::newRow("one colour, long strings") << make(1200, 900, [](int, int) { return 3; });
    QTest::newRow("one pixel") << make(1, 1, [](int, int) { return 255; });
    QTest::newRow("odd width, stripes")
        << make(7, 301, [](int x, int y) { return (x + y / 3) % 5; });
    QTest::newRow("gradient") << make(256, 256, [](int x, int y) { return (x ^ y) & 0xFF; });
}

void TstTGifAnimation::lzwRoundTrip()
{
    QFETCH(QImage, indexed);
    TGifAnimation gif;
    gif.addFrame(indexed);
    const DecodedGif d = decode(save(gif));
    QVERIFY(d.ok);
    QCOMPARE(d.frameIndices.size(), 1);
    QByteArray expected;
    for (int y = 0; y < indexed.height(); ++y)
        expected.append(reinterpret_cast<const char *>(indexed.constScanLine(y)), indexed.width());
    QCOMPARE(d.frameIndices[0], expected);
}

void TstTGifAnimation::reductionPalette()
{
    QImage page(40, 30, QImage::Format_ARGB32);
    page.fill(Qt::white);
    for (int x = 0; x < 10; ++x)
        page.setPixel(x, 5, qRgb(0, 0, 0));
    const QImage reduced = TGifColourReducer::reduce(page);
    QCOMPARE(reduced.format(), QImage::Format_Indexed8);
    QCOMPARE(reduced.colorCount(), 256);
    QCOMPARE(reduced.color(0), qRgb(255, 255, 255));
    QCOMPARE(reduced.color(1), qRgb(0, 0, 0));
    QCOMPARE(reduced.color(2), TGifColourReducer::FillerGrey);
    QCOMPARE(reduced.color(255), TGifColourReducer::FillerGrey);
    QCOMPARE(reduced.pixelIndex(3, 5), 1);
    QCOMPARE(reduced.pixelIndex(3, 6), 0);
}

void TstTGifAnimation::reductionTieGoesToFirstMetFromBottom()
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 255));
    image.setPixel(1, 0, qRgb(255, 0, 0));
    image.setPixel(0, 1, qRgb(255, 0, 0));
    image.setPixel(1, 1, qRgb(0, 0, 255));
    // Both colours twice; the bottom row's first pixel is red.
    const QImage reduced = TGifColourReducer::reduce(image);
    QCOMPARE(reduced.color(0), qRgb(255, 0, 0));
    QCOMPARE(reduced.color(1), qRgb(0, 0, 255));
    QCOMPARE(reduced.pixelIndex(0, 1), 0);
    QCOMPARE(reduced.pixelIndex(0, 0), 1);
}

void TstTGifAnimation::reductionMapsLeftoverColoursToNearest()
{
    // 256 frequent greys (two pixels each) and one rare colour next to grey 100.
    QImage image(513, 1, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i) {
        image.setPixel(2 * i, 0, qRgb(i, i, i));
        image.setPixel(2 * i + 1, 0, qRgb(i, i, i));
    }
    image.setPixel(512, 0, qRgb(101, 99, 100));
    const QImage reduced = TGifColourReducer::reduce(image);
    QCOMPARE(reduced.color(reduced.pixelIndex(512, 0)), qRgb(100, 100, 100));
    for (int i = 0; i < 256; ++i)
        QCOMPARE(reduced.color(reduced.pixelIndex(2 * i, 0)), qRgb(i, i, i));
}

void TstTGifAnimation::reductionNarrowsMasksBeyond2049Colours()
{
    // 4096 distinct colours: losing blue's lowest bit leaves 2048.
    QImage image(256, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(y * 16, 0, x));
    const QImage reduced = TGifColourReducer::reduce(image);
    for (int i = 0; i < 256; ++i) {
        QCOMPARE(qBlue(reduced.color(i)) & 1, 0);
        QCOMPARE(qRed(reduced.color(i)) & 0xF, 0); // red was not narrowed
    }
    // All masked colours count twice, so the first 256 met from the bottom row
    // up win: the two bottom rows, blue in steps of 2.
    QCOMPARE(reduced.color(0), qRgb(240, 0, 0));
    QCOMPARE(reduced.color(127), qRgb(240, 0, 254));
    QCOMPARE(reduced.color(128), qRgb(224, 0, 0));
    QCOMPARE(reduced.pixelIndex(5, 15), 2); // blue 5 masked to 4
    QCOMPARE(reduced.pixelIndex(0, 0), 128); // red 0 lies nearest to red 224
    QCOMPARE(reduced.pixelIndex(255, 1), 255);
}

void TstTGifAnimation::commentsAreCutAndSkipped()
{
    TGifAnimation gif;
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    gif.addFrame(image);
    gif.Comments() << QStringLiteral("first") << QString() << QString(300, u'x');
    const DecodedGif d = decode(save(gif));
    QCOMPARE(d.comments, (QStringList { QStringLiteral("first"), QString(255, u'x') }));
    QCOMPARE(d.delays, QList<int> { -1 }); // no display time, no control extension
}

void TstTGifAnimation::framesOfDifferentSizes()
{
    TGifAnimation gif;
    gif.setLooping(true);
    QImage big(900, 675, QImage::Format_RGB32);
    big.fill(Qt::white);
    QImage small(693, 485, QImage::Format_RGB32);
    small.fill(qRgb(0, 128, 192));
    gif.addFrame(small);
    gif.addFrame(big);
    QCOMPARE(gif.addFrame(QImage()), -1);
    QCOMPARE(gif.logicalScreenSize(), QSize(900, 675));
    const DecodedGif d = decode(save(gif));
    QVERIFY(d.ok);
    QCOMPARE(d.screen, QSize(900, 675));
    QCOMPARE(d.frames[0], small);
    QCOMPARE(d.frames[1], big);
    // Background white is not in the first frame's table: index 0.
    QCOMPARE(d.background, 0);
}

QTEST_GUILESS_MAIN(TstTGifAnimation)
#include "tst_tgifanimation.moc"
