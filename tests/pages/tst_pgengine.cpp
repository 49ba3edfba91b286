#include "tpgfontmapper.h"
#include "tpggraphic.h"
#include "tpgmargins.h"
#include "tpgpage.h"
#include "tpgpagegrid.h"
#include "tpgpagelist.h"
#include "tpgtokens.h"
#include "tpgvalue.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

class TstPgEngine : public QObject
{
    Q_OBJECT

private slots:
    void convertValue_data();
    void convertValue();
    void asTwipsRounding();
    void equalWriteSendsNothing();
    void paperSizes();
    void contentRectA4();
    void marginValuesText();
    void marginValuesRejectsDamage_data();
    void marginValuesRejectsDamage();
    void updateBracketHoldsBack();
    void deletePageRules();
    void orientationRoundTripLedger();
    void expandTokens_data();
    void expandTokens();
    void gridLineCounts();
    void headerLineOriginObject();
    void captionPlacement();
    void advancesCarryFractions();
};

void TstPgEngine::convertValue_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("expected");
    QTest::newRow("mm->in") << int(pgMillimeters) << int(pgInches) << 25.4 << 1.0;
    QTest::newRow("in->twips") << int(pgInches) << int(pgTwips) << 0.5 << 720.0;
    QTest::newRow("cm->units") << int(pgCentimeters) << int(pgUnits) << 1.0 << 1000.0;
    QTest::newRow("px->in") << int(pgPixels) << int(pgInches) << 96.0 << 1.0;
    QTest::newRow("bad unit is inches") << 99 << int(pgTwips) << 1.0 << 1440.0;
}

void TstPgEngine::convertValue()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(double, x);
    QFETCH(double, expected);
    QCOMPARE(ConvertValue(TPgMeasurement(from), TPgMeasurement(to), x), expected);
    const double odd = 0.1 + 0.2;
    QCOMPARE(ConvertValue(pgMillimeters, pgMillimeters, odd), odd);
}

void TstPgEngine::asTwipsRounding()
{
    TPgValue v;
    v.SetAsInches(0.5);
    QCOMPARE(v.AsTwips(), 720);
    v.SetAsInches(1.0 / 1024);
    QCOMPARE(v.AsTwips(), 1);
    QCOMPARE(pgRound(2.5), 2);
    QCOMPARE(pgRound(3.5), 4);
    QCOMPARE(pgTrunc(-2.7), -2);
}

void TstPgEngine::equalWriteSendsNothing()
{
    int changes = 0;
    TPgMargins margins(nullptr, [&] { ++changes; });
    margins.LeftMargin().SetAsInches(0.5);
    QCOMPARE(changes, 0);
    TPgMargins other;
    margins.Assign(other);
    QVERIFY(changes >= 1);
}

void TstPgEngine::paperSizes()
{
    const TPgPageSize a4 = PaperPageSize(TPgPaperSize::A4, pgPortrait);
    QCOMPARE(a4.width, 210 / 25.4);
    QCOMPARE(a4.height, 297 / 25.4);
    const TPgPageSize a4l = PaperPageSize(TPgPaperSize::A4, pgLandscape);
    QCOMPARE(a4l.width, a4.height);
    QCOMPARE(PaperPageSize(TPgPaperSize::Ledger, pgPortrait), (TPgPageSize { 17, 11 }));
    QCOMPARE(PaperSizeFromName("Letter"), TPgPaperSize::Letter);
    QCOMPARE(PaperSizeFromName("letter"), TPgPaperSize::Custom);
    QCOMPARE(PaperSizeNames().size(), 22);
}

void TstPgEngine::contentRectA4()
{
    TPgPageList list;
    list.AddPage(-1);
    list.Header().SetHeight(pgInches, 0.25);
    list.Footer().SetHeight(pgInches, 0.5);
    const TPgRectF r = list.ContentRectF();
    QCOMPARE(r.left, 0.5);
    QCOMPARE(r.top, 0.75);
    QCOMPARE(r.right, 210 / 25.4 - 0.5);
    QCOMPARE(r.bottom, 297 / 25.4 - (0.5 + 0.5));
    list.Header().SetHeight(pgMillimeters, 3);
    QCOMPARE(list.Header().Height(pgInches), 3 / 25.4);
    list.Header().SetHeight(pgMillimeters, 0);
    QVERIFY(list.Header().Height(pgInches) > 0); // automatic, even while not visible
}

