// The printer wrapper: default metrics without a printer, the slot arithmetic of pages
// per sheet, and real jobs on a CUPS queue. The queue tests need a printer (scripts/test.sh
// starts its own cupsd with a PDF queue); the no-printer tests need none (they run again
// with CUPS pointed at a server that does not exist).
#include "tmessagebox.h"
#include "tpgcanvas.h"
#include "tpgpreview.h"
#include "tpgprinter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPicture>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>
#include <QtTest>

namespace {

bool havePrinter()
{
    return !TPgPrinterInfo::PrinterNames().isEmpty();
}

// Page pictures are recorded at 600 per inch, as the page builder records them.
class Picture600 : public QPicture
{
protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 600;
        default:
            return QPicture::metric(m);
        }
    }
};

// A preview with @p pages pages, each holding a page picture that reads "Page n".
void fillPages(TPgPreview &preview, int pages)
{
    preview.BeginUpdate();
    preview.Clear();
    for (int n = 1; n <= pages; ++n) {
        if (n > 1)
            preview.NewPage();
        Picture600 picture;
        {
            QPainter p(&picture);
            QFont f(QStringLiteral("Liberation Sans"));
            f.setPointSize(12);
            p.setFont(f);
            p.drawText(QPointF(100, 200), QStringLiteral("Page %1 of the test").arg(n));
        }
        picture.setBoundingRect(QRect(0, 0, 1800, 1800));
        preview.Canvas().StretchDraw(1, 1, 4, 4, TPgGraphic::FromPicture(picture), pgInches);
    }
    preview.EndUpdate();
}

QString runTool(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000))
        return QString();
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

int pdfPages(const QString &path)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), { path });
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Where the PDF queue writes its files: cups-pdf puts them in the job owner's ~/PDF.
QString queueOutputDir()
{
    const QByteArray env = qgetenv("TESSARY_PRINT_OUTPUT");
    return env.isEmpty() ? QDir::homePath() + QStringLiteral("/PDF") : QString::fromLocal8Bit(env);
}

// Waits for the queue's file whose name starts with @p title (the queue works on its own
// time; a missing file after two minutes is a failure, not a hang).
QString waitForQueueOutput(const QString &title)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 120000) {
        const QStringList files = QDir(queueOutputDir())
                                      .entryList({ title + QStringLiteral("*.pdf") }, QDir::Files);
        if (!files.isEmpty()) {
            const QString path = queueOutputDir() + QLatin1Char('/') + files.first();
            // The backend writes the file in steps; take it once pdfinfo can read it.
            if (pdfPages(path) > 0)
                return path;
        }
        QThread::msleep(200);
    }
    return QString();
}

} // namespace

class TstTPgPrinter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void defaultMetricsWithoutPrinter();
    void noPrinterRefusesJob();
    void refusedJobSaysWhy_data();
    void refusedJobSaysWhy();
    void sheetSlots_data();
    void sheetSlots();
    void twoPerSheetTurnsTheSheet();
    void printsToQueue_data();
    void printsToQueue();
    void pdfOutputHoldsText();
    void printerChangeNotifies();
    void unwritableOutputIsReported();

private:
    QStringList m_messages;
};

void TstTPgPrinter::init()
{
    m_messages.clear();
    TMessageBox::setHandler([this](TMessageBox::Kind, const QString &text,
                                QMessageBox::StandardButtons) {
        m_messages << text;
        return QMessageBox::Ok;
    });
}

void TstTPgPrinter::cleanup()
{
    TMessageBox::setHandler({});
}

void TstTPgPrinter::defaultMetricsWithoutPrinter()
{
    if (havePrinter())
        QSKIP("a printer is installed; this runs in the no-printer test instance");
    TPgPrinter printer;
    QCOMPARE(printer.Device(), nullptr);
    QCOMPARE(qRound(printer.PaperWidth() * 100), 827);
    QCOMPARE(qRound(printer.PaperHeight() * 100), 1169);
    QCOMPARE(printer.PrintableWidth(pgTwips), 2358.0 / 300 * 1440);
    QCOMPARE(printer.PrintableHeight(pgTwips), 3407.0 / 300 * 1440);
    QCOMPARE(printer.Info().PrinterMargins(pgPortrait),
        (TPgRectF { 65 / 300.0, 50 / 300.0, 58 / 300.0, 50 / 300.0 }));
    QCOMPARE(printer.Info().PrinterMargins(pgLandscape),
        (TPgRectF { 50 / 300.0, 58 / 300.0, 50 / 300.0, 65 / 300.0 }));
    QCOMPARE(printer.PrintCopies(), 1);
    QCOMPARE(printer.PrintQuality(), pgMedium);
    printer.SetPrintCopies(5);
    QCOMPARE(printer.PrintCopies(), 1);
    QCOMPARE(printer.PrinterIndex(), -1);
}

