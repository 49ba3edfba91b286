#include "thistoryform.h"
#include "thistoryitemdelegate.h"
#include "tinputbox.h"
#include "tmessagebox.h"

#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString Moved = QStringLiteral("Document does not exist or has been moved.");
const QString MovedRemove
    = Moved + QStringLiteral("\n\nPlease remove this listing from document history.");

// Answers message and input boxes instead of a user and records what was asked.
struct Answers {
    QMessageBox::StandardButton button = QMessageBox::Yes;
    QStringList messages;
    bool inputOk = true;
    QString input;
    QStringList inputTitles;

    Answers()
    {
        TMessageBox::setHandler(
            [this](TMessageBox::Kind, const QString &text, QMessageBox::StandardButtons) {
                messages << text;
                return button;
            });
        TInputBox::setHandler([this](TInputBox::Request &r) {
            inputTitles << r.title + '|' + r.prompt + '|' + r.text;
            r.text = input;
            return inputOk;
        });
    }
    ~Answers()
    {
        TMessageBox::setHandler({});
        TInputBox::setHandler({});
    }
};
} // namespace

class TstTHistoryForm : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_existing; // a document that exists
    QString m_existingTxt;
    QString m_missing; // one that does not

    QString listFile() const { return m_dir.filePath("WrdFileList.dat"); }
    void writeList(const QByteArray &bytes)
    {
        QFile f(listFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QListWidget *list(THistoryForm &form)
    {
        return form.findChild<QListWidget *>("ListBox1");
    }
    static void select(THistoryForm &form, const QList<int> &rows)
    {
        QListWidget *l = list(form);
        l->clearSelection();
        l->setCurrentRow(rows.isEmpty() ? -1 : rows.first(), QItemSelectionModel::NoUpdate);
        for (int r : rows)
            l->item(r)->setSelected(true);
    }
    // Three entries: an existing RTF file, a missing one, an existing text file.
    void writeThree()
    {
        writeList((m_existing + "\r\n" + m_missing + "\r\n" + m_existingTxt + "\r\n").toUtf8());
    }

private slots:
    void initTestCase()
    {
        m_existing = m_dir.filePath("Q1 report.rtf");
        m_existingTxt = m_dir.filePath("notes.txt");
        m_missing = m_dir.filePath("gone.rtf");
        for (const QString &p : { m_existing, m_existingTxt }) {
            QFile f(p);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("{\\rtf1 x}");
        }
    }
    void init() { QFile::remove(listFile()); }

    void firstRunWithoutListFile()
    {
        Answers answers;
        {
            THistoryForm form(nullptr, listFile());
            QCOMPARE(answers.messages, QStringList { "File not Found!" });
            QVERIFY(form.StoredList().isEmpty());
            QVERIFY(form.ShownIsEmpty());
        }
        QVERIFY(QFile::exists(listFile()));
        QCOMPARE(read(listFile()), QByteArray());
    }

    // A list that is there but cannot be read is not replaced by an empty one.
    void unreadableListFileIsKept()
    {
        QVERIFY(QDir().mkpath(listFile())); // a folder where the file should be
        Answers answers;
        {
            THistoryForm form(nullptr, listFile());
            QCOMPARE(answers.messages.size(), 1);
            QVERIFY(answers.messages[0].contains("cannot be read and is left unchanged"));
            form.RecordOpenedFile("/d/a.rtf");
        }
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(QFileInfo(listFile()).isDir());
        QVERIFY(QDir().rmdir(listFile()));
    }

    void failedWriteAtEndIsReported()
    {
        const QString blocker = m_dir.filePath("blocker");
        {
            QFile f(blocker);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        Answers answers;
        {
            THistoryForm form(nullptr, blocker + "/WrdFileList.dat");
            form.RecordOpenedFile("/d/a.rtf");
        }
        QCOMPARE(answers.messages.size(), 2);
        QCOMPARE(answers.messages[0], QStringLiteral("File not Found!"));
        QVERIFY(answers.messages[1].startsWith("The document history could not be saved"));
    }

    // The stored list is written at the end, not what a filter shows.
    void listReadAtStartWrittenAtEnd()
    {
        Answers answers;
        writeList("/d/a.rtf\r\n/d/b.txt\n");
        {
            THistoryForm form(nullptr, listFile());
            QVERIFY(answers.messages.isEmpty());
            QCOMPARE(form.StoredList(), (QStringList { "/d/a.rtf", "/d/b.txt" }));
            form.RecordOpenedFile("/d/c.rtf");
            form.RecordSavedFile("/d/a.rtf");
            form.FilterClick(THistoryFilter::PlainText);
            QCOMPARE(form.ShownList(), QStringList { "/d/b.txt" });
            QCOMPARE(form.FirstShownEntry(), QStringLiteral("/d/b.txt"));
        }
        QCOMPARE(read(listFile()), QByteArray("/d/c.rtf\r\n/d/a.rtf\r\n/d/b.txt\r\n"));
    }

    void messages_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("open, nothing selected")
            << "open none" << QStringList { "Please select only one document to open." };
        QTest::newRow("open, two selected")
            << "open two" << QStringList { "Please select only one document to open." };
        QTest::newRow("open a missing file") << "open missing" << QStringList { Moved };
        QTest::newRow("loading fails") << "open fails" << QStringList { Moved };
        QTest::newRow("Enter without current")
            << "enter none" << QStringList { "Please make a selection first." };
        QTest::newRow("search, empty answer")
            << "search empty"
            << QStringList { "Please enter a valid document name to search for." };
        QTest::newRow("search cancelled") << "search cancel" << QStringList {};
        QTest::newRow("filter onto a missing file")
            << "filter missing" << QStringList { MovedRemove };
        QTest::newRow("filter onto an existing file") << "filter existing" << QStringList {};
        QTest::newRow("click on a missing entry") << "click missing" << QStringList { MovedRemove };
        QTest::newRow("shown on a missing entry") << "show missing" << QStringList { MovedRemove };
    }
    void messages()
    {
        QFETCH(QString, action);
        writeThree();
        Answers answers;
        THistoryForm form(nullptr, listFile());
        form.SetOpener([](const QString &) { return false; });
        if (action == "open none") {
            select(form, {});
            form.btnOpenClick();
        } else if (action == "open two") {
            select(form, { 0, 2 });
            form.btnOpenClick();
        } else if (action == "open missing") {
            select(form, { 1 });
            form.btnOpenClick();
        } else if (action == "open fails") {
            select(form, { 0 });
            form.btnOpenClick();
        } else if (action == "enter none") {
            select(form, {});
            QTest::keyClick(list(form), Qt::Key_Return);
        } else if (action == "search empty") {
            answers.input.clear();
            form.btnSearchClick();
        } else if (action == "search cancel") {
            answers.inputOk = false;
            form.btnSearchClick();
        } else if (action == "filter missing") {
            form.RecordOpenedFile(m_missing); // to the top: first of the .rtf entries
            form.FilterClick(THistoryFilter::RichText);
        } else if (action == "filter existing") {
            form.FilterClick(THistoryFilter::PlainText);
        } else if (action == "click missing") {
            select(form, { 1 });
            form.ListBox1Click();
        } else if (action == "show missing") {
            form.RecordOpenedFile(m_missing);
            form.show();
            QTRY_COMPARE(answers.messages.size(), 1);
            form.hide();
        }
        QTEST(answers.messages, "expected");
    }

    void openMovesEntryToTop()
    {
        writeThree();
        Answers answers;
        THistoryForm form(nullptr, listFile());
        form.FilterClick(THistoryFilter::AllDocuments);
        QStringList opened;
        form.SetOpener([&](const QString &path) {
            opened << path;
            return true;
        });
        form.show();
        select(form, { 2 });
        QTest::keyClick(list(form), Qt::Key_Return);
        QCOMPARE(opened, QStringList { m_existingTxt });
        QVERIFY(!form.isVisible());
        QCOMPARE(form.ShownList(), (QStringList { m_existingTxt, m_existing, m_missing }));
        QCOMPARE(form.StoredList(), form.ShownList());
        QCOMPARE(answers.messages, QStringList {});
    }

    void remove_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringList { m_missing };
        QTest::newRow("no") << int(QMessageBox::No)
                            << QStringList { m_existing, m_missing, m_existingTxt };
    }
    void remove()
    {
        writeThree();
        Answers answers;
        QFETCH(int, answer);
        answers.button = QMessageBox::StandardButton(answer);
        THistoryForm form(nullptr, listFile());
        select(form, { 0, 2 });
        form.btnRemoveClick();
        QCOMPARE(answers.messages, QStringList { "Remove Selected Document(s)?" });
        QTEST(form.StoredList(), "expected");
        QCOMPARE(form.ShownList(), form.StoredList());
        QCOMPARE(list(form)->count(), form.ShownList().size());
    }

    void clear()
    {
        writeThree();
        Answers answers;
        THistoryForm form(nullptr, listFile());
        answers.button = QMessageBox::No;
        form.btnClearClick();
        QCOMPARE(form.StoredList().size(), 3);
        answers.button = QMessageBox::Yes;
        form.btnClearClick();
        QCOMPARE(answers.messages, (QStringList { "Clear All of List?", "Clear All of List?" }));
        QVERIFY(form.StoredList().isEmpty());
        QCOMPARE(list(form)->count(), 0);
    }

    void searchSelectsTheFirstMatch()
    {
        writeThree();
        Answers answers;
        THistoryForm form(nullptr, listFile());
        select(form, { 2 });
        answers.input = "REPORT";
        form.btnSearchClick();
        QCOMPARE(answers.inputTitles,
            QStringList {
                "Search for a Document|Enter a document name to search for:|Document Name" });
        QCOMPARE(list(form)->currentRow(), 0);
        QVERIFY(list(form)->item(0)->isSelected());
        QVERIFY(!list(form)->item(2)->isSelected());
    }

    void rowDrawing()
    {
        writeThree();
        Answers answers;
        THistoryForm form(nullptr, listFile());
        form.show();
        select(form, { 1 });
        const QImage image = list(form)->viewport()->grab().toImage();
        const QRect selected = list(form)->visualItemRect(list(form)->item(1));
        const QRect plain = list(form)->visualItemRect(list(form)->item(0));
        QCOMPARE(selected.height(), THistoryItemDelegate::RowHeight);
        // Warm gradient: light at the top, the third stop at the bottom line.
        QCOMPARE(image.pixelColor(selected.left() + 36, selected.top() + 3), QColor(255, 245, 221));
        QCOMPARE(image.pixelColor(selected.left() + 36, selected.bottom() - 1).blue() < 120, true);
        QCOMPARE(image.pixelColor(plain.left() + 36, plain.top() + 3), QColor(Qt::white));
    }

    void pathEllipsis_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("width"); // in characters of the fixed-pitch test font
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << "/home/a/b.rtf" << 20 << "/home/a/b.rtf";
        QTest::newRow("folders shortened")
            << "/home/anna/letters/2026/b.rtf" << 16 << "/home/a.../b.rtf";
        QTest::newRow("long file name") << "/a/averyveryverylongname.rtf" << 10 << "";
    }
    void pathEllipsis()
    {
        QFETCH(QString, path);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QFont font(QStringLiteral("Liberation Mono"));
        font.setPixelSize(16);
        const QFontMetrics metrics(font);
        const int pixels = width * metrics.horizontalAdvance(QLatin1Char('x'));
        const QString shown = THistoryItemDelegate::PathEllipsis(path, metrics, pixels);
        QVERIFY(metrics.horizontalAdvance(shown) <= pixels);
        if (!expected.isEmpty())
            QCOMPARE(shown, expected);
        else
            QVERIFY(shown.contains(QChar(0x2026)) && shown.endsWith("rtf"));
    }
};

QTEST_MAIN(TstTHistoryForm)
#include "tst_thistoryform.moc"
