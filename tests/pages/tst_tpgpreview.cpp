#include "tpgpaperimage.h"
#include "tpgpreview.h"

#include <QMimeData>
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
    void keys_data();
    void keys();
    void zoomCursors_data();
    void zoomCursors();
    void paperMouseEvents();
    void panEnds_data();
    void panEnds();
    void dragOverPaper_data();
    void dragOverPaper();
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

void TstTPgPreview::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("hDelta");
    QTest::addColumn<int>("vDelta");
    QTest::addColumn<int>("toEnd"); // -1 both bars to the start, 1 both to the end

    // Line increment 8: a page key moves 10 lines on the vertical bar when it shows.
    QTest::newRow("page down") << int(Qt::Key_PageDown) << false << 100 << 0 << 80 << 0;
    QTest::newRow("page up") << int(Qt::Key_PageUp) << false << 100 << 0 << -80 << 0;
    QTest::newRow("down") << int(Qt::Key_Down) << false << 100 << 0 << 8 << 0;
    QTest::newRow("up") << int(Qt::Key_Up) << false << 100 << 0 << -8 << 0;
    QTest::newRow("right") << int(Qt::Key_Right) << false << 100 << 8 << 0 << 0;
    QTest::newRow("left") << int(Qt::Key_Left) << false << 100 << -8 << 0 << 0;
    QTest::newRow("home") << int(Qt::Key_Home) << false << 100 << 0 << 0 << -1;
    QTest::newRow("end") << int(Qt::Key_End) << false << 100 << 0 << 0 << 1;
    // A short landscape page: only the horizontal bar shows and takes the page keys.
    QTest::newRow("page down, horizontal only") << int(Qt::Key_PageDown) << true << 25 << 80 << 0 << 0;
    QTest::newRow("page up, horizontal only") << int(Qt::Key_PageUp) << true << 25 << -80 << 0 << 0;
    // Nothing to scroll: the keys do nothing.
    QTest::newRow("page down, no bars") << int(Qt::Key_PageDown) << false << 5 << 0 << 0 << 0;
}

void TstTPgPreview::keys()
{
    QFETCH(int, key);
    QFETCH(bool, landscape);
    QFETCH(int, zoom);
    QFETCH(int, hDelta);
    QFETCH(int, vDelta);
    QFETCH(int, toEnd);
    TPgPreview preview;
    preview.resize(300, 300);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    if (landscape)
        preview.SetOrientation(pgLandscape);
    preview.SetZoom(zoom);
    QScrollBar *h = preview.horizontalScrollBar();
    QScrollBar *v = preview.verticalScrollBar();
    if (landscape) {
        QVERIFY(h->maximum() > 0);
        QCOMPARE(v->maximum(), 0);
    }
    h->setValue(h->maximum() / 2);
    v->setValue(v->maximum() / 2);
    const int h0 = h->value(), v0 = v->value();
    QTest::keyClick(&preview, Qt::Key(key));
    if (toEnd != 0) {
        QCOMPARE(h->value(), toEnd < 0 ? 0 : h->maximum());
        QCOMPARE(v->value(), toEnd < 0 ? 0 : v->maximum());
    } else {
        QCOMPARE(h->value(), qBound(0, h0 + hDelta, h->maximum()));
        QCOMPARE(v->value(), qBound(0, v0 + vDelta, v->maximum()));
    }
}

void TstTPgPreview::zoomCursors_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("plus");
    QTest::newRow("zoom in, slot 101") << 101 << true;
    QTest::newRow("zoom out, slot 102") << 102 << false;
}

void TstTPgPreview::zoomCursors()
{
    QFETCH(int, slot);
    QFETCH(bool, plus);
    const QCursor cursor = TPgPreview::ScreenCursor(slot);
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(12, 12));
    const QImage image = cursor.pixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    // The bar of the sign is black in both; its upright only in the plus.
    QCOMPARE(image.pixelColor(9, 12), QColor(Qt::black));
    QCOMPARE(image.pixelColor(12, 9) == QColor(Qt::black), plus);
    QCOMPARE(image.pixelColor(0, 31).alpha(), 0);
    QCOMPARE(TPgPreview::ScreenCursor(0).shape(), Qt::ArrowCursor);
}

