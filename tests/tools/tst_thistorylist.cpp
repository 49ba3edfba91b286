#include "thistorylist.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(THistoryFilter)

class TstTHistoryList : public QObject {
    Q_OBJECT

    static THistoryList make(const QStringList &stored, THistoryFilter filter)
    {
        THistoryList list;
        list.SetEntries(stored);
        list.ApplyFilter(filter);
        return list;
    }

private slots:
    void recordOpened_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<THistoryFilter>("filter");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expectedStored");
        QTest::addColumn<QStringList>("expectedShown");
        QTest::addColumn<int>("expectedCurrent");

        const auto all = THistoryFilter::AllDocuments;
        QTest::newRow("first entry becomes current")
            << QStringList {} << all << -1 << "/d/a.rtf" << QStringList { "/d/a.rtf" }
            << QStringList { "/d/a.rtf" } << 0;
        QTest::newRow("new entry keeps the current one current")
            << QStringList { "/d/a.rtf", "/d/b.rtf" } << all << 1 << "/d/c.rtf"
            << QStringList { "/d/c.rtf", "/d/a.rtf", "/d/b.rtf" }
            << QStringList { "/d/c.rtf", "/d/a.rtf", "/d/b.rtf" } << 2;
        QTest::newRow("listed entry moves to the top, no growth")
            << QStringList { "/d/a.rtf", "/d/b.rtf", "/d/c.rtf" } << all << 0 << "/d/c.rtf"
            << QStringList { "/d/c.rtf", "/d/a.rtf", "/d/b.rtf" }
            << QStringList { "/d/c.rtf", "/d/a.rtf", "/d/b.rtf" } << 1;
        QTest::newRow("case differs: a new entry")
            << QStringList { "/d/a.rtf" } << all << 0 << "/d/A.rtf"
            << QStringList { "/d/A.rtf", "/d/a.rtf" } << QStringList { "/d/A.rtf", "/d/a.rtf" }
            << 1;
        // Under "Plain Text ANSI" the .rtf file is not shown, so it is inserted again.
        QTest::newRow("filtered out: stored twice")
            << QStringList { "/d/x.txt", "/d/a.rtf" } << THistoryFilter::PlainText << 0
            << "/d/a.rtf" << QStringList { "/d/a.rtf", "/d/x.txt", "/d/a.rtf" }
            << QStringList { "/d/a.rtf", "/d/x.txt" } << 1;
    }
    void recordOpened()
    {
        QFETCH(QStringList, stored);
        QFETCH(THistoryFilter, filter);
        QFETCH(int, current);
        QFETCH(QString, path);
        THistoryList list = make(stored, filter);
        QTEST(list.RecordOpened(path, current), "expectedCurrent");
        QTEST(list.Stored(), "expectedStored");
        QTEST(list.Shown(), "expectedShown");
        QCOMPARE(list.FirstShown(), list.Shown().value(0));
    }

    void openingTwiceLeavesOneEntry()
    {
        THistoryList list;
        int current = list.RecordOpened("/Docs/a.rtf", -1);
        current = list.RecordOpened("/Docs/b.rtf", current);
        list.RecordOpened("/Docs/a.rtf", current);
        QCOMPARE(list.Stored(), (QStringList { "/Docs/a.rtf", "/Docs/b.rtf" }));
    }

    void recordSaved_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<THistoryFilter>("filter");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("expectedStored");
        QTest::addColumn<QStringList>("expectedShown");

        QTest::newRow("new name goes to the top")
            << QStringList { "/d/a.rtf" } << THistoryFilter::AllDocuments << "/d/n.txt"
            << QStringList { "/d/n.txt", "/d/a.rtf" } << QStringList { "/d/n.txt", "/d/a.rtf" };
        QTest::newRow("listed name keeps its place")
            << QStringList { "/d/a.rtf", "/d/b.rtf" } << THistoryFilter::AllDocuments << "/d/b.rtf"
            << QStringList { "/d/a.rtf", "/d/b.rtf" } << QStringList { "/d/a.rtf", "/d/b.rtf" };
        QTest::newRow("stored but filtered out: nothing changes")
            << QStringList { "/d/x.txt", "/d/a.rtf" } << THistoryFilter::PlainText << "/d/a.rtf"
            << QStringList { "/d/x.txt", "/d/a.rtf" } << QStringList { "/d/x.txt" };
    }
    void recordSaved()
    {
        QFETCH(QStringList, stored);
        QFETCH(THistoryFilter, filter);
        QFETCH(QString, path);
        THistoryList list = make(stored, filter);
        list.RecordSaved(path, 0);
        QTEST(list.Stored(), "expectedStored");
        QTEST(list.Shown(), "expectedShown");
    }

    void filter_data()
    {
        QTest::addColumn<THistoryFilter>("filter");
        QTest::addColumn<QStringList>("expected");
        // Extensions are compared exactly: .RTF and .html belong to no filter but "all".
        QTest::newRow("all") << THistoryFilter::AllDocuments << entries();
        QTest::newRow("rtf") << THistoryFilter::RichText
                             << QStringList { "/d/a.rtf", "/x.y/c.tar.rtf" };
        QTest::newRow("rtc") << THistoryFilter::RichTextCompressed << QStringList { "/d/z.rtc" };
        QTest::newRow("doc") << THistoryFilter::WordDoc << QStringList { "/d/w.doc" };
        QTest::newRow("txt") << THistoryFilter::PlainText << QStringList { "/d/n.txt" };
        QTest::newRow("other") << THistoryFilter::OtherTypes
                               << QStringList { "/d/m.h", "/d/s.sql", "/d/p.pas", "/d/q.cpp",
                                      "/d/x.xml", "/d/o.htm" };
    }
    void filter()
    {
        QFETCH(THistoryFilter, filter);
        THistoryList list = make(entries(), THistoryFilter::PlainText);
        list.ApplyFilter(filter);
        QTEST(list.Shown(), "expected");
        QCOMPARE(list.Stored(), entries());
    }

    void pictureIndex_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("picture");
        QTest::newRow("rtf") << "/d/a.rtf" << 2;
        QTest::newRow("RTF in capitals") << "/d/a.RTF" << 1;
        QTest::newRow("doc") << "/d/a.doc" << 3;
        QTest::newRow("rtc") << "/d/a.rtc" << 6;
        QTest::newRow("txt") << "/d/a.txt" << 0;
        QTest::newRow("htm") << "/d/a.htm" << 4;
        QTest::newRow("html") << "/d/a.html" << 4;
        QTest::newRow("xml") << "/d/a.xml" << 4;
        QTest::newRow("sql") << "/d/a.sql" << 1;
        QTest::newRow("no extension, dotted folder") << "/d.rtf/readme" << 1;
    }
    void pictureIndex()
    {
        QFETCH(QString, path);
        QTEST(THistoryList::PictureIndex(path), "picture");
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::newRow("capitals find lower case") << "REPORT" << 1;
        QTest::newRow("folder is not searched") << "work" << -1;
        QTest::newRow("first of several") << ".rtf" << 0;
        QTest::newRow("no match") << "budget" << -1;
    }
    void search()
    {
        THistoryList list;
        list.SetEntries({ "/home/Work/notes.rtf", "/home/Work/Q1 report.rtf", "/home/report.txt" });
        QFETCH(QString, text);
        QTEST(list.Search(text), "row");
    }

    void remove_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("expectedStored");
        QTest::addColumn<QStringList>("expectedShown");
        QTest::newRow("two selected, one occurrence each")
            << QStringList { "/a.rtf", "/b.rtf", "/c.rtf", "/a.rtf", "/b.rtf" }
            << QList<int> { 1, 0 } << QStringList { "/c.rtf", "/a.rtf", "/b.rtf" }
            << QStringList { "/c.rtf", "/a.rtf", "/b.rtf" };
        QTest::newRow("last entry") << QStringList { "/a.rtf", "/b.rtf" } << QList<int> { 1 }
                                    << QStringList { "/a.rtf" } << QStringList { "/a.rtf" };
    }
    void remove()
    {
        THistoryList list;
        QFETCH(QStringList, stored);
        QFETCH(QList<int>, rows);
        list.SetEntries(stored);
        list.Remove(rows);
        QTEST(list.Stored(), "expectedStored");
        QTEST(list.Shown(), "expectedShown");
    }

    void moveToTopOnOpen()
    {
        THistoryList list = make({ "/a.txt", "/b.rtf", "/c.rtf" }, THistoryFilter::RichText);
        list.MoveToTop(1);
        QCOMPARE(list.Shown(), (QStringList { "/c.rtf", "/b.rtf" }));
        QCOMPARE(list.Stored(), (QStringList { "/c.rtf", "/a.txt", "/b.rtf" }));
    }

    void parseLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF, final ending") << "a\r\nb\r\n" << QStringList { "a", "b" };
        QTest::newRow("no final ending") << "a\r\nb" << QStringList { "a", "b" };
        QTest::newRow("LF and CR alone") << "a\nb\rc" << QStringList { "a", "b", "c" };
        QTest::newRow("empty line inside") << "a\r\n\r\nb\r\n" << QStringList { "a", "", "b" };
        QTest::newRow("LF CR is two endings") << "a\n\rb" << QStringList { "a", "", "b" };
        QTest::newRow("only an ending") << "\r\n" << QStringList { "" };
        QTest::newRow("empty file") << "" << QStringList {};
    }
    void parseLines()
    {
        QFETCH(QString, text);
        QTEST(THistoryList::ParseLines(text), "lines");
    }

    void fileRoundTrip()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath("sub/WrdFileList.dat");
        const QStringList entries { "/home/anna/Brief an Jürgen.rtf", "", "/tmp/x.txt" };
        QString error;
        QVERIFY2(THistoryList::WriteFile(name, entries, &error), qPrintable(error));
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
            QByteArray("/home/anna/Brief an J\xC3\xBCrgen.rtf\r\n\r\n/tmp/x.txt\r\n"));
        QStringList back;
        QVERIFY(THistoryList::ReadFile(name, &back));
        QCOMPARE(back, entries);
    }

    void missingFileIsNotRead()
    {
        QTemporaryDir dir;
        QStringList entries { "kept" };
        QVERIFY(!THistoryList::ReadFile(dir.filePath("WrdFileList.dat"), &entries));
        QCOMPARE(entries, QStringList { "kept" });
    }

    void writeFailureIsReported()
    {
        QTemporaryDir dir;
        // A folder in the way of the file: nothing can replace it.
        const QString blocked = dir.filePath("WrdFileList.dat");
        QVERIFY(QDir().mkpath(blocked));
        QString error;
        QVERIFY(!THistoryList::WriteFile(blocked, { "/new.rtf" }, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(blocked).isDir());
    }

private:
    static QStringList entries()
    {
        return { "/d/a.rtf", "/d/A.RTF", "/d/z.rtc", "/d/w.doc", "/d/n.txt", "/d/m.h", "/d/s.sql",
            "/d/p.pas", "/d/q.cpp", "/d/x.xml", "/d/o.htm", "/d/page.html", "/x.y/c.tar.rtf",
            "/x.rtf/noext" };
    }
};

QTEST_GUILESS_MAIN(TstTHistoryList)
#include "tst_thistorylist.moc"
