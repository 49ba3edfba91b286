#include "tfiledialog.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "trichedit.h"

#include <QAction>
#include <QImage>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QtTest>

// "Insert Picture..." of the document window: the picture dialog's filter,
// the picture in the text at its size, and a message for a file that is none.
class tst_TMDIChildPicture : public QObject
{
    Q_OBJECT
private slots:
    void insertPicture()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.bmp"));
        QImage image(24, 12, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(path));
        QStringList filters;
        QString answer = path;
        TFileDialog::setHandler([&](TFileDialog::Request &r) {
            filters = r.filters;
            return answer;
        });
        QStringList messages;
        TMessageBox::setHandler([&](TMessageBox::Kind, const QString &text, QMessageBox::StandardButtons) {
            messages << text;
            return QMessageBox::Ok;
        });

        TMDIChild child(nullptr, QStringLiteral("New Document"));
        QAction *action = nullptr;
        for (QAction *a : child.findChildren<QAction *>())
            if (a->text() == QLatin1String("Insert Picture..."))
                action = a;
        QVERIFY(action);
        QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
        action->trigger();
        QCOMPARE(filters.first(), QStringLiteral("All (*.gif *.jpg *.jpeg *.bmp *.emf *.wmf)"));
        QCOMPARE(filters.size(), 7);
        QCOMPARE(child.Editor->Text(), QString(QChar::ObjectReplacementCharacter));
        QTextCursor c(child.Editor->document());
        c.setPosition(1);
        QCOMPARE(c.charFormat().toImageFormat().width(), 24.0);
        child.Editor->Undo();
        QCOMPARE(child.Editor->Text(), QString());

        const QString junk = dir.filePath(QStringLiteral("junk.gif"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("GIF? no");
        f.close();
        answer = junk;
        action->trigger();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(child.Editor->Text(), QString());

        TFileDialog::setHandler({});
        TMessageBox::setHandler({});
    }
};

QTEST_MAIN(tst_TMDIChildPicture)
#include "tst_tmdichildpicture.moc"
