#include "richtextproperties.h"
#include "rtfreader.h"
#include "rtfwriter.h"

#include <QBuffer>
#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QTextImageFormat>
#include "rtfpicture.h"
#include <QtTest>

class tst_RtfReader : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void charFormat_data();
    void charFormat();
    void runs_data();
    void runs();
    void blockFormat();
    void refused_data();
    void refused();
    void recovered_data();
    void recovered();
    void deepNesting();
    void hugeBin();
    void hyperlink();
    void roundTrip_data();
    void roundTrip();
    void insertAndRange();
    void bullets();
    void lists_data();
    void lists();
    void corpus_data();
    void corpus();
    void corpusContent_data();
    void corpusContent();
};

static QString plain(const QByteArray &rtf)
{
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(rtf, doc);
    // raw text keeps no-break spaces and line separators as they are
    return r.ok ? doc.toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'))
                : QStringLiteral("<error>");
}

void tst_RtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QByteArray("{\\rtf1\\ansi Hello}") << "Hello";
    QTest::newRow("par drops final empty") << QByteArray("{\\rtf1 a\\par b\\par }") << "a\nb";
    QTest::newRow("two pars keep empty") << QByteArray("{\\rtf1 a\\par \\par }") << "a\n";
    QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << "{x}\\";
    QTest::newRow("hex cp1252") << QByteArray("{\\rtf1\\ansi \\'93hi\\'94 \\'80}")
                                << QString::fromUtf8("\u201Chi\u201D \u20AC");
    QTest::newRow("ansicpg1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0}")
                                 << QString::fromUtf8("Пр");
    QTest::newRow("font charset wins") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0 \\'cf}")
                                       << QString::fromUtf8("П");
    QTest::newRow("cp932 double byte") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}")
                                       << QString::fromUtf8("あ");
    QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
    QTest::newRow("ansicpg936") << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3}") << QStringLiteral(u"\u4f60");
    QTest::newRow("ansicpg949") << QByteArray("{\\rtf1\\ansi\\ansicpg949 \\'c7\\'d1}") << QStringLiteral(u"\ud55c");
    QTest::newRow("ansicpg950") << QByteArray("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}") << QStringLiteral(u"\u4e2d");
    QTest::newRow("ansicpg1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'8a\\'e8}") << QStringLiteral(u"\u0160\u010d");
    QTest::newRow("ansicpg1253") << QByteArray("{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'e2}") << QStringLiteral(u"\u03b1\u03b2");
    QTest::newRow("ansicpg1254") << QByteArray("{\\rtf1\\ansi\\ansicpg1254 \\'fe\\'f0}") << QStringLiteral(u"\u015f\u011f");
    QTest::newRow("ansicpg1255") << QByteArray("{\\rtf1\\ansi\\ansicpg1255 \\'f9\\'ec}") << QStringLiteral(u"\u05e9\u05dc");
    QTest::newRow("ansicpg1256") << QByteArray("{\\rtf1\\ansi\\ansicpg1256 \\'c7\\'e1}") << QStringLiteral(u"\u0627\u0644");
    QTest::newRow("ansicpg1257") << QByteArray("{\\rtf1\\ansi\\ansicpg1257 \\'e0\\'f8}") << QStringLiteral(u"\u0105\u0173");
    QTest::newRow("ansicpg1258") << QByteArray("{\\rtf1\\ansi\\ansicpg1258 \\'d2\\'f5}") << QStringLiteral(u"\u0309\u01a1");
    QTest::newRow("ansicpg850") << QByteArray("{\\rtf1\\ansi\\ansicpg850 \\'82\\'9b}") << QStringLiteral(u"\u00e9\u00f8");
    QTest::newRow("ansicpg10000") << QByteArray("{\\rtf1\\ansi\\ansicpg10000 \\'87\\'8e}") << QStringLiteral(u"\u00e1\u00e9");
    QTest::newRow("fcharset 134 over ansicpg1252") << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0 \\'c4\\'e3}") << QStringLiteral(u"\u4f60");
    QTest::newRow("fcharset 161 greek") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset161 Arial Greek;}}\\f0 \\'e1{\\f1 \\'e1}}") << QStringLiteral(u"\u00e1\u03b1");
    QTest::newRow("fcharset 77 mac") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset77 Geneva;}}\\f0 \\'8e}") << QStringLiteral(u"\u00e9");
    QTest::newRow("pc 437") << QByteArray("{\\rtf1\\pc \\'f1}") << QString::fromUtf8("±");
    QTest::newRow("unicode skips fallback") << QByteArray("{\\rtf1 \\u8216\\'93x\\u945a}")
                                            << QString::fromUtf8("\u2018x\u03b1");
    QTest::newRow("uc2") << QByteArray("{\\rtf1 {\\uc2\\u228\\'E8a}b}") << QString::fromUtf8("äb");
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0 \\u8364 x}") << QString::fromUtf8("€x");
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\uc1\\u-10179?\\u-8694?}")
                                    << QString::fromUtf8("\U0001F60A");
    QTest::newRow("unpaired surrogate") << QByteArray("{\\rtf1\\uc0 \\u-10240 x}")
                                        << QString::fromUtf8("\uFFFDx");
    QTest::newRow("negative u") << QByteArray("{\\rtf1 \\u-3913?}") << QString(QChar(0xF0B7));
    QTest::newRow("specials") << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_}")
                              << QString::fromUtf8("\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u00AD\u2011");
    QTest::newRow("line tab") << QByteArray("{\\rtf1 a\\line b\\tab c}")
                              << (QStringLiteral("a") + QChar(QChar::LineSeparator) + "b\tc");
    QTest::newRow("tables keep text") << QByteArray("{\\rtf1 \\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row\\pard c}")
                                      << QStringLiteral("\uFDD0a\uFDD0b\uFDD1c");
    QTest::newRow("destinations hidden")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                      "{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}{\\header H}{\\footerl F}"
                      "{\\footnote N}{\\annotation A}{\\*\\unknown U}{\\*\\generator G;}"
                      "{\\pntext 1.\\tab}body}")
        << "body";
    QTest::newRow("unknown word keeps text") << QByteArray("{\\rtf1 {\\foo kept}}") << "kept";
    QTest::newRow("field result") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}}") << "3";
    QTest::newRow("upr ud") << QByteArray("{\\rtf1 {\\upr{ansi}{\\*\\ud{\\u945?}}}}")
                            << QString::fromUtf8("α");
    QTest::newRow("bin skipped") << QByteArray("{\\rtf1 a{\\*\\x\\bin3 }}}b}c}") << "ac";
    QTest::newRow("bin in body") << QByteArray("{\\rtf1 a\\bin2 xyb}") << "ab";
    QTest::newRow("minimal") << QByteArray("{\\rtf1foobar}") << "foobar";
}

