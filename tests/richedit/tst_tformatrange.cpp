#include "tformatrange.h"

#include "richtextproperties.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {
constexpr int Twips = 1440;

// A page image of widthIn x heightIn inches at dpi, white.
QImage pageImage(int dpi, qreal widthIn = 4, qreal heightIn = 3)
{
    QImage image(qRound(widthIn * dpi), qRound(heightIn * dpi), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

// The rectangle of image that is not white, or a null rectangle.
QRect inkOf(const QImage &image)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((row[x] & 0xFFFFFF) != 0xFFFFFF) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void fillParagraphs(QTextDocument &doc, int paragraphs, qreal pointSize = 11)
{
    QTextCursor c(&doc);
    QTextCharFormat f;
    f.setFontPointSize(pointSize);
    f.setFontFamilies({QStringLiteral("Liberation Serif")});
    for (int i = 0; i < paragraphs; ++i) {
        if (i > 0)
            c.insertBlock();
        c.insertText(QStringLiteral("Paragraph %1: the quick brown fox jumps over the lazy dog, "
                                    "again and again, until the line wraps.")
                         .arg(i),
                     f);
    }
}
} // namespace

class TestTFormatRange : public QObject
{
    Q_OBJECT
private slots:
    // After edits, the kept layout (only edited paragraphs replaced) paginates and draws
    // exactly like a layout made from scratch.
    void editedLayoutEqualsFreshLayout_data()
    {
        QTest::addColumn<int>("edit");
        QTest::newRow("word typed mid paragraph") << 0;
        QTest::newRow("text removed across paragraphs") << 1;
        QTest::newRow("paragraph split") << 2;
        QTest::newRow("character format") << 3;
        QTest::newRow("paragraph indent and alignment") << 4;
        QTest::newRow("two edits far apart") << 5;
        QTest::newRow("list inserted") << 6;
        QTest::newRow("hidden text") << 7;
        QTest::newRow("word typed in a justified paragraph") << 8;
    }
    void editedLayoutEqualsFreshLayout()
    {
        QFETCH(int, edit);
        QTextDocument doc;
        (void)doc.documentLayout(); // as in an editor: edits come with their range
        fillParagraphs(doc, 60);
        if (edit == 8) {
            QTextBlockFormat justified;
            justified.setAlignment(Qt::AlignJustify);
            QTextCursor(doc.findBlockByNumber(30)).mergeBlockFormat(justified);
        }
        const int dpi = 300; // not the reference 96: indents are scaled to the device
        const QRect layout(0, 0, 4 * Twips, 3 * Twips);
        TFormatRange kept(&doc);
        kept.setTrueJustification(edit != 8); // flush left when it is off
        kept.measure(dpi, dpi, layout, 0, -1);
        const int layoutsBefore = kept.layoutCount();

        QTextCursor c(&doc);
        c.setPosition(doc.findBlockByNumber(30).position() + 12);
        switch (edit) {
        case 0: case 8:
            c.insertText(QStringLiteral("inserted words "));
            break;
        case 1:
            c.setPosition(doc.findBlockByNumber(33).position() + 5, QTextCursor::KeepAnchor);
            c.removeSelectedText();
            break;
        case 2:
            c.insertBlock();
            break;
        case 3: {
            c.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor, 3);
            QTextCharFormat f;
            f.setFontPointSize(20);
            f.setFontWeight(QFont::Bold);
            c.mergeCharFormat(f);
            break;
        }
        case 4: {
            QTextBlockFormat f;
            f.setLeftMargin(40);
            f.setAlignment(Qt::AlignRight);
            c.mergeBlockFormat(f);
            break;
        }
        case 5: {
            c.insertText(QStringLiteral("one "));
            QTextCursor far(&doc);
            far.setPosition(doc.findBlockByNumber(50).position() + 3);
            far.insertText(QStringLiteral("two words, "));
            far.setPosition(doc.findBlockByNumber(5).position() + 3);
            far.insertBlock();
            break;
        }
        case 6:
            c.createList(QTextListFormat::ListDecimal);
            break;
        case 7: {
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            QTextCharFormat f;
            f.setProperty(RichTextProperty::Hidden, true);
            c.mergeCharFormat(f);
            break;
        }
        }
        TFormatRange fresh(&doc);
        fresh.setTrueJustification(kept.trueJustification());
        QList<int> keptStarts, freshStarts;
        for (int start = 0; start < fresh.length();) {
            freshStarts << start;
            start = fresh.measure(dpi, dpi, layout, start, -1);
        }
        for (int start = 0; start < kept.length();) {
            keptStarts << start;
            start = kept.measure(dpi, dpi, layout, start, -1);
        }
        QCOMPARE(kept.layoutCount(), layoutsBefore + 1);
        QCOMPARE(keptStarts, freshStarts);
        for (int i = 0; i < freshStarts.size(); ++i) {
            QImage a = pageImage(dpi), b = pageImage(dpi);
            {
                QPainter pa(&a), pb(&b);
                kept.render(&pa, layout, freshStarts[i], -1);
                fresh.render(&pb, layout, freshStarts[i], -1);
            }
            QVERIFY2(a == b, qPrintable(QStringLiteral("page %1").arg(i + 1)));
        }
    }

    void pagesCoverTextWithoutGapOrOverlap_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("paragraphs");
        QTest::addColumn<QRect>("layout");
        QTest::newRow("screen") << 96 << 60 << QRect(300, 300, 4 * Twips, 2 * Twips);
        QTest::newRow("printer") << 600 << 60 << QRect(300, 300, 4 * Twips, 2 * Twips);
        QTest::newRow("narrow") << 96 << 20 << QRect(0, 0, Twips / 2, Twips);
        QTest::newRow("one short paragraph") << 96 << 1 << QRect(0, 0, 6 * Twips, 9 * Twips);
    }
    void pagesCoverTextWithoutGapOrOverlap()
    {
        QFETCH(int, dpi);
        QFETCH(int, paragraphs);
        QFETCH(QRect, layout);
        QTextDocument doc;
        fillParagraphs(doc, paragraphs);
        TFormatRange range(&doc);
        const int length = range.length();
        QCOMPARE(length, doc.characterCount() - 1);

        QList<int> starts;
        int start = 0;
        while (start < length) {
            QImage image = pageImage(dpi, 6, 4);
            QPainter painter(&image);
            const int next = range.render(&painter, layout, start, length);
            painter.end();
            QVERIFY2(next > start, qPrintable(QStringLiteral("stuck at %1").arg(start)));
            QVERIFY(!inkOf(image).isNull());
            starts << start;
            start = next;
            QVERIFY(starts.size() < 10000);
        }
        QCOMPARE(start, length);
        // Each page started where the last one stopped: no gap and no overlap.
        if (paragraphs > 1)
            QVERIFY(starts.size() > 1);
        QCOMPARE(range.layoutCount(), 1);
        QCOMPARE(range.render(nullptr, layout, length, length), length);
    }

    void lineTallerThanRectangleStillAdvances()
    {
        QTextDocument doc;
        fillParagraphs(doc, 3, 72);
        TFormatRange range(&doc);
        const QRect tiny(0, 0, 4 * Twips, 100); // far less than one line of 72 points
        int start = 0, calls = 0;
        while (start < range.length()) {
            QImage image = pageImage(96);
            QPainter painter(&image);
            const int next = range.render(&painter, tiny, start, -1);
            QVERIFY(next > start);
            start = next;
            ++calls;
        }
        int lines = 0;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            lines += b.layout()->lineCount() > 0 ? 1 : 0;
        QVERIFY(calls >= lines);
    }

    void endLimitsTheRange()
    {
        QTextDocument doc;
        fillParagraphs(doc, 10);
        TFormatRange range(&doc);
        const QRect big(0, 0, 6 * Twips, 100 * Twips);
        QCOMPARE(range.measure(96, 96, big, 0, 50), 50);
        QCOMPARE(range.measure(96, 96, big, 0, -1), range.length());
        QCOMPARE(range.measure(96, 96, big, 40, 10), 10);
    }

    void layoutIsCachedUntilTheTextChanges()
    {
        QTextDocument doc;
        fillParagraphs(doc, 40);
        TFormatRange range(&doc);
        const QRect layout(0, 0, 4 * Twips, 2 * Twips);
        int start = 0;
        while (start < range.length())
            start = range.measure(96, 96, layout, start, -1);
        QCOMPARE(range.layoutCount(), 1);
        range.measure(600, 600, layout, 0, -1); // another resolution
        QCOMPARE(range.layoutCount(), 2);
        range.measure(600, 600, layout, 0, -1);
        QCOMPARE(range.layoutCount(), 2);
        QTextCursor(&doc).insertText(QStringLiteral("changed "));
        range.measure(600, 600, layout, 0, -1);
        QCOMPARE(range.layoutCount(), 3);
        range.release();
        range.measure(600, 600, layout, 0, -1);
        QCOMPARE(range.layoutCount(), 4);
    }

    void drawsInsideTheLayoutRectangleAtAnyResolution_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("96 dpi") << 96;
        QTest::newRow("300 dpi") << 300;
    }
    void drawsInsideTheLayoutRectangleAtAnyResolution()
    {
        QFETCH(int, dpi);
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextBlockFormat indented;
        indented.setLeftMargin(96); // one inch in document units
        c.setBlockFormat(indented);
        QTextCharFormat f;
        f.setFontPointSize(12);
        c.insertText(QStringLiteral("Indented by one inch"), f);
        TFormatRange range(&doc);
        QImage image = pageImage(dpi);
        QPainter painter(&image);
        const QRect layout(Twips / 2, Twips / 2, 3 * Twips, 2 * Twips);
        range.render(&painter, layout, 0, -1);
        painter.end();
        const QRect ink = inkOf(image);
        QVERIFY(!ink.isNull());
        // Left edge of the rectangle plus the indent, both scaled to the device.
        QVERIFY2(qAbs(ink.left() - 1.5 * dpi) < 0.1 * dpi, qPrintable(QString::number(ink.left())));
        QVERIFY(ink.top() >= dpi / 2 && ink.bottom() < dpi / 2 + dpi / 3);
    }

    void hiddenTextTakesNoRoomAndDrawsNothing()
    {
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat hidden;
        hidden.setFontPointSize(40);
        hidden.setProperty(RichTextProperty::Hidden, true);
        c.insertText(QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWW"), hidden);
        QTextCharFormat shown;
        shown.setFontPointSize(12);
        c.insertText(QStringLiteral("x"), shown);
        TFormatRange range(&doc);
        QImage image = pageImage(96);
        QPainter painter(&image);
        QCOMPARE(range.render(&painter, QRect(0, 0, 4 * Twips, 2 * Twips), 0, -1), range.length());
        painter.end();
        const QRect ink = inkOf(image);
        QVERIFY(!ink.isNull());
        QVERIFY2(ink.width() < 15 && ink.left() < 15, qPrintable(QString::number(ink.right())));
        // The source keeps its text and formats.
        QCOMPARE(doc.toPlainText().size(), 25);
    }

    void justificationFollowsTheSwitch_data()
    {
        QTest::addColumn<bool>("trueJustification");
        QTest::addColumn<bool>("looksLeftAligned");
        QTest::newRow("true justified layout") << true << false;
        QTest::newRow("without it, flush left") << false << true;
    }
    void justificationFollowsTheSwitch()
    {
        QFETCH(bool, trueJustification);
        QFETCH(bool, looksLeftAligned);
        QTextDocument doc;
        fillParagraphs(doc, 1);
        const auto renderAligned = [&doc](TFormatRange &range, Qt::Alignment alignment) {
            QTextBlockFormat bf;
            bf.setAlignment(alignment);
            QTextCursor(&doc).setBlockFormat(bf);
            QImage image = pageImage(96);
            QPainter painter(&image);
            range.render(&painter, QRect(0, 0, 3 * Twips, 3 * Twips), 0, -1);
            return image;
        };
        TFormatRange range(&doc);
        const QImage left = renderAligned(range, Qt::AlignLeft);
        const QImage justified = renderAligned(range, Qt::AlignJustify);
        QVERIFY(justified != left); // the paragraph has more than one line
        // Switching after a layout takes effect on the next rendering.
        range.setTrueJustification(trueJustification);
        QCOMPARE(renderAligned(range, Qt::AlignJustify) == left, looksLeftAligned);
        // The source keeps its alignment.
        QCOMPARE(doc.begin().blockFormat().alignment(), Qt::AlignJustify);
    }

    void pageBreakBeforeStartsAPage()
    {
        QTextDocument doc;
        fillParagraphs(doc, 3);
        QTextBlock third = doc.begin().next().next();
        QTextBlockFormat f = third.blockFormat();
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(third).setBlockFormat(f);
        TFormatRange range(&doc);
        const QRect tall(0, 0, 6 * Twips, 9 * Twips);
        QCOMPARE(range.measure(96, 96, tall, 0, -1), third.position());
        QCOMPARE(range.measure(96, 96, tall, third.position(), -1), range.length());
    }

    void emptyDocumentHasNothingToRender()
    {
        QTextDocument doc;
        TFormatRange range(&doc);
        QImage image = pageImage(96);
        QPainter painter(&image);
        QCOMPARE(range.render(&painter, QRect(0, 0, Twips, Twips), 0, -1), 0);
        painter.end();
        QVERIFY(inkOf(image).isNull());
    }
};

QTEST_MAIN(TestTFormatRange)
#include "tst_tformatrange.moc"
