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

    // Properties from 0x100100 on are left to the table, list, picture and
    // field support of the RTF reader.
    ReaderPrivate = QTextFormat::UserProperty + 0x100,
};
} // namespace RichTextProperty

/// The line-spacing rule of a paragraph, numbered as word processors number it.
enum class LineSpacing : int {
    Single = 0,
    OneAndHalf = 1,
    Double = 2,
    AtLeast = 3,  ///< amount in twips, the line grows with its content
    Exactly = 4,  ///< amount in twips
    Multiple = 5, ///< amount in twentieths of a line (\slmult1, \sl240 = single)
};
