#include "rtfreader.h"
#include "rtfwriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QtTest>

// Tables in RTF: rows, cells, merges and nesting read into text tables and
// written back as RTF rows.
class tst_RtfTable : public QObject
{
    Q_OBJECT
private slots:
    void shapes_data();
    void shapes();
    void widthsShadingBorders();
    void hostile();
    void tooManyTables();
    void widthsFromTheWidestRow();
    void rangeInsideACell();
};

namespace {

QString describe(QTextFrame::iterator it);

// "T<rows>x<columns>(cell|cell;cell|cell)"; a cell spanning columns is marked
// "*n", spanning rows "^n"; paragraphs of a cell are joined with "/".
QString describeTable(QTextTable *t)
{
    QString out = QStringLiteral("T%1x%2(").arg(t->rows()).arg(t->columns());
    for (int r = 0; r < t->rows(); ++r) {
        if (r)
            out += QLatin1Char(';');
        bool firstCell = true;
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() != r || cell.column() != c)
                continue;
            if (!firstCell)
                out += QLatin1Char('|');
            firstCell = false;
            out += describe(cell.begin());
            if (cell.columnSpan() > 1)
                out += QStringLiteral("*%1").arg(cell.columnSpan());
            if (cell.rowSpan() > 1)
                out += QStringLiteral("^%1").arg(cell.rowSpan());
        }
    }
    return out + QLatin1Char(')');
}

QString describe(QTextFrame::iterator it)
{
    QStringList parts;
    for (; !it.atEnd(); ++it) {
        if (auto *t = qobject_cast<QTextTable *>(it.currentFrame()))
            parts << describeTable(t);
        else if (it.currentBlock().isValid() && !it.currentBlock().text().isEmpty())
            parts << it.currentBlock().text();
    }
    return parts.join(QLatin1Char('/'));
}

QString describe(const QTextDocument &doc) { return describe(doc.rootFrame()->begin()); }

QList<QTextTable *> tables(const QTextDocument &doc)
{
    QList<QTextTable *> out;
    for (QTextFrame *f : doc.rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f))
            out << t;
    return out;
}

} // namespace

