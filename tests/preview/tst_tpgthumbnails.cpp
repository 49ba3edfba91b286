#include "tpgpreview.h"
#include "tpgthumbnail.h"
#include "tpgthumbnails.h"

#include <QScrollBar>
#include <QtTest>

namespace {

void setPages(TPgPreview &preview, int count)
{
    preview.BeginUpdate();
    preview.Clear();
    for (int i = 1; i < count; ++i)
        preview.NewPage();
    preview.EndUpdate();
}

} // namespace

class TstTPgThumbnails : public QObject
{
    Q_OBJECT

private slots:
    void followsPreviewPages();
    void rebuildKeepsThumbnails_data();
    void rebuildKeepsThumbnails();
    void captions_data();
    void captions();
    void layouts_data();
    void layouts();
    void backgroundCaptionContrast();
    void clickSelectsPageButNotDuringUpdate();
    void destroyedPreviewEmptiesStrip();
    void columnWiderThanTheStripStaysAtTheLeft();
};

void TstTPgThumbnails::followsPreviewPages()
{
    TPgThumbnails strip;
    QCOMPARE(strip.ThumbnailCount(), 0);
    TPgPreview preview;
    strip.SetPreview(&preview);
    QCOMPARE(strip.ThumbnailCount(), 1);
    QVERIFY(strip.Thumbnail(0)->Selected());

    // Inside the bracket nothing changes; at its end the strip rebuilds once.
    preview.BeginUpdate();
    preview.NewPage();
    preview.NewPage();
    QCOMPARE(strip.ThumbnailCount(), 1);
    QVERIFY(strip.IsUpdating());
    preview.EndUpdate();
    QCOMPARE(strip.ThumbnailCount(), 3);
    QCOMPARE(strip.SelectedIndex(), 2);
    QVERIFY(strip.Thumbnail(2)->Selected());
    QVERIFY(!strip.Thumbnail(0)->Selected());

    preview.SetCurrentPage(1);
    QCOMPARE(strip.SelectedIndex(), 0);
    QVERIFY(strip.Thumbnail(0)->Selected());
    QVERIFY(!strip.Thumbnail(2)->Selected());

    // The thumbnails' zoom is ThumbSize + 2 percent.
    strip.SetThumbSize(14);
    QCOMPARE(strip.Thumbnail(0)->Zoom(), 16);
    strip.SetPreview(nullptr);
    QCOMPARE(strip.ThumbnailCount(), 0);
}

void TstTPgThumbnails::rebuildKeepsThumbnails_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("same count") << 3 << 3;
    QTest::newRow("more pages") << 3 << 5;
    QTest::newRow("fewer pages") << 5 << 2;
}

void TstTPgThumbnails::rebuildKeepsThumbnails()
{
    QFETCH(int, before);
    QFETCH(int, after);
    TPgThumbnails strip;
    TPgPreview preview;
    strip.SetPreview(&preview);
    setPages(preview, before);
    QList<QPointer<TPgThumbnail>> old;
    for (int i = 0; i < before; ++i)
        old.append(strip.Thumbnail(i));

    // A new pagination rebinds the thumbnails there instead of making them again.
    setPages(preview, after);
    QCOMPARE(strip.ThumbnailCount(), after);
    for (int i = 0; i < std::min(before, after); ++i)
        QCOMPARE(strip.Thumbnail(i), old[i].data());
    for (int i = after; i < before; ++i)
        QVERIFY(!old[i]);
    int selected = 0;
    for (int i = 0; i < after; ++i) {
        QCOMPARE(strip.Thumbnail(i)->Page(), preview.GetPage(i + 1));
        selected += strip.Thumbnail(i)->Selected() ? 1 : 0;
    }
    QCOMPARE(selected, 1);
    QVERIFY(strip.Thumbnail(preview.CurrentPage() - 1)->Selected());
}

void TstTPgThumbnails::captions_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("third");
    QTest::newRow("Page: #") << "Page: #" << "Page: 3";
    QTest::newRow("Page #") << "Page #" << "Page 3";
    QTest::newRow("two marks") << "# of #" << "3 of 3";
    QTest::newRow("no mark") << "Page" << "Page";
}

void TstTPgThumbnails::captions()
{
    QFETCH(QString, pattern);
    QFETCH(QString, third);
    TPgPreview preview;
    setPages(preview, 3);
    TPgThumbnails strip;
    strip.SetPreview(&preview);
    strip.SetPageCaptions(pattern);
    QCOMPARE(strip.Thumbnail(2)->Caption(), third);
}

