#include "richtextproperties.h"
#include "rtfpicture.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "temfdevice.h"

#include <QPainter>

#include <QBuffer>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtTest>

// Pictures in RTF: read, shown at their size, kept and written back.
class tst_RtfPicture : public QObject
{
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void roundTrip_data();
    void roundTrip();
    void hostileSizes();
    void emfDrawn();
    void picturesFromElsewhere();
    void wmfDrawn_data();
    void wmfDrawn();
    void metafileWorkBounded();
    void metafileText_data();
    void metafileText();
    void fallbackPictures_data();
    void fallbackPictures();
    void emfFrameOverflow();
    void pixelBudget_data();
    void pixelBudget();
    void runFormat_data();
    void runFormat();
    void insertFromFile_data();
    void insertFromFile();
};

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage sample()
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    return image;
}

QByteArray png() { return encoded(sample(), "PNG"); }
QByteArray jpeg() { return encoded(sample(), "JPEG"); }
QByteArray dib() { return encoded(sample(), "BMP").mid(14); }

// A windows metafile header and an end record: valid, nothing drawn.
QByteArray wmf()
{
    const uchar b[] = {1, 0, 9, 0, 0, 3, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};
    return QByteArray(reinterpret_cast<const char *>(b), sizeof b);
}

struct Picture {
    QTextImageFormat format;
    QImage image;
    QByteArray kept;
};

QList<Picture> pictures(const QTextDocument &doc)
{
    QList<Picture> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            for (int i = 0; i < it.fragment().length(); ++i) {
                const QTextImageFormat img = f.toImageFormat();
                out << Picture{img,
                               doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>(),
                               RtfPicture::keptBytes(doc, img)};
            }
        }
    }
    return out;
}

QByteArray pict(const QByteArray &words, const QByteArray &bytes)
{
    return "{\\pict" + words + " " + bytes.toHex() + "}";
}

} // namespace

