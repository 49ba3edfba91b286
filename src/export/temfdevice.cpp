#include "temfdevice.h"
#include "tlittleendian_p.h"

#include "temfpaintengine_p.h"
#include "tsavetofile_p.h"

#include <QtEndian>

using namespace TessaryExport;

namespace {


} // namespace

TEmfDevice::TEmfDevice(QSize sizePixels, int dpiX, int dpiY)
    : m_size(sizePixels.expandedTo(QSize(1, 1)))
    , m_dpiX(qMax(1, dpiX))
    , m_dpiY(qMax(1, dpiY))
    , m_application(QStringLiteral("Ondaro Tessary Editor"))
    , m_description(QStringLiteral("Page image exported by Ondaro Tessary Editor"))
    , m_engine(std::make_unique<TEmfPaintEngine>(this))
{
}

TEmfDevice::~TEmfDevice() = default;

void TEmfDevice::setDescription(const QString &application, const QString &description)
{
    m_application = application;
    m_description = description;
}

QSize TEmfDevice::frameSize() const
{
    return QSize(
        int(qint64(m_size.width()) * 2540 / m_dpiX), int(qint64(m_size.height()) * 2540 / m_dpiY));
}

QPaintEngine *TEmfDevice::paintEngine() const
{
    return m_engine.get();
}

int TEmfDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return int(m_size.width() * 25.4 / m_dpiX);
    case PdmHeightMM:
        return int(m_size.height() * 25.4 / m_dpiY);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmPhysicalDpiX:
        return m_dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY:
        return m_dpiY;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}

QByteArray TEmfDevice::data() const
{
    // Description: application name, NUL, description, NUL, NUL (UTF-16LE).
    const QString text = m_application + QChar(0) + m_description + QChar(0) + QChar(0);
    QByteArray description;
    for (QChar c : text)
        put16(description, c.unicode());
    while (description.size() % 4)
        description.append('\0');

    const QByteArray &records = m_engine->records();
    const quint32 headerSize = 108 + quint32(description.size());
    const quint32 eofSize = 20;
    const quint32 total = headerSize + quint32(records.size()) + eofSize;
    const QSize frame = frameSize();
    const QSize millimetres(
        int(m_size.width() * 25.4 / m_dpiX + 0.5), int(m_size.height() * 25.4 / m_dpiY + 0.5));

    QByteArray out;
    out.reserve(qsizetype(total));
    put32(out, TEmfPaintEngine::EmrHeader);
    put32(out, headerSize);
    // rclBounds in pixels and rclFrame in 0.01 mm, both inclusive.
    put32(out, 0);
    put32(out, 0);
    put32(out, quint32(m_size.width() - 1));
    put32(out, quint32(m_size.height() - 1));
    put32(out, 0);
    put32(out, 0);
    put32(out, quint32(frame.width() - 1));
    put32(out, quint32(frame.height() - 1));
    put32(out, 0x464D4520); // " EMF"
    put32(out, 0x00010000);
    put32(out, total);
    put32(out, m_engine->recordCount() + 2);
    put16(out, quint16(TEmfPaintEngine::HandleCount));
    put16(out, 0);
    put32(out, quint32(text.size()));
    put32(out, 108);
    put32(out, 0); // no palette
    // The reference device: this page at the recording resolution.
    put32(out, quint32(m_size.width()));
    put32(out, quint32(m_size.height()));
    put32(out, quint32(millimetres.width()));
    put32(out, quint32(millimetres.height()));
    put32(out, 0); // no pixel format
    put32(out, 0);
    put32(out, 0); // no OpenGL
    put32(out, quint32(m_size.width() * 25400.0 / m_dpiX + 0.5));
    put32(out, quint32(m_size.height() * 25400.0 / m_dpiY + 0.5));
    out += description;
    out += records;
    put32(out, TEmfPaintEngine::EmrEof);
    put32(out, eofSize);
    put32(out, 0); // no palette entries
    put32(out, 16); // offPalEntries
    put32(out, eofSize);
    return out;
}

TExportResult TEmfDevice::save(QIODevice &device) const
{
    if (paintingActive())
        return TExportResult::failure(
            QStringLiteral("The page is still being drawn; end the painter before saving it."));
    if (!writeAll(device, data())) return writeFailure(device);
    return TExportResult::success();
}

TExportResult TEmfDevice::saveToFile(const QString &fileName) const
{
    if (paintingActive())
        return TExportResult::failure(
            QStringLiteral("The page is still being drawn; end the painter before saving it."));
    return TessaryExport::saveToFile(
        fileName, defaultOpenError(fileName), [this](QIODevice &device) { return save(device); });
}
