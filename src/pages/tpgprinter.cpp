#include "tpgprinter.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

TPgPrinter::TPgPrinter(QObject *parent)
    : QObject(parent)
{
}

TPgPrinter::~TPgPrinter()
{
    if (m_painter.isActive())
        m_painter.end();
}

void TPgPrinter::createDevice(const QString &name)
{
    m_info.SetDevice(nullptr);
    m_device.reset();
    if (name.isEmpty())
        return;
    m_device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_device->setPrinterName(name);
    m_device->setFullPage(false);
    m_info.SetDevice(m_device.get());
    // After SetDevice(): a PDF output file makes QPrinter forget the printer's name.
    if (!m_outputFile.isEmpty())
        m_device->setOutputFileName(m_outputFile);
}

void TPgPrinter::ensureDevice()
{
    if (m_deviceMade)
        return;
    m_deviceMade = true;
    const QStringList names = TPgPrinterInfo::PrinterNames();
    if (names.isEmpty())
        return;
    QString name = QPrinterInfo::defaultPrinterName();
    if (!names.contains(name))
        name = names.first();
    createDevice(name);
    // Decided once: an installed printer that cannot be asked gives the default metrics.
    m_info.SetUseDefaults(!m_info.PrinterAvailable());
}

TPgPrinterInfo &TPgPrinter::Info()
{
    ensureDevice();
    if (!m_info.MetricsValid()) {
        m_info.ReadMetrics();
        emit MetricsChanged();
    }
    return m_info;
}

QPrinter *TPgPrinter::Device()
{
    ensureDevice();
    return m_device.get();
}

void TPgPrinter::reReadMetrics()
{
    ensureDevice();
    m_info.ReadMetrics();
    emit MetricsChanged();
}

bool TPgPrinter::Collate()
{
    return Device() ? Device()->collateCopies() : false;
}

void TPgPrinter::SetCollate(bool on)
{
    if (Device())
        Device()->setCollateCopies(on);
}

TPgDuplexType TPgPrinter::Duplex()
{
    if (!Device())
        return pgSimplex;
    switch (Device()->duplex()) {
    case QPrinter::DuplexShortSide:
        return pgHorzDuplex;
    case QPrinter::DuplexLongSide:
        return pgVertDuplex;
    default:
        return pgSimplex;
    }
}

void TPgPrinter::SetDuplex(TPgDuplexType value)
{
    if (!Device())
        return;
    // Horizontal duplex turns the sheet over its short edge, vertical over its long edge.
    Device()->setDuplex(value == pgHorzDuplex ? QPrinter::DuplexShortSide
            : value == pgVertDuplex           ? QPrinter::DuplexLongSide
                                              : QPrinter::DuplexNone);
}

int TPgPrinter::PrintCopies()
{
    return Device() ? Device()->copyCount() : 1;
}

void TPgPrinter::SetPrintCopies(int copies)
{
    if (Device())
        Device()->setCopyCount(qBound(1, copies, 32767));
}

TPgPrintColor TPgPrinter::PrintColor()
{
    if (!Device())
        return pgColor;
    return Device()->colorMode() == QPrinter::GrayScale ? pgMonochrome : pgColor;
}

void TPgPrinter::SetPrintColor(TPgPrintColor value)
{
    if (Device())
        Device()->setColorMode(value == pgMonochrome ? QPrinter::GrayScale : QPrinter::Color);
}

// CUPS has no dithering or quality switch QPrinter could set; the printer keeps them
// for the job like the other settings.
TPgDitherType TPgPrinter::DitherType()
{
    return Device() ? m_dither : pgNone;
}

void TPgPrinter::SetDitherType(TPgDitherType value)
{
    if (Device())
        m_dither = value;
}

TPgPrintQuality TPgPrinter::PrintQuality()
{
    return Device() ? m_quality : pgMedium;
}

void TPgPrinter::SetPrintQuality(TPgPrintQuality value)
{
    if (!Device())
        return;
    m_quality = value;
    reReadMetrics();
}