void tst_RtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(plain(rtf), expected);
}

void tst_RtfReader::charFormat_data()
{
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<int>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("b") << QByteArray("\\b") << int(QTextFormat::FontWeight) << QVariant(int(QFont::Bold));
    QTest::newRow("i") << QByteArray("\\i") << int(QTextFormat::FontItalic) << QVariant(true);
    QTest::newRow("ul") << QByteArray("\\ul") << int(QTextFormat::TextUnderlineStyle) << QVariant(int(QTextCharFormat::SingleUnderline));
    QTest::newRow("ulwave") << QByteArray("\\ulwave") << int(QTextFormat::TextUnderlineStyle) << QVariant(int(QTextCharFormat::WaveUnderline));
    QTest::newRow("strike") << QByteArray("\\strike") << int(QTextFormat::FontStrikeOut) << QVariant(true);
    QTest::newRow("fs") << QByteArray("\\fs37") << int(QTextFormat::FontPointSize) << QVariant(18.5);
    QTest::newRow("super") << QByteArray("\\super") << int(QTextFormat::TextVerticalAlignment) << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("dn") << QByteArray("\\dn6") << int(QTextFormat::TextVerticalAlignment) << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("v") << QByteArray("\\v") << int(RichTextProperty::Hidden) << QVariant(true);
    QTest::newRow("protect") << QByteArray("\\protect") << int(RichTextProperty::Protected) << QVariant(true);
    QTest::newRow("disabled") << QByteArray("\\disabled") << int(RichTextProperty::Disabled) << QVariant(true);
    QTest::newRow("kerning") << QByteArray("\\kerning28") << int(RichTextProperty::KerningThreshold) << QVariant(14);
    QTest::newRow("expndtw") << QByteArray("\\expndtw-15") << int(RichTextProperty::Spacing) << QVariant(-15);
    QTest::newRow("charset") << QByteArray("\\f1") << int(RichTextProperty::Charset) << QVariant(238);
    QTest::newRow("font") << QByteArray("\\f1") << int(QTextFormat::FontFamilies) << QVariant(QStringList{"Courier New"});
    QTest::newRow("cf") << QByteArray("\\cf2") << int(QTextFormat::ForegroundBrush) << QVariant(QBrush(QColor(0, 0, 255)));
    QTest::newRow("highlight") << QByteArray("\\highlight1") << int(QTextFormat::BackgroundBrush) << QVariant(QBrush(QColor(255, 0, 0)));
}

