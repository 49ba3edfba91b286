#include "tpgthumbnails.h"

#include "tpgpage.h"
#include "tpgpreview.h"
#include "tpgthumbnail.h"

#include <QScrollBar>

TPgThumbnails::TPgThumbnails(QWidget *parent)
    : QScrollArea(parent)
    , m_shadow([this] { repaintThumbnails(); })
{
    m_shadow.SetWidth(2);
    m_canvas = new QWidget;
    m_canvas->setObjectName(QStringLiteral("ThumbnailCanvas"));
    setWidget(m_canvas);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    resize(240, 115);
    SetColor(palette().color(QPalette::Window));
}

TPgThumbnails::~TPgThumbnails()
{
    SetPreview(nullptr);
}

void TPgThumbnails::SetPreview(TPgPreview *preview)
{
    if (preview == m_preview && preview)
        return;
    clearThumbnails();
    QObject::disconnect(m_destroyedConnection);
    if (m_preview)
        m_preview->UnregisterControl(this);
    m_preview = preview;
    m_updateCount = 0;
    if (preview) {
        preview->RegisterControl(this);
        // A destroyed preview leaves the strip empty and unbound.
        m_destroyedConnection = connect(preview, &QObject::destroyed, this, [this] {
            m_preview = nullptr;
            m_updateCount = 0;
            clearThumbnails();
        });
        rebuild();
    }
}

void TPgThumbnails::SetCaptionFont(const QFont &font)
{
    if (font == m_captionFont)
        return;
    m_captionFont = font;
    rebuild();
}

void TPgThumbnails::SetGridWidth(int value)
{
    if (value == m_gridWidth || value < 1)
        return;
    m_gridWidth = value;
    positionThumbnails();
}

void TPgThumbnails::SetHighlight(bool on)
{
    if (on == m_highlight)
        return;
    m_highlight = on;
    repaintThumbnails();
}

void TPgThumbnails::SetHighlightStyle(TPgHighlightStyle style)
{
    if (style == m_highlightStyle)
        return;
    m_highlightStyle = style;
    repaintThumbnails();
}

void TPgThumbnails::SetLayout(TPgThumbNailLayout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    positionThumbnails();
}

void TPgThumbnails::SetPageCaptions(const QString &pattern)
{
    if (pattern == m_pageCaptions)
        return;
    m_pageCaptions = pattern;
    repaintThumbnails();
}

void TPgThumbnails::SetPlainPages(bool on)
{
    if (on == m_plainPages)
        return;
    m_plainPages = on;
    repaintThumbnails();
}

void TPgThumbnails::SetSelectedColor(const QColor &c)
{
    if (c == m_selectedColor)
        return;
    m_selectedColor = c;
    repaintThumbnails();
}

void TPgThumbnails::SetShowCaption(bool on)
{
    if (on == m_showCaption)
        return;
    m_showCaption = on;
    rebuild();
}

void TPgThumbnails::SetThumbSize(int value)
{
    if (value == m_thumbSize)
        return;
    m_thumbSize = value;
    rebuild();
}

void TPgThumbnails::SetThumbSpacing(int value)
{
    if (value == m_thumbSpacing)
        return;
    m_thumbSpacing = value;
    rebuild();
}

QColor TPgThumbnails::Color() const
{
    return viewport()->palette().color(QPalette::Window);
}

void TPgThumbnails::SetColor(const QColor &c)
{
    for (QWidget *w : { viewport(), m_canvas }) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, c);
        w->setPalette(pal);
        w->setAutoFillBackground(true);
    }
    repaintThumbnails();
}

TPgThumbnail *TPgThumbnails::Thumbnail(int index) const
{
    return index >= 0 && index < ThumbnailCount() ? m_thumbs[size_t(index)] : nullptr;
}

int TPgThumbnails::CaptionBand() const
{
    if (!m_showCaption)
        return 0;
    // A font's height in the platform's sense: minus the character height in pixels.
    const int pixels = m_captionFont.pixelSize() > 0
        ? m_captionFont.pixelSize()
        : qRound(m_captionFont.pointSizeF() * 96.0 / 72.0);
    return 4 + pixels;
}

void TPgThumbnails::clearThumbnails()
{
    for (TPgThumbnail *t : m_thumbs)
        delete t;
    m_thumbs.clear();
    m_selected = 0;
    m_canvas->resize(0, 0);
}