void tst_RtfTable::shapes_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("shape");
    QTest::newRow("two by two")
        << QByteArray("{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard after\\par}")
        << "before/T2x2(a|b;c|d)/after";
    QTest::newRow("no row definition")
        << QByteArray("{\\rtf1 \\pard\\intbl a\\cell b\\cell c\\cell\\row\\pard z}") << "T1x3(a|b|c)/z";
    QTest::newRow("intbl persists to the next row")
        << QByteArray("{\\rtf1 \\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row c}") << "T2x2(a|b;c|)";
    QTest::newRow("cells without intbl inside a row")
        << QByteArray("{\\rtf1 \\trowd\\cellx100\\cellx200 a\\cell b\\cell\\row\\pard c}") << "T1x2(a|b)/c";
    QTest::newRow("more cells than defined")
        << QByteArray("{\\rtf1 \\trowd\\cellx100\\pard\\intbl a\\cell b\\cell\\row\\pard}") << "T1x2(a|b)";
    QTest::newRow("paragraphs in a cell")
        << QByteArray("{\\rtf1 \\trowd\\cellx1000\\pard\\intbl one\\par two\\cell\\row\\pard}") << "T1x1(one/two)";
    QTest::newRow("stray section break in a cell")
        << QByteArray("{\\rtf1 \\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\sectd\\sect b\\cell c\\cell\\row\\pard d}")
        << "T1x2(a/b|c)/d";
    QTest::newRow("horizontal merge")
        << QByteArray("{\\rtf1 \\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl ab\\cell\\cell c\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl d\\cell e\\cell f\\cell\\row\\pard}")
        << "T2x3(ab*2|c;d|e|f)";
    QTest::newRow("vertical merge")
        << QByteArray("{\\rtf1 \\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl v\\cell a\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell b\\cell\\row"
                      "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell c\\cell\\row"
                      "\\trowd\\cellx1000\\cellx2000\\pard\\intbl x\\cell d\\cell\\row\\pard}")
        << "T4x2(v^3|a;b;c;x|d)";
    QTest::newRow("nested")
        << QByteArray("{\\rtf1 \\trowd\\cellx3000\\cellx6000\\pard\\intbl a\\cell"
                      "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                      "\\pard\\intbl\\itap2 z\\nestcell w\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                      "\\pard\\intbl\\itap1 tail\\cell\\row\\pard end}")
        << "T1x2(a|T2x2(x|y;z|w)/tail)/end";
    QTest::newRow("two nested tables in one cell")
        << QByteArray("{\\rtf1 \\trowd\\cellx3000\\pard\\intbl\\itap2 x\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                      "{\\nonesttables\\par}\\pard\\intbl\\itap1 mid\\par"
                      "\\pard\\intbl\\itap2 p\\nestcell q\\nestcell{\\*\\nesttableprops\\trowd\\cellx500\\cellx1000\\nestrow}"
                      "{\\nonesttables\\par}\\pard\\intbl\\itap1 \\cell\\row\\pard}")
        << "T1x1(T1x1(x)/mid/T1x2(p|q))";
    QTest::newRow("three levels")
        << QByteArray("{\\rtf1 \\trowd\\cellx5000\\pard\\intbl\\itap3 deep\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}"
                      "\\pard\\intbl\\itap2 \\nestcell{\\*\\nesttableprops\\trowd\\cellx3000\\nestrow}\\pard\\intbl\\itap1 \\cell\\row\\pard}")
        << "T1x1(T1x1(T1x1(deep)))";
    QTest::newRow("empty paragraph before a table stays")
        << QByteArray("{\\rtf1 a\\par\\par\\trowd\\cellx1000\\pard\\intbl b\\cell\\row\\pard}") << "a/T1x1(b)";
    QTest::newRow("table first") << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl b\\cell\\row\\pard c\\par}") << "T1x1(b)/c";
    QTest::newRow("row definition repeated at the end")
        << QByteArray("{\\rtf1 \\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell"
                      "{\\trowd\\cellx1000\\cellx2000\\row}\\pard z}")
        << "T1x2(a|b)/z";
    QTest::newRow("nested cells without a row end") << QByteArray("{\\rtf1 \\pard\\intbl\\itap2 a\\nestcell b\\nestcell}")
                                                    << "T1x1(T1x2(a|b))";
    QTest::newRow("cell outside a table") << QByteArray("{\\rtf1 a\\cell b}") << "a\tb";
}

void tst_RtfTable::shapes()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, shape);
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    QCOMPARE(describe(doc), shape);
    // written back as RTF tables of the same shape
    const QByteArray written = RtfWriter::write(doc);
    QTextDocument again;
    QVERIFY(RtfReader::read(written, again).ok);
    QCOMPARE(describe(again), shape);
    QCOMPARE(again.toPlainText(), doc.toPlainText());
    QCOMPARE(RtfWriter::write(again), written);
}

void tst_RtfTable::widthsShadingBorders()
{
    const QByteArray rtf = "{\\rtf1{\\colortbl;\\red255\\green255\\blue0;}"
                           "\\trowd\\trgaph108\\clcbpat1\\clbrdrt\\brdrs\\cellx1440\\cellx4320"
                           "\\pard\\intbl a\\cell b\\cell\\row\\pard}";
    QTextDocument first, second;
    QVERIFY(RtfReader::read(rtf, first).ok);
    QVERIFY(RtfReader::read(RtfWriter::write(first), second).ok);
    for (const QTextDocument *doc : {&first, &second}) {
        const QList<QTextTable *> ts = tables(*doc);
        QCOMPARE(ts.size(), 1);
        const QTextTableFormat f = ts[0]->format();
        const QList<QTextLength> widths = f.columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0].rawValue(), 1440 / 15.0);
        QCOMPARE(widths[1].rawValue(), 2880 / 15.0);
        QVERIFY(f.border() > 0);
        QCOMPARE(ts[0]->cellAt(0, 0).format().background().color(), QColor(255, 255, 0));
        QCOMPARE(ts[0]->cellAt(0, 1).format().background().style(), Qt::NoBrush);
    }
}