void tst_RtfReader::charFormat()
{
    QFETCH(QByteArray, words);
    QFETCH(int, property);
    QFETCH(QVariant, value);
    const QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset238 Courier New;}}"
                           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                           "a{" + words + " X}b}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QTextCursor c(&doc);
    c.setPosition(2);
    QCOMPARE(c.charFormat().property(property), value);
    QCOMPARE(doc.toPlainText(), QStringLiteral("aXb"));
    // "b" follows the group, which restored the outer state
    c.setPosition(3);
    QVERIFY(c.charFormat().property(property) != value);
}

void tst_RtfReader::runs_data()
{
    // Each character of the text as b (bold), i (italic), x (both) or . (neither).
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    QTest::newRow("word inside text") << QByteArray("{\\rtf1 a\\b b\\b0 c}") << ".b.";
    QTest::newRow("alternating groups") << QByteArray("{\\rtf1 {\\b a}{\\i b}{\\b c}{\\i d}e}") << "bibi.";
    QTest::newRow("plain group goes on") << QByteArray("{\\rtf1 a{b}{\\b c}d}") << "..b.";
    QTest::newRow("group close ends word") << QByteArray("{\\rtf1 {\\b a\\i b}c}") << "bx.";
    QTest::newRow("plain resets") << QByteArray("{\\rtf1\\b a\\plain b}") << "b.";
    QTest::newRow("unicode in group") << QByteArray("{\\rtf1 a{\\b\\u8364?}b}") << ".b.";
    QTest::newRow("escape after word") << QByteArray("{\\rtf1 a{\\i\\'e9}\\emdash}") << ".i.";
    QTest::newRow("across paragraphs") << QByteArray("{\\rtf1 {\\b a\\par b}\\par c}") << "b\nb\n.";
}

void tst_RtfReader::runs()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QString got;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin())
            got += QLatin1Char('\n');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const bool bold = f.fontWeight() == QFont::Bold;
            const bool italic = f.fontItalic();
            got += QString(it.fragment().length(),
                           QLatin1Char(bold && italic ? 'x' : bold ? 'b' : italic ? 'i' : '.'));
        }
    }
    QCOMPARE(got, expected);
}

