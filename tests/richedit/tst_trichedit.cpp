#include "trichedit.h"

#include <QBuffer>
#include <QtTest>

class TestTRichEditor : public QObject
{
    Q_OBJECT
private slots:
    void plainUtf16RoundTrip()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("Grüße \U0001F600\nzweite Zeile"));
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QVERIFY(editor.SaveToStream(buffer, StreamFormat::PlainUtf16));
        QVERIFY(buffer.data().startsWith("\xFF\xFE"));
        buffer.seek(0);
        TRichEditor other;
        QVERIFY(other.LoadFromStream(buffer, StreamFormat::PlainAnsi));
        QCOMPARE(other.Text(), editor.Text());
    }
};

QTEST_MAIN(TestTRichEditor)
#include "tst_trichedit.moc"