void TstTPgPreview::paperMouseEvents()
{
    TPgPreview preview;
    preview.resize(400, 500);
    preview.SetGutter(20);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    TPgPaperImage *paper = preview.PaperImage();
    QStringList order;
    connect(&preview, &TPgPreview::OnMouseDown, [&](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        order << QStringLiteral("down %1,%2").arg(x).arg(y);
    });
    connect(&preview, &TPgPreview::OnPageMouseDown, [&](Qt::MouseButton, Qt::KeyboardModifiers, double x, double) {
        order << QStringLiteral("page down %1").arg(x);
    });
    connect(&preview, &TPgPreview::OnMouseUp, [&] { order << "up"; });
    connect(&preview, &TPgPreview::OnPageMouseUp, [&] { order << "page up"; });
    const QPoint corner = paper->PageRect().topLeft();
    QTest::mousePress(paper, Qt::LeftButton, {}, corner);
    QTest::mouseRelease(paper, Qt::LeftButton, {}, corner);
    QCOMPARE(order, (QStringList { QStringLiteral("down %1,%2").arg(corner.x()).arg(corner.y()),
                         "page down 0", "up", "page up" }));
    QVERIFY(preview.hasFocus());
}

void TstTPgPreview::panEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("button released on the paper") << "release";
    QTest::newRow("mouse leaves the paper") << "leave paper";
    QTest::newRow("mouse leaves the preview") << "leave preview";
}

void TstTPgPreview::panEnds()
{
    QFETCH(QString, how);
    TPgPreview preview;
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    int leaves = 0;
    connect(&preview, &TPgPreview::OnMouseLeave, [&] { ++leaves; });
    preview.BeginPan();
    QVERIFY(preview.IsPanning());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    if (how == "release")
        QTest::mouseRelease(preview.PaperImage(), Qt::LeftButton, {}, QPoint(50, 50));
    else if (how == "leave paper")
        QCoreApplication::sendEvent(preview.PaperImage(), &leave);
    else
        QCoreApplication::sendEvent(&preview, &leave);
    QVERIFY(!preview.IsPanning());
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(leaves, how == "leave paper" ? 1 : 0);
}

void TstTPgPreview::dragOverPaper_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("nobody listens: refused") << false << false << false;
    QTest::newRow("listener accepts") << true << false << true;
    QTest::newRow("listener refuses") << true << true << false;
}

void TstTPgPreview::dragOverPaper()
{
    QFETCH(bool, listening);
    QFETCH(bool, refuse);
    QFETCH(bool, accepted);
    TPgPreview preview;
    preview.resize(400, 500);
    preview.SetGutter(20);
    preview.SetZoom(50);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    QList<double> seen;
    if (listening)
        connect(&preview, &TPgPreview::OnPageDragOver,
            [&](QObject *, double x, double y, TPgDragState state, bool *accept) {
                seen << x << y << state;
                if (refuse)
                    *accept = false;
            });
    // One inch right and two down from the page corner: 48 and 96 pixels at 50 %.
    const QPoint at = preview.PaperImage()->PageRect().topLeft() + QPoint(48, 96);
    QMimeData data;
    data.setText(QStringLiteral("x"));
    // Qt delivers moves only within a real drag; the enter carries the same answer.
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    enter.setAccepted(false);
    QCoreApplication::sendEvent(preview.PaperImage(), &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    if (listening) {
        QCOMPARE(seen.size(), 3);
        QVERIFY(qAbs(seen[0] - 1.0) < 1e-9);
        QVERIFY(qAbs(seen[1] - 2.0) < 1e-9);
        QCOMPARE(int(seen[2]), int(pgDragEnter));
    }
}

QTEST_MAIN(TstTPgPreview)
#include "tst_tpgpreview.moc"