void TstTPgPrinter::noPrinterRefusesJob()
{
    if (havePrinter())
        QSKIP("a printer is installed; this runs in the no-printer test instance");
    TPgPreview preview;
    fillPages(preview, 2);
    int before = 0, after = 0;
    connect(&preview, &TPgPreview::BeforePrint, [&] { ++before; });
    connect(&preview, &TPgPreview::AfterPrint, [&] { ++after; });
    QVERIFY(!preview.Print());
    QCOMPARE(m_messages, QStringList { QStringLiteral("Unable to print... No Printer available.") });
    QCOMPARE(before, 0);
    QCOMPARE(after, 0);
    QVERIFY(!preview.PgPrinter().Printing());
    QVERIFY(!preview.IsUpdating());
    QVERIFY(!preview.PrintCurrentPage());
    QCOMPARE(m_messages.size(), 2);
}

void TstTPgPrinter::refusedJobSaysWhy_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("message");
    QTest::newRow("page beyond the end") << 7 << 7 << false
                                         << QStringLiteral("Unable to print... The document has no page 7.");
    QTest::newRow("range beyond the end") << 9 << 7 << false
                                          << QStringLiteral("Unable to print... The document has no page 9 to 7.");
    QTest::newRow("job already running") << 1 << 1 << true
                                         << QStringLiteral("Unable to print... A print job is already running.");
}

void TstTPgPrinter::refusedJobSaysWhy()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(bool, busy);
    QFETCH(QString, message);
    if (busy && !havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    QTemporaryDir dir;
    TPgPreview preview;
    fillPages(preview, 5);
    TPgPrinter &printer = preview.PgPrinter();
    printer.SetOutputFileName(dir.filePath(QStringLiteral("busy.pdf")));
    if (busy)
        QVERIFY2(printer.BeginDoc(), qPrintable(printer.LastError()));
    QVERIFY(!preview.PrintRange(first, last));
    QCOMPARE(m_messages, QStringList { message });
    if (busy) {
        QVERIFY(printer.Printing());
        printer.EndDoc();
    }
    QVERIFY(!preview.IsUpdating());
}

void TstTPgPrinter::sheetSlots_data()
{
    QTest::addColumn<int>("perSheet");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("k");
    QTest::addColumn<QRect>("slot");
    QTest::addColumn<int>("scale");
    const int w = 3507, h = 2481; // A4 landscape at 300 per inch
    QTest::newRow("one") << int(pgOnePage) << int(pgPortrait) << 3
                         << QRect(QPoint(0, 0), QPoint(2481, 3507)) << 100;
    QTest::newRow("two, landscape, odd left") << int(pgTwoPage) << int(pgLandscape) << 1
                                              << QRect(QPoint(0, 0), QPoint(w / 2, h)) << 70;
    QTest::newRow("two, landscape, even right") << int(pgTwoPage) << int(pgLandscape) << 2
                                                << QRect(QPoint(w / 2, 0), QPoint(w, h)) << 70;
    QTest::newRow("two, portrait, even bottom")
        << int(pgTwoPage) << int(pgPortrait) << 4 << QRect(QPoint(0, 3507 / 2), QPoint(2481, 3507))
        << 70;
    QTest::newRow("four, 1 top left") << int(pgFourPage) << int(pgPortrait) << 1
                                      << QRect(QPoint(0, 0), QPoint(1240, 1753)) << 49;
    QTest::newRow("four, 2 top right") << int(pgFourPage) << int(pgPortrait) << 2
                                       << QRect(QPoint(1240, 0), QPoint(2481, 1753)) << 49;
    QTest::newRow("four, 3 bottom left") << int(pgFourPage) << int(pgPortrait) << 3
                                         << QRect(QPoint(0, 1753), QPoint(1240, 3507)) << 49;
    QTest::newRow("four, 8 bottom right") << int(pgFourPage) << int(pgPortrait) << 8
                                          << QRect(QPoint(1240, 1753), QPoint(2481, 3507)) << 49;
}

void TstTPgPrinter::sheetSlots()
{
    QFETCH(int, perSheet);
    QFETCH(int, orientation);
    QFETCH(int, k);
    QFETCH(QRect, slot);
    QFETCH(int, scale);
    const bool landscape = orientation == pgLandscape;
    int s = 0;
    const QRect r = TPgPrinter::SlotRect(TPgPagesPerSheet(perSheet), TPgOrientation(orientation),
        landscape ? 3507 : 2481, landscape ? 2481 : 3507, k, &s);
    QCOMPARE(r, slot);
    QCOMPARE(s, scale);
}

