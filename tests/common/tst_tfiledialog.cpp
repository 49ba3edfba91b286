#include "tfiledialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QPointer>
#include <QtTest>

class TestTFileDialog : public QObject
{
    Q_OBJECT

private slots:
    // The parent goes while the dialog waits: the dialog goes with it and the
    // caller gets no file instead of a crash.
    void parentClosedWhileDialogIsUp()
    {
        auto *parent = new QWidget;
        parent->show();
        QPointer<QWidget> watched(parent);
        QMetaObject::invokeMethod(this, [parent] {
            if (qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                delete parent;
        }, Qt::QueuedConnection);
        TFileDialog::Request request;
        request.title = QStringLiteral("Open");
        request.filters = {QStringLiteral("All Files (*)")};
        QCOMPARE(TFileDialog::run(parent, request), QString());
        QVERIFY(!watched);
    }
};

QTEST_MAIN(TestTFileDialog)
#include "tst_tfiledialog.moc"