void tst_RtfReader::blockFormat()
{
    const QByteArray rtf = "{\\rtf1 \\pard\\qc\\fi-360\\li720\\ri100\\sb240\\sa120\\sl360\\slmult1"
                           "\\tqr\\tx2880\\keepn\\s2 a\\par\\pard\\sl-300\\slmult0 b\\par\\pard\\qj c\\page d}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QCOMPARE(doc.blockCount(), 4);
    const QTextBlockFormat a = doc.findBlockByNumber(0).blockFormat();
    QCOMPARE(a.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(a.textIndent(), -18.0);
    QCOMPARE(a.leftMargin(), 36.0);
    QCOMPARE(a.rightMargin(), 5.0);
    QCOMPARE(a.topMargin(), 12.0);
    QCOMPARE(a.bottomMargin(), 6.0);
    QCOMPARE(a.intProperty(RichTextProperty::LineSpacingRule), int(LineSpacing::OneAndHalf));
    QCOMPARE(a.tabPositions().size(), 1);
    QCOMPARE(a.tabPositions().first().position, 144.0);
    QCOMPARE(a.tabPositions().first().type, QTextOption::RightTab);
    QVERIFY(a.boolProperty(RichTextProperty::KeepWithNext));
    QCOMPARE(a.intProperty(RichTextProperty::StyleNumber), 2);
    const QTextBlockFormat b = doc.findBlockByNumber(1).blockFormat();
    QCOMPARE(b.intProperty(RichTextProperty::LineSpacingRule), int(LineSpacing::Exactly));
    QCOMPARE(b.intProperty(RichTextProperty::LineSpacingAmount), 300);
    QVERIFY(!b.boolProperty(RichTextProperty::KeepWithNext));
    QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    QVERIFY(doc.findBlockByNumber(3).blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
}

void tst_RtfReader::refused_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Just some text, not RTF.");
    QTest::newRow("spaces only") << QByteArray("   \n ");
}

void tst_RtfReader::refused()
{
    QFETCH(QByteArray, data);
    QTextDocument doc;
    doc.setPlainText("previous");
    const RtfReadResult r = RtfReader::read(data, doc);
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(doc.toPlainText(), QStringLiteral("previous"));
}

void tst_RtfReader::recovered_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("expected");
    QTest::newRow("junk before header") << QByteArray("/{\\rtf1 Hello}") << "Hello";
    QTest::newRow("trailing junk") << QByteArray("{\\rtf1 Hello}-") << "Hello";
    QTest::newRow("extra brace") << QByteArray("{\\rtf1 Hello}\n}") << "Hello";
    QTest::newRow("unclosed") << QByteArray("{\\rtf1 {\\b Hello") << "Hello";
    QTest::newRow("no rtf word") << QByteArray("{\\ansi Hello}") << "Hello";
}

void tst_RtfReader::recovered()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, expected);
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(data, doc);
    QVERIFY(r.ok);
    QVERIFY(!r.warnings.isEmpty());
    QCOMPARE(doc.toPlainText(), expected);
}

void tst_RtfReader::deepNesting()
{
    const int depth = 1000000;
    QByteArray rtf = "{\\rtf1 ";
    rtf += QByteArray(depth, '{');
    rtf += "\\b deep";
    rtf += QByteArray(depth, '}');
    rtf += " after}";
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(rtf, doc);
    QVERIFY(r.ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("deep after"));
}

void tst_RtfReader::hugeBin()
{
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read("{\\rtf1 a\\bin2000000000 xyz}", doc);
    QVERIFY(r.ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("a"));
    QVERIFY(RtfReader::read("{\\rtf1\\ansicpg-5 \\'e9}", doc).ok);
    QCOMPARE(doc.toPlainText(), QString::fromUtf8("é"));
}

