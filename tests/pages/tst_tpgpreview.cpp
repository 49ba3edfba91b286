#include "tpgpaperimage.h"
#include "tpgpreview.h"

#include <QPainter>
#include <QPicture>
#include <QScrollBar>
#include <QtTest>

namespace {

struct Recorder : TPgPreviewListener {
    QList<int> kinds;
    void PreviewNotification(TPgPreview *, TPgNotification kind) override { kinds << int(kind); }
};

} // namespace

class TstTPgPreview : public QObject
{
    Q_OBJECT

private slots:
    void startsWithOnePage();
    void updateBracketSilencesControls();
    void destroyedListenerIsForgotten();
    void zoomSteps_data();
    void zoomSteps();
    void zoomLimits();
    void fitWholePage();
    void scrollPercentageKeptAcrossZoom();
    void rendersPaperMarginsGridShadow();
};

void TstTPgPreview::startsWithOnePage()
{
    TPgPreview preview;
    QCOMPARE(preview.PageCount(), 1);
    QCOMPARE(preview.CurrentPage(), 1);
    QCOMPARE(preview.Zoom(), 20);
}

void TstTPgPreview::updateBracketSilencesControls()
{
    TPgPreview preview;
    Recorder rec;
    preview.RegisterControl(&rec);
    preview.RegisterControl(&rec);
    int newPages = 0, pageChanges = 0;
    connect(&preview, &TPgPreview::OnNewPage, [&] { ++newPages; });
    connect(&preview, &TPgPreview::OnPageChanged, [&] { ++pageChanges; });
    preview.BeginUpdate();
    preview.NewPage();
    preview.NewPage();
    QCOMPARE(rec.kinds, QList<int>({ 7043 }));
    preview.EndUpdate();
    QCOMPARE(rec.kinds, QList<int>({ 7043, 7039, 7038, 7044 }));
    QCOMPARE(newPages, 2);
    QCOMPARE(pageChanges, 2);
    rec.kinds.clear();
    preview.PrevPage();
    QCOMPARE(rec.kinds, QList<int>({ 7047 }));
}

void TstTPgPreview::destroyedListenerIsForgotten()
{
    TPgPreview preview;
    {
        Recorder rec;
        preview.RegisterControl(&rec);
    }
    preview.NewPage(); // must not reach the destroyed recorder
    QCOMPARE(preview.PageCount(), 2);
}

void TstTPgPreview::zoomSteps_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("in");
    QTest::addColumn<int>("expected");
    QTest::newRow("in at 25") << int(pgVariableZoom) << 25 << true << 30;
    QTest::newRow("out at 25") << int(pgVariableZoom) << 25 << false << 20;
    QTest::newRow("out at 7") << int(pgVariableZoom) << 7 << false << 7;
    QTest::newRow("in at 800") << int(pgVariableZoom) << 800 << true << 800;
    QTest::newRow("fixed in at 35") << int(pgFixedZoom) << 35 << true << 50;
}

void TstTPgPreview::zoomSteps()
{
    QFETCH(int, style);
    QFETCH(int, start);
    QFETCH(bool, in);
    QFETCH(int, expected);
    TPgPreview preview;
    preview.SetMaxZoom(800);
    preview.SetZoomIncrement(15);
    preview.SetZoomStyle(TPgZoomStyle(style));
    preview.SetZoom(start);
    in ? preview.ZoomIn() : preview.ZoomOut();
    QCOMPARE(preview.Zoom(), expected);
}

void TstTPgPreview::zoomLimits()
{
    TPgPreview preview;
    preview.SetZoom(1000);
    QCOMPARE(preview.Zoom(), 400);
    preview.SetMaxZoom(3);
    QCOMPARE(preview.MaxZoom(), 5);
    QCOMPARE(preview.Zoom(), 5);
}

void TstTPgPreview::fitWholePage()
{
    TPgPreview preview;
    preview.resize(600, 500);
    preview.SetGutter(20);
    preview.FitWholePage();
    QCOMPARE(preview.Zoom(), 39);
}

void TstTPgPreview::scrollPercentageKeptAcrossZoom()
{
    TPgPreview preview;
    preview.resize(300, 300);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    preview.SetZoom(100);
    QScrollBar *bar = preview.verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum() / 2);
    preview.SetZoom(200);
    QVERIFY(qAbs(bar->value() - bar->maximum() / 2) <= 1);
}

void TstTPgPreview::rendersPaperMarginsGridShadow()
{
    TPgPreview preview;
    preview.resize(400, 500);
    preview.SetGutter(20);
    preview.Margins().SetVisible(true);
    QPen red(Qt::red);
    preview.Margins().SetPen(red);
    preview.PageGrid().SetGridStyle(pgLines);
    // Two pages, each with a picture filling the content area with blue.
    for (int i = 0; i < 2; ++i) {
        if (i)
            preview.NewPage();
        QPicture pic;
        QPainter p(&pic);
        p.fillRect(QRect(0, 0, 100, 100), Qt::blue);
        p.end();
        pic.setBoundingRect(QRect(0, 0, 100, 100));
        preview.Canvas().StretchDraw(1, 1, 3, 3, TPgGraphic::FromPicture(pic), pgInches);
    }
    preview.SetZoom(40);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    const QImage image = preview.grab().toImage();
    image.save(QStringLiteral(TESSARY_BINARY_DIR "/tst_tpgpreview.png"));

    const QRect page = preview.PaperImage()->PageRect();
    const QPoint origin = preview.PaperImage()->mapTo(&preview, page.topLeft());
    const auto at = [&](double xin, double yin) {
        return image.pixelColor(origin.x() + pgRound(xin * 96 * 0.4), origin.y() + pgRound(yin * 96 * 0.4));
    };
    QCOMPARE(image.pixelColor(origin + QPoint(7, 3)), QColor(Qt::white)); // between grid lines
    QCOMPARE(image.pixelColor(origin + QPoint(-1, page.height() / 3)), UnpackColor(12632256));
    QCOMPARE(image.pixelColor(origin + QPoint(0, page.height() / 3)), QColor(Qt::black));
    QCOMPARE(image.pixelColor(origin + QPoint(page.width() + 2, page.height() / 2)), QColor(Qt::black));
    QCOMPARE(image.pixelColor(origin + QPoint(page.width() + 2, 2)), UnpackColor(12632256));
    QCOMPARE(at(2, 2), QColor(Qt::blue));
    const int marginX = origin.x() + pgRound(0.5 * 96 * 0.4);
    bool redFound = false;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int y = origin.y() + 60; y < origin.y() + 80; ++y)
            redFound |= image.pixelColor(marginX + dx, y) == QColor(Qt::red);
    }
    QVERIFY(redFound);
}

QTEST_MAIN(TstTPgPreview)
#include "tst_tpgpreview.moc"
