#pragma once

#include <QTextFormat>

/// Properties our rich text carries on Qt's text formats beyond what Qt has
/// built in. The RTF reader sets them, the writer writes them back, the
/// editor's attribute accessors read and write them.
namespace RichTextProperty {
enum : int {
    // Character formats (QTextCharFormat)
    Protected = QTextFormat::UserProperty + 1, ///< bool: \protect, edits need the protected query's consent
    Hidden,                                    ///< bool: \v, hidden text
    Disabled,                                  ///< bool: \disabled (shown greyed)
    Charset,                                   ///< int: the RTF \fcharset of the run's font
    KerningThreshold,                          ///< int: \kerning, points (0 = off)
    Spacing,                                   ///< int: \expndtw, twips of extra spacing

    // Block formats (QTextBlockFormat)
    StyleNumber = QTextFormat::UserProperty + 40, ///< int: \s, stylesheet index
    KeepWithNext,                              ///< bool: \keepn
    LineSpacingRule,                           ///< int: see LineSpacing below
    LineSpacingAmount,                         ///< int: twips (rules 3-5) or 1/20 line (rule 5)
    Bullets,                                   ///< bool: paragraph carries a bullet ({\pntext}, \pnlvlblt)

    // Pictures (QTextImageFormat). The image itself is the document's image
    // resource named by the format; a picture kept as it came also has its
    // original bytes as the user resource of the same name.
    PictureKind = QTextFormat::UserProperty + 0x80, ///< int: PictureKind below
    PicturePixelWidth,                         ///< int: \picw as it came
    PicturePixelHeight,                        ///< int: \pich as it came
    PictureMapMode,                            ///< int: \wmetafileN mapping mode
    PictureBitmapInfo,                         ///< int: \wbitmap bits per pixel << 16 | width bytes
    PictureTypeWord,                           ///< QString: the type word of a PictureKind::Other, as it came

    // Properties from 0x100100 on are left to the table, list and field
    // support of the RTF reader.
    ReaderPrivate = QTextFormat::UserProperty + 0x100,
};
} // namespace RichTextProperty

/// Where a picture's bytes came from; the writer writes kept bytes back as this kind.
enum class PictureKind : int {
    None = 0, ///< no kept bytes: written as PNG from the image
    Png,
    Jpeg,
    Emf,
    Wmf,
    Dib,    ///< \dibitmap: a BMP file without its 14-byte file header
    Bitmap, ///< \wbitmap: a device-dependent bitmap
    Other,  ///< \macpict, \pmmetafile: kept and written back, never drawn
};

/// The line-spacing rule of a paragraph, numbered as word processors number it.
enum class LineSpacing : int {
    Single = 0,
    OneAndHalf = 1,
    Double = 2,
    AtLeast = 3,  ///< amount in twips, the line grows with its content
    Exactly = 4,  ///< amount in twips
    Multiple = 5, ///< amount in twentieths of a line (\slmult1, \sl240 = single)
};
