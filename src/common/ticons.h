#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

/// Small drawn icons for toolbars and tool strips, so the program needs no
/// icon theme: a glyph (a letter or a symbol) on an optional rounded tile.
class TIcons
{
public:
    struct Style {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        QColor glyphColor = QColor(60, 60, 60);
        QColor tileColor = Qt::transparent;
        int pixelSize = 17;
    };
    static QIcon glyph(const QString &text, const Style &style);
    static QIcon glyph(const QString &text) { return glyph(text, Style()); }
    /// Horizontal lines aligned left (0), centred (2) or justified (3).
    static QIcon alignment(int alignment);

    /// Line drawings for commands no glyph shows well.
    enum class Drawing { Copy, Paste, Cut, History, PrintPreview, Cascade, TileHorizontal, TileVertical,
                         Export, Maximize, FirstPage, PriorPage, NextPage, LastPage, Document };
    static QIcon drawn(Drawing drawing);
};
