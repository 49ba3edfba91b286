#include "tpgpreview.h"

#include "tpgpage.h"
#include "tpgpaperimage.h"
#include "tpgprinter.h"
#include "tmessagebox.h"

#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

namespace {
// A 32 x 32 magnifier: a lens with a plus (zoom in) or a minus, a handle to the lower
// right. The hot spot is the lens centre.
QCursor zoomCursor(bool plus)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(12, 12);
    // White halo first so the cursor shows on dark and light backgrounds alike.
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(QPen(Qt::black, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(28, 28));
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, 9, 9);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(centre, 9, 9);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(8, 11, 9, 2), Qt::black);
    if (plus)
        p.fillRect(QRect(11, 8, 2, 9), Qt::black);
    p.end();
    return QCursor(pm, 12, 12);
}
} // namespace

TPgPreviewListener::~TPgPreviewListener()
{
    const QList<TPgPreview *> previews = m_previews;
    for (TPgPreview *p : previews)
        p->UnregisterControl(this);
}

TPgPreview::TPgPreview(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    m_paper = new TPgPaperImage(&m_list.Margins(), &m_shadow, &m_grid, viewport());
    m_paper->installEventFilter(this);
    m_paper->setMouseTracking(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, UnpackColor(12632256));
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    m_paper->setAcceptDrops(true);
    resize(240, 300);
    m_grid.SetOnChange([this] { m_paper->update(); });
    m_shadow.SetOnChange([this] { m_paper->update(); });

    TPgPageList::Notifications n;
    n.newPage = [this] {
        emit OnNewPage();
        emit OnDrawHeader(m_list.HeaderRectF(), &m_list.Canvas());
        emit OnDrawFooter(m_list.FooterRectF(), &m_list.Canvas());
    };
    n.pagesChanged = [this] {
        bindCurrent();
        updateScrollRanges();
        Notify(TPgNotification::PagesChanged);
    };
    n.pageCountChanged = [this] { Notify(TPgNotification::PageCountChanged); };
    n.currentPageChanged = [this] {
        bindCurrent();
        m_paper->update();
        emit OnPageChanged();
        Notify(TPgNotification::CurrentPageChanged);
    };
    n.orientationChanged = [this] {
        Notify(TPgNotification::OrientationChanged);
        m_paper->update();
        emit OnOrientationChanged();
    };
    n.paperSizeChanged = [this] {
        bindCurrent();
        updateScrollRanges();
        Notify(TPgNotification::PaperSizeChanged);
    };
    n.appearanceChanged = [this] {
        m_paper->update();
        Notify(TPgNotification::AppearanceChanged);
    };
    n.marginsChanged = n.appearanceChanged;
    n.cleared = [this] { emit OnClear(); };
    n.printProgress = [this](int printed, int total) { emit OnPrintProgress(printed, total); };
    m_list.SetNotifications(n);
    TPgPrinter *printer = &m_list.Printer();
    connect(printer, &TPgPrinter::BeforePrint, this, &TPgPreview::BeforePrint);
    connect(printer, &TPgPrinter::AfterPrint, this, &TPgPreview::AfterPrint);
    connect(printer, &TPgPrinter::OnAbortPrint, this, &TPgPreview::OnAbortPrint);
    connect(printer, &TPgPrinter::OnChangePrinter, this, [this] {
        Notify(TPgNotification::PrinterChanged);
        m_paper->update();
    });
    m_list.AddPage(-1);
    m_list.SetCurrentPage(1);
    bindCurrent();
    updateScrollRanges();
}

TPgPreview::~TPgPreview()
{
    m_list.SetNotifications({});
    for (TPgPreviewListener *c : std::as_const(m_controls))
        c->m_previews.removeAll(this);
}

void TPgPreview::bindCurrent()
{
    m_paper->BindPage(m_list.CurrentPageObject());
}

TPgPage *TPgPreview::NewPage()
{
    return m_list.AddPage(-1);
}

void TPgPreview::DeleteCurrentPage()
{
    m_list.DeletePage(m_list.CurrentPage() - 1);
}

void TPgPreview::Clear()
{
    m_list.ClearPages(false, true);
}