void tst_RtfReader::hyperlink()
{
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 go {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/\"}}"
                            "{\\fldrslt{\\ul here}}} now}", doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("go here now"));
    QTextCursor c(&doc);
    c.setPosition(3); // the space before the link
    QVERIFY(!c.charFormat().isAnchor());
    c.setPosition(5);
    QVERIFY(c.charFormat().isAnchor());
    QCOMPARE(c.charFormat().anchorHref(), QStringLiteral("https://example.org/"));
    c.setPosition(8); // the space after it
    QVERIFY(!c.charFormat().isAnchor());

    // and back through the writer
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    QTextCursor d(&again);
    d.setPosition(6);
    QCOMPARE(d.charFormat().anchorHref(), QStringLiteral("https://example.org/"));
}

void tst_RtfReader::roundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::newRow("formats") << QByteArray(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset204 Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
        "\\pard\\qr\\li720\\fi-200\\sb100\\sa50\\sl-280\\slmult0\\keepn\\s3\\tqc\\tx1440 "
        "{\\b\\i\\ul\\cf1 bold}{\\f1\\fs30\\strike\\highlight2 \\'cf\\u1234?}{\\super x}{\\sub y}"
        "{\\v hid}{\\protect pro}{\\disabled dis}{\\kerning24 k}{\\expndtw40 e}{\\scaps s}\\par"
        "\\pard\\qj\\sl360\\slmult1 second\\tab t\\line l \\{\\}\\\\ \\~\\-\\_\\page third\\par\\par }");
    QTest::newRow("unicode") << QByteArray("{\\rtf1\\uc1 \\u-10179?\\u-8694? \\u8364? \\u20013?}");
}

static void compareDocuments(const QTextDocument &a, const QTextDocument &b)
{
    QCOMPARE(b.toPlainText(), a.toPlainText());
    QCOMPARE(b.blockCount(), a.blockCount());
    for (QTextBlock x = a.begin(), y = b.begin(); x.isValid() && y.isValid(); x = x.next(), y = y.next()) {
        QTextBlockFormat fx = x.blockFormat(), fy = y.blockFormat();
        QCOMPARE(fy.alignment() & Qt::AlignHorizontal_Mask, fx.alignment() & Qt::AlignHorizontal_Mask);
        for (int p : {int(QTextFormat::TextIndent), int(QTextFormat::BlockLeftMargin),
                      int(QTextFormat::BlockTopMargin), int(QTextFormat::BlockBottomMargin),
                      int(RichTextProperty::LineSpacingRule), int(RichTextProperty::LineSpacingAmount),
                      int(RichTextProperty::KeepWithNext), int(RichTextProperty::StyleNumber),
                      int(QTextFormat::PageBreakPolicy)})
            QCOMPARE(fy.property(p), fx.property(p));
        QCOMPARE(fy.tabPositions().size(), fx.tabPositions().size());
        for (int pos = x.position(); pos < x.position() + x.length() - 1; ++pos) {
            QTextCursor cx(const_cast<QTextDocument *>(&a)), cy(const_cast<QTextDocument *>(&b));
            cx.setPosition(pos + 1);
            cy.setPosition(pos + 1 - x.position() + y.position());
            const QTextCharFormat gx = cx.charFormat(), gy = cy.charFormat();
            for (int p : {int(QTextFormat::FontWeight), int(QTextFormat::FontItalic),
                          int(QTextFormat::TextUnderlineStyle), int(QTextFormat::FontStrikeOut),
                          int(QTextFormat::FontPointSize), int(QTextFormat::FontFamilies),
                          int(QTextFormat::ForegroundBrush), int(QTextFormat::BackgroundBrush),
                          int(QTextFormat::TextVerticalAlignment), int(QTextFormat::FontCapitalization),
                          int(RichTextProperty::Hidden), int(RichTextProperty::Protected),
                          int(RichTextProperty::Disabled), int(RichTextProperty::Charset),
                          int(RichTextProperty::KerningThreshold), int(RichTextProperty::Spacing)})
                if (gx.hasProperty(p) || (p != int(QTextFormat::FontFamilies) && p != int(RichTextProperty::Charset)))
                    QCOMPARE(gy.property(p), gx.property(p));
        }
    }
}

