#pragma once

/// @file tpgprinter.h
/// The page engine's only way to the platform printer.

#include "tpgprinterinfo.h"
#include "tpgtypes.h"

#include <QObject>
#include <QPainter>

#include <memory>

class QPrinter;

enum TPgDuplexType { pgSimplex, pgHorzDuplex, pgVertDuplex };
enum TPgPrintColor { pgColor, pgMonochrome };
enum TPgDitherType { pgNone, pgCourse, pgFine, pgLineArt, pgGrayScale };
enum TPgPrintQuality { pgDraft, pgLow, pgMedium, pgHigh };

/// The printer wrapper over QPrinter (CUPS).
///
/// It reports the current printer's geometry (TPgPrinterInfo, the default A4 metrics
/// without a printer), reads and writes its device settings, switches printers and runs
/// print jobs in which one, two or four pages share a sheet. Without any printer every
/// setting reads its default and writes do nothing.
///
/// A job: BeginDoc(), then draw the first page on Canvas(), StartNextPage() before each
/// further page, EndDoc(). Pages are drawn at ResolutionX() x ResolutionY() device units
/// per inch from the paper corner; SetupPageSlot() maps them into their slot of the sheet.
class TPgPrinter : public QObject
{
    Q_OBJECT

public:
    static inline const QString NoPrinterMessage
        = QStringLiteral("Unable to print... No Printer available.");

    explicit TPgPrinter(QObject *parent = nullptr);
    ~TPgPrinter() override;

    bool Collate();
    void SetCollate(bool on);
    TPgDuplexType Duplex();
    void SetDuplex(TPgDuplexType value);
    int PrintCopies();
    void SetPrintCopies(int copies);
    TPgPrintColor PrintColor();
    void SetPrintColor(TPgPrintColor value);
    TPgDitherType DitherType();
    void SetDitherType(TPgDitherType value);
    TPgPrintQuality PrintQuality();
    /// Also re-reads the metrics: the resolution may change with the quality.
    void SetPrintQuality(TPgPrintQuality value);
    QString Title() const { return m_title; }
    void SetTitle(const QString &title) { m_title = title; }

    /// The orientation of the next job; a change re-reads the metrics.
    TPgOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TPgOrientation orientation);
    /// Writes the paper size into the device settings (Custom has none and is skipped).
    void SetPaperSize(TPgPaperSize size);
    TPgPagesPerSheet PagesPerSheet() const { return m_pagesPerSheet; }
    void SetPagesPerSheet(TPgPagesPerSheet value) { m_pagesPerSheet = value; }

    bool Printing() const { return m_printing; }
    bool Aborted() const { return m_aborted; }
    int PageCounter() const { return m_pageCounter; }

    TPgPrinterInfo &Info();
    const TPgPrinterMetrics &Metrics() { return Info().Metrics(); }
    double PaperWidth() { return Info().PaperWidth(); }
    double PaperHeight() { return Info().PaperHeight(); }
    int ResolutionX() { return Info().ResolutionX(); }
    int ResolutionY() { return Info().ResolutionY(); }
    /// The printable area in @p unit (the page builder asks in twips).
    double PrintableWidth(TPgMeasurement unit);
    double PrintableHeight(TPgMeasurement unit);
    bool PrinterAvailable() { return Info().PrinterAvailable(); }

    /// The painter of the running job (inactive outside a job).
    QPainter *Canvas() { return &m_painter; }
    /// The platform printer; null when none is installed.
    QPrinter *Device();

    QStringList Printers() const { return TPgPrinterInfo::PrinterNames(); }
    /// Index of the current printer in Printers(), -1 without one.
    int PrinterIndex();
    /// Selects printer @p index with its default settings, re-reads the metrics and
    /// raises OnChangePrinter. Out of range: ignored.
    void SetPrinterIndex(int index);

    /// Sends the job's output to a PDF file of QPrinter's own instead of the printer
    /// (empty: to the printer).
    void SetOutputFileName(const QString &path);

    /// Starts a job. False, with LastError() set when the reason is for the user, when
    /// no job started: no printer ("Unable to print... No Printer available."), a job
    /// already running, or the platform refused to start the document.
    bool BeginDoc();
    /// Ends the current page; a new sheet starts when the slots of the sheet are used.
    /// False when the platform refused the new sheet; LastError() then says so and the
    /// caller ends the job with EndDoc().
    bool StartNextPage();
    /// Maps Canvas() so that a page drawn at the printer's resolution lands, scaled, in
    /// the slot of page @p k (1-based within the job) on the sheet.
    void SetupPageSlot(int k);
    /// Ends the job; false when the platform reports that it failed (LastError()).
    bool EndDoc();
    QString LastError() const { return m_lastError; }

    /// Slot rectangle (device pixels from the paper corner) and scale percentage of page
    /// @p k for a sheet of @p width x @p height pixels.
    static QRect SlotRect(TPgPagesPerSheet perSheet, TPgOrientation orientation, int width,
        int height, int k, int *scalePercent);

signals:
    void BeforePrint();
    void AfterPrint();
    void OnAbortPrint();
    void OnChangePrinter();
    /// The metrics were read again (printer, orientation or quality changed).
    void MetricsChanged();

private:
    void ensureDevice();
    void createDevice(const QString &name);
    void reReadMetrics();
    QString failureMessage() const;

    std::unique_ptr<QPrinter> m_device;
    bool m_deviceMade = false;
    TPgPrinterInfo m_info;
    QPainter m_painter;
    QString m_title = QStringLiteral("<document>");
    QString m_outputFile;
    QString m_lastError;
    TPgOrientation m_orientation = pgPortrait;
    TPgPagesPerSheet m_pagesPerSheet = pgOnePage;
    TPgDitherType m_dither = pgNone;
    TPgPrintQuality m_quality = pgMedium;
    bool m_printing = false;
    bool m_aborted = false;
    int m_pageCounter = 0;
};
