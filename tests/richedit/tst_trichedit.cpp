#include "trichedit.h"

#include "richtextproperties.h"
#include "thiddentexthighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTextList>
#include <QtTest>

Q_DECLARE_METATYPE(TUndoKind)

namespace {
// "free " + protected "LOCKED" + " text"; the protected run is [5, 11).
void fillWithProtectedWord(TRichEditor &editor)
{
    editor.setPlainText(QStringLiteral("free LOCKED text"));
    QTextCursor c(editor.document());
    c.setPosition(5);
    c.setPosition(11, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setProperty(RichTextProperty::Protected, true);
    c.mergeCharFormat(f);
    editor.SetSelStart(0);
}

// "ab" + hidden "HIDDEN" + "cd"; the hidden run is [2, 8).
void fillWithHiddenWord(TRichEditor &editor)
{
    editor.setPlainText(QStringLiteral("abHIDDENcd"));
    QTextCursor c(editor.document());
    c.setPosition(2);
    c.setPosition(8, QTextCursor::KeepAnchor);
    QTextCharFormat f;
    f.setProperty(RichTextProperty::Hidden, true);
    c.mergeCharFormat(f);
    editor.SetSelStart(0);
}

int caretX(const TRichEditor &editor, int position)
{
    QTextCursor c(editor.document());
    c.setPosition(position);
    return editor.cursorRect(c).x();
}

QByteArray loadAndSave(const QByteArray &bytes, TRichEditor &editor)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    if (!editor.LoadFromStream(in, StreamFormat::PlainAnsi))
        return "load failed";
    return editor.Text().toUtf8();
}
// A layout that only counts how often the document has it lay out again.
class CountingLayout : public QAbstractTextDocumentLayout
{
public:
    using QAbstractTextDocumentLayout::QAbstractTextDocumentLayout;
    int changes = 0;
    void draw(QPainter *, const PaintContext &) override {}
    int hitTest(const QPointF &, Qt::HitTestAccuracy) const override { return -1; }
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return {}; }
    QRectF frameBoundingRect(QTextFrame *) const override { return {}; }
    QRectF blockBoundingRect(const QTextBlock &) const override { return {}; }

protected:
    void documentChanged(int, int, int) override { ++changes; }
};
} // namespace

class TestTRichEditor : public QObject
{
    Q_OBJECT
private slots:
    // A document of many hidden paragraphs is laid out again once when the
    // overlay is put on, not once for each paragraph.
    void hiddenParagraphsLaidOutOnce()
    {
        QTextDocument doc;
        auto *layout = new CountingLayout(&doc);
        doc.setDocumentLayout(layout);
        QTextCursor c(&doc);
        QTextCharFormat hidden;
        hidden.setProperty(RichTextProperty::Hidden, true);
        for (int i = 0; i < 50; ++i) {
            if (i)
                c.insertBlock();
            c.insertText(QStringLiteral("hidden paragraph"), hidden);
        }
        layout->changes = 0;
        THiddenTextHighlighter highlighter;
        highlighter.setDocument(&doc);
        QVERIFY2(layout->changes <= 1, qPrintable(QString::number(layout->changes)));
        QVERIFY(!doc.firstBlock().layout()->formats().isEmpty()); // the overlay is there
        QVERIFY(!doc.lastBlock().layout()->formats().isEmpty());
    }

    void hiddenTextHiddenOnScreenOnly()
    {
        TRichEditor editor;
        editor.resize(400, 200);
        QBuffer in;
        in.setData("{\\rtf1 shown{\\v HIDDENHIDDENHIDDEN}shown{\\disabled grey}}");
        in.open(QIODevice::ReadOnly);
        QVERIFY(editor.LoadFromStream(in, StreamFormat::Rtf));
        QCoreApplication::processEvents(); // the overrides come with the next event loop turn
        const QTextBlock block = editor.document()->begin();
        QVERIFY(block.layout());
        bool hidden = false, grey = false;
        for (const QTextLayout::FormatRange &r : block.layout()->formats()) {
            if (r.start == 5 && r.length == 18 && r.format.fontPointSize() < 1)
                hidden = true;
            if (r.start == 28 && r.format.foreground().color() == QColor(128, 128, 128))
                grey = true;
        }
        QVERIFY(hidden);
        QVERIFY(grey);
        // the hidden run takes (almost) no room on screen
        const QTextLine line = block.layout()->lineAt(0);
        QVERIFY(line.cursorToX(23) - line.cursorToX(5) < 2);
        // and the document keeps its attributes: saved as hidden text of the size it had
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(editor.SaveToStream(out, StreamFormat::Rtf));
        QVERIFY(out.data().contains("\\v "));
        QVERIFY(!out.data().contains("\\fs0"));
        QVERIFY(!editor.Modified());
    }

