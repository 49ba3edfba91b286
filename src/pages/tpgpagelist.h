#pragma once

/// @file tpgpagelist.h
/// The document model of the page engine.

#include "tpgcanvas.h"
#include "tpgfooter.h"
#include "tpgheader.h"
#include "tpgmargins.h"
#include "tpgprintermetrics.h"
#include "tpgresourcetable.h"
#include "tpgvaluerect.h"

#include <functional>
#include <memory>
#include <vector>

class TPgBaseObject;
class TPgPage;
class TPgPrinter;

/// An ordered list of pages with the settings they share: header and footer bands,
/// margins, paper size, default orientation, pages per sheet, the printer metrics, the
/// resource store and the drawing facade (Canvas()).
///
/// Page numbers are 1-based, page indexes 0-based. The owner (the preview) learns of
/// changes through the callbacks of Notifications; "pages changed", "page count changed",
/// "appearance changed" and "margins changed" are held back while an update bracket is
/// open and "pages changed" and "page count changed" are sent once when it closes.
class TPgPageList
{
public:
    /// The owner's callbacks, each may be empty. All run synchronously.
    struct Notifications {
        std::function<void()> newPage;
        std::function<void()> pagesChanged;
        std::function<void()> pageCountChanged;
        std::function<void()> currentPageChanged;
        std::function<void()> orientationChanged;
        std::function<void()> paperSizeChanged;
        std::function<void()> appearanceChanged;
        std::function<void()> marginsChanged;
        std::function<void()> cleared;
        std::function<void(int printed, int total)> printProgress;
    };

    TPgPageList();
    ~TPgPageList();

    TPgPageList(const TPgPageList &) = delete;
    TPgPageList &operator=(const TPgPageList &) = delete;

    void SetNotifications(Notifications n) { m_notify = std::move(n); }

    /// Creates a page with the list's orientation and page size, appends it (@p index -1)
    /// or inserts it at @p index, makes the last page current and reports "new page".
    TPgPage *AddPage(int index = -1);
    /// Deletes the page at 0-based @p index (out of range: ignored). The list is never
    /// left empty: deleting the only page adds a fresh one.
    void DeletePage(int index);
    /// Frees all pages; @p clearResources also empties the resource store. Unless
    /// @p keepEmpty, one new empty page is added and made current.
    void ClearPages(bool keepEmpty, bool clearResources);

    int CurrentPage() const { return m_current; }
    /// Ignores values equal to the current one or outside 1..PageCount().
    void SetCurrentPage(int page);
    int PageCount() const { return int(m_pages.size()); }
    /// Page @p n (1-based); the caller must pass 1..PageCount().
    TPgPage *GetPage(int n) const;
    /// The current page, or nullptr while the list is empty.
    TPgPage *CurrentPageObject() const;
    int IndexOf(const TPgPage *page) const;

    void BeginUpdate();
    /// Without a matching BeginUpdate() does nothing.
    void EndUpdate();
    bool IsUpdating() const { return m_updateCount > 0; }

    TPgOrientation Orientation() const { return m_orientation; }
    /// Turns every page; the list page size becomes page 1's. "pages changed" reaches the
    /// owner once, then "orientation changed".
    void SetOrientation(TPgOrientation orientation);

    TPgPaperSize PaperSize() const { return m_paperSize; }
    /// Gives every page the new paper dimensions (Custom keeps every page's size).
    void SetPaperSize(TPgPaperSize size);

    TPgPagesPerSheet PagesPerSheet() const { return m_pagesPerSheet; }
    void SetPagesPerSheet(TPgPagesPerSheet value) { m_pagesPerSheet = value; }

    /// The size given to new pages, in inches.
    const TPgPageSize &PageSize() const { return m_pageSize; }

    TPgHeader &Header() { return m_header; }
    TPgFooter &Footer() { return m_footer; }
    const TPgHeader &Header() const { return m_header; }
    const TPgFooter &Footer() const { return m_footer; }
    TPgMargins &Margins() { return m_margins; }
    const TPgMargins &Margins() const { return m_margins; }
    TPgResourceTable &Resources() { return m_resources; }
    TPgCanvas &Canvas() { return m_canvas; }

    /// The printer geometry used for printer margins; the printer wrapper replaces it.
    const TPgPrinterMetrics &PrinterMetrics() const { return m_printer; }
    void SetPrinterMetrics(const TPgPrinterMetrics &metrics);

    /// Band and content rectangles of the current page, in inches. The result object is
    /// reused by every call.
    const TPgValueRect &HeaderRect();
    const TPgValueRect &FooterRect();
    const TPgValueRect &ContentRect();
    /// The same rectangles as plain values.
    TPgRectF HeaderRectF() const;
    TPgRectF FooterRectF() const;
    TPgRectF ContentRectF() const;

    /// Places @p object on the current page, offset from the origin @p origin.
    TPgBaseObject *AddObject(std::unique_ptr<TPgBaseObject> object, TPgCoordsRelative origin);

    /// The order in which a range of pages prints: upward when first < last, else downward
    /// (PrintRange(5, 2) prints 5, 4, 3, 2).
    static QList<int> RangeOrder(int first, int last);
    /// Prints pages first..last in RangeOrder() through Printer(). False when nothing
    /// printed; @p error then holds the reason for the user, if there is one.
    bool PrintRange(int first, int last, QString *error = nullptr);
    /// Prints the pages @p pages (1-based) as one job, all in the orientation of the
    /// first one, with the list's pages per sheet and paper size.
    bool PrintPages(const QList<int> &pages, QString *error = nullptr);

    /// The printer wrapper; its metrics are the list's PrinterMetrics().
    TPgPrinter &Printer() { return *m_printerWrapper; }

    /// Called by a page after a change of its size, orientation or objects.
    void PageChanged(const TPgPage *page);

private:
    void refreshPageSize();
    TPgPageSize currentSize() const;
    void notify(const std::function<void()> &f) const;
    void notifySilenced(const std::function<void()> &f) const;

    std::vector<std::unique_ptr<TPgPage>> m_pages;
    int m_current = 0;
    TPgPrinterMetrics m_printer;
    TPgResourceTable m_resources;
    TPgFooter m_footer;
    TPgHeader m_header;
    TPgMargins m_margins;
    TPgCanvas m_canvas;
    TPgOrientation m_orientation = pgPortrait;
    TPgPagesPerSheet m_pagesPerSheet = pgOnePage;
    TPgPaperSize m_paperSize = TPgPaperSize::A4;
    TPgPageSize m_pageSize;
    int m_updateCount = 0;
    TPgValueRect m_bandRect;
    Notifications m_notify;
    std::unique_ptr<TPgPrinter> m_printerWrapper;
};
