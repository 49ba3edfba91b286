#pragma once

#include "trichedit.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

/// The rules behind the formatting commands and the status bar that need no
/// window: word counting, case conversion, indent steps and the fixed texts of
/// the information boxes. The document window calls these; tests call them
/// directly.
class TFormatRules
{
public:
    struct WordCount {
        int words = 0;
        int characters = 0;
        bool operator==(const WordCount &) const = default;
    };

    /// True for the characters that separate words: codes 0-31, space and
    /// ! # $ % ( ) * , . / : ; ? @ \ ^. Everything else (digits, letters,
    /// quotes, & ' + - < = > [ ] _ and every code above 95) belongs to a word.
    static bool isWordDelimiter(char16_t c);

    /// Counts words and characters of text in one pass without allocating.
    /// The editor's plain text ends its lines with a single line feed where
    /// the document stores CR LF, so a line break that is not already CR LF
    /// counts as two characters; a surrogate pair counts as one.
    static WordCount CountWords(QStringView text);
    /// "Words: %3d   Characters: %3d".
    static QString WordCountText(const WordCount &count);

    /// Latin-1 upper case: a-z and the accented letters of codes 224-253
    /// move down by 32; everything else stays, so ß, þ and ÿ keep their form.
    /// The division sign (247) is no letter and stays as well.
    static QString AllCaps(QStringView text);
    /// Latin-1 lower case: A-Z and the accented capitals of codes 192-221
    /// move up by 32; the multiplication sign (215) stays.
    static QString SmallCaps(QStringView text);

    /// One step of the indent buttons, in points. Each returns the new value,
    /// or nothing when the limit is reached (the caller reports it).
    static constexpr int IndentStep = 20;
    static std::optional<int> IncreaseIndent(int startIndentPt);        ///< up to 420
    static std::optional<int> DecreaseIndent(int startIndentPt);        ///< down to 0
    static std::optional<int> IncreaseHangingIndent(int hangingIndentPt); ///< up to 320
    static std::optional<int> DecreaseHangingIndent(int hangingIndentPt); ///< down to 0

    /// The amount in twips of "1.5 Line Spacing" for a font of fontPoints:
    /// one and a half times the size, rounded to a whole point.
    static int OneAndHalfSpacingTwips(int fontPoints);

    /// "typing", "delete", "drag and drop", "cut", "paste", or empty.
    static QString UndoKindWord(TUndoKind kind);

    /// The text of the document statistics box. longTimeFormat is the time
    /// format the clock times are written in.
    static QString StatisticsText(const QDateTime &now, const QDateTime &opened,
                                  const QString &longTimeFormat);
    /// The time from one moment to another, absolute, as "hh:mm:ss"; the
    /// hours go on past 24, so a document open over midnight shows the
    /// time it was really open.
    static QString ElapsedText(const QDateTime &from, const QDateTime &to);
    /// The fixed text of the keyboard shortcut box.
    static QString ShortcutHelpText();
};