void tst_RtfPicture::read_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QSize>("size");       // of the first picture, in pixels at 96 dpi
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("drawn");       // else a placeholder of that size

    const int Png = int(PictureKind::Png), Jpeg = int(PictureKind::Jpeg), Wmf = int(PictureKind::Wmf);
    QTest::newRow("png at goal") << "{\\rtf1 a" + pict("\\pngblip\\picw30\\pich20\\picwgoal900\\pichgoal600", png()) + "b}"
                                 << "a\uFFFCb" << 1 << QSize(60, 40) << Png << true;
    QTest::newRow("png scaled") << "{\\rtf1 " + pict("\\pngblip\\picw30\\pich20\\picwgoal900\\pichgoal600\\picscalex50\\picscaley200", png()) + "}"
                                << "\uFFFC" << 1 << QSize(30, 80) << Png << true;
    QTest::newRow("png own size") << "{\\rtf1 " + pict("\\pngblip", png()) + "}"
                                  << "\uFFFC" << 1 << QSize(30, 20) << Png << true;
    QTest::newRow("jpeg") << "{\\rtf1 " + pict("\\jpegblip\\picw30\\pich20", jpeg()) + "}"
                          << "\uFFFC" << 1 << QSize(30, 20) << Jpeg << true;
    QTest::newRow("dibitmap") << "{\\rtf1 " + pict("\\dibitmap0\\picw30\\pich20", dib()) + "}"
                              << "\uFFFC" << 1 << QSize(30, 20) << int(PictureKind::Dib) << true;
    QTest::newRow("wbitmap mono") << "{\\rtf1 " + pict("\\wbitmap0\\picw16\\pich2\\wbmbitspixel1\\wbmplanes1\\wbmwidthbytes2",
                                                       QByteArray::fromHex("ff00ff00")) + "}"
                                  << "\uFFFC" << 1 << QSize(16, 2) << int(PictureKind::Bitmap) << true;
    QTest::newRow("wmf kept as placeholder") << "{\\rtf1 " + pict("\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720", wmf()) + "}"
                                             << "\uFFFC" << 1 << QSize(96, 48) << Wmf << false;
    QTest::newRow("metafile himetric size") << "{\\rtf1 " + pict("\\wmetafile8\\picw2540\\pich1270", wmf()) + "}"
                                            << "\uFFFC" << 1 << QSize(96, 48) << Wmf << false;
    QTest::newRow("broken png keeps its place") << "{\\rtf1 " + pict("\\pngblip\\picwgoal300\\pichgoal150", "not a png") + "}"
                                                << "\uFFFC" << 1 << QSize(20, 10) << Png << false;
    QTest::newRow("shppict wins over nonshppict")
        << "{\\rtf1 x{\\*\\shppict" + pict("\\pngblip", png()) + "}{\\nonshppict" + pict("\\wmetafile8", wmf()) + "}y}"
        << "x\uFFFCy" << 1 << QSize(30, 20) << Png << true;
    QTest::newRow("nonshppict alone is read")
        << "{\\rtf1 {\\nonshppict" + pict("\\wmetafile8\\picwgoal150\\pichgoal150", wmf()) + "}}"
        << "\uFFFC" << 1 << QSize(10, 10) << Wmf << false;
    QTest::newRow("shape picture, result skipped")
        << "{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv " + pict("\\pngblip", png())
               + "}}{\\sp{\\sn fLine}{\\sv 0}}}{\\shprslt{\\*\\do\\dobxcolumn fallback}" + pict("\\wmetafile8", wmf()) + "}}}"
        << "\uFFFC" << 1 << QSize(30, 20) << Png << true;
    QTest::newRow("shape without picture shows its result")
        << QByteArray("{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 202}}{\\shptxt inside}}{\\shprslt boxed}}}")
        << "boxed" << 0 << QSize() << 0 << false;
    QTest::newRow("bin data") << "{\\rtf1 {\\pict\\pngblip\\bin" + QByteArray::number(png().size()) + " " + png() + "}z}"
                              << "\uFFFCz" << 1 << QSize(30, 20) << Png << true;
    QTest::newRow("two pictures") << "{\\rtf1 " + pict("\\pngblip", png()) + pict("\\jpegblip", jpeg()) + "}"
                                  << "\uFFFC\uFFFC" << 2 << QSize(30, 20) << Png << true;
    QTest::newRow("picture in header stays out") << "{\\rtf1 {\\header " + pict("\\pngblip", png()) + "}body}"
                                                 << "body" << 0 << QSize() << 0 << false;
    QTest::newRow("empty picture") << QByteArray("{\\rtf1 a{\\pict\\pngblip}b}") << "ab" << 0 << QSize() << 0 << false;
}

void tst_RtfPicture::read()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QSize, size);
    QFETCH(int, kind);
    QFETCH(bool, drawn);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QCOMPARE(doc.toPlainText(), text);
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), count);
    if (!count)
        return;
    const Picture &p = pics.first();
    QCOMPARE(QSize(qRound(p.format.width()), qRound(p.format.height())), size);
    QCOMPARE(p.format.intProperty(RichTextProperty::PictureKind), kind);
    QVERIFY(!p.image.isNull());
    QVERIFY(!p.kept.isEmpty());
    const QColor centre = p.image.pixelColor(p.image.width() / 2, p.image.height() / 2);
    const bool red = centre.red() > 200 && centre.green() < 60 && centre.blue() < 60;
    if (kind == int(PictureKind::Bitmap))
        QCOMPARE(centre, QColor(Qt::black)); // its second byte of each row is black
    else
        QCOMPARE(red, drawn); // the sample is red, the placeholder grey
}

void tst_RtfPicture::roundTrip_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("png") << QByteArray("\\pngblip\\picw30\\pich20\\picwgoal450\\pichgoal300") << png();
    QTest::newRow("jpeg") << QByteArray("\\jpegblip\\picw30\\pich20\\picwgoal900\\pichgoal600") << jpeg();
    QTest::newRow("wmf as it came") << QByteArray("\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720") << wmf();
    QTest::newRow("undecodable emf") << QByteArray("\\emfblip\\picw100\\pich100\\picwgoal300\\pichgoal300") << QByteArray("\x01\x02\x03\x04\x05", 5);
    QTest::newRow("dib") << QByteArray("\\dibitmap0\\picw30\\pich20\\picwgoal450\\pichgoal300") << dib();
    QTest::newRow("os/2 metafile") << QByteArray("\\pmmetafile8\\picw100\\pich100\\picwgoal300\\pichgoal300") << wmf();
    QTest::newRow("mac picture") << QByteArray("\\macpict\\picw100\\pich100\\picwgoal300\\pichgoal300") << wmf();
    QTest::newRow("no type word") << QByteArray("\\picw100\\pich100\\picwgoal300\\pichgoal300") << wmf();
}