bool TPgPreview::PrintCurrentPage()
{
    QString error;
    const bool ok = m_list.PrintRange(CurrentPage(), CurrentPage(), &error);
    reportPrintError(error);
    return ok;
}

bool TPgPreview::PrintRange(int first, int last)
{
    QString error;
    BeginUpdate();
    bool ok = false;
    try {
        ok = m_list.PrintRange(first, last, &error);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    reportPrintError(error);
    return ok;
}

void TPgPreview::reportPrintError(const QString &error)
{
    if (!error.isEmpty())
        TMessageBox::information(this, error);
}

void TPgPreview::BeginUpdate()
{
    Notify(TPgNotification::BeginUpdate);
    m_list.BeginUpdate();
    m_paper->BeginUpdate();
}

void TPgPreview::EndUpdate()
{
    m_list.EndUpdate();
    m_paper->EndUpdate();
    Notify(TPgNotification::EndUpdate);
}

double TPgPreview::ContentWidth(TPgMeasurement unit) const
{
    return ConvertValue(pgInches, unit, ContentRect().width());
}

double TPgPreview::ContentHeight(TPgMeasurement unit) const
{
    return ConvertValue(pgInches, unit, ContentRect().height());
}

TPgBaseObject *TPgPreview::ObjectAt(TPgMeasurement unit, double x, double y) const
{
    const TPgPage *page = m_list.CurrentPageObject();
    return page ? page->ObjectAt(unit, x, y) : nullptr;
}

void TPgPreview::SetOrientation(TPgOrientation orientation)
{
    m_paper->BeginUpdate();
    m_list.SetOrientation(orientation);
    m_paper->EndUpdate();
    updateScrollRanges();
}

void TPgPreview::SetPagesPerSheet(TPgPagesPerSheet value)
{
    m_list.SetPagesPerSheet(value);
    Notify(TPgNotification::PagesPerSheetChanged);
}

int TPgPreview::Gutter() const
{
    return m_paper->Gutters().left();
}

void TPgPreview::SetGutter(int pixels)
{
    m_paper->SetGutters(pixels, pixels, pixels, pixels);
    updateScrollRanges();
}

int TPgPreview::Zoom() const
{
    return m_paper->Zoom();
}

void TPgPreview::SetZoom(int zoom)
{
    zoom = std::max(std::min(zoom, m_maxZoom), m_minZoom);
    if (zoom == Zoom())
        return;
    const auto percent = [](const QScrollBar *bar) {
        return bar->maximum() > 0 ? double(bar->value()) / bar->maximum() * 100.0 : 0.0;
    };
    const double h = percent(horizontalScrollBar());
    const double v = percent(verticalScrollBar());
    m_paper->SetZoom(zoom);
    updateScrollRanges();
    horizontalScrollBar()->setValue(pgRound(horizontalScrollBar()->maximum() * h / 100.0));
    verticalScrollBar()->setValue(pgRound(verticalScrollBar()->maximum() * v / 100.0));
}

void TPgPreview::SetMinZoom(int value)
{
    value = std::min(value, m_maxZoom);
    if (value == m_minZoom)
        return;
    m_minZoom = value;
    if (Zoom() < m_minZoom)
        SetZoom(m_minZoom);
}

void TPgPreview::SetMaxZoom(int value)
{
    value = std::max(value, m_minZoom);
    if (value == m_maxZoom)
        return;
    m_maxZoom = value;
    if (Zoom() > m_maxZoom)
        SetZoom(m_maxZoom);
}

namespace {
constexpr int zoomSteps[] = { 7, 10, 14, 20, 30, 45, 60, 80, 120, 170, 250, 350, 500, 650, 800 };
}

void TPgPreview::ZoomIn()
{
    if (m_zoomStyle == pgFixedZoom) {
        SetZoom(Zoom() + m_zoomIncrement);
        return;
    }
    for (int step : zoomSteps) {
        if (step > Zoom()) {
            SetZoom(step);
            return;
        }
    }
}

void TPgPreview::ZoomOut()
{
    if (m_zoomStyle == pgFixedZoom) {
        SetZoom(Zoom() - m_zoomIncrement);
        return;
    }
    for (int i = int(std::size(zoomSteps)) - 1; i >= 0; --i) {
        if (zoomSteps[i] < Zoom()) {
            SetZoom(zoomSteps[i]);
            return;
        }
    }
}

void TPgPreview::FitWidth()
{
    const QMargins g = m_paper->Gutters();
    const TPgPageSize s = m_paper->PageSize();
    SetZoom(pgTrunc((width() - g.left() - g.right() - 20) / (s.width * 96) * 100));
}

void TPgPreview::FitHeight()
{
    const QMargins g = m_paper->Gutters();
    const TPgPageSize s = m_paper->PageSize();
    SetZoom(pgTrunc((height() - g.top() - g.bottom() - 20) / (s.height * 96) * 100));
}

void TPgPreview::FitWholePage()
{
    const QMargins g = m_paper->Gutters();
    const TPgPageSize s = m_paper->PageSize();
    const double wr = (width() - g.left() - g.right() - 20) / (s.width * 96);
    const double hr = (height() - g.top() - g.bottom() - 20) / (s.height * 96);
    SetZoom(pgTrunc(std::min(wr, hr) * 100));
}

void TPgPreview::updateScrollRanges()
{
    const QSize p = m_paper->PagePixels();
    const QMargins g = m_paper->Gutters();
    const int rangeW = p.width() + g.left() + g.right();
    const int rangeH = p.height() + g.top() + g.bottom();
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, rangeW - client.width()));
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(0, std::max(0, rangeH - client.height()));
    verticalScrollBar()->setPageStep(client.height());
    horizontalScrollBar()->setSingleStep(8);
    verticalScrollBar()->setSingleStep(8);
    m_paper->setGeometry(-horizontalScrollBar()->value(), -verticalScrollBar()->value(),
        std::max(client.width(), rangeW), std::max(client.height(), rangeH));
    m_paper->update();
}

void TPgPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

void TPgPreview::scrollContentsBy(int, int)
{
    m_paper->move(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
}

void TPgPreview::wheelEvent(QWheelEvent *event)
{
    QScrollBar *bar = verticalScrollBar()->maximum() > 0 ? verticalScrollBar()
        : horizontalScrollBar()->maximum() > 0          ? horizontalScrollBar()
                                                        : nullptr;
    if (bar)
        bar->triggerAction(event->angleDelta().y() > 0 ? QAbstractSlider::SliderSingleStepSub
                                                       : QAbstractSlider::SliderSingleStepAdd);
    event->accept();
}

QCursor TPgPreview::ScreenCursor(int slot)
{
    // Drawn on demand: a cursor kept in a static would outlive the windowing system.
    if (slot == crPgZoomIn || slot == crPgZoomOut)
        return zoomCursor(slot == crPgZoomIn);
    return QCursor(Qt::ArrowCursor);
}

void TPgPreview::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    const bool hVisible = h->maximum() > h->minimum();
    const bool vVisible = v->maximum() > v->minimum();
    if (!hVisible && !vVisible) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    QScrollBar *bar = vVisible ? v : h;
    switch (event->key()) {
    case Qt::Key_PageUp:
        bar->setValue(bar->value() - 10 * bar->singleStep());
        break;
    case Qt::Key_PageDown:
        bar->setValue(bar->value() + 10 * bar->singleStep());
        break;
    case Qt::Key_Home:
        h->setValue(h->minimum());
        v->setValue(v->minimum());
        break;
    case Qt::Key_End:
        h->setValue(h->maximum());
        v->setValue(v->maximum());
        break;
    case Qt::Key_Left:
        h->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Right:
        h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Up:
        v->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TPgPreview::leaveEvent(QEvent *event)
{
    EndPan();
    QAbstractScrollArea::leaveEvent(event);
}

bool TPgPreview::dragEvent(QEvent *event)
{
    if (event->type() == QEvent::Drop) {
        auto *e = static_cast<QDropEvent *>(event);
        const QPointF p = m_paper->ToPage(e->position().toPoint());
        emit OnPageDragDrop(e->source(), p.x(), p.y());
        e->acceptProposedAction();
        return true;
    }
    // Nobody listening: nothing may be dropped.
    const bool listened = isSignalConnected(QMetaMethod::fromSignal(&TPgPreview::OnPageDragOver));
    if (event->type() == QEvent::DragLeave) {
        if (listened) {
            bool accept = true;
            emit OnPageDragOver(nullptr, m_lastDragPoint.x(), m_lastDragPoint.y(), pgDragLeave,
                &accept);
        }
        return true;
    }
    auto *e = static_cast<QDragMoveEvent *>(event);
    m_lastDragPoint = m_paper->ToPage(e->position().toPoint());
    bool accept = listened;
    if (listened)
        emit OnPageDragOver(e->source(), m_lastDragPoint.x(), m_lastDragPoint.y(),
            event->type() == QEvent::DragEnter ? pgDragEnter : pgDragMove, &accept);
    if (accept)
        e->acceptProposedAction();
    else
        e->ignore();
    return true;
}

void TPgPreview::BeginPan()
{
    if (m_panning)
        return;
    m_panCursor = mapFromGlobal(QCursor::pos());
    m_panScroll = QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    m_panning = true;
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
}

void TPgPreview::EndPan()
{
    if (!m_panning)
        return;
    m_panning = false;
    QGuiApplication::restoreOverrideCursor();
}

bool TPgPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_paper)
        return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        setFocus();
        const QPoint pixel = e->position().toPoint();
        emit OnMouseDown(e->button(), e->modifiers(), pixel.x(), pixel.y());
        const QPointF p = m_paper->ToPage(pixel);
        emit OnPageMouseDown(e->button(), e->modifiers(), p.x(), p.y());
        if (isSignalConnected(QMetaMethod::fromSignal(&TPgPreview::OnObjectMouseDown))) {
            if (TPgBaseObject *o = ObjectAt(pgInches, p.x(), p.y()))
                emit OnObjectMouseDown(e->button(), e->modifiers(), p.x(), p.y(), o);
        }
        break;
    }
    case QEvent::MouseMove: {
        if (m_paper->IsUpdating())
            break;
        auto *e = static_cast<QMouseEvent *>(event);
        const QPoint pixel = e->position().toPoint();
        emit OnMouseMove(e->modifiers(), pixel.x(), pixel.y());
        if (m_panning) {
            const QPoint now = mapFromGlobal(e->globalPosition().toPoint());
            horizontalScrollBar()->setValue(m_panScroll.x() + m_panCursor.x() - now.x());
            verticalScrollBar()->setValue(m_panScroll.y() + m_panCursor.y() - now.y());
        }
        const QPointF p = m_paper->ToPage(pixel);
        emit OnPageMouseMove(e->modifiers(), p.x(), p.y());
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *e = static_cast<QMouseEvent *>(event);
        EndPan();
        const QPoint pixel = e->position().toPoint();
        emit OnMouseUp(e->button(), e->modifiers(), pixel.x(), pixel.y());
        const QPointF p = m_paper->ToPage(pixel);
        emit OnPageMouseUp(e->button(), e->modifiers(), p.x(), p.y());
        break;
    }
    case QEvent::Enter:
        emit OnMouseEnter();
        break;
    case QEvent::Leave:
        EndPan();
        emit OnMouseLeave();
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return dragEvent(event);
    default:
        break;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void TPgPreview::RegisterControl(TPgPreviewListener *control)
{
    if (!control || m_controls.contains(control))
        return;
    m_controls << control;
    control->m_previews << this;
}

void TPgPreview::UnregisterControl(TPgPreviewListener *control)
{
    if (m_controls.removeAll(control) > 0)
        control->m_previews.removeAll(this);
}

void TPgPreview::Notify(TPgNotification kind)
{
    if (m_list.IsUpdating())
        return;
    // A control may unregister (or be destroyed) while hearing a notification.
    const QList<TPgPreviewListener *> controls = m_controls;
    for (TPgPreviewListener *c : controls) {
        if (m_controls.contains(c))
            c->PreviewNotification(this, kind);
    }
}
