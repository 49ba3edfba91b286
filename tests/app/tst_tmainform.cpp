#include "tfiledialog.h"
#include "thistoryform.h"
#include "tmainform.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "trichedit.h"
#include "tdocumentfile.h"
#include "ttextattributes.h"

#include <QListWidget>
#include <QMenu>
#include <QToolButton>

#include <QFile>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

// Answers message boxes and file dialogs instead of a user and records what was asked.
struct Answers {
    QMessageBox::StandardButton button = QMessageBox::Ok;
    QStringList messages;
    QString savePath;
    int saveFilter = 1;
    QStringList suggested;
    int dialogs = 0;

    void install()
    {
        TMessageBox::setHandler([this](TMessageBox::Kind, const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return button;
        });
        TFileDialog::setHandler([this](TFileDialog::Request &r) {
            ++dialogs;
            suggested << r.suggestedPath;
            r.filterIndex = saveFilter;
            return savePath;
        });
    }
    ~Answers()
    {
        TMessageBox::setHandler({});
        TFileDialog::setHandler({});
    }
};

class TestTMainForm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static void startFrame(TMainForm &frame, const QString &file = {})
    {
        if (!file.isEmpty())
            frame.SetCommandLineFile(file);
        frame.show();
        QTRY_COMPARE(frame.DocumentCount(), 1);
        QVERIFY(frame.ActiveDocument());
    }
    QString writeFile(const QString &name, const QByteArray &bytes)
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
    static void type(TMDIChild *doc, const QString &text)
    {
        doc->Editor->setFocus();
        QTest::keyClicks(doc->Editor, text);
    }