void tst_RtfPicture::roundTrip()
{
    QFETCH(QByteArray, words);
    QFETCH(QByteArray, bytes);
    QTextDocument first;
    QVERIFY(RtfReader::read("{\\rtf1 one " + pict(words, bytes) + " two\\par}", first).ok);
    const QByteArray written = RtfWriter::write(first);
    // the type word is written back as it came
    QVERIFY2(written.contains("{\\pict" + words.left(words.indexOf("\\picw")) + "\\picw"), written.constData());
    QTextDocument second;
    QVERIFY(RtfReader::read(written, second).ok);
    QCOMPARE(second.toPlainText(), first.toPlainText());
    const QList<Picture> a = pictures(first), b = pictures(second);
    QCOMPARE(b.size(), 1);
    QCOMPARE(b[0].kept, bytes); // byte for byte
    QCOMPARE(b[0].format.width(), a[0].format.width());
    QCOMPARE(b[0].format.height(), a[0].format.height());
    QCOMPARE(b[0].format.intProperty(RichTextProperty::PictureKind), a[0].format.intProperty(RichTextProperty::PictureKind));
    // and a third time gives the same RTF
    QCOMPARE(RtfWriter::write(second), written);
}

void tst_RtfPicture::hostileSizes()
{
    QTextDocument doc;
    // a picture claiming a billion pixels a side and a huge \bin: bounded, no crash
    QVERIFY(RtfReader::read("{\\rtf1 " + pict("\\wbitmap0\\picw1000000000\\pich1000000000\\wbmbitspixel32", "00ff")
                                + pict("\\pngblip\\picwgoal-5\\pichgoal2000000000\\picscalex99999", png())
                                + "{\\pict\\jpegblip\\bin2000000000 xx}}", doc).ok);
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), 2); // the \bin ran to the end of the file with the third
    for (const Picture &p : pics) {
        QVERIFY(p.format.width() >= 1 && p.format.width() <= RtfPicture::kMaxTwips / 15.0);
        QVERIFY(p.format.height() >= 1 && p.format.height() <= RtfPicture::kMaxTwips / 15.0);
        QVERIFY(qint64(p.image.width()) * p.image.height() <= RtfPicture::kMaxPixels);
    }
}

// Pictures the editor got another way (dropped images, loaded files) are
// written as PNG at the size they are shown.
void tst_RtfPicture::picturesFromElsewhere()
{
    QTextDocument doc;
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("dropped")), sample());
    doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("file.png")), png());
    QTextCursor c(&doc);
    c.insertImage(QStringLiteral("dropped"));
    QTextImageFormat sized;
    sized.setName(QStringLiteral("file.png"));
    sized.setWidth(60);
    sized.setHeight(40);
    c.insertImage(sized);
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    const QList<Picture> pics = pictures(again);
    QCOMPARE(pics.size(), 2);
    QCOMPARE(QSize(qRound(pics[0].format.width()), qRound(pics[0].format.height())), QSize(30, 20));
    QCOMPARE(QSize(qRound(pics[1].format.width()), qRound(pics[1].format.height())), QSize(60, 40));
    for (const Picture &p : pics) {
        QCOMPARE(p.format.intProperty(RichTextProperty::PictureKind), int(PictureKind::Png));
        QCOMPARE(p.image.size(), QSize(30, 20));
    }
}