    void insertPictureAtItsSizeAndUndo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QImage image(40, 25, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(path));
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("ab"));
        editor.SetSelStart(1);
        QVERIFY(editor.InsertPicture(path));
        QCOMPARE(editor.Text(), QStringLiteral("a\uFFFCb"));
        QTextCursor c(editor.document());
        c.setPosition(2);
        QVERIFY(c.charFormat().isImageFormat());
        QCOMPARE(c.charFormat().toImageFormat().width(), 40.0);
        QCOMPARE(c.charFormat().toImageFormat().height(), 25.0);
        QCOMPARE(editor.SelStart(), 2);

        // Saved and opened again, the picture is still there at its size.
        QBuffer saved;
        saved.open(QIODevice::WriteOnly);
        QVERIFY(editor.SaveToStream(saved, StreamFormat::Rtf));
        saved.close();
        saved.open(QIODevice::ReadOnly);
        TRichEditor reopened;
        QVERIFY(reopened.LoadFromStream(saved, StreamFormat::Rtf));
        QCOMPARE(reopened.Text(), QStringLiteral("a\uFFFCb"));
        QTextCursor r(reopened.document());
        r.setPosition(2);
        QVERIFY(r.charFormat().isImageFormat());
        QCOMPARE(r.charFormat().toImageFormat().width(), 40.0);

        editor.Undo();
        QCOMPARE(editor.Text(), QStringLiteral("ab"));

        QString error;
        QVERIFY(!editor.InsertPicture(dir.filePath(QStringLiteral("none.gif")), &error));
        QVERIFY(!error.isEmpty());
        fillWithProtectedWord(editor);
        editor.SetSelStart(7);
        connect(&editor, &TRichEditor::ProtectChange, &editor, [](int, int, bool &ok) { ok = false; });
        QVERIFY(!editor.InsertPicture(path, &error));
        QCOMPARE(editor.Text(), QStringLiteral("free LOCKED text"));
    }

    void positionsCountParagraphBreaksOnce()
    {
        TRichEditor editor;
        editor.resize(800, 400);
        editor.setPlainText(QStringLiteral("ab\ncd\n\nef"));
        QCOMPARE(editor.TextLength(), 9);
        QCOMPARE(editor.Text().size(), editor.TextLength());
        QCOMPARE(editor.TextRange(1, 4), QStringLiteral("b\nc"));
        QCOMPARE(editor.TextRange(7, 100), QStringLiteral("ef"));
        QCOMPARE(editor.TextRange(-3, 2), QStringLiteral("ab"));

        editor.Select(3, 5);
        QCOMPARE(editor.SelStart(), 3);
        QCOMPARE(editor.SelLength(), 2);
        QCOMPARE(editor.SelText(), QStringLiteral("cd"));
        QVERIFY(editor.SetSelText(QStringLiteral("X\nY")));
        QCOMPARE(editor.Text(), QStringLiteral("ab\nX\nY\n\nef"));
        QCOMPARE(editor.SelStart(), 6); // after the inserted text, one position per break

        QCOMPARE(editor.LineCount(), 5);
        QCOMPARE(editor.Lines(), QStringList({"ab", "X", "Y", "", "ef"}));
        editor.SetSelStart(9);
        QCOMPARE(editor.CaretLine(), 4);
        QCOMPARE(editor.CaretColumn(), 1);

        editor.ClearLines();
        QCOMPARE(editor.TextLength(), 0);
        QCOMPARE(editor.LineCount(), 1);
    }

    void plainTextLoading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        const QString umlauts = QStringLiteral("Grüße €");
        QTest::newRow("utf8 without bom") << umlauts.toUtf8() << umlauts;
        QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBF") + umlauts.toUtf8() << umlauts;
        QStringEncoder le(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("utf16le bom") << QByteArray(le.encode(umlauts)) << umlauts;
        QStringEncoder be(QStringConverter::Utf16BE, QStringConverter::Flag::WriteBom);
        QTest::newRow("utf16be bom") << QByteArray(be.encode(umlauts)) << umlauts;
        QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93q\x94 \x81")
                                      << QStringLiteral("café € “q” \u0081");
        QTest::newRow("crlf line ends") << QByteArray("one\r\ntwo\rthree\n")
                                        << QStringLiteral("one\ntwo\nthree\n");
    }
    void plainTextLoading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        TRichEditor editor;
        QCOMPARE(QString::fromUtf8(loadAndSave(bytes, editor)), text);
        QVERIFY(!editor.Modified());
        QVERIFY(!editor.CanUndo());
    }

    void plainSaveRoundTrip_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("utf16") << int(StreamFormat::PlainUtf16) << QByteArray("\xFF\xFE");
        QTest::newRow("ansi") << int(StreamFormat::PlainAnsi) << QByteArray("Gr\xC3\xBC");
    }
    void plainSaveRoundTrip()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, prefix);
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("Grüße \U0001F600\nzweite Zeile"));
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        QVERIFY(editor.SaveToStream(buffer, StreamFormat(format)));
        QVERIFY(buffer.data().startsWith(prefix));
        buffer.seek(0);
        TRichEditor other;
        QVERIFY(other.LoadFromStream(buffer, StreamFormat::PlainAnsi));
        QCOMPARE(other.Text(), editor.Text());
    }

    void rtfStreamInOfPlainDataReadsText()
    {
        TRichEditor editor;
        QBuffer in;
        in.setData("just words, no RTF");
        in.open(QIODevice::ReadOnly);
        QVERIFY(editor.LoadFromStream(in, StreamFormat::Rtf));
        QCOMPARE(editor.Text(), QStringLiteral("just words, no RTF"));
    }

    void protectedTextRefusesEdits_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("allow");
        QTest::addColumn<QString>("allowedText");
        for (bool allow : {false, true}) {
            const char *suffix = allow ? " allowed" : " refused";
            const auto row = [&](const char *name, const char *result) {
                QTest::newRow(QByteArray(name).append(suffix).constData())
                    << QString::fromLatin1(name) << allow << QString::fromLatin1(result);
            };
            row("type inside", "free LOCxKED text");
            row("backspace", "free LOKED text");
            row("delete", "free LOKED text");
            row("type over selection", "free x text");
            row("cut", "free  text");
            row("paste", "free LOCpastedKED text");
            row("set sel text", "free x text");
            row("clear selection", "free  text");
            row("replace all", "free xxx text");
        }
    }
    void protectedTextRefusesEdits()
    {
        QFETCH(QString, edit);
        QFETCH(bool, allow);
        QFETCH(QString, allowedText);
        TRichEditor editor;
        fillWithProtectedWord(editor);
        QList<QPair<int, int>> asked;
        connect(&editor, &TRichEditor::ProtectChange, &editor,
                [&](int s, int e, bool &ok) { asked.append({s, e}); ok = allow; });

        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        if (edit == "type inside") {
            editor.SetSelStart(8);
            QTest::keyClick(&editor, Qt::Key_X);
        } else if (edit == "backspace") {
            editor.SetSelStart(8);
            QTest::keyClick(&editor, Qt::Key_Backspace);
        } else if (edit == "delete") {
            editor.SetSelStart(7);
            QTest::keyClick(&editor, Qt::Key_Delete);
        } else if (edit == "type over selection") {
            editor.Select(5, 11);
            QTest::keyClick(&editor, Qt::Key_X);
        } else if (edit == "cut") {
            editor.Select(5, 11);
            QTest::keySequence(&editor, QKeySequence::Cut);
        } else if (edit == "paste") {
            editor.SetSelStart(8);
            QTest::keySequence(&editor, QKeySequence::Paste);
        } else if (edit == "set sel text") {
            editor.Select(4, 12);
            editor.SetSelText(QStringLiteral(" x "));
        } else if (edit == "clear selection") {
            editor.Select(5, 11);
            editor.ClearSelection();
        } else if (edit == "replace all") {
            editor.ReplaceAllText(QStringLiteral("LOCKED"), QStringLiteral("xxx"));
        }
        QVERIFY(!asked.isEmpty());
        QCOMPARE(editor.Text(), allow ? allowedText : QStringLiteral("free LOCKED text"));
    }

    void editsBesideProtectedTextNeedNoConsent()
    {
        TRichEditor editor;
        fillWithProtectedWord(editor);
        int asked = 0;
        connect(&editor, &TRichEditor::ProtectChange, &editor, [&](int, int, bool &) { ++asked; });
        editor.SetSelStart(11); // right after the protected run
        QTest::keyClicks(&editor, QStringLiteral("ab"));
        editor.SetSelStart(3);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QCOMPARE(editor.Text(), QStringLiteral("fre LOCKEDab text"));
        QCOMPARE(asked, 0);
        // What was typed after the run did not inherit its protection.
        editor.Select(10, 12);
        QVERIFY(!editor.SelAttributes().Protected());
    }

    void hiddenTextTakesNoRoomOnScreen()
    {
        TRichEditor editor;
        editor.resize(600, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        fillWithHiddenWord(editor);
        QCOMPARE(caretX(editor, 8), caretX(editor, 2));
        QVERIFY(caretX(editor, 9) > caretX(editor, 8));
        // Typing before the run moves what is hidden along with it.
        editor.SetSelStart(0);
        QTest::keyClicks(&editor, QStringLiteral("zz"));
        QCOMPARE(caretX(editor, 10), caretX(editor, 4));
        QVERIFY(caretX(editor, 4) > caretX(editor, 2));
        editor.Undo();
        // Still text of the document, and saved as hidden text.
        QCOMPARE(editor.Text(), QStringLiteral("abHIDDENcd"));
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(editor.SaveToStream(out, StreamFormat::Rtf));
        QVERIFY(out.data().contains("\\v"));

        // A loaded document is hidden the same way.
        QBuffer in;
        in.setData("{\\rtf1\\ansi ab{\\v HIDDEN}cd}");
        in.open(QIODevice::ReadOnly);
        QVERIFY(editor.LoadFromStream(in, StreamFormat::Rtf));
        QCOMPARE(caretX(editor, 8), caretX(editor, 2));
        QCOMPARE(editor.Text(), QStringLiteral("abHIDDENcd"));

        // Hiding and showing a run later follows at once.
        editor.Select(8, 10);
        TTextAttributes hide;
        hide.SetHidden(true);
        QVERIFY(editor.SetSelAttributes(hide));
        QCOMPARE(caretX(editor, 10), caretX(editor, 2));
        hide.SetHidden(false);
        editor.Select(2, 10);
        QVERIFY(editor.SetSelAttributes(hide));
        QVERIFY(caretX(editor, 8) > caretX(editor, 2));
    }

    void caretStepsOverHiddenText_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expectedCaret");
        QTest::addColumn<int>("expectedAnchor");
        QTest::addColumn<QString>("expectedText");
        const QString text = QStringLiteral("abHIDDENcd");
        QTest::newRow("right over the run") << 2 << int(Qt::Key_Right) << 0 << 9 << 9 << text;
        QTest::newRow("right to the run") << 1 << int(Qt::Key_Right) << 0 << 2 << 2 << text;
        QTest::newRow("left over the run") << 8 << int(Qt::Key_Left) << 0 << 1 << 1 << text;
        QTest::newRow("left to the run") << 9 << int(Qt::Key_Left) << 0 << 8 << 8 << text;
        QTest::newRow("shift right selects over it") << 2 << int(Qt::Key_Right) << int(Qt::ShiftModifier) << 9 << 2 << text;
        QTest::newRow("end stays at the end") << 0 << int(Qt::Key_End) << 0 << 10 << 10 << text;
        QTest::newRow("backspace takes the visible character") << 8 << int(Qt::Key_Backspace) << 0 << 1 << 1 << "aHIDDENcd";
        QTest::newRow("delete takes the visible character") << 2 << int(Qt::Key_Delete) << 0 << 8 << 8 << "abHIDDENd";
    }
    void caretStepsOverHiddenText()
    {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, expectedCaret);
        QFETCH(int, expectedAnchor);
        QFETCH(QString, expectedText);
        TRichEditor editor;
        editor.resize(600, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        fillWithHiddenWord(editor);
        editor.SetSelStart(caret);
        QTest::keyClick(&editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(editor.textCursor().position(), expectedCaret);
        QCOMPARE(editor.textCursor().anchor(), expectedAnchor);
        QCOMPARE(editor.Text(), expectedText);
    }

    void typingAfterHiddenTextShows()
    {
        TRichEditor editor;
        editor.resize(600, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        fillWithHiddenWord(editor);
        editor.SetSelStart(8);
        QTest::keyClick(&editor, Qt::Key_X);
        QCOMPARE(editor.Text(), QStringLiteral("abHIDDENxcd"));
        editor.Select(8, 9);
        QVERIFY(!editor.SelAttributes().Hidden());
        QVERIFY(caretX(editor, 9) > caretX(editor, 8));
    }

    void advancedTypographyJustifiesPages()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("A paragraph long enough to wrap over several lines of the page, "
                                           "so that justification has spaces to widen on every line."));
        QTextBlockFormat justify;
        justify.setAlignment(Qt::AlignJustify);
        QTextCursor(editor.document()).setBlockFormat(justify);
        const auto page = [&editor] {
            QImage image(300, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            editor.FormatRange(&painter, QRect(0, 0, 3 * 1440, 3 * 1440), QRect(), 0, -1, true);
            return image;
        };
        QVERIFY(!editor.AdvancedTypography());
        const QImage flush = page();
        editor.SetAdvancedTypography(true);
        QVERIFY(page() != flush);
        QCOMPARE(editor.Paragraph().Alignment(), 3);
    }

    void undoKinds()
    {
        TRichEditor editor;
        QCOMPARE(editor.UndoKind(), TUndoKind::None);
        QTest::keyClicks(&editor, QStringLiteral("hello world"));
        QCOMPARE(editor.UndoKind(), TUndoKind::Typing);
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QCOMPARE(editor.UndoKind(), TUndoKind::Delete);
        editor.Select(0, 5);
        editor.CutToClipboard();
        QCOMPARE(editor.UndoKind(), TUndoKind::Cut);
        editor.SetSelStart(editor.TextLength());
        editor.PasteFromClipboard();
        QCOMPARE(editor.Text(), QStringLiteral(" worlhello"));
        QCOMPARE(editor.UndoKind(), TUndoKind::Paste);

        editor.Undo();
        QCOMPARE(editor.Text(), QStringLiteral(" worl"));
        QCOMPARE(editor.UndoKind(), TUndoKind::Cut);
        QCOMPARE(editor.RedoKind(), TUndoKind::Paste);
        editor.Undo();
        QCOMPARE(editor.UndoKind(), TUndoKind::Delete);
        QCOMPARE(editor.RedoKind(), TUndoKind::Cut);
        editor.Redo();
        QCOMPARE(editor.UndoKind(), TUndoKind::Cut);
        QCOMPARE(editor.RedoKind(), TUndoKind::Paste);

        // A new step drops what could be redone; formatting is of no named kind.
        editor.Select(0, 3);
        TTextAttributes bold;
        bold.SetBold(true);
        QVERIFY(editor.SetSelAttributes(bold));
        QCOMPARE(editor.UndoKind(), TUndoKind::None);
        QVERIFY(editor.CanUndo());
        QCOMPARE(editor.RedoKind(), TUndoKind::None);
        QVERIFY(!editor.CanRedo());
        editor.Undo();
        QCOMPARE(editor.UndoKind(), TUndoKind::Cut);

        // Ctrl+Z goes through the same bookkeeping.
        QTest::keySequence(&editor, QKeySequence::Undo);
        QCOMPARE(editor.UndoKind(), TUndoKind::Delete);
    }

    void characterAttributesRoundTrip()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("some text here"));
        editor.Select(5, 9);
        TTextAttributes a;
        a.SetName(QStringLiteral("Liberation Mono"));
        a.SetSize(17);
        a.SetColor(QColor(10, 20, 30));
        a.SetBackColor(QColor(Qt::yellow));
        a.SetBold(true);
        a.SetItalic(true);
        a.SetUnderline(true);
        a.SetStrikeOut(true);
        a.SetCharset(238);
        a.SetProtected(true);
        a.SetHidden(true);
        a.SetDisabled(true);
        a.SetPosition(TTextAttributes::VerticalPosition::Superscript);
        a.SetKerningThreshold(12);
        QVERIFY(editor.SetSelAttributes(a));
        QCOMPARE(editor.SelAttributes(), a);
        editor.SetSelStart(7);
        QCOMPARE(editor.WordAttributes(), a);

        // Clearing goes back to plain text (properties removed, not set to false).
        TTextAttributes off;
        off.SetBackColor(QColor());
        off.SetProtected(false);
        off.SetPosition(TTextAttributes::VerticalPosition::Normal);
        editor.Select(5, 9);
        connect(&editor, &TRichEditor::ProtectChange, &editor, [](int, int, bool &ok) { ok = true; });
        QVERIFY(editor.SetSelAttributes(off));
        const TTextAttributes now = editor.SelAttributes();
        QVERIFY(!now.BackColor().isValid());
        QVERIFY(!now.Protected());
        QCOMPARE(now.Position(), TTextAttributes::VerticalPosition::Normal);
        QVERIFY(now.Bold());
        QTextCursor inside(editor.document());
        inside.setPosition(6);
        QVERIFY(!inside.charFormat().hasProperty(RichTextProperty::Protected));
        QVERIFY(!inside.charFormat().hasProperty(QTextFormat::BackgroundBrush));
    }

    void changingOneAttributeKeepsMixedOthers()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("aaaa bbbb"));
        editor.Select(0, 4);
        TTextAttributes mono;
        mono.SetName(QStringLiteral("Liberation Mono"));
        editor.SetSelAttributes(mono);
        editor.Select(5, 9);
        TTextAttributes big;
        big.SetSize(30);
        editor.SetSelAttributes(big);

        editor.SelectAll();
        TTextAttributes bold = editor.SelAttributes();
        bold.SetBold(true);
        editor.SetSelAttributes(bold);
        editor.Select(0, 1);
        QCOMPARE(editor.SelAttributes().Name(), QStringLiteral("Liberation Mono"));
        QVERIFY(editor.SelAttributes().Bold());
        editor.Select(6, 7);
        QCOMPARE(editor.SelAttributes().Size(), 30);
        QVERIFY(editor.SelAttributes().Name() != QStringLiteral("Liberation Mono"));
        QVERIFY(editor.SelAttributes().Bold());

        // Assign marks everything: the whole default set reaches the selection.
        TTextAttributes def;
        def.Assign(editor.DefAttributes());
        editor.SelectAll();
        editor.SetSelAttributes(def);
        editor.Select(6, 7);
        QCOMPARE(editor.SelAttributes(), editor.DefAttributes());

        TTextAttributes fromFont;
        fromFont.Assign(QFont(QStringLiteral("Liberation Serif"), 14, QFont::Bold, true));
        QCOMPARE(fromFont.Font().family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(fromFont.Size(), 14);
        QVERIFY(fromFont.Bold() && fromFont.Italic() && !fromFont.Underline());
    }

    void paragraphAttributesRoundTrip_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("amount");
        QTest::newRow("single") << int(LineSpacing::Single) << 0;
        QTest::newRow("one and half") << int(LineSpacing::OneAndHalf) << 0;
        QTest::newRow("double") << int(LineSpacing::Double) << 0;
        QTest::newRow("at least") << int(LineSpacing::AtLeast) << 360;
        QTest::newRow("exactly") << int(LineSpacing::Exactly) << 300;
        QTest::newRow("multiple") << int(LineSpacing::Multiple) << 40;
    }
    void paragraphAttributesRoundTrip()
    {
        QFETCH(int, rule);
        QFETCH(int, amount);
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("one\ntwo\nthree"));
        editor.Select(1, 5); // touches "one" and "two"
        TParaAttributes p;
        p.SetAlignment(2);
        p.SetFirstIndent(36);
        p.SetLeftIndent(-18);
        p.SetRightIndent(20);
        p.SetSpaceBefore(12);
        p.SetSpaceAfter(3);
        p.SetLineSpacing(LineSpacing(rule), amount);
        p.SetBullets(true);
        p.SetTabs({144, 72});
        p.SetStyleNumber(2);
        p.SetKeepWithNext(true);
        QVERIFY(editor.SetParagraph(p));
        QCOMPARE(editor.Paragraph(), p);
        QCOMPARE(editor.Paragraph().Tabs(), QList<int>({72, 144}));
        editor.SetSelStart(5);
        QCOMPARE(editor.Paragraph(), p);
        QVERIFY(editor.document()->findBlock(5).textList());
        editor.SetSelStart(10);
        QCOMPARE(editor.Paragraph(), TParaAttributes());

        // Changing one field leaves the others.
        editor.Select(0, 5);
        TParaAttributes right;
        right.SetAlignment(1);
        right.SetBullets(false);
        editor.SetParagraph(right);
        QCOMPARE(editor.Paragraph().Alignment(), 1);
        QCOMPARE(editor.Paragraph().FirstIndent(), 36);
        QCOMPARE(editor.Paragraph().LeftIndent(), -18);
        QVERIFY(!editor.Paragraph().Bullets());
        QVERIFY(!editor.document()->begin().textList());
    }

    void findAndReplace()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("Cat cat catalog\ncat"));
        QSignalSpy notFound(&editor, &TRichEditor::TextNotFound);

        QCOMPARE(editor.FindText(QStringLiteral("cat")), 0);
        QCOMPARE(editor.FindText(QStringLiteral("cat")), 4);
        QCOMPARE(editor.FindText(QStringLiteral("cat"), SearchOption::WholeWord), 16);
        QCOMPARE(editor.FindText(QStringLiteral("cat"), SearchOption::Backward), 8);
        editor.SetSelStart(1);
        QCOMPARE(editor.FindText(QStringLiteral("Cat"), SearchOption::MatchCase), -1);
        QCOMPARE(notFound.count(), 1);
        QCOMPARE(notFound.at(0).at(0).toString(), QStringLiteral("Cat"));

        // Replace takes the selected match and moves on to the next one.
        editor.SetSelStart(0);
        editor.FindText(QStringLiteral("cat"));
        QVERIFY(editor.ReplaceText(QStringLiteral("cat"), QStringLiteral("dog")));
        QCOMPARE(editor.Text(), QStringLiteral("dog cat catalog\ncat"));
        QCOMPARE(editor.SelStart(), 4);

        // A replacement holding the search text must not be searched again.
        QCOMPARE(editor.ReplaceAllText(QStringLiteral("cat"), QStringLiteral("cats")), 3);
        QCOMPARE(editor.Text(), QStringLiteral("dog cats catsalog\ncats"));
        editor.Undo(); // the whole replace-all is one step
        QCOMPARE(editor.Text(), QStringLiteral("dog cat catalog\ncat"));
        QCOMPARE(editor.ReplaceAllText(QStringLiteral("bird"), QStringLiteral("x")), 0);
        QCOMPARE(notFound.count(), 2);
    }

    void replaceDialogDrivesTheEditor()
    {
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("red green red"));
        editor.ReplaceDialog(QStringLiteral("red"));
        TFindDialog *dialog = editor.replaceDialog();
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->findText(), QStringLiteral("red"));
        dialog->findChild<QLineEdit *>("edtReplace")->setText(QStringLiteral("blue"));
        dialog->findChild<QPushButton *>("btnReplaceAll")->click();
        QCOMPARE(editor.Text(), QStringLiteral("blue green blue"));

        QSignalSpy notFound(&editor, &TRichEditor::TextNotFound);
        editor.FindDialog(QStringLiteral("purple"));
        editor.findDialog()->findChild<QPushButton *>("btnFindNext")->click();
        QCOMPARE(notFound.count(), 1);
        QCOMPARE(notFound.at(0).at(0).toString(), QStringLiteral("purple"));
        editor.findDialog()->close();
        dialog->close();
    }

    void zoomRatio_data()
    {
        QTest::addColumn<int>("num");
        QTest::addColumn<int>("den");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("100 percent") << 0 << 0 << true;
        QTest::newRow("150 percent") << 3 << 2 << true;
        QTest::newRow("zero denominator") << 1 << 0 << false;
        QTest::newRow("negative") << -1 << 2 << false;
        QTest::newRow("beyond 64") << 65 << 1 << false;
    }
    void zoomRatio()
    {
        QFETCH(int, num);
        QFETCH(int, den);
        QFETCH(bool, accepted);
        TRichEditor editor;
        editor.setPlainText(QStringLiteral("zoomed"));
        editor.resize(400, 300);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        const qreal plainHeight = editor.document()->documentLayout()->documentSize().height();
        QCOMPARE(editor.SetZoom(num, den), accepted);
        if (accepted) {
            QCOMPARE(editor.ZoomNumerator(), num);
            QCOMPARE(editor.ZoomDenominator(), den);
        }
        const qreal height = editor.document()->documentLayout()->documentSize().height();
        if (accepted && num > den)
            QVERIFY2(height > plainHeight * 1.3, qPrintable(QStringLiteral("%1 vs %2").arg(height).arg(plainHeight)));
        else
            QCOMPARE(height, plainHeight);
    }
};

QTEST_MAIN(TestTRichEditor)
#include "tst_trichedit.moc"
