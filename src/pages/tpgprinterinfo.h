#pragma once

/// @file tpgprinterinfo.h
/// What the page engine knows about the current platform printer.

#include "tpgprintermetrics.h"

#include <QString>
#include <QStringList>

class QPrinter;

/// The current printer's geometry, read lazily from the platform printer (QPrinter over
/// CUPS) in portrait, with the default A4 metrics at 300 per inch when there is no
/// printer or it cannot be asked.
///
/// Owned by TPgPrinter, which hands it the platform printer (SetDevice()). Every accessor
/// reads the metrics first when they are not valid yet.
class TPgPrinterInfo
{
public:
    /// Names of the printers the platform lists, in its order.
    static QStringList PrinterNames();
    /// The platform lists at least one printer.
    static bool PrinterInstalled() { return !PrinterNames().isEmpty(); }

    /// The platform printer the metrics are read from; null without a printer.
    void SetDevice(QPrinter *device);
    QPrinter *Device() const { return m_device; }
    QString DeviceName() const { return m_deviceName; }

    /// Whether the current printer can be asked for its properties.
    bool PrinterAvailable() const;

    /// True when a printer is installed but the current one cannot be asked; the metrics
    /// are then the defaults.
    bool UseDefaults() const { return m_useDefaults; }
    void SetUseDefaults(bool on) { m_useDefaults = on; }

    bool MetricsValid() const { return m_valid; }
    /// Marks the metrics stale; the next accessor reads them again.
    void Invalidate() { m_valid = false; }
    /// Reads physical size, printable area, offsets and resolution in portrait.
    void ReadMetrics();
    const TPgPrinterMetrics &Metrics();

    /// Inches, for the platform printer's current orientation.
    double PaperWidth() { return Metrics().PaperWidth(); }
    double PaperHeight() { return Metrics().PaperHeight(); }
    int ResolutionX() { return Metrics().ResolutionX(); }
    int ResolutionY() { return Metrics().ResolutionY(); }
    /// Portrait values in device pixels, whatever the orientation.
    int PrintableWidthPixels() { return Metrics().printableWidth; }
    int PrintableHeightPixels() { return Metrics().printableHeight; }
    QMargins PrinterMarginsPixels(TPgOrientation o) { return Metrics().PrinterMarginsPixels(o); }
    TPgRectF PrinterMargins(TPgOrientation o) { return Metrics().PrinterMargins(o); }

private:
    QPrinter *m_device = nullptr;
    QString m_deviceName;
    TPgPrinterMetrics m_metrics;
    bool m_valid = false;
    bool m_useDefaults = false;
};
