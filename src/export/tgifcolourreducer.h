#pragma once

#include <QImage>

/*!
 * Reduces a picture to 8 bits per pixel with a palette of exactly 256 entries
 * by the histogram method:
 *
 * - The distinct colours are counted in a table of at most 2049, each channel
 *   masked. When a 2050th colour turns up, one mask loses its lowest remaining
 *   bit, in the rotation blue, red, green, and the count starts again.
 * - The most frequent colours fill the palette; on equal counts the colour met
 *   first wins, the scan running from the bottom row up, left to right.
 *   Entries left over are grey (128, 128, 128).
 * - A counted colour without an entry takes the entry at the smallest squared
 *   distance, the lowest index on a tie.
 *
 * Indexed and monochrome pictures keep their own indices; their colour table
 * is filled up to 256 entries with grey.
 */
class TGifColourReducer {
public:
    static constexpr int MaxColours = 2049;
    static constexpr QRgb FillerGrey = 0xFF808080;

    //! An Indexed8 image of the same size with a 256-entry colour table.
    static QImage reduce(const QImage &picture);
};
