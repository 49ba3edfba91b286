#include "tvisibilityhighlighter.h"

#include "richtextproperties.h"

#include <QTextBlock>

TVisibilityHighlighter::TVisibilityHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
{
}

void TVisibilityHighlighter::highlightBlock(const QString &)
{
    const QTextBlock block = currentBlock();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const bool hidden = format.boolProperty(RichTextProperty::Hidden);
        if (!hidden && !format.boolProperty(RichTextProperty::Disabled))
            continue;
        QTextCharFormat shown;
        if (hidden) {
            shown.setForeground(Qt::transparent);
            shown.setBackground(Qt::transparent);
            shown.setFontPointSize(0.1);
            shown.setFontLetterSpacingType(QFont::PercentageSpacing);
            shown.setFontLetterSpacing(0);
            shown.setFontUnderline(false);
            shown.setFontStrikeOut(false);
        } else {
            shown.setForeground(QColor(128, 128, 128));
        }
        setFormat(fragment.position() - block.position(), fragment.length(), shown);
    }
}
