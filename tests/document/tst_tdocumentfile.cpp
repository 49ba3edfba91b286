#include "tdocumentfile.h"
#include "trichedit.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(DocumentKind)

class TestTDocumentFile : public QObject
{
    Q_OBJECT
private slots:
    void kinds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<DocumentKind>("load");
        QTest::addColumn<DocumentKind>("save");
        QTest::newRow("rtf") << "/d/Report.rtf" << 1 << DocumentKind::Rtf << DocumentKind::Rtf;
        QTest::newRow("doc is rtf") << "/d/old.doc" << 3 << DocumentKind::Rtf << DocumentKind::Rtf;
        QTest::newRow("unknown extension") << "/d/file.xyz" << 13 << DocumentKind::Rtf << DocumentKind::Rtf;
        QTest::newRow("no extension") << "/d.x/README" << 13 << DocumentKind::Rtf << DocumentKind::Rtf;
        QTest::newRow("rtc") << "/d/a.rtc" << 2 << DocumentKind::Compressed << DocumentKind::Compressed;
        QTest::newRow("RTC upper is plain rtf") << "/d/a.RTC" << 1 << DocumentKind::Rtf << DocumentKind::Rtf;
        QTest::newRow("template") << "/d/t.mvt" << 4 << DocumentKind::Template << DocumentKind::Template;
        QTest::newRow("txt") << "/d/n.txt" << 6 << DocumentKind::PlainAnsi << DocumentKind::PlainAnsi;
        // Loading compares the plain-text group in lower case, saving as written.
        QTest::newRow("Notes.TXT") << "/d/Notes.TXT" << 1 << DocumentKind::PlainAnsi << DocumentKind::Rtf;
        QTest::newRow("cpp") << "/d/main.cpp" << 8 << DocumentKind::PlainAnsi << DocumentKind::PlainAnsi;
        QTest::newRow("html") << "/d/p.html" << 11 << DocumentKind::PlainAnsi << DocumentKind::PlainAnsi;
        QTest::newRow("unicode filter wins") << "/d/u.rtf" << 5 << DocumentKind::Rtf << DocumentKind::PlainUtf16;
    }
    void kinds()
    {
        QFETCH(QString, path);
        QFETCH(int, filterIndex);
        QFETCH(DocumentKind, load);
        QFETCH(DocumentKind, save);
        QCOMPARE(TDocumentFile::kindForLoad(path), load);
        QCOMPARE(TDocumentFile::kindForSave(path, filterIndex), save);
    }

    void compressedIsZlibStreamAndRoundTrips()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("doc.rtc");
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("Compressed text\nsecond line \u00e9\u4e2d"));
        QString error;
        QVERIFY2(TDocumentFile::save(editor, path, DocumentKind::Compressed, &error), qPrintable(error));

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray stored = f.readAll();
        // RFC 1950 header: deflate with a 32K window, level 1 ("fastest").
        QCOMPARE(quint8(stored[0]), quint8(0x78));
        QCOMPARE(quint8(stored[1]), quint8(0x01));
        QByteArray inflated;
        QVERIFY(TDocumentFile::decompress(stored, &inflated, &error));
        QVERIFY(inflated.startsWith("{\\rtf"));

        TRichEditor reopened;
        QVERIFY2(TDocumentFile::load(reopened, path, DocumentKind::Compressed, &error), qPrintable(error));
        QCOMPARE(reopened.Text(), editor.Text());
    }

    void damagedInputKeepsContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = TDocumentFile::compress("{\\rtf1 hello}");
        QTest::newRow("garbage") << QByteArray("this is not zlib at all");
        QTest::newRow("truncated") << good.left(good.size() / 2);
        QTest::newRow("empty") << QByteArray();
        QByteArray flipped = good;
        flipped[flipped.size() - 1] = char(flipped[flipped.size() - 1] ^ 0x55); // checksum
        QTest::newRow("bad checksum") << flipped;
    }
    void damagedInputKeepsContent()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("bad.rtc");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();

        TRichEditor editor;
        editor.setPlainText(QStringLiteral("previous content"));
        QString error;
        QVERIFY(!TDocumentFile::load(editor, path, DocumentKind::Compressed, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(editor.Text(), QStringLiteral("previous content"));
    }

    void missingFileFailsWithReason()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("kept"));
        QString error;
        QVERIFY(!TDocumentFile::load(editor, QStringLiteral("/nonexistent/x.rtf"), DocumentKind::Rtf, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(editor.Text(), QStringLiteral("kept"));
    }

    void failedSaveIsReported()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath("plain-file");
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("text"));
        QString error;
        // A folder that cannot exist (its parent is a file): even root cannot write there.
        QVERIFY(!TDocumentFile::save(editor, blocker + "/doc.rtf", DocumentKind::Rtf, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!TDocumentFile::save(editor, blocker + "/doc.rtc", DocumentKind::Compressed, &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"plain-file"});
    }

    void plainTextEncodings()
    {
        QTemporaryDir dir;
        TRichEditor editor;
        const QString text = QStringLiteral("Stra\u00dfe \u20ac \U0001F600\nline two");
        editor.setPlainText(text);
        QString error;
        const QString unicode = dir.filePath("u.txt");
        QVERIFY(TDocumentFile::save(editor, unicode, DocumentKind::PlainUtf16, &error));
        const QString ansi = dir.filePath("a.txt");
        QVERIFY(TDocumentFile::save(editor, ansi, DocumentKind::PlainAnsi, &error));
        for (const QString &path : {unicode, ansi}) {
            TRichEditor reopened;
            QVERIFY(TDocumentFile::load(reopened, path, TDocumentFile::kindForLoad(path), &error));
            QCOMPARE(reopened.Text(), text);
        }
    }
};

QTEST_MAIN(TestTDocumentFile)
#include "tst_tdocumentfile.moc"
