#pragma once

/// @file tpgthumbnails.h
/// A strip of page thumbnails that follows a preview.

#include "tpgpreview.h"
#include "tpgpreviewlistener.h"
#include "tpgshadow.h"

#include <QFont>
#include <QPointer>
#include <QScrollArea>

#include <vector>

class TPgPreview;
class TPgThumbnail;

enum TPgThumbNailLayout { pgThumbHorz, pgThumbVert, pgThumbGrid };
enum TPgHighlightStyle { pgThinLine, pgThickLine, pgBackground };

/// Shows every page of a bound TPgPreview as a small paper picture with a caption, in a
/// row, a column or a grid, and marks the preview's current page. A click on a thumbnail
/// makes its page the current one. The strip follows the preview's notifications by
/// itself; between the preview's BeginUpdate() and EndUpdate() it neither rebuilds nor
/// paints and ignores clicks, and rebuilds once at the end.
class TPgThumbnails : public QScrollArea, public TPgPreviewListener
{
    Q_OBJECT

public:
    explicit TPgThumbnails(QWidget *parent = nullptr);
    ~TPgThumbnails() override;

    TPgPreview *Preview() const { return m_preview; }
    /// Unbinds from the old preview, binds the new one (may be null) and rebuilds.
    void SetPreview(TPgPreview *preview);

    QFont CaptionFont() const { return m_captionFont; }
    void SetCaptionFont(const QFont &font);
    int GridWidth() const { return m_gridWidth; }
    void SetGridWidth(int value);
    bool Highlight() const { return m_highlight; }
    void SetHighlight(bool on);
    TPgHighlightStyle HighlightStyle() const { return m_highlightStyle; }
    void SetHighlightStyle(TPgHighlightStyle style);
    TPgThumbNailLayout Layout() const { return m_layout; }
    void SetLayout(TPgThumbNailLayout layout);
    QString PageCaptions() const { return m_pageCaptions; }
    void SetPageCaptions(const QString &pattern);
    bool PlainPages() const { return m_plainPages; }
    void SetPlainPages(bool on);
    bool ScrollIntoView() const { return m_scrollIntoView; }
    void SetScrollIntoView(bool on) { m_scrollIntoView = on; }
    QColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(const QColor &c);
    TPgShadow &Shadow() { return m_shadow; }
    bool ShowCaption() const { return m_showCaption; }
    void SetShowCaption(bool on);
    /// Zoom percent of the thumbnails minus 2.
    int ThumbSize() const { return m_thumbSize; }
    void SetThumbSize(int value);
    int ThumbSpacing() const { return m_thumbSpacing; }
    void SetThumbSpacing(int value);
    /// The strip's background colour.
    QColor Color() const;
    void SetColor(const QColor &c);

    int ThumbnailCount() const { return int(m_thumbs.size()); }
    TPgThumbnail *Thumbnail(int index) const;
    int SelectedIndex() const { return m_selected; }
    bool IsUpdating() const { return m_updateCount > 0; }
    /// Height of the caption band under the paper (0 without captions).
    int CaptionBand() const;

    void PreviewNotification(TPgPreview *preview, TPgNotification kind) override;

    /// A thumbnail's mouse-down: selects it and makes its page current.
    void ThumbnailClicked(TPgThumbnail *thumbnail);

private:
    void rebuild();
    void sizeThumbnails();
    void positionThumbnails();
    void selectIndex(int index);
    void repaintThumbnails();
    void clearThumbnails();

    QPointer<TPgPreview> m_preview;
    QMetaObject::Connection m_destroyedConnection;
    QWidget *m_canvas = nullptr;
    std::vector<TPgThumbnail *> m_thumbs;
    TPgShadow m_shadow;
    QFont m_captionFont;
    int m_gridWidth = 4;
    bool m_highlight = true;
    TPgHighlightStyle m_highlightStyle = pgThickLine;
    TPgThumbNailLayout m_layout = pgThumbHorz;
    QString m_pageCaptions = QStringLiteral("#");
    bool m_plainPages = false;
    bool m_scrollIntoView = true;
    QColor m_selectedColor { 0, 0, 255 };
    bool m_showCaption = true;
    int m_thumbSize = 4;
    int m_thumbSpacing = 8;
    int m_selected = 0;
    int m_updateCount = 0;
};
