#include "gradientfill.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

// Fills a one-pixel-wide (or high) strip and reads the colour of every line back.
static QList<QRgb> paint(const QList<QColor> &colours, int length, bool horizontal)
{
    const QSize size = horizontal ? QSize(length, 3) : QSize(3, length);
    QImage image(size + QSize(2, 2), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    {
        QPainter p(&image);
        GradientFill(p, QRect(QPoint(1, 1), size), colours, horizontal);
    }
    QList<QRgb> lines;
    for (int i = 0; i < length; ++i)
        lines << (horizontal ? image.pixel(1 + i, 2) : image.pixel(2, 1 + i));
    // Nothing outside the rectangle.
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, 0) != QColor(Qt::magenta).rgb()
            || image.pixel(x, image.height() - 1) != QColor(Qt::magenta).rgb())
            lines << 0;
    }
    return lines;
}

class TstGradientFill : public QObject {
    Q_OBJECT

private slots:
    void lines_data()
    {
        QTest::addColumn<QList<QColor>>("colours");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QList<int>>("expectedRed"); // red channel of every line

        // Two stops over 10 lines: t = r / 9, so the last line has the second colour exactly.
        QList<int> two;
        for (int r = 0; r < 10; ++r)
            two << int(std::trunc(0 + 90 * double(r) / 9));
        QTest::newRow("two stops, 10 lines")
            << QList<QColor> { QColor(0, 0, 0), QColor(90, 0, 0) } << 10 << false << two;
        QTest::newRow("two stops, horizontal")
            << QList<QColor> { QColor(0, 0, 0), QColor(90, 0, 0) } << 10 << true << two;
        // Three stops over 10: segments of 5; line 5 ends the first and starts the second.
        QTest::newRow("three stops, 10 lines")
            << QList<QColor> { QColor(0, 0, 0), QColor(100, 0, 0), QColor(0, 0, 0) } << 10 << false
            << QList<int> { 0, 20, 40, 60, 80, 100, 75, 50, 25, 0 };
        // Falling channel truncates toward zero: 100 - 100 * 1/3 = 66.67 gives 66.
        QTest::newRow("falling, truncated") << QList<QColor> { QColor(100, 0, 0), QColor(0, 0, 0) }
                                            << 4 << false << QList<int> { 100, 66, 33, 0 };
        // More stops than lines: the rounded-up segments stop at the rectangle's end.
        QTest::newRow("more stops than lines") << QList<QColor> { QColor(0, 0, 0), QColor(10, 0, 0),
            QColor(20, 0, 0), QColor(30, 0, 0), QColor(40, 0, 0) }
                                               << 3 << false << QList<int> { 0, 10, 20 };
    }
    void lines()
    {
        QFETCH(QList<QColor>, colours);
        QFETCH(int, length);
        QFETCH(bool, horizontal);
        QFETCH(QList<int>, expectedRed);
        QList<int> red;
        for (QRgb c : paint(colours, length, horizontal))
            red << qRed(c);
        QCOMPARE(red, expectedRed);
    }

    // The history's selected row: 35 lines, lines 0 to 18 in the first colour, then
    // 18 to 34 from the second to the third.
    void historyRow()
    {
        const QColor light(255, 245, 221), warm(255, 218, 94);
        const QList<QRgb> lines = paint({ light, light, warm }, 35, false);
        QCOMPARE(lines.size(), 35);
        for (int y = 0; y <= 18; ++y)
            QCOMPARE(QColor(lines[y]), light);
        QCOMPARE(QColor(lines[34]), warm);
        // Line 26 is r = 8 of 16 in the second segment: 245 - 27 * 8 / 16, 221 - 127 / 2.
        QCOMPARE(QColor(lines[26]), QColor(255, 231, 157));
    }

    void needsTwoColours()
    {
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        QString error;
        QVERIFY(!GradientFill(p, image.rect(), { Qt::black }, false, &error));
        QCOMPARE(error, QStringLiteral("Es müssen mindestens zwei Farben angegeben werden."));
        p.end();
        QCOMPARE(image.pixel(0, 0), QColor(Qt::white).rgb());
    }
};

QTEST_GUILESS_MAIN(TstGradientFill)
#include "tst_gradientfill.moc"