void TstTPgThumbnails::layouts_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QList<QPoint>>("cells"); // (column, row) of each thumbnail
    QTest::newRow("vertical") << int(pgThumbVert) << 3
                              << QList<QPoint> { { 0, 0 }, { 0, 1 }, { 0, 2 } };
    QTest::newRow("horizontal") << int(pgThumbHorz) << 3
                                << QList<QPoint> { { 0, 0 }, { 1, 0 }, { 2, 0 } };
    QTest::newRow("grid of 4, 9 pages")
        << int(pgThumbGrid) << 9
        << QList<QPoint> { { 0, 0 }, { 1, 0 }, { 2, 0 }, { 3, 0 }, { 0, 1 }, { 1, 1 }, { 2, 1 },
               { 3, 1 }, { 0, 2 } };
}

void TstTPgThumbnails::layouts()
{
    QFETCH(int, layout);
    QFETCH(int, pages);
    QFETCH(QList<QPoint>, cells);
    TPgPreview preview;
    setPages(preview, pages);
    TPgThumbnails strip;
    strip.SetLayout(TPgThumbNailLayout(layout));
    QFont font;
    font.setPixelSize(13);
    strip.SetCaptionFont(font);
    strip.SetPreview(&preview);
    QCOMPARE(strip.CaptionBand(), 17);
    QCOMPARE(strip.ThumbnailCount(), pages);
    const QSize size = strip.Thumbnail(0)->size();
    // Paper pixels at 6 % of A4 plus the gutters: 8 around, 8 + 17 below.
    QCOMPARE(size, QSize(qRound(96 * 8.26 * 0.06) + 16, qRound(96 * 11.69 * 0.06) + 16 + 17));
    for (int i = 0; i < pages; ++i) {
        // Neighbours share one pixel column or row.
        const QPoint expected(cells[i].x() * (size.width() - 1), cells[i].y() * (size.height() - 1));
        QCOMPARE(strip.Thumbnail(i)->pos(), expected);
    }
}

void TstTPgThumbnails::backgroundCaptionContrast()
{
    TPgPreview preview;
    TPgThumbnails strip;
    strip.SetPreview(&preview);
    strip.SetSelectedColor(QColor(0, 128, 192));
    QCOMPARE(strip.Thumbnail(0)->CaptionColor(), QColor(0, 128, 192));
    strip.SetHighlightStyle(pgBackground);
    QCOMPARE(strip.Thumbnail(0)->CaptionColor(), QColor(255, 255, 0));
}

void TstTPgThumbnails::clickSelectsPageButNotDuringUpdate()
{
    TPgPreview preview;
    setPages(preview, 4);
    TPgThumbnails strip;
    strip.SetPreview(&preview);
    QCOMPARE(preview.CurrentPage(), 4);
    QTest::mouseClick(strip.Thumbnail(1), Qt::LeftButton);
    QCOMPARE(preview.CurrentPage(), 2);
    QCOMPARE(strip.SelectedIndex(), 1);

    preview.BeginUpdate();
    QTest::mouseClick(strip.Thumbnail(0), Qt::LeftButton);
    QCOMPARE(preview.CurrentPage(), 2);
    QCOMPARE(strip.SelectedIndex(), 1);
    preview.EndUpdate();
}

void TstTPgThumbnails::destroyedPreviewEmptiesStrip()
{
    TPgThumbnails strip;
    {
        TPgPreview preview;
        setPages(preview, 2);
        strip.SetPreview(&preview);
        QCOMPARE(strip.ThumbnailCount(), 2);
    }
    QCOMPARE(strip.Preview(), nullptr);
    QCOMPARE(strip.ThumbnailCount(), 0);
}

void TstTPgThumbnails::columnWiderThanTheStripStaysAtTheLeft()
{
    TPgPreview preview;
    preview.SetOrientation(pgLandscape);
    TPgThumbnails strip;
    strip.SetLayout(pgThumbVert);
    strip.SetThumbSize(14);
    strip.resize(150, 300); // a landscape A4 page at 16 % is 180 pixels wide
    strip.SetPreview(&preview);
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    setPages(preview, 6);
    QVERIFY(strip.Thumbnail(0)->width() > strip.viewport()->width());
    preview.SetCurrentPage(4);
    QCOMPARE(strip.SelectedIndex(), 3);
    QVERIFY(strip.verticalScrollBar()->value() > 0);
    QCOMPARE(strip.horizontalScrollBar()->value(), 0);
}

QTEST_MAIN(TstTPgThumbnails)
#include "tst_tpgthumbnails.moc"