void tst_RtfTable::widthsFromTheWidestRow()
{
    // a heading row of one cell over a row of three: the widths come from the row of three
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 \\trowd\\cellx4500\\pard\\intbl head\\cell\\row"
                            "\\trowd\\cellx1500\\cellx3000\\cellx4500\\pard\\intbl a\\cell b\\cell c\\cell\\row\\pard}", doc).ok);
    const QList<QTextTable *> ts = tables(doc);
    QCOMPARE(ts.size(), 1);
    QCOMPARE(ts[0]->columns(), 3);
    const QList<QTextLength> widths = ts[0]->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    for (const QTextLength &w : widths)
        QCOMPARE(w.rawValue(), 100.0);
    // and the heading spans them
    QCOMPARE(describe(doc), QStringLiteral("T2x3(head*3;a|b|c)"));
}

void tst_RtfTable::hostile()
{
    // deep \itap, thousands of empty rows and cells, more cells than a row may have
    QByteArray rtf = "{\\rtf1 \\pard\\intbl\\itap100000 x\\nestcell";
    for (int i = 0; i < 5000; ++i)
        rtf += "\\pard\\intbl\\cell\\cell\\row";
    rtf += "\\trowd";
    for (int i = 0; i < 500; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 10 + 10);
    for (int i = 0; i < 500; ++i)
        rtf += "\\pard\\intbl c\\cell";
    rtf += "\\row}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, doc).ok);
    for (QTextTable *t : tables(doc))
        QVERIFY(t->columns() <= 64);
    QVERIFY(doc.toPlainText().contains(QLatin1Char('x')));
}

void tst_RtfTable::tooManyTables()
{
    // every repeat makes a new table of 64 cells: past the read's limit the
    // paragraphs are read as plain text, with a warning
    QByteArray rtf = "{\\rtf1 \\trowd";
    for (int i = 0; i < 64; ++i)
        rtf += "\\cellx" + QByteArray::number(i * 10 + 10);
    rtf += "\\pard\\intbl a\\cell\\row";
    const int repeats = 2500;
    for (int i = 0; i < repeats; ++i)
        rtf += "\\pard\\intbl x\\par\\pard y\\par";
    rtf += "\\pard\\intbl last\\cell\\row\\pard end}";
    QTextDocument doc;
    const RtfReadResult r = RtfReader::read(rtf, doc);
    QVERIFY(r.ok);
    QVERIFY(!r.warnings.isEmpty());
    const QList<QTextTable *> made = tables(doc);
    QVERIFY(made.size() > 1);
    QVERIFY(made.size() < repeats);
    const QString text = doc.toPlainText();
    QCOMPARE(text.count(QLatin1Char('x')), repeats);
    QVERIFY(text.contains(QStringLiteral("last")));
    QVERIFY(text.endsWith(QStringLiteral("end")));
}

void tst_RtfTable::rangeInsideACell()
{
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 x\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl alpha\\cell {\\b beta} gamma\\cell\\row\\pard y}", doc).ok);
    const int at = doc.toPlainText().indexOf(QLatin1String("beta"));
    QVERIFY(at > 0);
    // a copied word of a cell is that word, not the table around it
    QTextDocument part;
    QVERIFY(RtfReader::read(RtfWriter::write(doc, at, at + 4), part).ok);
    QCOMPARE(describe(part), QStringLiteral("beta"));
    QTextCursor c(&part);
    c.setPosition(1);
    QCOMPARE(c.charFormat().fontWeight(), int(QFont::Bold));
    // a range from the text before into the table takes the whole table
    QTextDocument whole;
    QVERIFY(RtfReader::read(RtfWriter::write(doc, 0, at + 2), whole).ok);
    QCOMPARE(describe(whole), QStringLiteral("x/T1x2(alpha|beta gamma)"));
}

QTEST_MAIN(tst_RtfTable)
#include "tst_rtftable.moc"
