#pragma once

// Internals of the RTF reader: the control words it knows and the state a
// group carries. Only rtfreader.cpp and its tests include this file.

#include <QList>
#include <QTextOption>

#include <string_view>

namespace RtfInternal {

/// What the text of a group is for.
enum class Destination : quint8 {
    Body,       ///< document text
    FontTable,  ///< \fonttbl: font names
    ColorTable, ///< \colortbl: ; ends a colour
    FieldInst,  ///< \fldinst: the field's instruction, never shown
    Upr,        ///< \upr: the ANSI twin of a \ud group, ignored
    Pict,       ///< \pict: hexadecimal picture data
    Shape,      ///< \shpinst: shape properties; text dropped, a picture kept
    ShapeName,  ///< \sn: the name of a shape property
    ListTable,  ///< \listtable, \listoverridetable: list definitions, no text
    Pn,         ///< \pn: an old-style paragraph numbering definition, no text
};

/// What a picture-describing word (Word::PictProp) sets.
enum PictWord : char16_t {
    PwPng = 1, PwJpeg, PwEmf, PwWmf, PwDib, PwBitmap, PwMac, PwPm,
    PwPicW, PwPicH, PwGoalW, PwGoalH, PwScaleX, PwScaleY, PwBitsPixel, PwWidthBytes,
};

/// Character properties as RTF states them; turned into a QTextCharFormat
/// only when a run of text is inserted.
struct CharProps {
    int font = -1;     ///< font number, -1 when none
    int size = 24;     ///< half points
    int fg = 0;        ///< colour table index, 0 = automatic
    int bg = 0;
    int kerning = 0;   ///< half points, 0 = off
    int spacing = 0;   ///< twips
    int href = -1;     ///< index of the link target, -1 = no link
    bool bold = false;
    bool italic = false;
    bool strike = false;
    bool hidden = false;
    bool protect = false;
    bool disabled = false;
    quint8 underline = 0; ///< 0 none, 1 single, 2 dotted, 3 dashed, 4 wave
    qint8 vpos = 0;       ///< 1 superscript, -1 subscript
    quint8 caps = 0;      ///< 1 all capitals, 2 small capitals

    bool operator==(const CharProps &) const = default;
};

struct ParaProps {
    QList<QTextOption::Tab> tabs;
    int align = 0; ///< 0 left, 1 right, 2 centre, 3 justify
    int firstIndent = 0, leftIndent = 0, rightIndent = 0; ///< twips
    int spaceBefore = 0, spaceAfter = 0;                  ///< twips
    int lineSpacing = 0; ///< \sl, twips; 0 = single
    bool lineMultiple = false;
    bool keepWithNext = false;
    bool pageBreakBefore = false;
    bool inTable = false;
    int style = 0;
    int list = 0;  ///< \ls
    int level = 0; ///< \ilvl
    int pendingTabType = 0; ///< 0 left, 1 right, 2 centre, 3 decimal: the kind of the next \tx
    int itap = 0;  ///< \itap: table nesting level, 0 = as \intbl says
};

/// The nesting level of tables the reader builds at most; deeper rows join the deepest.
constexpr int kMaxTableLevel = 16;
/// Cells of one row at most.
constexpr int kMaxColumns = 64;
constexpr int kMaxTables = 2000; ///< tables one read may make

/// A cell of a row definition (\clmgf ... \cellx).
struct CellDef {
    int right = 0;       ///< \cellx, twips from the row's left edge
    quint8 hmerge = 0;   ///< 1 first of merged cells, 2 merged into the one before
    quint8 vmerge = 0;   ///< 1 first of vertically merged cells, 2 merged into the one above
    int shading = 0;     ///< \clcbpat colour index, 0 none
    bool border = false;
};

/// A row definition: \trowd and what follows it up to the row's cells.
struct RowDef {
    QList<CellDef> cells;
    CellDef next;        ///< the cell whose \cellx has not come yet
    int gap = 108;       ///< \trgaph
    bool border = false; ///< \trbrdr*
    bool borderIsCell = false; ///< the last border word was a cell's
};

struct GroupState {
    CharProps chr;
    ParaProps para;
    Destination dest = Destination::Body;
    Destination uprOuter = Destination::Body;
    quint8 uc = 1; ///< \uc: bytes that stand in for each \u
    bool nestProps = false; ///< inside \nesttableprops: row words define a nested row
};

/// Every control word the reader acts on. Words not listed are ignored (a
/// group they start is read as text), unless a \* precedes them.
enum class Word : quint8 {
    Unknown,
    // destinations
    FontTable, ColorTable, Field, FieldInst, FieldResult, Upr, Ud, PnText, Pn, Transparent, ShpPict,
    Skip, Pict, PictProp, NestTableProps, ListTable, ListDef, ListDefLevel, LevelNfc, ListId,
    ListOverrideDef, PnStyle, NonShpPict, ShapeInst, ShapeName, ShapeValue, ShapeResult,
    // document
    Rtf, Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont, Uc, U, Bin,
    // font and colour tables
    FontCharset, Red, Green, Blue,
    // character
    Plain, Bold, Italic, Underline, UnderlineDotted, UnderlineDashed, UnderlineWave, UnderlineNone,
    Strike, Font, FontSize, ForeColor, BackColor, Super, Sub, NoSuperSub, Up, Dn, Hidden,
    Protect, Disabled, Kerning, Expand, ExpandTwips, Caps, SmallCaps,
    // paragraph
    Pard, AlignLeft, AlignCentre, AlignRight, AlignJustify, FirstIndent, LeftIndent,
    RightIndent, SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, TabStop, TabRight,
    TabCentre, TabDecimal, KeepNext, Style, InTable, PageBreakBefore, ListOverride, ListLevel,
    // tables
    Trowd, Cellx, CellMerge, CellShading, CellBorder, RowBorder, BorderNone, RowGap, Itap,
    // breaks and characters
    Par, Sect, Page, Line, Tab, Cell, NestCell, Row, NestRow, Character,
};

struct WordInfo {
    Word word = Word::Unknown;
    char16_t character = 0; ///< for Word::Character; the PictWord for Word::PictProp
};

/// Looks a control word up; Word::Unknown when the reader does not know it.
WordInfo lookupWord(std::string_view name);

} // namespace RtfInternal
