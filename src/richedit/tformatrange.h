#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QTextDocument>

#include <memory>
#include <vector>

class QPainter;

/// Lays a text document out into page-sized pieces and draws them, for the
/// page pictures, the exports and anything else that paints text by pages.
///
/// The layout is a clone of the source document laid out once per width and
/// device resolution; it stays cached until release() is called. An edit of the
/// source replaces only the edited paragraphs in it (lists, tables, frames and
/// pictures make it lay out all again). Its lines are indexed by position, so
/// rendering a document page by page costs one layout plus the lines of each
/// page. Hidden text takes no room and is not drawn; disabled text is drawn grey.
///
/// Depends on QtGui only.
class TFormatRange
{
public:
    /// source must outlive this object or be detached with setSource(nullptr).
    explicit TFormatRange(QTextDocument *source = nullptr);
    ~TFormatRange();
    TFormatRange(const TFormatRange &) = delete;
    TFormatRange &operator=(const TFormatRange &) = delete;

    void setSource(QTextDocument *source);

    /// Renders positions [start, end) into layoutTwips (twips, 1/1440 inch, in
    /// the painter's device coordinates converted with the device's logical
    /// resolution) and returns the first position not rendered.
    ///
    /// Pages break between lines only. At least one line is rendered per call,
    /// even one taller than the rectangle, so the result is always beyond start
    /// while start < end; with start >= end nothing is drawn and end is
    /// returned. A start inside a line renders that whole line. painter may be
    /// null or render false to measure only (at 96 dpi without a painter).
    int render(QPainter *painter, const QRect &layoutTwips, int start, int end, bool draw = true);

    /// Same as render() at the given resolution without drawing.
    int measure(int dpiX, int dpiY, const QRect &layoutTwips, int start, int end);

    /// Frees the cached layout; the next call lays the document out again.
    void release();

    /// Whether justified paragraphs are laid out fully justified (the
    /// default) or, without true justified layout, flush left. Line breaks are
    /// the same either way; only the spacing inside the lines differs.
    void setTrueJustification(bool on);
    bool trueJustification() const { return m_trueJustification; }

    /// Number of layouts made so far (for tests and benchmarks).
    int layoutCount() const { return m_layoutCount; }
    /// Characters positions in the source (a paragraph break counts once).
    int length() const;

private:
    struct Line {
        int position;  ///< first position of the line
        qreal bottom;  ///< bottom of its band, in layout pixels
        bool breakBefore; ///< its paragraph starts a new page
        bool breakAfter;  ///< a new page follows its paragraph
    };

    void ensureLayout(int dpi, int widthTwips);
    void noteEdit(int position, int removed, int added);
    /// Brings the edited paragraphs of the copy up to date; false when it cannot.
    bool updateLayout();
    void indexLines();
    int paginate(qreal heightPx, int start, int end, qreal *top, qreal *bottom) const;

    QPointer<QTextDocument> m_source;
    QMetaObject::Connection m_changeConnection;
    QMetaObject::Connection m_editConnection;
    /// Source positions edited since the layout: [m_editFrom, m_editTo) replaces what
    /// was m_editDelta characters shorter; m_editFrom < 0 when nothing was edited.
    int m_editFrom = -1;
    int m_editTo = 0;
    int m_editDelta = 0;
    bool m_sawEdit = false;
    std::unique_ptr<QTextDocument> m_layout;
    QImage m_device; ///< stands for the target device's resolution during layout
    std::vector<Line> m_lines;
    int m_dpi = 0;
    int m_widthTwips = -1;
    bool m_dirty = true;
    bool m_trueJustification = true;
    int m_layoutCount = 0;
};
