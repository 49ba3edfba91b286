#pragma once

#include <QObject>
#include <QPointer>
#include <QTextCharFormat>

class QTextDocument;

/// Hides text with the Hidden character property on screen, and greys text with
/// the Disabled property: its characters
/// take no width and draw nothing, yet stay in the document (positions, Text(),
/// saving and undo see them as they are). The look is an overlay on the
/// blocks' layouts (QTextLayout::setFormats); the document's formats are never
/// changed. Only blocks whose hidden runs change are laid out again, so a
/// document without hidden text costs one look at each fragment.
class THiddenTextHighlighter : public QObject
{
    Q_OBJECT
public:
    explicit THiddenTextHighlighter(QObject *parent = nullptr);

    /// Follows document from now on; its hidden text is hidden at once.
    void setDocument(QTextDocument *document);

    /// The overlay that hides a run.
    static QTextCharFormat hiddenFormat();

private:
    void contentsChange(int from, int removed, int added);
    void update(int from, int to);

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    bool m_updating = false;
};
