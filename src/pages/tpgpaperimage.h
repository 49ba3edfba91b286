#pragma once

#include "tpgtypes.h"

#include <QWidget>

class TPgMargins;
class TPgPage;
class TPgPageGrid;
class TPgShadow;

/// The paper of a preview: the bound page drawn at 600 logical units per inch onto a
/// page rectangle of 96 pixels per inch at the zoom, centred inside the gutters, with
/// margins, grid and shadow.
class TPgPaperImage : public QWidget
{
    Q_OBJECT

public:
    TPgPaperImage(TPgMargins *margins, TPgShadow *shadow, TPgPageGrid *grid,
        QWidget *parent = nullptr);

    void BeginUpdate() { ++m_updateCount; }
    /// Repaints when the last bracket closes.
    void EndUpdate();
    bool IsUpdating() const { return m_updateCount > 0; }

    /// Binds @p page (may be null), copies its size and repaints.
    void BindPage(TPgPage *page);
    TPgPage *Page() const { return m_page; }
    const TPgPageSize &PageSize() const { return m_size; }

    void SetGutters(int left, int top, int right, int bottom);
    QMargins Gutters() const { return m_gutters; }
    int Zoom() const { return m_zoom; }
    void SetZoom(int zoom);
    bool ShowContent() const { return m_showContent; }
    void SetShowContent(bool on);
    void SetPageDrawingFlag(bool on) { m_drawFlag = on; }
    /// The colour around the paper; default silver.
    QColor Background() const { return m_background; }
    void SetBackground(const QColor &c) { m_background = c; update(); }

    /// Page width and height on the screen in pixels.
    QSize PagePixels() const;
    /// The page rectangle in this widget's pixels.
    QRect PageRect() const;
    /// Page coordinates in inches of a widget pixel.
    QPointF ToPage(const QPoint &pixel) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    /// Paints the paper, its content, margins, grid and shadow; the area around it is
    /// filled with Background() first when @p fillBackground.
    void PaintPaper(QPainter &painter, bool fillBackground = true);

private:
    TPgMargins *m_margins;
    TPgShadow *m_shadow;
    TPgPageGrid *m_grid;
    TPgPage *m_page = nullptr;
    TPgPageSize m_size { 8.26, 11.69 };
    QMargins m_gutters { 30, 30, 30, 30 };
    int m_zoom = 20;
    bool m_showContent = true;
    bool m_drawFlag = false;
    int m_updateCount = 0;
    QColor m_background { 192, 192, 192 };
};
