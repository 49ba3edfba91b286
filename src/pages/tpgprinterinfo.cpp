#include "tpgprinterinfo.h"

#include <QPrinter>
#include <QPrinterInfo>

QStringList TPgPrinterInfo::PrinterNames()
{
    return QPrinterInfo::availablePrinterNames();
}

void TPgPrinterInfo::SetDevice(QPrinter *device)
{
    m_device = device;
    m_deviceName = device ? device->printerName() : QString();
    m_valid = false;
}

bool TPgPrinterInfo::PrinterAvailable() const
{
    if (!m_device || m_deviceName.isEmpty())
        return false;
    return !QPrinterInfo::printerInfo(m_deviceName).isNull();
}

void TPgPrinterInfo::ReadMetrics()
{
    m_valid = true;
    if (!m_device || m_useDefaults) {
        m_metrics = TPgPrinterMetrics::Defaults();
        return;
    }
    const QPageLayout::Orientation remembered = m_device->pageLayout().orientation();
    const bool active = m_device->paintingActive();
    if (!active)
        m_device->setPageOrientation(QPageLayout::Portrait);
    const QPageLayout layout = m_device->pageLayout();
    const int resolution = m_device->resolution() > 0 ? m_device->resolution() : 300;
    QRect full = layout.fullRectPixels(resolution);
    QRect paint = layout.paintRectPixels(resolution);
    if (layout.orientation() == QPageLayout::Landscape) {
        // Only while a job runs: turn the figures back to portrait.
        const QMargins m(paint.left() - full.left(), paint.top() - full.top(),
            full.right() - paint.right(), full.bottom() - paint.bottom());
        full = QRect(0, 0, full.height(), full.width());
        paint = QRect(m.bottom(), m.left(), full.width() - m.bottom() - m.top(),
            full.height() - m.left() - m.right());
    }
    TPgPrinterMetrics m;
    m.physicalWidth = full.width();
    m.physicalHeight = full.height();
    m.printableWidth = paint.width();
    m.printableHeight = paint.height();
    m.offsetLeft = paint.left() - full.left();
    m.offsetTop = paint.top() - full.top();
    m.offsetRight = m.offsetLeft;
    m.offsetBottom = m.physicalHeight - m.printableHeight - m.offsetTop;
    m.resolutionX = resolution;
    m.resolutionY = resolution;
    if (!active)
        m_device->setPageOrientation(remembered);
    m.orientation = remembered == QPageLayout::Landscape ? pgLandscape : pgPortrait;
    if (m.physicalWidth <= 0 || m.physicalHeight <= 0 || m.printableWidth <= 0
        || m.printableHeight <= 0) {
        m = TPgPrinterMetrics::Defaults();
        m.orientation = remembered == QPageLayout::Landscape ? pgLandscape : pgPortrait;
    }
    m_metrics = m;
}

const TPgPrinterMetrics &TPgPrinterInfo::Metrics()
{
    if (!m_valid)
        ReadMetrics();
    return m_metrics;
}
