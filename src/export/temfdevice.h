#pragma once

#include "texportresult.h"

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>

#include <memory>

class QIODevice;
class TEmfPaintEngine;

/*!
 * A paint device that records what a QPainter draws as a vector Enhanced
 * Metafile: text as EMR_EXTTEXTOUTW records with their font, lines,
 * rectangles, polygons and paths as GDI drawing records, pictures as
 * device-independent bitmaps.
 *
 * The metafile is sizePixels large at the given resolution; its frame, in
 * 0.01 mm, is that size converted with the resolution. The header description
 * holds the application name and a description line. The painter must have
 * ended before data() or save() are called.
 */
class TEmfDevice : public QPaintDevice {
public:
    explicit TEmfDevice(QSize sizePixels, int dpiX = 96, int dpiY = 96);
    ~TEmfDevice() override;

    void setDescription(const QString &application, const QString &description);
    QString application() const { return m_application; }
    QString description() const { return m_description; }

    QSize size() const { return m_size; }
    //! The frame of the header in 0.01 mm (right and bottom exclusive).
    QSize frameSize() const;

    QPaintEngine *paintEngine() const override;

    //! The complete metafile: header, the records drawn so far, end-of-file record.
    QByteArray data() const;
    TExportResult save(QIODevice &device) const;
    //! An existing file is replaced only when the new one is complete.
    TExportResult saveToFile(const QString &fileName) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    int m_dpiX;
    int m_dpiY;
    QString m_application;
    QString m_description;
    std::unique_ptr<TEmfPaintEngine> m_engine;
};