void tst_RtfReader::roundTrip()
{
    QFETCH(QByteArray, rtf);
    QTextDocument first;
    QVERIFY(RtfReader::read(rtf, first).ok);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(RtfWriter::write(first, buffer));
    const QByteArray written = buffer.data();
    QVERIFY(written.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    QTextDocument second;
    QVERIFY(RtfReader::read(written, second).ok);
    compareDocuments(first, second);
}

void tst_RtfReader::insertAndRange()
{
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("one two"));
    QTextCursor c(&doc);
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    QVERIFY(RtfReader::insert("{\\rtf1 {\\b 2}}", c).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("one 2"));
    c.setPosition(5);
    QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
    QVERIFY(!RtfReader::insert("not rtf", c).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("one 2"));

    QTextDocument two;
    two.setPlainText(QStringLiteral("alpha\nbeta gamma"));
    QTextDocument part;
    QVERIFY(RtfReader::read(RtfWriter::write(two, 2, 10), part).ok);
    QCOMPARE(part.toPlainText(), QStringLiteral("pha\nbeta"));
}

void tst_RtfReader::bullets()
{
    const QByteArray rtf = "{\\rtf1 {\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}one\\par"
                           "{\\pntext\\'b7\\tab}two\\par\\pard three\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QCOMPARE(doc.toPlainText(), QStringLiteral("one\ntwo\nthree"));
    QTextList *list = doc.begin().textList();
    QVERIFY(list);
    QCOMPARE(list->count(), 2);
    QVERIFY(doc.begin().next().textList() == list);
    QVERIFY(!doc.lastBlock().textList());

    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    QCOMPARE(again.toPlainText(), doc.toPlainText());
    QVERIFY(again.begin().textList());
    QCOMPARE(again.begin().textList()->count(), 2);
    QVERIFY(!again.lastBlock().textList());
}

// Each paragraph as its text, with its list label ("#1.", "#a." or "#*" for
// a bullet) and, below the first level, the level ("@2").
static QString listing(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QString item = b.text();
        if (QTextList *l = b.textList()) {
            const bool bullet = l->format().style() == QTextListFormat::ListDisc;
            item += QLatin1Char('#') + (bullet ? QStringLiteral("*") : l->itemText(b));
            if (l->format().indent() > 1)
                item += QStringLiteral("@%1").arg(l->format().indent());
        }
        out << item;
    }
    return out.join(QLatin1Char('|'));
}

void tst_RtfReader::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");
    const QByteArray table =
        "{\\*\\listtable{\\list\\listtemplateid7{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}\\listid100}"
        "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}}\\listid200}"
        "{\\list{\\listlevel\\levelnfc255{\\leveltext\\'00;}}\\listid300}}"
        "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
        "{\\listoverride\\listoverridecount0\\ls2\\listid200}{\\listoverride\\listid300\\ls3}}";
    QTest::newRow("numbers go on after other text")
        << "{\\rtf1" + table + "{\\listtext 1.\\tab}\\ls1 one\\par{\\listtext 2.\\tab}two\\par\\pard plain\\par"
                               "\\ls1{\\listtext 3.\\tab}three\\par}"
        << "one#1.|two#2.|plain|three#3.";
    QTest::newRow("second level letters")
        << "{\\rtf1" + table + "\\ls1 one\\par\\pard\\ls1\\ilvl1 sub\\par\\pard\\ls1\\ilvl1 sub\\par}"
        << "one#1.|sub#a.@2|sub#b.@2";
    QTest::newRow("bullets") << "{\\rtf1" + table + "\\ls2 a\\par b\\par}" << "a#*|b#*";
    QTest::newRow("no number format") << "{\\rtf1" + table + "\\ls3 a\\par}" << "a";
    QTest::newRow("no list table") << QByteArray("{\\rtf1 \\ls5 a\\par}") << "a#*";
    QTest::newRow("old-style numbers")
        << QByteArray("{\\rtf1 {\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}one\\par"
                      "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1{\\pntxta .}}two\\par"
                      "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}dot\\par}")
        << "one#1.|two#2.|dot#*";
    QTest::newRow("list in a table cell")
        << "{\\rtf1" + table + "\\trowd\\cellx2000\\pard\\intbl\\ls1 x\\par y\\cell\\row\\pard}"
        << "x#1.|y#2.|";
}

