#pragma once

#include "texportresult.h"

class QIODevice;
class QImage;
class QString;

/*!
 * Writes a bitmap as an uncompressed Windows bitmap file of 32 bits per pixel
 * (BITMAPFILEHEADER, BITMAPINFOHEADER, rows bottom-up, bytes blue, green, red,
 * and a fourth byte that is 0).
 */
class TBitmapWriter {
public:
    static TExportResult WriteBMPStream(QIODevice &device, const QImage &bitmap);
    static TExportResult WriteBMPFile(const QString &fileName, const QImage &bitmap);
};