void TPgPrinter::SetOrientation(TPgOrientation orientation)
{
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    if (Device() && !m_painter.isActive())
        Device()->setPageOrientation(
            orientation == pgLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    reReadMetrics();
}

void TPgPrinter::SetPaperSize(TPgPaperSize size)
{
    if (!Device() || size == TPgPaperSize::Custom || m_painter.isActive())
        return;
    const TPgPageSize d = PaperDimensions(size);
    if (d.width <= 0 || d.height <= 0)
        return;
    const QPageSize pageSize(QSizeF(std::min(d.width, d.height), std::max(d.width, d.height)),
        QPageSize::Inch, PaperSizeName(size), QPageSize::FuzzyMatch);
    Device()->setPageSize(pageSize);
    reReadMetrics();
}

double TPgPrinter::PrintableWidth(TPgMeasurement unit)
{
    return ConvertValue(pgInches, unit, double(Info().PrintableWidthPixels()) / ResolutionX());
}

double TPgPrinter::PrintableHeight(TPgMeasurement unit)
{
    return ConvertValue(pgInches, unit, double(Info().PrintableHeightPixels()) / ResolutionY());
}

int TPgPrinter::PrinterIndex()
{
    if (!Device())
        return -1;
    return Printers().indexOf(m_info.DeviceName());
}

void TPgPrinter::SetPrinterIndex(int index)
{
    ensureDevice();
    const QStringList names = Printers();
    if (index < 0 || index >= names.size() || m_painter.isActive())
        return;
    // A fresh QPrinter carries the driver's default settings.
    createDevice(names.at(index));
    m_info.SetUseDefaults(!m_info.PrinterAvailable());
    if (m_device)
        m_device->setPageOrientation(
            m_orientation == pgLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    reReadMetrics();
    emit OnChangePrinter();
}

void TPgPrinter::SetOutputFileName(const QString &path)
{
    m_outputFile = path;
    if (Device())
        Device()->setOutputFileName(path);
}

bool TPgPrinter::BeginDoc()
{
    m_lastError.clear();
    if (!PrinterAvailable()) {
        m_lastError = NoPrinterMessage;
        return false;
    }
    if (m_printing) {
        m_lastError = QStringLiteral("Unable to print... A print job is already running.");
        return false;
    }
    if (Printers().isEmpty()) {
        m_lastError = NoPrinterMessage;
        return false;
    }
    m_printing = true;
    m_aborted = false;
    const int remembered = PrinterIndex();
    emit BeforePrint();
    if (m_aborted) {
        m_printing = false;
        return false;
    }
    if (PrinterIndex() != remembered)
        SetPrinterIndex(PrinterIndex());
    // Two pages side by side need the sheet turned; the flip stays stored.
    if (m_pagesPerSheet == pgTwoPage)
        m_orientation = m_orientation == pgPortrait ? pgLandscape : pgPortrait;
    m_device->setPageOrientation(
        m_orientation == pgLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    m_info.ReadMetrics();
    emit MetricsChanged();
    m_device->setDocName(m_title);
    if (!m_painter.begin(m_device.get())) {
        m_printing = false;
        m_lastError = QStringLiteral("Unable to start printing on \"%1\".")
                          .arg(m_info.DeviceName());
        return false;
    }
    m_pageCounter = 1;
    SetupPageSlot(1);
    return true;
}

bool TPgPrinter::StartNextPage()
{
    if (!m_printing)
        return false;
    const int previous = m_pageCounter;
    m_pageCounter = previous + 1;
    const bool newSheet = m_pagesPerSheet == pgOnePage
        || (m_pagesPerSheet == pgTwoPage && previous % 2 == 0)
        || (m_pagesPerSheet == pgFourPage && previous % 4 == 0);
    if (newSheet) {
        m_painter.resetTransform();
        if (!m_device->newPage()) {
            m_lastError = failureMessage();
            return false;
        }
    }
    SetupPageSlot(m_pageCounter);
    return true;
}

QRect TPgPrinter::SlotRect(TPgPagesPerSheet perSheet, TPgOrientation orientation, int width,
    int height, int k, int *scalePercent)
{
    const int w = width, h = height;
    const int hw = pgHalf(w), hh = pgHalf(h);
    switch (perSheet) {
    case pgTwoPage:
        *scalePercent = pgTrunc(double(std::min(w, h)) / std::max(w, h) * 100);
        if (orientation == pgPortrait)
            return k % 2 == 1 ? QRect(QPoint(0, 0), QPoint(w, hh))
                              : QRect(QPoint(0, hh), QPoint(w, h));
        return k % 2 == 1 ? QRect(QPoint(0, 0), QPoint(hw, h)) : QRect(QPoint(hw, 0), QPoint(w, h));
    case pgFourPage:
        *scalePercent = 49;
        switch (k % 4) {
        case 1:
            return QRect(QPoint(0, 0), QPoint(hw, hh));
        case 2:
            return QRect(QPoint(hw, 0), QPoint(w, hh));
        case 3:
            return QRect(QPoint(0, hh), QPoint(hw, h));
        default:
            return QRect(QPoint(hw, hh), QPoint(w, h));
        }
    default:
        *scalePercent = 100;
        return QRect(QPoint(0, 0), QPoint(w, h));
    }
}

void TPgPrinter::SetupPageSlot(int k)
{
    if (!m_painter.isActive())
        return;
    const TPgPrinterMetrics &m = Info().Metrics();
    const int w = pgRound(m.PaperWidth() * m.ResolutionX());
    const int h = pgRound(m.PaperHeight() * m.ResolutionY());
    const QMargins offsets = m.PrinterMarginsPixels(m_orientation);
    int scale = 100;
    // QRect(topLeft, bottomRight) is inclusive; the slot's edges are what matters here.
    const QRect slot = SlotRect(m_pagesPerSheet, m_orientation, w, h, k, &scale);
    m_painter.resetTransform();
    m_painter.setClipping(false);
    m_painter.translate(slot.left() - offsets.left(), slot.top() - offsets.top());
    m_painter.scale(scale / 100.0, scale / 100.0);
}

bool TPgPrinter::EndDoc()
{
    if (!m_printing)
        return false;
    bool ok = true;
    if (m_painter.isActive())
        ok = m_painter.end();
    if (m_device && m_device->printerState() == QPrinter::Error)
        ok = false;
    m_printing = false;
    if (!ok && m_lastError.isEmpty())
        m_lastError = failureMessage();
    emit AfterPrint();
    return ok;
}

QString TPgPrinter::failureMessage() const
{
    return QStringLiteral("Printing on \"%1\" failed; the document was not printed completely.")
        .arg(m_info.DeviceName());
}