void tst_RtfPicture::emfDrawn()
{
    // an enhanced metafile of 200 x 100 pixels: a red rectangle on white
    TEmfDevice emf(QSize(200, 100));
    {
        QPainter p(&emf);
        p.fillRect(QRect(0, 0, 200, 100), Qt::white);
        p.fillRect(QRect(50, 25, 100, 50), Qt::red);
    }
    const QByteArray bytes = emf.data();
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + pict("\\emfblip\\picw" + QByteArray::number(emf.frameSize().width())
                                                + "\\pich" + QByteArray::number(emf.frameSize().height()), bytes) + "}", doc).ok);
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), 1);
    QCOMPARE(qRound(pics[0].format.width()), 200);
    QCOMPARE(qRound(pics[0].format.height()), 100);
    const QImage &image = pics[0].image;
    const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
    const QColor corner = image.pixelColor(image.width() / 10, image.height() / 10);
    QVERIFY2(centre.red() > 200 && centre.green() < 60, qPrintable(centre.name()));
    QVERIFY2(corner.red() > 200 && corner.green() > 200, qPrintable(corner.name()));
    QCOMPARE(pics[0].kept, bytes);
    // a damaged record chain is not handed to the drawing library: a placeholder
    QByteArray damaged = bytes;
    damaged[damaged.size() - 16] = char(0x7F);
    QTextDocument other;
    QVERIFY(RtfReader::read("{\\rtf1 " + pict("\\emfblip", damaged.left(damaged.size() - 20)) + "}", other).ok);
    QCOMPARE(pictures(other).size(), 1);
}

// A windows metafile of the given records (function, 16-bit parameters).
static QByteArray metafile(const QList<QPair<int, QList<int>>> &records, const QByteArray &tail = {})
{
    QByteArray body;
    const auto put16 = [](QByteArray &b, int v) { b += char(v & 0xFF); b += char((v >> 8) & 0xFF); };
    for (const auto &[function, params] : records) {
        const int words = 3 + int(params.size()) + int(function == 0x0F43 ? tail.size() / 2 : 0);
        put16(body, words & 0xFFFF);
        put16(body, words >> 16);
        put16(body, function);
        for (int v : params)
            put16(body, v);
        if (function == 0x0F43)
            body += tail;
    }
    body += QByteArray::fromHex("030000000000"); // end of file
    QByteArray out;
    for (int v : {1, 9, 0x300, int((18 + body.size()) / 2) & 0xFFFF, int((18 + body.size()) / 2) >> 16, 4, 0, 0, 0})
        put16(out, v);
    return out + body;
}

void tst_RtfPicture::wmfDrawn_data()
{
    QTest::addColumn<QByteArray>("wmf");
    // window 0,0 - 1000 x 500; a red brush; a rectangle over the middle
    QTest::newRow("rectangle") << metafile({{0x020B, {0, 0}}, {0x020C, {500, 1000}},
                                            {0x02FC, {0, 0x00FF, 0x0000, 0}}, {0x012D, {0}},
                                            {0x041B, {400, 800, 100, 200}}});
    QTest::newRow("polygon") << metafile({{0x020C, {500, 1000}}, {0x02FC, {0, 0x00FF, 0x0000, 0}}, {0x012D, {0}},
                                          {0x0324, {4, 100, 50, 900, 50, 900, 450, 100, 450}}});
    // a red bitmap stretched over the whole window
    QTest::newRow("bitmap") << metafile({{0x020C, {500, 1000}},
                                         {0x0F43, {0x0020, 0x00CC, 0, 20, 30, 0, 0, 500, 1000, 0, 0}}}, dib());
}

void tst_RtfPicture::wmfDrawn()
{
    QFETCH(QByteArray, wmf);
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + pict("\\wmetafile8\\picwgoal1500\\pichgoal750", wmf) + "}", doc).ok);
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), 1);
    QCOMPARE(pics[0].image.size(), QSize(100, 50));
    const QColor centre = pics[0].image.pixelColor(50, 25);
    QVERIFY2(centre.red() > 200 && centre.green() < 60 && centre.alpha() == 255, qPrintable(centre.name(QColor::HexArgb)));
    QCOMPARE(pics[0].kept, wmf);
}

void tst_RtfPicture::metafileText_data()
{
    QTest::addColumn<QByteArray>("wmf");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("text inside the record") << metafile({{0x020C, {500, 1000}}, {0x0A32, {100, 100, 2, 0, 'A' | 'B' << 8}}}) << true;
    // the text would start past the record (after the clipping rectangle that is not there)
    QTest::newRow("text start past the record") << metafile({{0x020C, {500, 1000}}, {0x0A32, {100, 100, 200, 0x0006}}}) << false;
    QTest::newRow("text longer than the record") << metafile({{0x020C, {500, 1000}}, {0x0A32, {100, 100, 200, 0, 'A' | 'B' << 8}}}) << false;
}

