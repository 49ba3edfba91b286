#pragma once

#include <QList>
#include <QMetaObject>
#include <QPicture>
#include <QPointer>
#include <QRect>

#include <vector>

class QTextDocument;
class TPgPreview;
class TRichEditor;

/// The page builder: renders a rich-text editor page by page into page pictures recorded
/// at 600 units per inch against the printer's printable area, and places each on a page
/// of a page container (TPgPreview), so that the container shows the document exactly as
/// it prints.
///
/// One builder serves one editor. It keeps the pictures of its last build and, on the
/// next one, reuses those of pages whose text and page boundaries have not changed since
/// (an edit invalidates the pages its paragraph touches); every other page is rendered
/// again. The result is always the same as a build from scratch.
class TPageBuilder
{
public:
    explicit TPageBuilder(TRichEditor *editor);
    ~TPageBuilder();

    TPageBuilder(const TPageBuilder &) = delete;
    TPageBuilder &operator=(const TPageBuilder &) = delete;

    /// Renders the editor into @p preview, which the caller has cleared (one empty page):
    /// the first picture goes on the current page, each further one on a new page.
    /// @p pageStarts receives the first position of every page (entry 0 is 0). The text
    /// is laid out in a rectangle of @p widthTwips x @p heightTwips; the pictures are
    /// placed at the margins, below the header, as large as the printable area.
    void PaginateInto(TPgPreview *preview, QList<int> &pageStarts, int widthTwips,
        int heightTwips);

    /// Forgets every kept picture; the next build renders all pages.
    void Invalidate();

    /// Pages rendered (not reused) by the last build.
    int PagesRendered() const { return m_rendered; }

    /// The picture kind of the page pictures: a vector picture whose resolution is 600
    /// units per inch, so text is laid out at that resolution.
    class PagePicture : public QPicture
    {
    protected:
        int metric(PaintDeviceMetric metric) const override;
    };

private:
    struct Page {
        int start;
        int next;
        bool valid;
        QPicture picture;
    };

    void attach();
    void contentsChange(int position, int removed, int added);

    TRichEditor *m_editor;
    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    std::vector<Page> m_pages;
    QRect m_layout;
    QSize m_frame;
    QString m_fontKey;
    int m_rendered = 0;
};
