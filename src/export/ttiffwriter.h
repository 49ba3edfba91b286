#pragma once

#include "texportresult.h"

class QIODevice;
class QImage;
class QString;

/*!
 * Writes one uncompressed, single-strip, little-endian TIFF image.
 *
 * The depth of the file follows the bitmap: 1 bit per pixel for monochrome
 * images, 8 (or 4 when asked for and the colour table has at most 16
 * entries) for indexed images with a colour map, and 24-bit RGB for every
 * other image (alpha is dropped). An empty bitmap is refused.
 */
class TTiffWriter {
public:
    //! bitsPerPixel 0 picks the depth from the image; 4 packs an indexed image
    //! of at most 16 colours into 4 bits per pixel.
    static TExportResult WriteTIFFStream(
        QIODevice &device, const QImage &bitmap, int bitsPerPixel = 0);
    //! Writes the image to fileName; an existing file is replaced only once the
    //! new one is complete.
    static TExportResult WriteTIFFFile(
        const QString &fileName, const QImage &bitmap, int bitsPerPixel = 0);
};