// Text of a metafile is read only from inside its record.
void tst_RtfPicture::metafileText()
{
    QFETCH(QByteArray, wmf);
    QFETCH(bool, drawn);
    PictureData d;
    d.kind = PictureKind::Wmf;
    d.bytes = wmf;
    d.goalw = 1500;
    d.goalh = 750;
    bool wasDrawn = false;
    RtfPicture::decode(d, &wasDrawn);
    QCOMPARE(wasDrawn, drawn);
}

void tst_RtfPicture::fallbackPictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("count");
    const QByteArray a = pict("\\pngblip", png()), b = pict("\\wmetafile8", wmf());
    QTest::newRow("fallback of the picture before") << "{\\rtf1 {\\*\\shppict" + a + "}{\\nonshppict" + b + "}}" << 1;
    QTest::newRow("fallback in the next paragraph") << "{\\rtf1 " + a + "\\par {\\nonshppict" + b + "}}" << 2;
    // an empty \shppict: its fallback is the only picture it has
    QTest::newRow("fallback of an empty picture") << "{\\rtf1 " + a + "{\\*\\shppict{\\pict\\pngblip}}{\\nonshppict" + b + "}}" << 2;
}

void tst_RtfPicture::fallbackPictures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, count);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QCOMPARE(pictures(doc).size(), count);
}

// An enhanced metafile whose frame spans more than an int: sized, not wrapped
void tst_RtfPicture::emfFrameOverflow()
{
    QByteArray emf(88, '\0');
    const auto set32 = [&emf](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            emf[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    set32(0, 1); // header record
    set32(4, 88);
    set32(24, 0x80000000u); // frame left, top: the smallest int
    set32(28, 0x80000000u);
    set32(32, 0x7FFFFFFFu); // right, bottom: the largest
    set32(36, 0x7FFFFFFFu);
    set32(40, 0x464D4520);
    QByteArray eof(20, '\0');
    eof[0] = 14;
    eof[4] = 20;
    emf += eof;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("wide.emf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(emf);
    file.close();
    PictureData d;
    QString error;
    QVERIFY2(RtfPicture::fromFile(file.fileName(), &d, &error), qPrintable(error));
    QCOMPARE(d.kind, PictureKind::Emf);
    QCOMPARE(d.picw, INT_MAX);
    QCOMPARE(d.pich, INT_MAX);
}

void tst_RtfPicture::metafileWorkBounded()
{
    // six small pictures of 60,000 lines each: the read draws some and shows
    // the rest as placeholders that keep their bytes
    QList<QPair<int, QList<int>>> records{{0x020C, {100, 100}}};
    for (int i = 0; i < 60'000; ++i)
        records.append({0x0213, {i % 100, (i * 7) % 100}});
    const QByteArray wmf = metafile(records);
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < 6; ++i)
        rtf += pict("\\wmetafile8\\picwgoal240\\pichgoal240", wmf);
    rtf += "}";
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(rtf, doc);
    QVERIFY(r.ok);
    QVERIFY(!r.warnings.isEmpty());
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), 6);
    QCOMPARE(pics[0].image.size(), QSize(16, 16));
    QVERIFY(pics[5].image.size() != QSize(16, 16));
    for (const Picture &p : pics)
        QCOMPARE(p.kept, wmf);
}

void tst_RtfPicture::pixelBudget_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("maxPixels");
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<qint64>("left");
    const int Png = int(PictureKind::Png), Jpeg = int(PictureKind::Jpeg), Dib = int(PictureKind::Dib);
    // the samples are 30 x 20 = 600 pixels
    QTest::newRow("fits") << Png << png() << RtfPicture::kMaxPixels << qint64(1000) << true << qint64(400);
    QTest::newRow("budget used up") << Png << png() << RtfPicture::kMaxPixels << qint64(0) << false << qint64(0);
    QTest::newRow("budget too small") << Png << png() << RtfPicture::kMaxPixels << qint64(599) << false << qint64(599);
    QTest::newRow("png scaled, pays its source") << Png << png() << qint64(100) << qint64(1000) << true << qint64(400);
    QTest::newRow("bmp cannot scale") << Dib << dib() << qint64(100) << qint64(1000) << false << qint64(1000);
    QTest::newRow("jpeg scaled, pays its source") << Jpeg << jpeg() << qint64(150) << qint64(1000) << true << qint64(400);
}

