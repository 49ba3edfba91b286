#pragma once

#include <QSyntaxHighlighter>

/// Shows hidden text (\v) as hidden on screen and disabled text greyed,
/// without touching the document's formats: the overrides live in the
/// layout only, so what is saved keeps its attributes. The page layout
/// (TFormatRange) hides the same text in its own copy.
class TVisibilityHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    explicit TVisibilityHighlighter(QTextDocument *document);

protected:
    void highlightBlock(const QString &text) override;
};
