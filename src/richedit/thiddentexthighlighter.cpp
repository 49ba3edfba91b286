#include "thiddentexthighlighter.h"

#include "richtextproperties.h"

#include <QTextBlock>

THiddenTextHighlighter::THiddenTextHighlighter(QObject *parent) : QSyntaxHighlighter(parent) {}

QTextCharFormat THiddenTextHighlighter::hiddenFormat()
{
    // Merged over the run's own format: every property that could show
    // (ink, highlight, lines, width, height) is set to nothing.
    QTextCharFormat f;
    f.setForeground(Qt::transparent);
    f.setBackground(Qt::transparent);
    f.setFontPointSize(0.1);
    f.setFontLetterSpacingType(QFont::PercentageSpacing);
    f.setFontLetterSpacing(0);
    f.setFontWordSpacing(0);
    f.setFontUnderline(false);
    f.setUnderlineStyle(QTextCharFormat::NoUnderline);
    f.setFontStrikeOut(false);
    f.setFontOverline(false);
    return f;
}

void THiddenTextHighlighter::highlightBlock(const QString &text)
{
    Q_UNUSED(text);
    const QTextBlock block = currentBlock();
    const int blockStart = block.position();
    static const QTextCharFormat hidden = hiddenFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid() && fragment.charFormat().boolProperty(RichTextProperty::Hidden))
            setFormat(fragment.position() - blockStart, fragment.length(), hidden);
    }
}
