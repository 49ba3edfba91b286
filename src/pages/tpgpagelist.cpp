#include "tpgpagelist.h"

#include "tpgpage.h"
#include "tpgprinter.h"
#include "tpgvisibleobject.h"

TPgPageList::TPgPageList()
    : m_footer([this] { notifySilenced(m_notify.appearanceChanged); })
    , m_header([this] { notifySilenced(m_notify.appearanceChanged); })
    , m_margins(&m_printer, [this] { notifySilenced(m_notify.marginsChanged); })
    , m_canvas(*this)
    , m_printerWrapper(std::make_unique<TPgPrinter>())
{
    QObject::connect(m_printerWrapper.get(), &TPgPrinter::MetricsChanged,
        m_printerWrapper.get(), [this] { SetPrinterMetrics(m_printerWrapper->Metrics()); });
}

TPgPageList::~TPgPageList()
{
    // Pages refer to the resources and bands; they go first, without notifying anyone.
    m_notify = {};
    m_pages.clear();
}

void TPgPageList::notify(const std::function<void()> &f) const
{
    if (f)
        f();
}

void TPgPageList::notifySilenced(const std::function<void()> &f) const
{
    if (m_updateCount == 0 && f)
        f();
}

void TPgPageList::refreshPageSize()
{
    if (m_paperSize == TPgPaperSize::Custom)
        return;
    m_pageSize = PaperPageSize(m_paperSize, m_orientation);
}

TPgPage *TPgPageList::AddPage(int index)
{
    auto page = std::make_unique<TPgPage>(this);
    TPgPage *raw = page.get();
    // Not in the list yet, so these two report nothing.
    raw->SetOrientation(m_orientation);
    refreshPageSize();
    raw->SetPageSize(m_pageSize);
    if (index < 0 || index >= PageCount())
        m_pages.push_back(std::move(page));
    else
        m_pages.insert(m_pages.begin() + index, std::move(page));
    notifySilenced(m_notify.pageCountChanged);
    notifySilenced(m_notify.pagesChanged);
    SetCurrentPage(PageCount());
    notify(m_notify.newPage);
    return raw;
}

void TPgPageList::DeletePage(int index)
{
    if (index < 0 || index >= PageCount())
        return;
    const TPgBaseObject *last = m_canvas.LastObject();
    for (int i = 0; last && i < m_pages[index]->ObjectCount(); ++i) {
        if (m_pages[index]->Object(i) == last)
            m_canvas.ForgetLastObject();
    }
    m_pages.erase(m_pages.begin() + index);
    // The current page keeps pointing at the same page where it can: a page deleted before
    // it moves it down by one, and deleting the last page makes the new last page current.
    if (m_current > index + 1 || m_current > PageCount())
        --m_current;
    if (m_current <= 0) {
        m_current = 1;
        AddPage(-1);
    }
    notifySilenced(m_notify.pageCountChanged);
    notifySilenced(m_notify.pagesChanged);
}

void TPgPageList::ClearPages(bool keepEmpty, bool clearResources)
{
    m_pages.clear();
    m_canvas.ForgetLastObject();
    m_current = 0;
    if (clearResources)
        m_resources.Clear();
    if (!keepEmpty) {
        m_current = 1;
        AddPage(-1);
    }
    notify(m_notify.cleared);
}

void TPgPageList::SetCurrentPage(int page)
{
    if (page == m_current || page < 1 || page > PageCount())
        return;
    m_current = page;
    notify(m_notify.currentPageChanged);
}

TPgPage *TPgPageList::GetPage(int n) const
{
    Q_ASSERT_X(n >= 1 && n <= PageCount(), "TPgPageList::GetPage", "page number out of range");
    if (n < 1 || n > PageCount())
        return nullptr;
    return m_pages[n - 1].get();
}

TPgPage *TPgPageList::CurrentPageObject() const
{
    if (m_current < 1 || m_current > PageCount())
        return nullptr;
    return m_pages[m_current - 1].get();
}

int TPgPageList::IndexOf(const TPgPage *page) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i].get() == page)
            return int(i);
    }
    return -1;
}

void TPgPageList::BeginUpdate()
{
    ++m_updateCount;
}

void TPgPageList::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0) {
        notify(m_notify.pageCountChanged);
        notify(m_notify.pagesChanged);
    }
}

void TPgPageList::SetOrientation(TPgOrientation orientation)
{
    BeginUpdate();
    for (const auto &page : m_pages)
        page->SetOrientation(orientation);
    m_orientation = orientation;
    if (!m_pages.empty())
        m_pageSize = m_pages.front()->PageSize();
    EndUpdate();
    notify(m_notify.orientationChanged);
}

void TPgPageList::SetPaperSize(TPgPaperSize size)
{
    if (size == m_paperSize)
        return;
    BeginUpdate();
    m_paperSize = size;
    refreshPageSize();
    for (const auto &page : m_pages)
        page->SetPageSize(m_pageSize);
    EndUpdate();
    notify(m_notify.paperSizeChanged);
}

void TPgPageList::SetPrinterMetrics(const TPgPrinterMetrics &metrics)
{
    m_printer = metrics;
    notifySilenced(m_notify.marginsChanged);
}

TPgPageSize TPgPageList::currentSize() const
{
    const TPgPage *page = CurrentPageObject();
    return page ? page->PageSize() : m_pageSize;
}

TPgRectF TPgPageList::HeaderRectF() const
{
    const TPgPageSize s = currentSize();
    const double l = m_margins.LeftMargin().AsInches();
    const double t = m_margins.TopMargin().AsInches();
    const double r = m_margins.RightMargin().AsInches();
    return { l, t, s.width - r, t + m_header.Height(pgInches) };
}