void tst_RtfPicture::pixelBudget()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, maxPixels);
    QFETCH(qint64, budget);
    QFETCH(bool, drawn);
    QFETCH(qint64, left);
    PictureData d;
    d.kind = PictureKind(kind);
    d.bytes = bytes;
    RtfPicture::Work work;
    work.pixels = budget;
    bool wasDrawn = false;
    const QImage image = RtfPicture::decode(d, &wasDrawn, maxPixels, &work);
    QCOMPARE(wasDrawn, drawn);
    QCOMPARE(work.pixels, left);
    if (drawn)
        QVERIFY(qint64(image.width()) * image.height() <= maxPixels);
}

void tst_RtfPicture::runFormat_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("hidden");
    const QByteArray p = pict("\\pngblip", png());
    QTest::newRow("in a link") << "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt{" + p + "}}}}"
                               << QStringLiteral("http://x") << false;
    QTest::newRow("hidden") << "{\\rtf1 a{\\v " + p + "}b}" << QString() << true;
    QTest::newRow("plain") << "{\\rtf1 a" + p + "b}" << QString() << false;
}

// A picture takes the format of the text it stands in: a link stays a link
// and hidden stays hidden, also after saving and reading again.
void tst_RtfPicture::runFormat()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, href);
    QFETCH(bool, hidden);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    for (const QTextDocument *d : {&doc, &again}) {
        const QList<Picture> pics = pictures(*d);
        QCOMPARE(pics.size(), 1);
        QCOMPARE(pics[0].format.isAnchor(), !href.isEmpty());
        QCOMPARE(pics[0].format.anchorHref(), href);
        QCOMPARE(pics[0].format.boolProperty(RichTextProperty::Hidden), hidden);
        QCOMPARE(pics[0].kept, png());
    }
}

void tst_RtfPicture::insertFromFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("keptAsItCame");
    QTest::newRow("jpg") << "p.jpg" << jpeg() << int(PictureKind::Jpeg) << true;
    QTest::newRow("bmp") << "p.bmp" << encoded(sample(), "BMP") << int(PictureKind::Png) << false;
    QTest::newRow("gif") << "p.gif" << QByteArray::fromBase64("R0lGODlhHgAUAPAAAP8AAAAAACH5BAAAAAAALAAAAAAeABQAAAIXhI+py+0Po5y02ouz3rz7D4biSJZmUgAAOw==")
                         << int(PictureKind::Png) << false;
    QTest::newRow("placeable wmf") << "p.wmf"
                                   << QByteArray::fromHex("d7cdc69a0000000000003c001e00a005000000000000") + wmf()
                                   << int(PictureKind::Wmf) << false;
}

void tst_RtfPicture::insertFromFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(bool, keptAsItCame);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    PictureData data;
    QString error;
    QVERIFY2(RtfPicture::fromFile(file.fileName(), &data, &error), qPrintable(error));
    QCOMPARE(int(data.kind), kind);
    if (keptAsItCame)
        QCOMPARE(data.bytes, bytes);
    QTextDocument doc;
    QTextCursor cursor(&doc);
    RtfPicture::insert(cursor, data, RtfPicture::decode(data));
    const QList<Picture> pics = pictures(doc);
    QCOMPARE(pics.size(), 1);
    // bitmaps at their pixel size; the placeable metafile at its 60 x 30 units of 1440 an inch
    const QSize expected = kind == int(PictureKind::Wmf) ? QSize(4, 2) : QSize(30, 20);
    QCOMPARE(QSize(qRound(pics[0].format.width()), qRound(pics[0].format.height())), expected);

    QVERIFY(!RtfPicture::fromFile(dir.filePath(QStringLiteral("missing.gif")), &data, &error));
    QVERIFY(!error.isEmpty());
    QFile junk(dir.filePath(QStringLiteral("junk.bmp")));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    QVERIFY(!RtfPicture::fromFile(junk.fileName(), &data, &error));
}

QTEST_MAIN(tst_RtfPicture)
#include "tst_rtfpicture.moc"
