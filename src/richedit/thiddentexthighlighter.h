#pragma once

#include <QSyntaxHighlighter>

/// Hides text with the Hidden character property on screen: its characters
/// take no width and draw nothing, yet stay in the document (positions, Text(),
/// saving and undo see them as they are). The look is an overlay of the
/// layout only; the document's formats are never changed.
class THiddenTextHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit THiddenTextHighlighter(QObject *parent = nullptr);

    /// The overlay that hides a run.
    static QTextCharFormat hiddenFormat();

protected:
    void highlightBlock(const QString &text) override;
};
