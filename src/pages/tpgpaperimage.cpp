#include "tpgpaperimage.h"

#include "tpgmargins.h"
#include "tpgpage.h"
#include "tpgpagegrid.h"
#include "tpgshadow.h"

#include <QPainter>

TPgPaperImage::TPgPaperImage(TPgMargins *margins, TPgShadow *shadow, TPgPageGrid *grid,
    QWidget *parent)
    : QWidget(parent)
    , m_margins(margins)
    , m_shadow(shadow)
    , m_grid(grid)
{
}

void TPgPaperImage::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        update();
}

void TPgPaperImage::BindPage(TPgPage *page)
{
    m_page = page;
    if (page)
        m_size = page->PageSize();
    update();
}

void TPgPaperImage::SetGutters(int l, int t, int r, int b)
{
    const QMargins g(l, t, r, b);
    if (g == m_gutters)
        return;
    m_gutters = g;
    update();
}

void TPgPaperImage::SetZoom(int zoom)
{
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    update();
}

void TPgPaperImage::SetShowContent(bool on)
{
    if (on == m_showContent)
        return;
    m_showContent = on;
    update();
}

QSize TPgPaperImage::PagePixels() const
{
    return QSize(pgRound(96 * m_size.width * m_zoom / 100.0),
        pgRound(96 * m_size.height * m_zoom / 100.0));
}

QRect TPgPaperImage::PageRect() const
{
    const QSize p = PagePixels();
    const int left = m_gutters.left()
        + (width() - m_gutters.left() - m_gutters.right() - p.width()) / 2;
    const int top = m_gutters.top()
        + (height() - m_gutters.top() - m_gutters.bottom() - p.height()) / 2;
    return QRect(QPoint(left, top), p);
}

QPointF TPgPaperImage::ToPage(const QPoint &pixel) const
{
    const QRect r = PageRect();
    const double scale = 96.0 * m_zoom / 100.0;
    return QPointF((pixel.x() - r.left()) / scale, (pixel.y() - r.top()) / scale);
}

void TPgPaperImage::paintEvent(QPaintEvent *)
{
    if (IsUpdating())
        return;
    QPainter painter(this);
    PaintPaper(painter);
}

void TPgPaperImage::PaintPaper(QPainter &painter, bool fillBackground)
{
    const TPgOrientation o = m_page ? m_page->Orientation() : pgPortrait;
    const QRect pr = PageRect();
    const int lw = pgRound(600 * m_size.width);
    const int lh = pgRound(600 * m_size.height);
    if (pr.width() <= 0 || pr.height() <= 0 || lw <= 0 || lh <= 0)
        return;
    painter.save();
    if (fillBackground)
        painter.fillRect(rect(), m_background);
    // The paper in pixels: white, with a one-pixel black outline.
    painter.translate(pr.topLeft());
    painter.fillRect(QRect(0, 0, pr.width(), pr.height()), Qt::white);
    // Everything on the page is drawn at 600 logical units per inch.
    painter.save();
    painter.scale(double(pr.width()) / lw, double(pr.height()) / lh);
    painter.setClipRect(QRect(0, 0, lw, lh));
    if (m_margins)
        m_margins->ClipToMargins(painter, m_size, o, 600);
    if (m_page && m_showContent)
        m_page->DrawPage(painter, 600, 600, m_drawFlag);
    painter.setClipRect(QRect(0, 0, lw, lh));
    if (m_margins)
        m_margins->DrawMargins(painter, m_size, o, 600);
    if (m_grid)
        m_grid->DrawGrid(painter, m_size, 600);
    painter.restore();
    QPen outline(Qt::black);
    outline.setWidth(0);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, pr.width() - 1, pr.height() - 1));
    if (m_shadow)
        m_shadow->DrawShadow(painter, 0, 0, pr.width(), pr.height());
    painter.restore();
}
