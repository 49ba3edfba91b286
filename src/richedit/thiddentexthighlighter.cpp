#include "thiddentexthighlighter.h"

#include "richtextproperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

THiddenTextHighlighter::THiddenTextHighlighter(QObject *parent) : QObject(parent) {}

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

void THiddenTextHighlighter::setDocument(QTextDocument *document)
{
    QObject::disconnect(m_connection);
    m_document = document;
    if (!document)
        return;
    m_connection = connect(document, &QTextDocument::contentsChange, this,
                           &THiddenTextHighlighter::contentsChange);
    // update() marks the changed blocks dirty once, as one range, after its loop.
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    update(0, document->characterCount());
    cursor.endEditBlock();
}

void THiddenTextHighlighter::contentsChange(int from, int removed, int added)
{
    Q_UNUSED(removed);
    if (!m_updating)
        update(from, from + added);
}

// Sets the overlay of every block that touches [from, to] to its hidden runs,
// and has the blocks whose overlay changed laid out again.
void THiddenTextHighlighter::update(int from, int to)
{
    QTextDocument *doc = m_document;
    if (!doc)
        return;
    static const QTextCharFormat hidden = hiddenFormat();
    static const QTextCharFormat disabled = [] {
        QTextCharFormat f;
        f.setForeground(QColor(128, 128, 128)); // disabled text shows greyed
        return f;
    }();
    m_updating = true;
    int dirtyFrom = -1, dirtyTo = -1; // the blocks to lay out again, marked once
    for (QTextBlock block = doc->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        QList<QTextLayout::FormatRange> ranges;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (format.boolProperty(RichTextProperty::Hidden))
                ranges.append({fragment.position() - block.position(), fragment.length(), hidden});
            else if (format.boolProperty(RichTextProperty::Disabled))
                ranges.append({fragment.position() - block.position(), fragment.length(), disabled});
        }
        if (ranges == layout->formats())
            continue;
        layout->setFormats(ranges);
        if (dirtyFrom < 0)
            dirtyFrom = block.position();
        dirtyTo = block.position() + block.length();
    }
    if (dirtyFrom >= 0)
        doc->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
    m_updating = false;
}
