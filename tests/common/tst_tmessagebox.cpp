#include "tmessagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

class TestTMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void parentClosedWhileBoxIsUp_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("answer");
        QTest::newRow("yes no cancel") << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                                       << int(QMessageBox::Cancel);
        QTest::newRow("yes no") << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No);
        QTest::newRow("ok") << int(QMessageBox::Ok) << int(QMessageBox::NoButton);
    }

    void parentClosedWhileBoxIsUp()
    {
        QFETCH(int, buttons);
        QFETCH(int, answer);
        auto *parent = new QWidget;
        parent->show();
        QPointer<QWidget> watched(parent);
        // The parent goes while the box waits: the box goes with it, and the
        // caller gets the most cautious answer instead of a crash.
        QMetaObject::invokeMethod(this, [parent] {
            if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                delete parent;
        }, Qt::QueuedConnection);
        const auto result = TMessageBox::show(parent, TMessageBox::Kind::Confirmation, QStringLiteral("Sure?"),
                                              QMessageBox::StandardButtons(buttons));
        QVERIFY(!watched);
        QCOMPARE(int(result), answer);
    }
};

QTEST_MAIN(TestTMessageBox)
#include "tst_tmessagebox.moc"
