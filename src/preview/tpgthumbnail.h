#pragma once

#include "tpgpaperimage.h"

class TPgThumbnails;

/// One page of a thumbnail strip: the paper picture of its page at the strip's zoom, with
/// the selection mark and the caption. Created and owned by its TPgThumbnails.
class TPgThumbnail : public TPgPaperImage
{
    Q_OBJECT

public:
    TPgThumbnail(TPgThumbnails *owner, TPgMargins *margins, TPgPageGrid *grid,
        QWidget *parent);

    TPgThumbnails *Owner() const { return m_owner; }
    bool Selected() const { return m_selected; }
    /// Repaints when the value changes.
    void SetSelected(bool on);
    /// The caption with every "#" replaced by the page's number.
    QString Caption() const;
    /// The caption's colour as painted (the selected colour, its contrast colour, or the
    /// font's colour).
    QColor CaptionColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    TPgThumbnails *m_owner;
    bool m_selected = false;
};