void tst_RtfReader::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QString got = listing(doc);
    got.remove(QChar(QChar::ObjectReplacementCharacter));
    // the table's cell boundaries are no paragraphs of their own here
    QCOMPARE(got.replace(QStringLiteral("||"), QStringLiteral("|")).remove(QRegularExpression(QStringLiteral("^\\|"))), expected);
    // written with a list table that Word and LibreOffice read, and read back the same
    const QByteArray written = RtfWriter::write(doc);
    if (expected.contains(QLatin1Char('#'))) {
        QVERIFY(written.contains("{\\*\\listtable"));
        QVERIFY(written.contains("\\ls1\\ilvl0"));
        QVERIFY(written.contains("{\\pntext "));
    }
    QTextDocument again;
    QVERIFY(RtfReader::read(written, again).ok);
    QCOMPARE(listing(again), listing(doc));
}

void tst_RtfReader::corpus_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(QStringLiteral(TESSARY_CORPUS_DIR "/rtf"));
    const QStringList files = dir.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString &f : files)
        QTest::newRow(qPrintable(f)) << dir.filePath(f);
}

void tst_RtfReader::corpus()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(file, doc);
    if (!r.ok) {
        QVERIFY(!r.error.isEmpty());
        QVERIFY(file.size() == 0);
        return;
    }
    const QString text = doc.toPlainText();
    QVERIFY2(!text.contains(QLatin1String("MUST NOT IMPORT")), "skipped \\bin data leaked");
    QVERIFY2(!text.contains(QLatin1String("Times New Roman;")), "the font table leaked");
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    QCOMPARE(again.toPlainText(), text);
}

namespace {
struct Content {
    QList<QByteArray> pictures; // kept bytes, or the image's size when none are kept
    QStringList tables;         // "rows x columns", nested ones with a leading "n"
    int rows = 0;
    int lists = 0;
};

void tablesOf(QTextFrame *frame, int depth, Content &c)
{
    for (QTextFrame *child : frame->childFrames()) {
        if (auto *t = qobject_cast<QTextTable *>(child)) {
            c.tables << QStringLiteral("%1%2x%3").arg(depth ? "n" : "").arg(t->rows()).arg(t->columns());
            c.rows += t->rows();
            tablesOf(child, depth + 1, c);
        } else {
            tablesOf(child, depth, c);
        }
    }
}

Content contentOf(const QTextDocument &doc)
{
    Content c;
    QSet<QTextList *> lists;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.textList())
            lists.insert(b.textList());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            QByteArray kept = RtfPicture::keptBytes(doc, f.toImageFormat());
            if (kept.isEmpty())
                kept = QByteArray::number(f.toImageFormat().width()) + "x" + QByteArray::number(f.toImageFormat().height());
            for (int i = 0; i < it.fragment().length(); ++i)
                c.pictures << kept;
        }
    }
    c.lists = int(lists.size());
    tablesOf(doc.rootFrame(), 0, c);
    return c;
}
} // namespace

