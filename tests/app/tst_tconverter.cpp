#include "tconverter.h"
#include "tdocumentfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

class TestTConverter : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static int run(const QStringList &args, QString *message = nullptr)
    {
        QString text;
        QTextStream err(&text);
        const int code = TConverter::run(args, err);
        err.flush();
        if (message)
            *message = text;
        return code;
    }

private slots:
    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("one file") << QStringList{"a.rtf"};
        QTest::newRow("three files") << QStringList{"a", "b", "c"};
        QTest::newRow("--to without value") << QStringList{"a.rtf", "b.rtf", "--to"};
        QTest::newRow("unknown format") << QStringList{"--to", "docx", "a.rtf", "b.docx"};
        QTest::newRow("unknown option") << QStringList{"--fast", "a.rtf", "b.rtf"};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        QString message;
        QCOMPARE(run(args, &message), 2);
        QVERIFY(!message.trimmed().isEmpty());
        QCOMPARE(message.trimmed().count('\n'), 0);
    }

    void ioErrors()
    {
        QString message;
        QCOMPARE(run({m_dir.filePath("missing.rtf"), m_dir.filePath("out.rtf")}, &message), 1);
        QVERIFY(message.contains("missing.rtf"));
        const QString in = write("in.txt", "hello");
        QCOMPARE(run({in, in + "/cannot/out.rtf"}, &message), 1);
        QVERIFY(message.contains("cannot write"));
        const QString corrupt = write("corrupt.rtc", "not a zlib stream");
        QCOMPARE(run({corrupt, m_dir.filePath("x.rtf")}, &message), 1);
        QVERIFY(!QFile::exists(m_dir.filePath("x.rtf")));
    }

    void conversions()
    {
        const QString in = write("story.txt", "Once upon a time\nthe end");
        // Extension decides without --to.
        const QString rtf = m_dir.filePath("story.rtf");
        QCOMPARE(run({in, rtf}), 0);
        QVERIFY(read(rtf).startsWith("{\\rtf"));
        const QString rtc = m_dir.filePath("story.rtc");
        QCOMPARE(run({rtf, rtc}), 0);
        QByteArray inflated;
        QString error;
        QVERIFY(TDocumentFile::decompress(read(rtc), &inflated, &error));
        QVERIFY(inflated.startsWith("{\\rtf"));
        // --to overrides the extension.
        const QString utf16 = m_dir.filePath("story.out");
        QCOMPARE(run({"--to", "utf16", rtc, utf16}), 0);
        QVERIFY(read(utf16).startsWith("\xFF\xFE"));
        const QString back = m_dir.filePath("back.txt");
        QCOMPARE(run({"--to", "txt", rtc, back}), 0);
        QCOMPARE(read(back), QByteArray("Once upon a time\nthe end"));
    }
};

QTEST_MAIN(TestTConverter)
#include "tst_tconverter.moc"
