#include "tformatrules.h"

#include <QLocale>
#include <QStringList>

bool TFormatRules::isWordDelimiter(char16_t c)
{
    if (c <= 32)
        return true;
    switch (c) {
    case u'!': case u'#': case u'$': case u'%': case u'(': case u')': case u'*': case u',':
    case u'.': case u'/': case u':': case u';': case u'?': case u'@': case u'\\': case u'^':
        return true;
    default:
        return false;
    }
}

TFormatRules::WordCount TFormatRules::CountWords(QStringView text)
{
    // Characters of one position: 2 for a line feed standing for CR LF, 0 for
    // the second half of a surrogate pair, 1 otherwise.
    const auto width = [text](qsizetype i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || c == 0x2029 || c == 0x2028)
            return (i > 0 && text[i - 1] == u'\r') ? 1 : 2;
        if (QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate())
            return 0;
        return 1;
    };
    const auto delimiter = [text](qsizetype i) {
        const char16_t c = text[i].unicode();
        return isWordDelimiter(c) || c == 0x2029 || c == 0x2028;
    };

    WordCount count;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && delimiter(i))
            count.characters += width(i++);
        if (i < n) {
            ++count.words;
            while (i < n && !delimiter(i))
                count.characters += width(i++);
        }
    }
    return count;
}

QString TFormatRules::WordCountText(const WordCount &count)
{
    return QString::asprintf("Words: %3d   Characters: %3d", count.words, count.characters);
}

QString TFormatRules::AllCaps(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 97 && c <= 122) || (c >= 224 && c <= 253 && c != 247))
            result.append(QChar(char16_t(c - 32)));
        else
            result.append(ch);
    }
    return result;
}

QString TFormatRules::SmallCaps(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= 65 && c <= 90) || (c >= 192 && c <= 221 && c != 215))
            result.append(QChar(char16_t(c + 32)));
        else
            result.append(ch);
    }
    return result;
}

std::optional<int> TFormatRules::IncreaseIndent(int startIndentPt)
{
    if (startIndentPt <= 400)
        return startIndentPt + IndentStep;
    return std::nullopt;
}

std::optional<int> TFormatRules::DecreaseIndent(int startIndentPt)
{
    if (startIndentPt > 0)
        return startIndentPt - IndentStep;
    return std::nullopt;
}

std::optional<int> TFormatRules::IncreaseHangingIndent(int hangingIndentPt)
{
    if (hangingIndentPt <= 300)
        return hangingIndentPt + IndentStep;
    return std::nullopt;
}

std::optional<int> TFormatRules::DecreaseHangingIndent(int hangingIndentPt)
{
    if (hangingIndentPt > 0)
        return hangingIndentPt - IndentStep;
    return std::nullopt;
}

int TFormatRules::OneAndHalfSpacingTwips(int fontPoints)
{
    return qRound(fontPoints * 1.5) * 20;
}

QString TFormatRules::UndoKindWord(TUndoKind kind)
{
    switch (kind) {
    case TUndoKind::Typing: return QStringLiteral("typing");
    case TUndoKind::Delete: return QStringLiteral("delete");
    case TUndoKind::DragDrop: return QStringLiteral("drag and drop");
    case TUndoKind::Cut: return QStringLiteral("cut");
    case TUndoKind::Paste: return QStringLiteral("paste");
    case TUndoKind::None: break;
    }
    return {};
}

QString TFormatRules::ElapsedText(const QDateTime &from, const QDateTime &to)
{
    const qint64 seconds = qAbs(from.secsTo(to));
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TFormatRules::StatisticsText(const QDateTime &now, const QDateTime &opened,
                                     const QString &longTimeFormat)
{
    const QLocale locale;
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Curent Date: ") + locale.toString(now.date(), QLocale::ShortFormat) + crlf + crlf
           + QStringLiteral("Current Time: ") + locale.toString(now.time(), longTimeFormat) + crlf + crlf
           + QStringLiteral("Document Start Time: ") + locale.toString(opened.time(), longTimeFormat) + crlf + crlf
           + QStringLiteral("Document Open Time: ") + ElapsedText(opened, now);
}

QString TFormatRules::ShortcutHelpText()
{
    static const char *const lines[] = {
        "Short-Cut keys for the Editor.",
        "^^^^^^^^^^^^^^^^^^",
        "",
        "Ctrl + O   -   Open Document...",
        "Ctrl + N   -   New Document...",
        "Ctrl + S   -   Save Document...",
        "Ctrl + P   -   Print Preview...",
        "Ctrl + H   -   Document History...",
        "",
        "Ctrl + Home -   Move cursor to start of document",
        "Ctrl + End    -   Move Cursor to end of document",
        "",
        "Zoom In +    >>  With your mouse - Hold Left button and scroll down.",
        "Zoom Out -   >>  With your mouse - Hold Left button and scroll up.",
        "",
        "Ctrl + X   -   Cut",
        "Ctrl + C   -   Copy",
        "Ctrl + V   -   Paste",
        "",
        "Ctrl + B   -   Bold",
        "Ctrl + I    -   Italic",
        "Ctrl + U   -   Underline",
        "",
        "Ctrl + F    -   Find Text",
        "Ctrl + R    -   Find and Replace",
        "",
        "Ctrl + Shift + L   -   Step through all bullet styles by toggling the L key",
        "",
        "Ctrl + Alt + K   -   Enable Format Painter",
        "Ctrl + Alt + F   -   Open Font Dialog Window",
        "Ctrl + Alt + A   -   Open Paragraph Alignment Window",
        "",
        "Ctrl + Alt + O  -   Insert Object",
        "Ctrl + Alt + P   -   Insert Picture",
        "Ctrl + Alt + T   -   Insert String Table",
    };
    QStringList text;
    for (const char *line : lines)
        text << QString::fromLatin1(line);
    return text.join(QStringLiteral("\r\n"));
}