void TPgThumbnails::rebuild()
{
    m_canvas->setUpdatesEnabled(false);
    // The thumbnails there are rebound to the new pages; only the difference
    // in count is made or removed, so a long document's repagination does not
    // build its whole strip again. All of them belong to the bound preview
    // (a new preview clears the strip first).
    const int count = m_preview ? m_preview->PageCount() : 0;
    while (ThumbnailCount() > count) {
        delete m_thumbs.back();
        m_thumbs.pop_back();
    }
    m_thumbs.reserve(size_t(count));
    while (ThumbnailCount() < count)
        m_thumbs.push_back(new TPgThumbnail(this, &m_preview->Margins(), &m_preview->PageGrid(), m_canvas));
    for (int i = 0; i < count; ++i)
        m_thumbs[size_t(i)]->BindPage(m_preview->GetPage(i + 1));
    if (count == 0) {
        m_selected = 0;
        m_canvas->resize(0, 0);
    }
    sizeThumbnails();
    positionThumbnails();
    for (TPgThumbnail *t : m_thumbs)
        t->show();
    m_canvas->setUpdatesEnabled(true);
    if (m_preview) {
        m_selected = -2; // forces the selection below to run
        selectIndex(m_preview->CurrentPage() - 1);
    }
}

void TPgThumbnails::sizeThumbnails()
{
    const int band = CaptionBand();
    const int zoom = m_thumbSize + 2;
    for (TPgThumbnail *t : m_thumbs) {
        t->SetGutters(m_thumbSpacing, m_thumbSpacing, m_thumbSpacing, m_thumbSpacing + band);
        t->SetZoom(zoom);
        const QSize paper = t->PagePixels();
        t->resize(paper.width() + 2 * m_thumbSpacing,
            paper.height() + 2 * m_thumbSpacing + band);
    }
}

void TPgThumbnails::positionThumbnails()
{
    int x = 0, y = 0, extentW = 0, extentH = 0;
    const int current = m_preview ? m_preview->CurrentPage() : 0;
    for (int i = 0; i < ThumbnailCount(); ++i) {
        TPgThumbnail *t = m_thumbs[size_t(i)];
        t->SetSelected(t->Page() && t->Page()->PageNumber() == current);
        t->move(x, y);
        extentW = std::max(extentW, x + t->width());
        extentH = std::max(extentH, y + t->height());
        switch (m_layout) {
        case pgThumbHorz:
            x += t->width() - 1;
            break;
        case pgThumbVert:
            y += t->height() - 1;
            break;
        case pgThumbGrid:
            if ((i + 1) % m_gridWidth == 0) {
                y += t->height() - 1;
                x = 0;
            } else {
                x += t->width() - 1;
            }
            break;
        }
    }
    m_canvas->resize(extentW, extentH);
}

void TPgThumbnails::selectIndex(int index)
{
    if (index == m_selected)
        return;
    if (TPgThumbnail *old = Thumbnail(m_selected))
        old->SetSelected(false);
    m_selected = index;
    TPgThumbnail *t = Thumbnail(index);
    if (t && m_highlight)
        t->SetSelected(true);
    if (m_preview && m_scrollIntoView && t) {
        // A column scrolls to the page; sideways (a page wider than the strip) it stays
        // where the reader put it, at first the paper's left edge. A row does the reverse.
        const int keepX = horizontalScrollBar()->value();
        const int keepY = verticalScrollBar()->value();
        ensureWidgetVisible(t, 0, 0);
        if (m_layout == pgThumbVert)
            horizontalScrollBar()->setValue(keepX);
        else if (m_layout == pgThumbHorz)
            verticalScrollBar()->setValue(keepY);
    }
}

void TPgThumbnails::repaintThumbnails()
{
    for (TPgThumbnail *t : m_thumbs)
        t->update();
}

void TPgThumbnails::ThumbnailClicked(TPgThumbnail *thumbnail)
{
    if (m_updateCount > 0 || !m_preview)
        return;
    const auto it = std::find(m_thumbs.begin(), m_thumbs.end(), thumbnail);
    if (it == m_thumbs.end())
        return;
    const int index = int(it - m_thumbs.begin());
    selectIndex(index);
    m_preview->SetCurrentPage(index + 1);
}

void TPgThumbnails::PreviewNotification(TPgPreview *preview, TPgNotification kind)
{
    if (preview != m_preview)
        return;
    switch (kind) {
    case TPgNotification::BeginUpdate:
        ++m_updateCount;
        break;
    case TPgNotification::EndUpdate:
        m_updateCount = std::max(0, m_updateCount - 1);
        if (m_updateCount == 0)
            rebuild();
        break;
    case TPgNotification::AppearanceChanged:
        repaintThumbnails();
        break;
    case TPgNotification::PagesChanged:
        selectIndex(-1);
        selectIndex(m_preview->CurrentPage() - 1);
        break;
    case TPgNotification::PageCountChanged:
    case TPgNotification::PaperSizeChanged:
        rebuild();
        break;
    case TPgNotification::CurrentPageChanged:
        selectIndex(m_preview->CurrentPage() - 1);
        break;
    default:
        break;
    }
}