TPgRectF TPgPageList::FooterRectF() const
{
    const TPgPageSize s = currentSize();
    const double l = m_margins.LeftMargin().AsInches();
    const double r = m_margins.RightMargin().AsInches();
    const double b = m_margins.BottomMargin().AsInches();
    const double fh = m_footer.Height(pgInches);
    return { l, s.height - b - fh, s.width - r, s.height - b };
}

TPgRectF TPgPageList::ContentRectF() const
{
    const TPgPageSize s = currentSize();
    const double l = m_margins.LeftMargin().AsInches();
    const double t = m_margins.TopMargin().AsInches();
    const double r = m_margins.RightMargin().AsInches();
    const double b = m_margins.BottomMargin().AsInches();
    return { l, t + m_header.Height(pgInches), s.width - r,
        s.height - (m_footer.Height(pgInches) + b) };
}

const TPgValueRect &TPgPageList::HeaderRect()
{
    m_bandRect.SetRect(HeaderRectF());
    return m_bandRect;
}

const TPgValueRect &TPgPageList::FooterRect()
{
    m_bandRect.SetRect(FooterRectF());
    return m_bandRect;
}

const TPgValueRect &TPgPageList::ContentRect()
{
    m_bandRect.SetRect(ContentRectF());
    return m_bandRect;
}

TPgBaseObject *TPgPageList::AddObject(std::unique_ptr<TPgBaseObject> object,
    TPgCoordsRelative origin)
{
    TPgPage *page = CurrentPageObject();
    if (!object || !page)
        return nullptr;
    double dx = 0, dy = 0;
    switch (origin) {
    case pgFromPage:
        break;
    case pgFromPrinterMargins: {
        const TPgRectF pm = m_printer.PrinterMargins(m_orientation);
        dx = pm.left;
        dy = pm.top;
        break;
    }
    case pgFromUserMargins:
        dx = m_margins.LeftMargin().AsInches();
        dy = m_margins.TopMargin().AsInches();
        break;
    case pgFromHeaderLine:
        dx = m_margins.LeftMargin().AsInches();
        dy = m_margins.TopMargin().AsInches() + m_header.Height(pgInches);
        break;
    }
    object->Offset(pgInches, dx, dy);
    TPgBaseObject *raw = object.get();
    if (auto *visible = dynamic_cast<TPgVisibleObject *>(raw))
        visible->SetPageList(this);
    page->AddObject(std::move(object));
    return raw;
}

QList<int> TPgPageList::RangeOrder(int first, int last)
{
    QList<int> pages;
    if (first < last) {
        for (int p = first; p <= last; ++p)
            pages << p;
    } else {
        for (int p = first; p >= last; --p)
            pages << p;
    }
    return pages;
}

bool TPgPageList::PrintRange(int first, int last, QString *error)
{
    return PrintPages(RangeOrder(first, last), error);
}

bool TPgPageList::PrintPages(const QList<int> &pages, QString *error)
{
    QList<int> valid;
    for (int p : pages) {
        if (p >= 1 && p <= PageCount())
            valid << p;
    }
    if (valid.isEmpty()) {
        if (error) {
            if (pages.isEmpty())
                *error = QStringLiteral("Unable to print... No page was chosen.");
            else if (pages.size() == 1)
                *error = QStringLiteral("Unable to print... The document has no page %1.").arg(pages.first());
            else
                *error = QStringLiteral("Unable to print... The document has no page %1 to %2.")
                             .arg(pages.first())
                             .arg(pages.last());
        }
        return false;
    }
    TPgPrinter &printer = *m_printerWrapper;
    printer.SetOrientation(GetPage(valid.first())->Orientation());
    printer.SetPagesPerSheet(m_pagesPerSheet);
    printer.SetPaperSize(m_paperSize);
    if (!printer.BeginDoc() || printer.Aborted()) {
        if (error)
            *error = printer.LastError();
        return false;
    }
    QPainter &canvas = *printer.Canvas();
    const int n = int(valid.size());
    for (int i = 0; i < n; ++i) {
        const TPgPage *page = GetPage(valid.at(i));
        const int rx = printer.ResolutionX();
        const int ry = printer.ResolutionY();
        const TPgPageSize s = page->PageSize();
        QRect clip;
        if (m_margins.ClipMargins()) {
            clip = QRect(QPoint(m_margins.LeftMargin().AsPixels(rx), m_margins.TopMargin().AsPixels(ry)),
                QPoint(pgRound((s.width - m_margins.RightMargin().AsInches()) * rx),
                    pgRound((s.height - m_margins.BottomMargin().AsInches()) * ry)));
        } else {
            clip = QRect(QPoint(0, 0), QPoint(pgRound(s.width * rx), pgRound(s.height * ry)));
        }
        canvas.save();
        canvas.setClipRect(clip);
        page->DrawPage(canvas, rx, ry, false);
        canvas.restore();
        // A sheet the platform refused ends the job; what was printed is not reported as
        // a finished document.
        if (i < n - 1 && !printer.StartNextPage()) {
            printer.EndDoc();
            if (error)
                *error = printer.LastError();
            return false;
        }
        if (m_notify.printProgress)
            m_notify.printProgress(i + 1, n);
    }
    if (!printer.EndDoc()) {
        if (error)
            *error = printer.LastError();
        return false;
    }
    return true;
}

void TPgPageList::PageChanged(const TPgPage *page)
{
    if (IndexOf(page) < 0)
        return;
    notifySilenced(m_notify.pagesChanged);
}
