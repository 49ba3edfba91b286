#pragma once

#include "texportresult.h"

class QIODevice;
class QImage;
class QString;

/*!
 * Writes a bitmap as a baseline colour JPEG file with libjpeg, at quality 100
 * and the encoder's defaults otherwise.
 */
class TJpegWriter {
public:
    static TExportResult WriteJPEGStream(
        QIODevice &device, const QImage &bitmap, int quality = 100);
    static TExportResult WriteJPEGFile(
        const QString &fileName, const QImage &bitmap, int quality = 100);
};
