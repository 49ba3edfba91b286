#include "temfdevice.h"

#include "exporttools_p.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

quint32 u32At(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

struct EmfRecord {
    quint32 type;
    QByteArray bytes; // the whole record
};

// Walks the records by their sizes, as a reader does.
QList<EmfRecord> records(const QByteArray &emf, bool *wellFormed)
{
    QList<EmfRecord> list;
    *wellFormed = true;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const quint32 size = u32At(emf, at + 4);
        if (size < 8 || size % 4 || at + size > emf.size()) {
            *wellFormed = false;
            break;
        }
        list.append({ u32At(emf, at), emf.mid(at, size) });
        at += size;
    }
    if (at != emf.size()) *wellFormed = false;
    return list;
}

QString utf16At(const QByteArray &b, qsizetype at, int chars)
{
    QString s;
    for (int i = 0; i < chars; ++i)
        s += QChar(qFromLittleEndian<quint16>(b.constData() + at + 2 * i));
    return s;
}

void drawSamplePage(TEmfDevice &device)
{
    QPainter painter(&device);
    painter.fillRect(QRect(0, 0, 693, 950), Qt::white);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(24);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(200, 0, 0));
    painter.drawText(QPointF(20, 60), QStringLiteral("Hello EMF page"));
    painter.setPen(QPen(Qt::blue, 3));
    painter.drawLine(20, 80, 673, 80);
    painter.setBrush(QColor(0, 128, 192));
    painter.drawRect(20, 100, 200, 50);
    QPainterPath path;
    path.moveTo(300, 100);
    path.cubicTo(350, 50, 400, 150, 450, 100);
    path.closeSubpath();
    painter.drawPath(path);
    QImage picture(4, 2, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    painter.drawImage(QRect(20, 200, 40, 20), picture);
}

} // namespace

class TstTEmfDevice : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void headerOfAPage_data();
    void headerOfAPage();
    void drawingBecomesVectorRecords();
    void otherProgramsOpenIt();
    void savingWhilePaintingIsRefused();
};

void TstTEmfDevice::headerOfAPage_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("frameRight");
    QTest::addColumn<int>("frameBottom"); // inclusive, in 0.01 mm
    QTest::newRow("96 dpi") << 96 << 18334 << 25134;
    QTest::newRow("120 dpi") << 120 << 14667 << 20107;
}

void TstTEmfDevice::headerOfAPage()
{
    QFETCH(int, dpi);
    QFETCH(int, frameRight);
    QFETCH(int, frameBottom);
    TEmfDevice device(QSize(693, 950), dpi, dpi);
    device.setDescription(QStringLiteral("Ondaro Tessary Editor"), QStringLiteral("Made by us"));
    QCOMPARE(device.width(), 693);
    QCOMPARE(device.logicalDpiX(), dpi);
    const QByteArray emf = device.data(); // a page with nothing drawn is still a metafile

    QCOMPARE(u32At(emf, 0), 1u);
    QCOMPARE(u32At(emf, 40), 0x464D4520u);
    QCOMPARE(u32At(emf, 48), quint32(emf.size()));
    QCOMPARE(u32At(emf, 16), 692u);
    QCOMPARE(u32At(emf, 20), 949u);
    QCOMPARE(int(u32At(emf, 32)), frameRight);
    QCOMPARE(int(u32At(emf, 36)), frameBottom);
    const QString expected = QStringLiteral("Ondaro Tessary Editor") + QChar(0)
        + QStringLiteral("Made by us") + QChar(0) + QChar(0);
    QCOMPARE(int(u32At(emf, 60)), expected.size());
    QCOMPARE(utf16At(emf, u32At(emf, 64), expected.size()), expected);

    bool wellFormed = false;
    const QList<EmfRecord> list = records(emf, &wellFormed);
    QVERIFY(wellFormed);
    QCOMPARE(u32At(emf, 52), quint32(list.size()));
    QCOMPARE(list.last().type, 14u); // EMR_EOF
}

void TstTEmfDevice::drawingBecomesVectorRecords()
{
    TEmfDevice device(QSize(693, 950));
    drawSamplePage(device);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(device.save(buffer));
    bool wellFormed = false;
    const QList<EmfRecord> list = records(buffer.data(), &wellFormed);
    QVERIFY(wellFormed);

    QString text;
    QString face;
    QList<quint32> types;
    for (const EmfRecord &r : list) {
        types.append(r.type);
        if (r.type == 84) { // EMR_EXTTEXTOUTW
            const quint32 chars = u32At(r.bytes, 44);
            text += utf16At(r.bytes, u32At(r.bytes, 48), int(chars));
            QCOMPARE(qint32(u32At(r.bytes, 36)), 20);
            QCOMPARE(qint32(u32At(r.bytes, 40)), 60);
        }
        if (r.type == 82) { // EMR_EXTCREATEFONTINDIRECTW
            face = utf16At(r.bytes, 12 + 28, 32).section(QChar(0), 0, 0);
            QCOMPARE(qint32(u32At(r.bytes, 12)), -24);
            QCOMPARE(u32At(r.bytes, 12 + 16), 700u);
        }
        if (r.type == 81) { // EMR_STRETCHDIBITS: 4 x 2 source onto 40 x 20
            QCOMPARE(u32At(r.bytes, 40), 4u);
            QCOMPARE(u32At(r.bytes, 44), 2u);
            QCOMPARE(u32At(r.bytes, 72), 40u);
            QCOMPARE(
                r.bytes.mid(120 + 16, 3), QByteArray("\x03\x02\x01")); // top row is stored last
        }
    }
    QCOMPARE(text, QStringLiteral("Hello EMF page"));
    QCOMPARE(face, QStringLiteral("Liberation Serif"));
    QVERIFY(types.contains(43)); // EMR_RECTANGLE
    QVERIFY(types.contains(54)); // EMR_LINETO
    QVERIFY(types.contains(5)); // EMR_POLYBEZIERTO
    QVERIFY(types.contains(63)); // EMR_STROKEANDFILLPATH
    QVERIFY(types.contains(81));
}

void TstTEmfDevice::otherProgramsOpenIt()
{
    TEmfDevice device(QSize(693, 950));
    drawSamplePage(device);
    const QString path = m_dir.filePath(QStringLiteral("Report - Page 1.emf"));
    QVERIFY(device.saveToFile(path));
    const QString svg = m_dir.filePath(QStringLiteral("page.svg"));
    RUN_TOOL(run, "emf2svg-conv", { QStringLiteral("-i"), path, QStringLiteral("-o"), svg });
    QVERIFY2(run.exitCode == 0, run.out + run.err);
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray out = file.readAll();
    QVERIFY2(out.contains("Hello EMF page"), out.left(3000));
    QVERIFY2(out.contains("Liberation Serif"), out.left(3000));
    QVERIFY2(out.contains("<image") || out.contains(":image"), out.left(3000));
    QVERIFY2(out.contains("#0080C0") || out.contains("#0080c0"), out.left(3000));
    QVERIFY2(out.contains("stroke-width=\"3"), out.left(3000)); // the pen keeps its width
}

void TstTEmfDevice::savingWhilePaintingIsRefused()
{
    TEmfDevice device(QSize(10, 10));
    QPainter painter(&device);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(!device.save(buffer).ok);
    painter.end();
    QVERIFY(device.save(buffer));
}

QTEST_MAIN(TstTEmfDevice)
#include "tst_temfdevice.moc"