void TstPgEngine::marginValuesText()
{
    TPgMargins m;
    QCOMPARE(m.MarginValues(), QString("720,720,720,720,\"12632256,1,2,4\",\"12632256,1,2,4\""));
    QVERIFY(m.SetMarginValues("1440,1440,1440,1440"));
    QCOMPARE(m.TopMargin().AsInches(), 1.0);
    QCOMPARE(m.Pen().style(), Qt::DotLine);
    QVERIFY(m.SetMarginValues("100,200,300,400,\"255,2,0,4\",\"0,1,1,14\""));
    QCOMPARE(m.LeftMargin().AsTwips(), 100);
    QCOMPARE(m.Pen().color(), QColor(255, 0, 0));
    QCOMPARE(m.Pen().style(), Qt::SolidLine);
    QCOMPARE(m.PrinterMarginPenMode(), 14);
    TPgMargins back;
    QVERIFY(back.SetMarginValues(m.MarginValues()));
    QCOMPARE(back.MarginValues(), m.MarginValues());
}

void TstPgEngine::marginValuesRejectsDamage_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("three items") << "1,2,3";
    QTest::newRow("five items") << "1,2,3,4,\"0,1,2,4\"";
    QTest::newRow("not a number") << "1,x,3,4";
    QTest::newRow("short pen") << "1,2,3,4,\"0,1\",\"0,1,2,4\"";
    QTest::newRow("pen style out of range") << "1,2,3,4,\"0,1,9,4\",\"0,1,2,4\"";
}

void TstPgEngine::marginValuesRejectsDamage()
{
    QFETCH(QString, text);
    TPgMargins m;
    const QString before = m.MarginValues();
    QString error;
    QVERIFY(!m.SetMarginValues(text, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(m.MarginValues(), before);
}

void TstPgEngine::updateBracketHoldsBack()
{
    TPgPageList list;
    QStringList log;
    TPgPageList::Notifications n;
    n.newPage = [&] { log << "new"; };
    n.pagesChanged = [&] { log << "pages"; };
    n.pageCountChanged = [&] { log << "count"; };
    n.currentPageChanged = [&] { log << "current"; };
    list.SetNotifications(n);
    list.AddPage(-1);
    QCOMPARE(log, QStringList({ "count", "pages", "current", "new" }));
    log.clear();
    list.BeginUpdate();
    list.AddPage(-1);
    list.AddPage(-1);
    QCOMPARE(log, QStringList({ "current", "new", "current", "new" }));
    log.clear();
    list.EndUpdate();
    QCOMPARE(log, QStringList({ "count", "pages" }));
    log.clear();
    list.EndUpdate(); // unmatched: nothing
    QVERIFY(log.isEmpty());
}

void TstPgEngine::deletePageRules()
{
    TPgPageList list;
    int currentChanges = 0;
    TPgPageList::Notifications n;
    n.currentPageChanged = [&] { ++currentChanges; };
    list.AddPage(-1);
    list.SetNotifications(n);
    list.DeletePage(0);
    QCOMPARE(list.PageCount(), 1);
    QCOMPARE(list.CurrentPage(), 1);
    QCOMPARE(currentChanges, 0);

    for (int i = 0; i < 4; ++i)
        list.AddPage(-1);
    QCOMPARE(list.CurrentPage(), 5);
    currentChanges = 0;
    list.DeletePage(4);
    QCOMPARE(list.CurrentPage(), 4);
    QCOMPARE(currentChanges, 0);
    list.DeletePage(7); // ignored
    QCOMPARE(list.PageCount(), 4);

    list.Canvas().StretchDraw(0, 0, 1, 1, TPgGraphic::FromImage(QImage(4, 4, QImage::Format_RGB32)), pgInches);
    list.ClearPages(false, true);
    QCOMPARE(list.PageCount(), 1);
    QCOMPARE(list.CurrentPage(), 1);
    QCOMPARE(list.Resources().Graphics().Count(), 0);
}

void TstPgEngine::orientationRoundTripLedger()
{
    TPgPageList list;
    list.SetPaperSize(TPgPaperSize::Ledger);
    list.AddPage(-1);
    QCOMPARE(list.GetPage(1)->PageSize(), (TPgPageSize { 17, 11 }));
    list.SetOrientation(pgLandscape);
    list.SetOrientation(pgPortrait);
    QCOMPARE(list.GetPage(1)->PageSize(), (TPgPageSize { 11, 17 }));
    list.SetPaperSize(TPgPaperSize::Custom);
    QCOMPARE(list.GetPage(1)->PageSize(), (TPgPageSize { 11, 17 }));
}

void TstPgEngine::expandTokens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("page of") << "Page {PAGE} of {NUMPAGES}" << "Page 2 of 5";
    QTest::newRow("lower case kept") << "{page}" << "{page}";
    QTest::newRow("twice") << "{PAGE}{PAGE}" << "22";
    QTest::newRow("date") << "{DATE}" << "07/03/2026";
    QTest::newRow("time") << "{TIME}" << "14/35";
}

void TstPgEngine::expandTokens()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QDateTime when(QDate(2026, 3, 7), QTime(14, 35));
    QCOMPARE(ExpandTokens(text, 2, 5, pgDefaultDatePattern, pgDefaultTimePattern, when, '/'),
        expected);
}

