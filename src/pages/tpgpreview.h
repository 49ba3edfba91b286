#pragma once

/// @file tpgpreview.h
/// The preview control: pages on paper, zoom, scrolling and change notifications.

#include "tpgpagegrid.h"
#include "tpgpagelist.h"
#include "tpgpreviewlistener.h"
#include "tpgshadow.h"

#include <QAbstractScrollArea>
#include <QCursor>

class TPgPaperImage;

/// Screen cursor slots the preview fills for its hosts: magnifiers with a plus and a minus.
enum TPgCursorSlot { crPgZoomIn = 101, crPgZoomOut = 102 };

/// Where a drag over the paper is.
enum TPgDragState { pgDragEnter = 0, pgDragLeave = 1, pgDragMove = 2 };

/// Shows the current page of its page list as white paper inside a scrolling view and
/// tells registered controls (TPgPreviewListener) about every change. It always holds at
/// least one page. Page numbers are 1-based.
class TPgPreview : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TPgPreview(QWidget *parent = nullptr);
    ~TPgPreview() override;

    TPgPageList &PageList() { return m_list; }
    TPgCanvas &Canvas() { return m_list.Canvas(); }
    TPgHeader &Header() { return m_list.Header(); }
    TPgFooter &Footer() { return m_list.Footer(); }
    TPgMargins &Margins() { return m_list.Margins(); }
    TPgShadow &Shadow() { return m_shadow; }
    TPgPageGrid &PageGrid() { return m_grid; }
    TPgPaperImage *PaperImage() const { return m_paper; }
    /// The page list's printer wrapper.
    TPgPrinter &PgPrinter() { return m_list.Printer(); }

    /// PrintRange(1, PageCount()).
    bool Print() { return PrintRange(1, PageCount()); }
    /// The current page alone, without the update bracket.
    bool PrintCurrentPage();
    /// Prints first..last inside one update bracket (closed also when printing fails).
    /// A reason the user can act on ("Unable to print... No Printer available.") is shown
    /// in a message box; false when nothing printed.
    bool PrintRange(int first, int last);

    TPgPage *NewPage();
    void DeleteCurrentPage();
    /// One empty page remains; stored pictures are released.
    void Clear();
    int CurrentPage() const { return m_list.CurrentPage(); }
    void SetCurrentPage(int page) { m_list.SetCurrentPage(page); }
    int PageCount() const { return m_list.PageCount(); }
    TPgPage *GetPage(int n) const { return m_list.GetPage(n); }
    void FirstPage() { SetCurrentPage(1); }
    void LastPage() { SetCurrentPage(PageCount()); }
    void NextPage() { SetCurrentPage(CurrentPage() + 1); }
    void PrevPage() { SetCurrentPage(CurrentPage() - 1); }

    /// Registered controls hear BeginUpdate before and EndUpdate after the bracket and
    /// nothing in between.
    void BeginUpdate();
    void EndUpdate();
    bool IsUpdating() const { return m_list.IsUpdating(); }

    TPgRectF HeaderRect() const { return m_list.HeaderRectF(); }
    TPgRectF FooterRect() const { return m_list.FooterRectF(); }
    TPgRectF ContentRect() const { return m_list.ContentRectF(); }
    double ContentWidth(TPgMeasurement unit) const;
    double ContentHeight(TPgMeasurement unit) const;
    TPgBaseObject *ObjectAt(TPgMeasurement unit, double x, double y) const;

    TPgOrientation Orientation() const { return m_list.Orientation(); }
    void SetOrientation(TPgOrientation orientation);
    TPgPaperSize PaperSize() const { return m_list.PaperSize(); }
    void SetPaperSize(TPgPaperSize size) { m_list.SetPaperSize(size); }
    TPgPagesPerSheet PagesPerSheet() const { return m_list.PagesPerSheet(); }
    void SetPagesPerSheet(TPgPagesPerSheet value);

    int Gutter() const;
    void SetGutter(int pixels);
    int Zoom() const;
    /// Clamped to MinZoom()..MaxZoom(); the scroll positions keep their percentages.
    void SetZoom(int zoom);
    int MinZoom() const { return m_minZoom; }
    int MaxZoom() const { return m_maxZoom; }
    void SetMinZoom(int value);
    void SetMaxZoom(int value);
    int ZoomIncrement() const { return m_zoomIncrement; }
    void SetZoomIncrement(int value) { m_zoomIncrement = value; }
    TPgZoomStyle ZoomStyle() const { return m_zoomStyle; }
    void SetZoomStyle(TPgZoomStyle style) { m_zoomStyle = style; }
    void ZoomIn();
    void ZoomOut();
    void FitWidth();
    void FitHeight();
    void FitWholePage();

    /// The margins as comma text (see TPgMargins::MarginValues()).
    QString MarginValues() const { return m_list.Margins().MarginValues(); }
    bool SetMarginValues(const QString &text, QString *error = nullptr)
    {
        return m_list.Margins().SetMarginValues(text, error);
    }

    void BeginPan();
    void EndPan();
    bool IsPanning() const { return m_panning; }

    /// Adds @p control unless present; the preview does not own it.
    void RegisterControl(TPgPreviewListener *control);
    void UnregisterControl(TPgPreviewListener *control);

    /// The class name and version, as the component reports itself.
    static QString About() { return QStringLiteral("TPgPreview v1.0.0"); }
    /// The cursor in screen cursor slot @p slot: the zoom cursors for crPgZoomIn and
    /// crPgZoomOut, the arrow for any other slot.
    static QCursor ScreenCursor(int slot);

    /// The 22 paper size names in ordinal order.
    static QStringList PaperSizeNames() { return ::PaperSizeNames(); }

    /// Sends @p kind to every registered control, unless the page list is in an update.
    void Notify(TPgNotification kind);

signals:
    void OnNewPage();
    void OnDrawHeader(const TPgRectF &rect, TPgCanvas *canvas);
    void OnDrawFooter(const TPgRectF &rect, TPgCanvas *canvas);
    void OnPageChanged();
    void OnOrientationChanged();
    void OnClear();
    void OnPrintProgress(int printed, int total);
    void BeforePrint();
    void AfterPrint();
    void OnAbortPrint();
    void OnPageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void OnPageMouseMove(Qt::KeyboardModifiers shift, double x, double y);
    void OnPageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);
    void OnObjectMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x,
        double y, TPgBaseObject *object);
    /// The paper's own mouse events, in its pixels, raised before the page ones.
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseEnter();
    void OnMouseLeave();
    /// A drag over the paper in page coordinates (inches). *accept starts true; a
    /// receiver clears it to refuse the drop.
    void OnPageDragOver(QObject *source, double x, double y, TPgDragState state, bool *accept);
    void OnPageDragDrop(QObject *source, double x, double y);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void updateScrollRanges();
    void bindCurrent();
    bool dragEvent(QEvent *event);
    void reportPrintError(const QString &error);

    TPgPageList m_list;
    TPgPageGrid m_grid;
    TPgShadow m_shadow;
    TPgPaperImage *m_paper = nullptr;
    QList<TPgPreviewListener *> m_controls;
    int m_minZoom = 5;
    int m_maxZoom = 400;
    int m_zoomIncrement = 10;
    TPgZoomStyle m_zoomStyle = pgVariableZoom;
    bool m_panning = false;
    QPoint m_panCursor;
    QPoint m_panScroll;
    QPointF m_lastDragPoint;
};
