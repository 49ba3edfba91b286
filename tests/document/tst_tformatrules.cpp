#include "tformatrules.h"

#include <QtTest>

namespace QTest {
template <>
char *toString(const TFormatRules::WordCount &count)
{
    return qstrdup(QByteArray("words ") + QByteArray::number(count.words) + " characters "
                   + QByteArray::number(count.characters));
}
} // namespace QTest

class TestTFormatRules : public QObject
{
    Q_OBJECT
private slots:
    void countWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("words");
        QTest::addColumn<int>("characters");
        QTest::newRow("empty") << QString() << 0 << 0;
        QTest::newRow("hyphen joins, brackets separate") << QStringLiteral("well-known (really)") << 2 << 19;
        QTest::newRow("two lines with LF") << QStringLiteral("ab\ncd") << 2 << 6;
        QTest::newRow("two lines with CR LF") << QStringLiteral("ab\r\ncd") << 2 << 6;
        QTest::newRow("only delimiters") << QStringLiteral(" !#$%()*,./:;?@\\^") << 0 << 17;
        QTest::newRow("word characters join") << QStringLiteral("a&b'c+d-e<f=g>h[i]j_k\"l") << 1 << 23;
        QTest::newRow("digits are words") << QStringLiteral("3 apples, 42") << 3 << 12;
        QTest::newRow("tab and control codes separate") << QStringLiteral("a\tb\x01" "c") << 3 << 5;
        QTest::newRow("leading and trailing delimiters") << QStringLiteral("  hi  ") << 1 << 6;
        QTest::newRow("accented letters") << QStringLiteral("école straße") << 2 << 12;
        QTest::newRow("surrogate pair is one character") << QStringLiteral("a \U0001F600") << 2 << 3;
        QTest::newRow("empty paragraphs") << QStringLiteral("\n\n") << 0 << 4;
    }
    void countWords()
    {
        QFETCH(QString, text);
        QFETCH(int, words);
        QFETCH(int, characters);
        const TFormatRules::WordCount expected{words, characters};
        QCOMPARE(TFormatRules::CountWords(text), expected);
    }

    void wordCountTextIsRightAligned()
    {
        QCOMPARE(TFormatRules::WordCountText({0, 0}), QStringLiteral("Words:   0   Characters:   0"));
        QCOMPARE(TFormatRules::WordCountText({2, 1234}), QStringLiteral("Words:   2   Characters: 1234"));
    }

    void caseConversion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("sharp s has no capital") << QStringLiteral("straße") << QStringLiteral("STRAßE")
                                                << QStringLiteral("straße");
        QTest::newRow("accented capitals") << QStringLiteral("ÉCOLE") << QStringLiteral("ÉCOLE")
                                           << QStringLiteral("école");
        QTest::newRow("latin-1 range ends") << QStringLiteral("àýþÿ ÀÝÞ") << QStringLiteral("ÀÝþÿ ÀÝÞ")
                                            << QStringLiteral("àýþÿ àýÞ");
        QTest::newRow("signs stay signs") << QStringLiteral("2×3÷1") << QStringLiteral("2×3÷1")
                                          << QStringLiteral("2×3÷1");
        QTest::newRow("outside latin-1 unchanged") << QStringLiteral("Ωω ĉ") << QStringLiteral("Ωω ĉ")
                                                   << QStringLiteral("Ωω ĉ");
        QTest::newRow("ascii") << QStringLiteral("Mixed Case 42!") << QStringLiteral("MIXED CASE 42!")
                               << QStringLiteral("mixed case 42!");
    }
    void caseConversion()
    {
        QFETCH(QString, text);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QCOMPARE(TFormatRules::AllCaps(text), upper);
        QCOMPARE(TFormatRules::SmallCaps(text), lower);
    }

    void indentSteps_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("hanging");
        QTest::addColumn<int>("reached");
        QTest::addColumn<int>("refusedAt");
        // The limit test runs before the step, so the last step goes past 400 / 300.
        QTest::newRow("start indent") << 22 << false << 420 << 22;
        QTest::newRow("hanging indent") << 17 << true << 320 << 17;
    }
    void indentSteps()
    {
        QFETCH(int, steps);
        QFETCH(bool, hanging);
        QFETCH(int, reached);
        QFETCH(int, refusedAt);
        int value = 0;
        int refused = 0;
        for (int i = 1; i <= steps; ++i) {
            const std::optional<int> next = hanging ? TFormatRules::IncreaseHangingIndent(value)
                                                    : TFormatRules::IncreaseIndent(value);
            if (!next) {
                refused = i;
                break;
            }
            value = *next;
        }
        QCOMPARE(value, reached);
        QCOMPARE(refused, refusedAt);
        QVERIFY(!TFormatRules::DecreaseIndent(0));
        QVERIFY(!TFormatRules::DecreaseHangingIndent(0));
        QCOMPARE(TFormatRules::DecreaseIndent(20).value_or(-1), 0);
    }

    void oneAndHalfSpacing()
    {
        QCOMPARE(TFormatRules::OneAndHalfSpacingTwips(12), 360);
        QCOMPARE(TFormatRules::OneAndHalfSpacingTwips(11), 340); // 16.5 rounds to 17 points
    }

    void statistics()
    {
        const QDateTime now(QDate(2026, 3, 4), QTime(0, 5, 10));
        const QDateTime opened(QDate(2026, 3, 3), QTime(23, 50, 0));
        const QString text = TFormatRules::StatisticsText(now, opened, QStringLiteral("hh:mm:ss"));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines[0].startsWith(QStringLiteral("Curent Date: ")));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("Current Time: 00:05:10"));
        QCOMPARE(lines[4], QStringLiteral("Document Start Time: 23:50:00"));
        // Open over midnight: the time really elapsed, not the difference of two clock times.
        QCOMPARE(lines[6], QStringLiteral("Document Open Time: 00:15:10"));
        QCOMPARE(TFormatRules::ElapsedText(opened, opened.addSecs(26 * 3600 + 61)), QStringLiteral("26:01:01"));
    }

    void shortcutHelp()
    {
        const QStringList lines = TFormatRules::ShortcutHelpText().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.first(), QStringLiteral("Short-Cut keys for the Editor."));
        QCOMPARE(lines.last(), QStringLiteral("Ctrl + Alt + T   -   Insert String Table"));
        QCOMPARE(lines.size(), 35);
    }
};

QTEST_GUILESS_MAIN(TestTFormatRules)
#include "tst_tformatrules.moc"