void TstPgEngine::gridLineCounts()
{
    TPgPageGrid grid;
    grid.SetGridStyle(pgLines);
    const TPgPageSize a4 = PaperPageSize(TPgPaperSize::A4, pgPortrait);
    QCOMPARE(TPgPageGrid::LineCount(a4.width, grid.GridSpacing().AsInches()), 21);
    QCOMPARE(TPgPageGrid::LineCount(a4.height, grid.GridSpacing().AsInches()), 30);
    const int ppi = 20;
    QImage image(pgRound(a4.width * ppi) + 2, pgRound(a4.height * ppi) + 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    grid.DrawGrid(p, a4, ppi);
    p.end();
    int columns = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, 3) != qRgb(255, 255, 255))
            ++columns;
    }
    QCOMPARE(columns, 21);
}

void TstPgEngine::headerLineOriginObject()
{
    TPgPageList list;
    list.AddPage(-1);
    list.Header().SetHeight(pgInches, 0.25);
    list.Canvas().SetCoordsRelativeTo(pgFromHeaderLine);
    auto *obj = list.Canvas().StretchDraw(0, 0, 1, 1,
        TPgGraphic::FromImage(QImage(2, 2, QImage::Format_RGB32)), pgInches);
    QVERIFY(obj);
    QCOMPARE(list.GetPage(1)->ObjectAt(pgInches, 0.6, 0.8), obj);
    QCOMPARE(list.GetPage(1)->ObjectAt(pgInches, 0.4, 0.8), nullptr);
}

void TstPgEngine::captionPlacement()
{
    const QRect band(100, 50, 200, 30); // edges 100..300
    QCOMPARE(TPgHeaderFooterCaption::AlignedX(band, 1.0, 0, 100), 100);
    QCOMPARE(TPgHeaderFooterCaption::AlignedX(band, 1.0, 1, 100), 150);
    QCOMPARE(TPgHeaderFooterCaption::AlignedX(band, 1.0, 2, 100), 200);
    // Wider than the band: centred text starts left of the band.
    QVERIFY(TPgHeaderFooterCaption::AlignedX(band, 3.0, 1, 100) < band.left());

    TPgPageList list;
    list.AddPage(-1);
    list.Header().SetHeight(pgInches, 0.25);
    list.Footer().SetHeight(pgInches, 0.5);
    const TPgPageSize s = list.GetPage(1)->PageSize();
    const QRect h = list.Header().BandRect(list.Margins(), s, 600, 600);
    QCOMPARE(h, QRect(300, 300, pgRound((s.width - 0.5) * 600) - 300, 150));
    const QRect f = list.Footer().BandRect(list.Margins(), s, 600, 600);
    QCOMPARE(f.top(), pgRound((s.height - 1.0) * 600));
    QCOMPARE(f.top() + f.height(), pgRound((s.height - 0.5) * 600));
}

void TstPgEngine::advancesCarryFractions()
{
    const QVector<double> exact(4, 2.75);
    const QVector<int> dx = TPgFontMapper::SpreadAdvances(exact);
    int sum = 0;
    for (int d : dx)
        sum += d;
    QCOMPARE(sum, 11);
    const QVector<int> text = TPgFontMapper::Instance().Advances(QFont("Arial", 12), 600, "Hello");
    QCOMPARE(text.size(), 5);
    QVERIFY(text.at(0) > 0);
}

QTEST_MAIN(TstPgEngine)
#include "tst_pgengine.moc"