void TstTPgPrinter::twoPerSheetTurnsTheSheet()
{
    if (!havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    QTemporaryDir dir;
    TPgPrinter printer;
    printer.SetOutputFileName(dir.filePath(QStringLiteral("turn.pdf")));
    printer.SetPagesPerSheet(pgTwoPage);
    QVERIFY2(printer.BeginDoc(), qPrintable(printer.LastError()));
    QCOMPARE(printer.Orientation(), pgLandscape);
    QCOMPARE(printer.Device()->pageLayout().orientation(), QPageLayout::Landscape);
    printer.EndDoc();
    QCOMPARE(printer.Orientation(), pgLandscape);
}

void TstTPgPrinter::printsToQueue_data()
{
    QTest::addColumn<int>("perSheet");
    QTest::addColumn<bool>("currentOnly");
    QTest::addColumn<int>("sheets");
    QTest::newRow("one per sheet") << int(pgOnePage) << false << 3;
    QTest::newRow("two per sheet") << int(pgTwoPage) << false << 2;
    QTest::newRow("four per sheet") << int(pgFourPage) << false << 1;
    QTest::newRow("current page") << int(pgOnePage) << true << 1;
}

void TstTPgPrinter::printsToQueue()
{
    QFETCH(int, perSheet);
    QFETCH(bool, currentOnly);
    QFETCH(int, sheets);
    if (!havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    TPgPreview preview;
    fillPages(preview, 3);
    preview.SetPagesPerSheet(TPgPagesPerSheet(perSheet));
    preview.SetCurrentPage(2);
    const QString title = QStringLiteral("tessary_%1")
                              .arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
    preview.PgPrinter().SetTitle(title);
    QList<int> progress;
    connect(&preview, &TPgPreview::OnPrintProgress, [&](int printed, int) { progress << printed; });
    QVERIFY(currentOnly ? preview.PrintCurrentPage() : preview.Print());
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QCOMPARE(progress.size(), currentOnly ? 1 : 3);
    const QString pdf = waitForQueueOutput(title);
    QVERIFY2(!pdf.isEmpty(), qPrintable(QStringLiteral("no PDF from the queue in ") + queueOutputDir()));
    QCOMPARE(pdfPages(pdf), sheets);
    QFile::remove(pdf);
}

void TstTPgPrinter::pdfOutputHoldsText()
{
    if (!havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("job.pdf"));
    TPgPreview preview;
    fillPages(preview, 3);
    preview.PgPrinter().SetOutputFileName(path);
    QVERIFY(preview.PrintRange(3, 2));
    QCOMPARE(pdfPages(path), 2);
    const QString text = runTool(QStringLiteral("pdftotext"), { path, QStringLiteral("-") });
    const QStringList pages = text.split(QLatin1Char('\f'));
    QVERIFY2(pages.value(0).contains(QStringLiteral("Page 3 of the test")), qPrintable(text));
    QVERIFY2(pages.value(1).contains(QStringLiteral("Page 2 of the test")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Page 1")));
}

void TstTPgPrinter::printerChangeNotifies()
{
    if (!havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    struct Recorder : TPgPreviewListener {
        QList<int> kinds;
        void PreviewNotification(TPgPreview *, TPgNotification kind) override { kinds << int(kind); }
    } rec;
    TPgPreview preview;
    preview.RegisterControl(&rec);
    preview.PgPrinter().SetPrinterIndex(0);
    QVERIFY(rec.kinds.contains(7042));
    QCOMPARE(preview.PgPrinter().PrinterIndex(), 0);
}

void TstTPgPrinter::unwritableOutputIsReported()
{
    if (!havePrinter())
        QSKIP("no printer: scripts/test.sh starts a cupsd with the PDF queue");
    TPgPreview preview;
    fillPages(preview, 2);
    preview.PgPrinter().SetOutputFileName(QStringLiteral("/nonexistent-folder/job.pdf"));
    int after = 0;
    connect(&preview, &TPgPreview::AfterPrint, [&] { ++after; });
    QVERIFY(!preview.Print());
    QCOMPARE(m_messages.size(), 1);
    QVERIFY2(m_messages.first().startsWith(QStringLiteral("Unable to start printing")),
        qPrintable(m_messages.first()));
    QVERIFY(!preview.PgPrinter().Printing());
    QVERIFY(!preview.IsUpdating());
    QCOMPARE(after, 0);
}

QTEST_MAIN(TstTPgPrinter)
#include "tst_tpgprinter.moc"
