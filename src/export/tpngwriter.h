#pragma once

#include "texportresult.h"

#include <QRgb>

#include <optional>

class QIODevice;
class QImage;
class QString;

/*!
 * Writes a bitmap as an 8-bit RGB PNG, or RGBA when a transparent colour is
 * given: pixels of exactly that colour get alpha 0, all others 255. The file
 * carries one tEXt entry "Software".
 */
class TPngWriter {
public:
    //! The colour the page export makes transparent.
    static constexpr QRgb PageTransparentColour = 0xFFF7F7F7; // RGB(247, 247, 247)

    static TExportResult WritePNGStream(
        QIODevice &device, const QImage &bitmap, std::optional<QRgb> transparent);
    //! Fails with "Error Opening File <name>!" when the file cannot be created
    //! and "Error Writing PNG File!" when encoding fails; an existing file is
    //! then left as it was.
    static TExportResult WritePNGFile(
        const QString &fileName, const QImage &bitmap, std::optional<QRgb> transparent);

    static const char *softwareText();
};