// What the corpus files hold, counted in the files: pictures of the body
// (not those of headers, nor a shape's fallback picture), tables with the
// rows of their \row and \nestrow, nested tables, lists.
void tst_RtfReader::corpusContent_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("pictures");
    QTest::addColumn<int>("tables");
    QTest::addColumn<int>("nested");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("lists");
    QTest::newRow("Issue33") << "rtfpipe__Issue33" << 5 << 18 << 0 << 37 << 0;
    QTest::newRow("Issue37") << "rtfpipe__Issue37" << 2 << 0 << 0 << 0 << 0;
    QTest::newRow("Issue39 picture in header") << "rtfpipe__Issue39" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("Issue46 shapes") << "rtfpipe__Issue46" << 2 << 1 << 0 << 8 << 5;
    QTest::newRow("object picture") << "rtfpipe__PictureObjectEmbed2" << 1 << 0 << 0 << 0 << 0;
    QTest::newRow("images from strings") << "rtfpipe__phprtflite_image_from_strings" << 7 << 2 << 0 << 7 << 0;
    QTest::newRow("images") << "rtfpipe__phprtflite_images" << 11 << 2 << 0 << 8 << 0;
    QTest::newRow("Issue51 nested") << "rtfpipe__Issue51" << 0 << 32 << 8 << 82 + 56 << 0; // one more \\row is in a header
    QTest::newRow("Issue34 nested") << "rtfpipe__Issue34" << 0 << 3 << 2 << 2 + 3 << 0;
    QTest::newRow("nested report") << "rtfpipe__nested_table_report" << 0 << 2 << 1 << 7 + 2 << 0;
    QTest::newRow("nested tables") << "rtfpipe__phprtflite_nested_tables" << 0 << 5 << 4 << 1 + 5 << 0;
    QTest::newRow("merged cells") << "rtfpipe__merged_cells" << 0 << 1 << 0 << 5 << 0;
    QTest::newRow("tables from web") << "rtfpipe__rtf2xml_tables_from_web1" << 0 << 14 << 0 << 213 << 0;
    QTest::newRow("table with header") << "rtfpipe__rtf2xml_table_with_header" << 0 << 1 << 0 << 77 << 0;
    QTest::newRow("table in header") << "rtfpipe__phprtflite_table_in_header" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("Issue23") << "rtfpipe__Issue23" << 0 << 2 << 0 << 22 << 0;
    QTest::newRow("list word") << "rtfpipe__ListWord" << 0 << 0 << 0 << 0 << 2;
    QTest::newRow("list google") << "rtfpipe__ListGoogle" << 0 << 0 << 0 << 0 << 2;
    QTest::newRow("outline list") << "rtfpipe__rtf2xml_outline_list" << 0 << 0 << 0 << 0 << 3;
    QTest::newRow("list in table") << "rtfpipe__rtf2xml_list_in_table" << 0 << 1 << 0 << 2 << 2;
}

void tst_RtfReader::corpusContent()
{
    QFETCH(QString, file);
    QFETCH(int, pictures);
    QFETCH(int, tables);
    QFETCH(int, nested);
    QFETCH(int, rows);
    QFETCH(int, lists);
    QFile f(QStringLiteral(TESSARY_CORPUS_DIR "/rtf/") + file + QStringLiteral(".rtf"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTextDocument doc;
    QVERIFY(RtfReader::read(f.readAll(), doc).ok);
    const Content c = contentOf(doc);
    QCOMPARE(c.pictures.size(), pictures);
    QCOMPARE(c.tables.size(), tables);
    QCOMPARE(int(c.tables.filter(QRegularExpression(QStringLiteral("^n"))).size()), nested);
    QCOMPARE(c.rows, rows);
    QCOMPARE(c.lists, lists);
    // saved and opened again: the same text, the pictures byte for byte, the same table shapes
    QTextDocument again;
    QVERIFY(RtfReader::read(RtfWriter::write(doc), again).ok);
    const Content d = contentOf(again);
    QCOMPARE(again.toPlainText(), doc.toPlainText());
    QCOMPARE(d.pictures, c.pictures);
    QCOMPARE(d.tables, c.tables);
    QCOMPARE(d.lists, c.lists);
}

QTEST_MAIN(tst_RtfReader)
#include "tst_rtfreader.moc"