private slots:
    // Every frame starts with an empty document history of its own.
    void init()
    {
        const QString list = m_dir.filePath("WrdFileList.dat");
        writeFile("WrdFileList.dat", {});
        THistoryForm::SetListFilePath(list);
    }

    void missingCommandLineFileGivesNewDocument()
    {
        Answers answers;
        answers.install();
        TMainForm frame;
        startFrame(frame, m_dir.filePath("does-not-exist.rtf"));
        QCOMPARE(frame.ActiveDocument()->DocumentName(), QStringLiteral("New Document"));
        QCOMPARE(frame.CurrentFileName(), QStringLiteral("New Document"));
        QCOMPARE(frame.findChild<QTabBar *>("mdiChildrenTabs")->tabText(0), QStringLiteral("New Document"));
        QVERIFY(answers.messages.isEmpty());
    }

    void commandLineFileOpens()
    {
        Answers answers;
        answers.install();
        const QString path = writeFile("Letter.rtf", "{\\rtf1\\ansi Dear reader\\par}");
        TMainForm frame;
        startFrame(frame, path);
        TMDIChild *doc = frame.ActiveDocument();
        QVERIFY(doc->Editor->Text().contains("Dear reader"));
        QCOMPARE(doc->DocumentName(), path);
        QVERIFY(!doc->Editor->Modified());
        QCOMPARE(frame.findChild<QTabBar *>("mdiChildrenTabs")->tabText(0), QStringLiteral("Letter.rtf"));
    }

    void unreadableCommandLineFileIsReported()
    {
        Answers answers;
        answers.install();
        const QString path = writeFile("broken.rtc", "definitely not compressed");
        TMainForm frame;
        startFrame(frame, path);
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages[0].startsWith("Unable to Open File"));
    }

    void closeQuery_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("cancel keeps the window") << int(QMessageBox::Cancel) << false << false;
        QTest::newRow("no closes without saving") << int(QMessageBox::No) << true << false;
        QTest::newRow("yes saves, then closes") << int(QMessageBox::Yes) << true << true;
    }
    void closeQuery()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        Answers answers;
        answers.install();
        const QString path = writeFile(QStringLiteral("close-%1.rtf").arg(answer), "{\\rtf1 original}");
        TMainForm frame;
        startFrame(frame, path);
        QPointer<TMDIChild> doc = frame.ActiveDocument();
        type(doc, "changed ");
        QVERIFY(doc->Editor->Modified());

        answers.button = QMessageBox::StandardButton(answer);
        doc->parentWidget()->close();
        QCOMPARE(answers.messages.value(0),
                 QStringLiteral("Do you want to save changes to \"%1\"?").arg(QFileInfo(path).fileName()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(doc.isNull(), closed);
        QCOMPARE(frame.DocumentCount(), closed ? 0 : 1);
        QCOMPARE(read(path).contains("changed"), saved);
    }

    void saveOfNewDocumentGoesToSaveAs()
    {
        Answers answers;
        answers.install();
        TMainForm frame;
        startFrame(frame);
        TMDIChild *doc = frame.ActiveDocument();
        type(doc, "fresh text");

        // Cancelled Save As: nothing written, still modified.
        answers.savePath.clear();
        frame.FileSave();
        QCOMPARE(answers.dialogs, 1);
        QCOMPARE(answers.suggested.value(0), QStringLiteral("New Document"));
        QVERIFY(doc->Editor->Modified());

        answers.savePath = m_dir.filePath("Fresh.rtf");
        frame.FileSave();
        QCOMPARE(answers.dialogs, 2);
        QVERIFY(read(answers.savePath).startsWith("{\\rtf"));
        QVERIFY(!doc->Editor->Modified());
        QCOMPARE(doc->DocumentName(), answers.savePath);
        QCOMPARE(frame.History().value(0), answers.savePath);
        QCOMPARE(frame.findChild<QTabBar *>("mdiChildrenTabs")->tabText(0), QStringLiteral("Fresh.rtf"));

        // Save As on Report.rtf suggests Report.
        frame.FileSaveAs();
        QCOMPARE(answers.suggested.value(2), m_dir.filePath("Fresh"));

        // Unmodified: Save writes nothing.
        QFile::remove(answers.savePath);
        frame.FileSave();
        QVERIFY(!QFile::exists(answers.savePath));
    }

    void unicodeSaveAsIsPlainUtf16AndNotInHistory()
    {
        Answers answers;
        answers.install();
        TMainForm frame;
        startFrame(frame);
        TMDIChild *doc = frame.ActiveDocument();
        type(doc, "wide");
        answers.savePath = m_dir.filePath("wide.txt");
        answers.saveFilter = TDocumentFile::UnicodeFilterIndex;
        QVERIFY(doc->SaveDocumentAs());
        QVERIFY(read(answers.savePath).startsWith("\xFF\xFE" "w\0i\0"));
        QVERIFY(frame.History().isEmpty());
    }

    void notesTxtLoadsPlainAndSavesRtf()
    {
        Answers answers;
        answers.install();
        const QString path = writeFile("Notes.TXT", "{not rtf} plain \\notes");
        TMainForm frame;
        startFrame(frame, path);
        TMDIChild *doc = frame.ActiveDocument();
        QCOMPARE(doc->Editor->Text(), QStringLiteral("{not rtf} plain \\notes"));
        type(doc, "x");
        QVERIFY(doc->SaveDocument());
        QVERIFY(read(path).startsWith("{\\rtf"));
    }

    void failedSaveIsReportedAndKeepsModified()
    {
        Answers answers;
        answers.install();
        const QString blocker = writeFile("blocker", "x");
        TMainForm frame;
        startFrame(frame);
        TMDIChild *doc = frame.ActiveDocument();
        type(doc, "precious");
        answers.savePath = blocker + "/sub/doc.rtf";
        QVERIFY(!doc->SaveDocumentAs());
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages[0].startsWith("Unable to save"));
        QVERIFY(doc->Editor->Modified());
        QCOMPARE(doc->DocumentName(), QStringLiteral("New Document"));
    }

    void eachWindowSavesItsOwnFile()
    {
        Answers answers;
        answers.install();
        const QString a = writeFile("A.rtf", "{\\rtf1 alpha}");
        const QString b = writeFile("B.rtf", "{\\rtf1 beta}");
        TMainForm frame;
        startFrame(frame, a);
        TMDIChild *docA = frame.ActiveDocument();
        answers.savePath = b;
        frame.FileOpen();
        QTRY_COMPARE(frame.DocumentCount(), 2);
        QCOMPARE(frame.CurrentFileName(), b);
        // Back to A: its save must write A, not the most recently opened B.
        frame.findChild<QTabBar *>("mdiChildrenTabs")->setCurrentIndex(0);
        QTRY_COMPARE(frame.ActiveDocument(), docA);
        type(docA, "more ");
        frame.FileSave();
        QVERIFY(read(a).contains("more"));
        QVERIFY(!read(b).contains("more"));
        QCOMPARE(frame.History().value(0), b);
    }

    // The frame's Open records, the history's Open opens a window, "Open Last Active
    // Document" takes the first entry, and the list is written when the frame goes.
    void historyFollowsOpenAndOpenLast()
    {
        Answers answers;
        answers.install();
        const QString a = writeFile("A.rtf", "{\\rtf1 alpha}");
        const QString b = writeFile("B.rtf", "{\\rtf1 beta}");
        {
            TMainForm frame;
            startFrame(frame);
            QVERIFY(frame.findChild<QToolButton *>("btnHistory")->isEnabled());
            frame.OpenLastActiveDocument();
            QCOMPARE(answers.messages, QStringList { "Document History List is Empty." });

            for (const QString &path : { a, b, a }) {
                answers.savePath = path;
                frame.FileOpen();
            }
            QCOMPARE(frame.History(), (QStringList { a, b }));
            QCOMPARE(frame.DocumentCount(), 4);

            // The history's Open: one more window, named after the file.
            THistoryForm *history = frame.HistoryForm();
            auto *list = history->findChild<QListWidget *>("ListBox1");
            list->clearSelection();
            list->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
            history->btnOpenClick();
            QCOMPARE(frame.DocumentCount(), 5);
            QCOMPARE(frame.CurrentFileName(), b);
            QCOMPARE(frame.History(), (QStringList { b, a }));

            QFile::remove(b);
            answers.messages.clear();
            frame.OpenLastActiveDocument();
            QCOMPARE(answers.messages, QStringList { "Document does not exist or has been deleted." });
        }
        QCOMPARE(read(m_dir.filePath("WrdFileList.dat")), (b + "\r\n" + a + "\r\n").toUtf8());
    }

    void windowCommandsRespectProtectedText()
    {
        Answers answers;
        answers.install();
        TMainForm frame;
        startFrame(frame);
        TMDIChild *doc = frame.ActiveDocument();
        doc->Editor->setPlainText(QStringLiteral("keep this"));
        doc->Editor->SelectAll();
        TTextAttributes protect;
        protect.SetProtected(true);
        QVERIFY(doc->Editor->SetSelAttributes(protect));
        // No one allows the change: the window's commands must not remove the text.
        auto *menu = doc->findChild<QMenu *>("PopupMenu1");
        for (QAction *a : menu->actions())
            if (a->text() == "Clear All" || a->text() == "Clear Selection")
                a->trigger();
        doc->Editor->SelectAll();
        frame.findChild<QToolButton *>("btnCut")->setEnabled(true);
        frame.findChild<QToolButton *>("btnCut")->click();
        QCOMPARE(doc->Editor->Text(), QStringLiteral("keep this"));
    }
};

QTEST_MAIN(TestTMainForm)
#include "tst_tmainform.moc"
