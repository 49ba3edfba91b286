#pragma once

#include "richtextproperties.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QTextCharFormat>

class QTextCursor;
class QTextDocument;
class QTextImageFormat;

/// A picture as RTF carries it: its bytes as they came and the words that
/// size it. Lengths follow RTF: picw/pich in pixels for bitmaps and in
/// hundredths of a millimetre for metafiles, goals in twips, scales in percent.
struct PictureData {
    PictureKind kind = PictureKind::None;
    QByteArray bytes;
    int picw = 0, pich = 0;
    int goalw = 0, goalh = 0;
    int scalex = 100, scaley = 100;
    int mapMode = 8;       ///< \wmetafileN, \pmmetafileN
    int bitsPerPixel = 1;  ///< \wbmbitspixel
    int widthBytes = 0;    ///< \wbmwidthbytes
    QByteArray typeWord;   ///< the type word of an Other picture with its parameter, "\\macpict", "\\pmmetafile8"; empty when it had none
};

/// Pictures in the text: decoding RTF picture data and picture files into
/// one image each, sizing them, putting them into a document and writing
/// them back as RTF. A picture that cannot be drawn is shown as a
/// placeholder of its size and keeps its bytes, so a save writes it back
/// unchanged.
class RtfPicture
{
public:
    /// The work left to one read: pixels decoded or drawn (a bitmap pays
    /// for its source pixels even when it is scaled down), metafile records
    /// played and bitmap pixels decoded inside metafiles. A picture that
    /// would go past it is shown as a placeholder.
    struct Work {
        qint64 pixels = 120'000'000;
        qint64 records = 250'000;
        qint64 dibPixels = 40'000'000;
    };

    /// The image to show for data; a small placeholder when it cannot be drawn
    /// (drawn is then false). Never decodes more than maxPixels pixels, nor
    /// a picture larger than that unless its reader can scale it.
    /// Metafiles take their work from work when given.
    static QImage decode(const PictureData &data, bool *drawn = nullptr,
                         qint64 maxPixels = kMaxPixels, Work *work = nullptr);

    /// The size the picture takes in the text, in twips (1 to 22 inches a side).
    static QSize displayTwips(const PictureData &data, const QImage &image);

    /// Inserts the picture at cursor as one image character; the image goes
    /// into the document's resources once, the kept bytes beside it. The
    /// picture takes the character format of run (a link, hidden text).
    static void insert(QTextCursor &cursor, const PictureData &data, const QImage &image,
                       const QTextCharFormat &run = QTextCharFormat());

    /// Reads a picture file (gif, jpg, jpeg, png, bmp, emf, wmf); false with
    /// error set when the file cannot be read or is no picture. JPEG, PNG,
    /// EMF and WMF keep their bytes; other bitmaps are kept as PNG.
    static bool fromFile(const QString &path, PictureData *data, QString *error);

    /// The RTF group {\pict ...} for the image character with format.
    static QByteArray toRtf(const QTextDocument &document, const QTextImageFormat &format);

    /// The bytes kept for the picture of format; empty when it has none.
    static QByteArray keptBytes(const QTextDocument &document, const QTextImageFormat &format);

    static constexpr qint64 kMaxPixels = 40'000'000;
    static constexpr int kMaxTwips = 31680; ///< 22 inches
};
