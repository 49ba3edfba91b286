#include "tfiledialog.h"
#include "tformselectorform.h"
#include "thistoryform.h"
#include "tmainform.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "tfinddialog.h"
#include "trichedit.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QtTest>

// Document tabs, their guard against re-activation, and the window switcher.
class TestTFormSelectorForm : public QObject
{
    Q_OBJECT

    // A shown frame with three "New Document" windows, the last one active.
    static QList<TMDIChild *> threeDocuments(TMainForm &frame)
    {
        frame.show();
        if (!QTest::qWaitFor([&frame] { return frame.DocumentCount() == 1; }))
            return {};
        frame.FileNew();
        frame.FileNew();
        return frame.DocumentWindows();
    }
    static QMdiSubWindow *subWindowOf(TMDIChild *doc)
    {
        return qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    }

    QTemporaryDir m_dir;

private slots:
    // Each frame gets an empty history list of its own, so that no frame asks
    // about a missing list file.
    void init()
    {
        const QString list = m_dir.filePath(QStringLiteral("WrdFileList.dat"));
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        THistoryForm::SetListFilePath(list);
    }

    void tabsFollowActivationWithoutReactivating()
    {
        TMainForm frame;
        const QList<TMDIChild *> docs = threeDocuments(frame);
        QCOMPARE(docs.size(), 3);
        auto *tabs = frame.findChild<QTabBar *>(QStringLiteral("mdiChildrenTabs"));
        auto *area = frame.findChild<QMdiArea *>(QStringLiteral("MDIClient"));
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(frame.ActiveDocument(), docs[2]);

        // Activating a window (as the arrangement commands do) selects its tab.
        area->tileSubWindows();
        area->setActiveSubWindow(subWindowOf(docs[0]));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(frame.ActiveDocument(), docs[0]);

        // Selecting a tab for a window does not activate that window.
        frame.SelectDocumentTab(docs[1]);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(frame.ActiveDocument(), docs[0]);

        // The user's choice of a tab does.
        tabs->setCurrentIndex(2);
        QCOMPARE(frame.ActiveDocument(), docs[2]);
        QCOMPARE(frame.RedrawLockCount(), 0);

        // Closing a window takes its tab with it.
        subWindowOf(docs[1])->close();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(frame.ActiveDocument(), docs[2]);
        QCOMPARE(tabs->currentIndex(), 1);
    }

    void frameShortcutsReachTheActiveWindow()
    {
        TMainForm frame;
        const QList<TMDIChild *> docs = threeDocuments(frame);
        QCOMPARE(docs.size(), 3);
        TMDIChild *doc = frame.ActiveDocument();
        doc->Editor->setFocus();
        QTest::keyClick(doc->Editor, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(doc->PainterActive());
        QVERIFY(!docs[0]->PainterActive());
    }

    // The font button's menu lists these shortcuts too; the frame's own must
    // still be the one that acts, not stall as an ambiguous key.
    void menuShortcutsAreNotAmbiguous_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("opens");
        const int ctrlAlt = int(Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("Ctrl+Alt+O") << int(Qt::Key_O) << ctrlAlt << QStringLiteral("Insert Object");
        QTest::newRow("Ctrl+Alt+P") << int(Qt::Key_P) << ctrlAlt << QStringLiteral("Insert Picture");
        QTest::newRow("Ctrl+F") << int(Qt::Key_F) << int(Qt::ControlModifier) << QStringLiteral("find");
        QTest::newRow("Ctrl+R") << int(Qt::Key_R) << int(Qt::ControlModifier) << QStringLiteral("replace");
    }

    void menuShortcutsAreNotAmbiguous()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, opens);
        QStringList titles;
        TFileDialog::setHandler([&titles](TFileDialog::Request &request) {
            titles << request.title;
            return QString();
        });
        TMainForm frame;
        const QList<TMDIChild *> docs = threeDocuments(frame);
        QCOMPARE(docs.size(), 3);
        TMDIChild *doc = frame.ActiveDocument();
        doc->Editor->setFocus();
        QTest::keyClick(doc->Editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        TFileDialog::setHandler({});
        if (opens == QLatin1String("find")) {
            QVERIFY(QTest::qWaitFor([doc] { return doc->Editor->findDialog() && doc->Editor->findDialog()->isVisible(); }));
        } else if (opens == QLatin1String("replace")) {
            QVERIFY(QTest::qWaitFor(
                [doc] { return doc->Editor->replaceDialog() && doc->Editor->replaceDialog()->isVisible(); }));
        } else {
            QCOMPARE(titles, QStringList{opens});
        }
    }

    void switcherShowsOneTilePerWindow()
    {
        TMainForm frame;
        const QList<TMDIChild *> docs = threeDocuments(frame);
        QCOMPARE(docs.size(), 3);
        auto *area = frame.findChild<QMdiArea *>(QStringLiteral("MDIClient"));
        TFormSelectorForm switcher(area, &frame);
        QCOMPARE(switcher.windowTitle(), QStringLiteral("  Ondaro Tessary Editor - Open Documents"));
        const QList<QLabel *> tiles = switcher.Tiles();
        QCOMPARE(tiles.size(), 3);
        for (QLabel *tile : tiles) {
            QCOMPARE(tile->toolTip(), QStringLiteral("New Document"));
            QCOMPARE(tile->size(), QSize(166, 170));
        }

        // A click brings the tile's window forward and closes the switcher with OK.
        QTest::mouseClick(tiles[1], Qt::LeftButton);
        QCOMPARE(frame.ActiveDocument(), docs[1]);
        QCOMPARE(switcher.result(), int(QDialog::Accepted));

        // A minimised window is restored.
        area->tileSubWindows();
        subWindowOf(docs[0])->showMinimized();
        TFormSelectorForm again(area, &frame);
        QTest::mouseClick(again.Tiles().at(0), Qt::LeftButton);
        QVERIFY(!subWindowOf(docs[0])->isMinimized());
    }

    void tileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short name whole") << "Notes.rtf" << "Notes.rtf";
        QTest::newRow("wide name cut after ten characters") << "Quarterly Report 2026 final.rtf" << "Quarterly ...";
    }
    void tileNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(TFormSelectorForm::VisibleName(name), shown);
        const QImage tile = TFormSelectorForm::DrawTile(0, name);
        QCOMPARE(tile.size(), QSize(128, 170));
        QVERIFY(tile != TFormSelectorForm::BlankTile().convertToFormat(tile.format()));
    }

    void withoutDocumentAreaReportsError()
    {
        QStringList messages;
        TMessageBox::setHandler([&messages](TMessageBox::Kind kind, const QString &text, QMessageBox::StandardButtons) {
            if (kind == TMessageBox::Kind::Error)
                messages << text;
            return QMessageBox::Ok;
        });
        TFormSelectorForm switcher(nullptr, nullptr);
        TMessageBox::setHandler({});
        QCOMPARE(messages, QStringList{QStringLiteral("\"MDI Container\" not a MDI Form!")});
        QVERIFY(switcher.Tiles().isEmpty());
    }
};

QTEST_MAIN(TestTFormSelectorForm)
#include "tst_tformselectorform.moc"
