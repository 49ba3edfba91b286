#include "tfiledialog.h"
#include "tkeyboardstate.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "trichedit.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextImageFormat>
#include <QToolButton>
#include <QtTest>

namespace {
// Answers message boxes instead of a user and records their texts.
struct Messages {
    QStringList texts;
    Messages()
    {
        TMessageBox::setHandler([this](TMessageBox::Kind, const QString &text, QMessageBox::StandardButtons) {
            texts << text;
            return QMessageBox::Ok;
        });
    }
    ~Messages() { TMessageBox::setHandler({}); }
};

// The attribute named by field of the character at position, as text.
QString attributeAt(TRichEditor &editor, const QString &field, int position)
{
    editor.Select(position, position + 1);
    const TTextAttributes a = editor.SelAttributes();
    const TParaAttributes p = editor.Paragraph();
    if (field == QLatin1String("bold"))
        return QString::number(a.Bold());
    if (field == QLatin1String("italic"))
        return QString::number(a.Italic());
    if (field == QLatin1String("underline"))
        return QString::number(a.Underline());
    if (field == QLatin1String("hidden"))
        return QString::number(a.Hidden());
    if (field == QLatin1String("disabled"))
        return QString::number(a.Disabled());
    if (field == QLatin1String("protected"))
        return QString::number(a.Protected());
    if (field == QLatin1String("size"))
        return QString::number(a.Size());
    if (field == QLatin1String("pos")) {
        switch (a.Position()) {
        case TTextAttributes::VerticalPosition::Superscript: return QStringLiteral("super");
        case TTextAttributes::VerticalPosition::Subscript: return QStringLiteral("sub");
        case TTextAttributes::VerticalPosition::Normal: break;
        }
        return QStringLiteral("normal");
    }
    if (field == QLatin1String("align"))
        return QString::number(p.Alignment());
    if (field == QLatin1String("bullets"))
        return QString::number(p.Bullets());
    if (field == QLatin1String("spacing"))
        return QStringLiteral("%1:%2").arg(int(p.LineSpacingRule())).arg(p.LineSpacingAmount());
    return QStringLiteral("unknown field ") + field;
}

// Runs the command named by a button's or a menu item's object name.
bool run(TMDIChild &window, const QString &name)
{
    if (auto *button = window.findChild<QToolButton *>(name)) {
        button->click();
        return true;
    }
    if (auto *action = window.findChild<QAction *>(name)) {
        action->trigger();
        return true;
    }
    return false;
}
} // namespace

// Stands in for the desktop's handler of file links.
class LinkOpener : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

// Answers the file dialogs with path while it lives.
struct FileAnswer {
    explicit FileAnswer(const QString &path)
    {
        TFileDialog::setHandler([path](TFileDialog::Request &) { return path; });
    }
    ~FileAnswer() { TFileDialog::setHandler({}); }
};

class TestTMDIChildFormat : public QObject
{
    Q_OBJECT

    std::unique_ptr<TMDIChild> m_window;

    TMDIChild &window(const QString &text = {})
    {
        m_window = std::make_unique<TMDIChild>(nullptr, QStringLiteral("New Document"));
        m_window->resize(1000, 700);
        m_window->show();
        if (!text.isEmpty())
            m_window->Editor->setPlainText(text);
        m_window->Editor->SetSelStart(0);
        return *m_window;
    }
    QString panel(int index) const
    {
        return m_window->findChild<QLabel *>(QStringLiteral("StatusPanel%1").arg(index))->text();
    }

private slots:
    void cleanup() { m_window.reset(); }

    void commands_data()
    {
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("startSize");
        QTest::addColumn<QString>("expect");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("resultText");

        const QString hw = QStringLiteral("hello world");
        // expect: "field@position=value ..."; without a selection (from == to)
        // the character commands act on the word at the caret.
        QTest::newRow("bold word at caret") << "btnBold" << hw << 2 << 2 << 0 << "bold@0=1 bold@4=1 bold@6=0" << "" << "";
        QTest::newRow("bold twice is off") << "btnBold btnBold" << hw << 2 << 2 << 0 << "bold@0=0" << "" << "";
        QTest::newRow("italic selection") << "btnItalic" << hw << 0 << 3 << 0 << "italic@0=1 italic@2=1 italic@3=0" << "" << "";
        QTest::newRow("underline selection") << "btnUnderline" << hw << 6 << 11 << 0 << "underline@6=1 underline@0=0" << "" << "";
        QTest::newRow("superscript") << "Superscript1" << hw << 6 << 11 << 0 << "pos@6=super pos@0=normal" << "" << "";
        QTest::newRow("superscript twice") << "Superscript1 Superscript1" << hw << 6 << 11 << 0 << "pos@6=normal" << "" << "";
        QTest::newRow("subscript") << "Subscript1" << hw << 0 << 5 << 0 << "pos@0=sub pos@6=normal" << "" << "";
        QTest::newRow("hidden") << "HiddenText1" << hw << 6 << 11 << 0 << "hidden@6=1 hidden@0=0" << "" << "";
        QTest::newRow("disabled") << "DisabledText1" << hw << 6 << 11 << 0 << "disabled@6=1 disabled@0=0" << "" << "";
        QTest::newRow("protected") << "ProtectedText1" << hw << 6 << 11 << 0 << "protected@6=1 protected@0=0" << "" << "";
        QTest::newRow("protected twice is off") << "ProtectedText1 ProtectedText1" << hw << 6 << 11 << 0 << "protected@6=0" << "" << "";
        QTest::newRow("font size up") << "btnIncFontSize btnIncFontSize" << hw << 0 << 5 << 0 << "size@0=14 size@6=12" << "" << "";
        QTest::newRow("font size down") << "btnDecFontSize" << hw << 0 << 5 << 0 << "size@0=11" << "" << "";
        QTest::newRow("font size down stops at 3") << "btnDecFontSize btnDecFontSize" << hw << 0 << 5 << 4 << "size@0=3" << "" << "";
        QTest::newRow("centre") << "btnCenterAlign" << hw << 0 << 0 << 0 << "align@0=2" << "" << "";
        QTest::newRow("justify then left") << "btnJustify btnLeftAlign" << hw << 0 << 0 << 0 << "align@0=0" << "" << "";
        QTest::newRow("justify") << "btnJustify" << hw << 0 << 0 << 0 << "align@0=3" << "" << "";
        QTest::newRow("bullets") << "btnBullets" << hw << 0 << 0 << 0 << "bullets@0=1" << "" << "";
        QTest::newRow("bullets twice") << "btnBullets btnBullets" << hw << 0 << 0 << 0 << "bullets@0=0" << "" << "";
        QTest::newRow("1.5 spacing of 12 points") << "N15LineSpacing1" << hw << 0 << 0 << 0 << "spacing@0=3:360" << "" << "";
        QTest::newRow("double spacing") << "DoubleLineSpacing1" << hw << 0 << 0 << 0 << "spacing@0=5:40" << "" << "";
        QTest::newRow("single spacing") << "DoubleLineSpacing1 SingleLineSpacing1" << hw << 0 << 0 << 0 << "spacing@0=0:0" << "" << "";
        QTest::newRow("decrease indent at 0") << "btnDedent" << hw << 0 << 0 << 0 << "" << "Minimum Indentation." << "";
        QTest::newRow("decrease hanging at 0") << "btnFirstIndentM" << hw << 0 << 0 << 0 << "" << "Minimum Hanging Indentation." << "";
        QTest::newRow("all caps") << "AllCaps1" << QStringLiteral("die straße") << 4 << 10 << 0 << "" << "" << QStringLiteral("die STRAßE");
        QTest::newRow("small caps") << "SmallCaps1" << QStringLiteral("ÉCOLE ÉCOLE") << 0 << 5 << 0 << "" << "" << QStringLiteral("école ÉCOLE");
        QTest::newRow("all caps needs a selection") << "AllCaps1" << hw << 2 << 2 << 0 << "" << "Make a selection first." << hw;
        QTest::newRow("small caps needs a selection") << "SmallCaps1" << hw << 2 << 2 << 0 << "" << "Make a selection first." << hw;
    }
    void commands()
    {
        QFETCH(QString, commands);
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, startSize);
        QFETCH(QString, expect);
        QFETCH(QString, message);
        QFETCH(QString, resultText);

        Messages messages;
        TMDIChild &w = window(text);
        TRichEditor &editor = *w.Editor;
        if (startSize > 0) {
            editor.SelectAll();
            TTextAttributes size;
            size.SetSize(startSize);
            editor.SetSelAttributes(size);
        }
        editor.Select(from, to);
        for (const QString &command : commands.split(QLatin1Char(' ')))
            QVERIFY2(run(w, command), qPrintable(command));

        QCOMPARE(messages.texts.join(QLatin1Char('|')), message);
        if (!resultText.isEmpty())
            QCOMPARE(editor.Text(), resultText);
        for (const QString &item : expect.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString field = item.section(QLatin1Char('@'), 0, 0);
            const int position = item.section(QLatin1Char('@'), 1).section(QLatin1Char('='), 0, 0).toInt();
            const QString value = item.section(QLatin1Char('='), 1);
            QCOMPARE(field + QLatin1Char('@') + QString::number(position) + QLatin1Char('=')
                         + attributeAt(editor, field, position),
                     item);
        }
    }

    void toolbarShowsTheNewState()
    {
        TMDIChild &w = window(QStringLiteral("hello world"));
        w.Editor->Select(0, 5);
        auto *bold = w.findChild<QToolButton *>(QStringLiteral("btnBold"));
        bold->click();
        QVERIFY(bold->isChecked());
        // Moving into plain text brings the button up again.
        w.Editor->Select(7, 8);
        QVERIFY(!bold->isChecked());
        w.Editor->Select(1, 2);
        QVERIFY(bold->isChecked());
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblFontSize"))->text(), QStringLiteral("12"));
        auto *centre = w.findChild<QToolButton *>(QStringLiteral("btnCenterAlign"));
        centre->click();
        QVERIFY(centre->isChecked());
        QVERIFY(!w.findChild<QToolButton *>(QStringLiteral("btnLeftAlign"))->isChecked());
        QVERIFY(w.Editor->AdvancedTypography() == false);
        w.findChild<QToolButton *>(QStringLiteral("btnJustify"))->click();
        QVERIFY(w.Editor->AdvancedTypography());
    }

    void protectedTextRefusesEdits()
    {
        TMDIChild &w = window(QStringLiteral("free LOCKED text"));
        TRichEditor &editor = *w.Editor;
        editor.Select(5, 11);
        run(w, QStringLiteral("ProtectedText1"));
        QVERIFY(w.findChild<QAction *>(QStringLiteral("ProtectedText1"))->isChecked());

        // Typing over it, deleting it and formatting it are all refused.
        editor.Select(5, 11);
        QTest::keyClicks(&editor, QStringLiteral("x"));
        QTest::keyClick(&editor, Qt::Key_Delete);
        QCOMPARE(editor.Text(), QStringLiteral("free LOCKED text"));
        editor.Select(5, 11);
        run(w, QStringLiteral("btnBold"));
        QCOMPARE(attributeAt(editor, QStringLiteral("bold"), 6), QStringLiteral("0"));
        editor.Select(0, 16);
        run(w, QStringLiteral("ClearAll1"));
        QCOMPARE(editor.Text(), QStringLiteral("free LOCKED text"));

        // Only the protection command itself may lift it.
        editor.Select(5, 11);
        run(w, QStringLiteral("ProtectedText1"));
        editor.Select(5, 11);
        QTest::keyClicks(&editor, QStringLiteral("x"));
        QCOMPARE(editor.Text(), QStringLiteral("free x text"));
    }

    void editingShortcutsRebuildThroughTheWindow()
    {
        TMDIChild &w = window(QStringLiteral("hello world"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Editor->setFocus();
        for (int i = 0; i < 3; ++i)
            run(w, QStringLiteral("btnIndent"));
        QCOMPARE(w.StartIndentPt(), 60);
        w.Editor->Select(0, 6);
        QTest::keyClick(w.Editor, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(w.Editor->Text(), QStringLiteral("world"));
        // Clear Selection forgets the tracked indents.
        QCOMPARE(w.StartIndentPt(), 0);
        QTest::keyClick(w.Editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Editor->Text(), QStringLiteral("hello world"));
        QCOMPARE(w.findChild<QToolButton *>(QStringLiteral("btnRedo"))->toolTip(), QStringLiteral("Redo delete"));
    }

    void indentLimits_data()
    {
        QTest::addColumn<QString>("increase");
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("reached");
        QTest::addColumn<QString>("message");
        QTest::newRow("start indent") << "btnIndent" << 22 << 420 << "Maximum Indentation.";
        QTest::newRow("hanging indent") << "btnFirstIndentP" << 17 << 320 << "Maximum Hanging Indentation.";
    }
    void indentLimits()
    {
        QFETCH(QString, increase);
        QFETCH(int, presses);
        QFETCH(int, reached);
        QFETCH(QString, message);
        Messages messages;
        TMDIChild &w = window(QStringLiteral("one paragraph"));
        for (int i = 0; i < presses; ++i)
            run(w, increase);
        QCOMPARE(messages.texts, QStringList{message});
        const bool hanging = increase == QLatin1String("btnFirstIndentP");
        const TParaAttributes p = w.Editor->Paragraph();
        QCOMPARE(hanging ? p.LeftIndent() : p.FirstIndent(), reached);
        QCOMPARE(hanging ? w.HangingIndentPt() : w.StartIndentPt(), reached);

        // The tracked values follow the caret's paragraph and are reset by Clear All.
        w.Editor->SetSelStart(3);
        QCOMPARE(hanging ? w.HangingIndentPt() : w.StartIndentPt(), reached);
        run(w, QStringLiteral("ClearAll1"));
        QCOMPARE(w.StartIndentPt(), 0);
        QCOMPARE(w.HangingIndentPt(), 0);
    }

    void headingThenEnterStartsDefaultText()
    {
        TMDIChild &w = window();
        TRichEditor &editor = *w.Editor;
        editor.setFocus();
        run(w, QStringLiteral("Heading11"));
        QVERIFY(w.HeadingMode());
        QTest::keyClicks(&editor, QStringLiteral("Title"));
        QTest::keyClick(&editor, Qt::Key_Return);
        QVERIFY(!w.HeadingMode());
        QTest::keyClicks(&editor, QStringLiteral("body"));

        QCOMPARE(editor.Text(), QStringLiteral("Title\nbody"));
        QCOMPARE(attributeAt(editor, QStringLiteral("bold"), 0), QStringLiteral("1"));
        QCOMPARE(attributeAt(editor, QStringLiteral("size"), 0), QStringLiteral("16"));
        editor.SetSelStart(0);
        const TParaAttributes heading = editor.Paragraph();
        QCOMPARE(heading.StyleNumber(), 1);
        QVERIFY(heading.KeepWithNext());
        QCOMPARE(heading.SpaceBefore(), 12);
        QCOMPARE(heading.SpaceAfter(), 3);
        QCOMPARE(editor.SelAttributes().KerningThreshold(), 320);

        QCOMPARE(attributeAt(editor, QStringLiteral("bold"), 7), QStringLiteral("0"));
        QCOMPARE(attributeAt(editor, QStringLiteral("size"), 7), QStringLiteral("12"));
        editor.SetSelStart(8);
        const TParaAttributes body = editor.Paragraph();
        QVERIFY(!body.KeepWithNext());
        QCOMPARE(body.SpaceBefore(), 0);
        QCOMPARE(body.SpaceAfter(), 0);
    }

    void heading2IsBoldItalic14()
    {
        TMDIChild &w = window(QStringLiteral("Chapter"));
        w.Editor->Select(0, 7);
        run(w, QStringLiteral("Heading21"));
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("italic"), 2), QStringLiteral("1"));
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("size"), 2), QStringLiteral("14"));
        w.Editor->Select(0, 7);
        run(w, QStringLiteral("DefaultText1"));
        QVERIFY(!w.HeadingMode());
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("italic"), 2), QStringLiteral("0"));
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("size"), 2), QStringLiteral("12"));
        QVERIFY(!w.Editor->Paragraph().KeepWithNext());
    }

    void caseConversionKeepsFormatting()
    {
        TMDIChild &w = window(QStringLiteral("abc def 2÷3"));
        TRichEditor &editor = *w.Editor;
        editor.Select(4, 7);
        run(w, QStringLiteral("btnBold"));
        editor.Select(0, 11);
        run(w, QStringLiteral("AllCaps1"));
        QCOMPARE(editor.Text(), QStringLiteral("ABC DEF 2÷3"));
        QCOMPARE(attributeAt(editor, QStringLiteral("bold"), 5), QStringLiteral("1"));
        QCOMPARE(attributeAt(editor, QStringLiteral("bold"), 1), QStringLiteral("0"));
        // One step takes it back.
        editor.Undo();
        QCOMPARE(editor.Text(), QStringLiteral("abc def 2÷3"));
    }

    void formatPainter()
    {
        TMDIChild &w = window(QStringLiteral("source target"));
        TRichEditor &editor = *w.Editor;
        editor.Select(0, 6);
        TTextAttributes look;
        look.SetBold(true);
        look.SetColor(QColor(200, 0, 0));
        look.SetName(QStringLiteral("Courier New"));
        look.SetSize(20);
        editor.SetSelAttributes(look);

        editor.Select(1, 3);
        auto *painter = w.findChild<QToolButton *>(QStringLiteral("btnFormatPainter"));
        painter->click();
        QVERIFY(w.PainterActive());
        QVERIFY(painter->isChecked());
        QCOMPARE(editor.viewport()->cursor().shape(), Qt::PointingHandCursor);

        // The next release of a mouse button in the editor paints onto the selection.
        editor.Select(7, 13);
        QTest::mouseRelease(editor.viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!w.PainterActive());
        QVERIFY(!painter->isChecked());
        QCOMPARE(editor.viewport()->cursor().shape(), Qt::IBeamCursor);
        editor.Select(9, 10);
        const TTextAttributes painted = editor.SelAttributes();
        QVERIFY(painted.Bold());
        QCOMPARE(painted.Color(), QColor(200, 0, 0));
        QCOMPARE(painted.Name(), QStringLiteral("Courier New"));
        QCOMPARE(painted.Size(), 20);

        // Without a selection the second press paints the word at the caret.
        editor.Select(7, 7);
        TTextAttributes plain;
        plain.Assign(editor.DefAttributes());
        editor.Select(7, 13);
        editor.SetSelAttributes(plain);
        editor.Select(1, 3);
        painter->click();
        editor.SetSelStart(9);
        painter->click();
        QVERIFY(!w.PainterActive());
        QCOMPARE(attributeAt(editor, QStringLiteral("size"), 7), QStringLiteral("20"));
        QCOMPARE(attributeAt(editor, QStringLiteral("size"), 12), QStringLiteral("20"));
    }

    void undoHints()
    {
        TMDIChild &w = window();
        TRichEditor &editor = *w.Editor;
        auto *undo = w.findChild<QToolButton *>(QStringLiteral("btnUndo"));
        auto *redo = w.findChild<QToolButton *>(QStringLiteral("btnRedo"));
        QVERIFY(!undo->isEnabled());
        editor.setFocus();
        QTest::keyClicks(&editor, QStringLiteral("some words"));
        QVERIFY(undo->isEnabled());
        QCOMPARE(undo->toolTip(), QStringLiteral("Undo typing"));
        editor.Select(0, 4);
        w.CutClick();
        QCOMPARE(undo->toolTip(), QStringLiteral("Undo cut"));
        QVERIFY(!redo->isEnabled());
        undo->click();
        QCOMPARE(editor.Text(), QStringLiteral("some words"));
        QVERIFY(redo->isEnabled());
        QCOMPARE(redo->toolTip(), QStringLiteral("Redo cut"));
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(editor.Text(), QString());
        QCOMPARE(redo->toolTip(), QStringLiteral("Redo typing"));
    }

    void paragraphDialogCancelRestores()
    {
        TMDIChild &w = window(QStringLiteral("paragraph"));
        w.Editor->SetModified(false);
        bool accept = false;
        TMDIChild::SetParagraphDialog([&accept](TMDIChild &target) {
            TParaAttributes p;
            p.SetAlignment(2);
            p.SetFirstIndent(40);
            p.SetLeftIndent(10);
            p.SetRightIndent(30);
            p.SetSpaceBefore(6);
            p.SetSpaceAfter(8);
            p.SetLineSpacing(LineSpacing::Multiple, 40);
            target.Editor->SetParagraph(p);
            return accept;
        });
        run(w, QStringLiteral("btnParagraph"));
        QCOMPARE(w.Editor->Paragraph(), TParaAttributes());
        QVERIFY(!w.Editor->Modified());

        accept = true;
        run(w, QStringLiteral("btnParagraph"));
        QCOMPARE(w.Editor->Paragraph().FirstIndent(), 40);
        QCOMPARE(w.Editor->Paragraph().Alignment(), 2);
        QVERIFY(w.Editor->Modified());
        TMDIChild::SetParagraphDialog({});
    }

    void fontDialogApply()
    {
        TMDIChild &w = window(QStringLiteral("hello world"));
        w.Editor->Select(0, 5);
        bool seen = false;
        // The dialog is answered once it is up: Apply a font, then cancel.
        QMetaObject::invokeMethod(this, [&seen] {
            auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            QFont font(QStringLiteral("Courier New"));
            font.setPointSize(20);
            dialog->setCurrentFont(font);
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Apply)->click();
            dialog->reject();
        }, Qt::QueuedConnection);
        run(w, QStringLiteral("btnFont"));
        QVERIFY(seen);
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("size"), 1), QStringLiteral("20"));
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("size"), 7), QStringLiteral("12"));

        // Nothing smaller than 4 points comes out of the dialog.
        w.Editor->Select(6, 11);
        QMetaObject::invokeMethod(this, [] {
            if (auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget())) {
                QFont font(QStringLiteral("Courier New"));
                font.setPointSize(2);
                dialog->setCurrentFont(font);
                dialog->accept();
            }
        }, Qt::QueuedConnection);
        run(w, QStringLiteral("btnFont"));
        QCOMPARE(attributeAt(*w.Editor, QStringLiteral("size"), 7), QStringLiteral("4"));
    }

    // "Arial" is drawn by a stand-in: OK without a change keeps its name.
    void fontDialogKeepsAStandInFamily()
    {
        TMDIChild &w = window(QStringLiteral("hello"));
        w.Editor->Select(0, 5);
        QVERIFY(!QFontDatabase::families().contains(QStringLiteral("Arial")));
        QString startedOn;
        QMetaObject::invokeMethod(this, [&startedOn] {
            if (auto *dialog = qobject_cast<QFontDialog *>(QApplication::activeModalWidget())) {
                startedOn = dialog->currentFont().family();
                dialog->accept();
            }
        }, Qt::QueuedConnection);
        w.btnFontClick();
        QCOMPARE(startedOn, QFontInfo(QFont(QStringLiteral("Arial"))).family());
        w.Editor->Select(1, 2);
        QCOMPARE(w.Editor->SelAttributes().Name(), QStringLiteral("Arial"));
    }

    void windowClosedWhileDialogIsUp_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("font") << QStringLiteral("font");
        QTest::newRow("highlight colour") << QStringLiteral("highlight");
        QTest::newRow("font colour") << QStringLiteral("colour");
        QTest::newRow("editor background") << QStringLiteral("background");
    }

    void windowClosedWhileDialogIsUp()
    {
        QFETCH(QString, command);
        TMDIChild &w = window(QStringLiteral("hello"));
        QPointer<TMDIChild> watched(&w);
        // The window goes while its dialog waits for an answer.
        QMetaObject::invokeMethod(this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (qobject_cast<QFontDialog *>(modal) || qobject_cast<QColorDialog *>(modal))
                m_window.reset();
        }, Qt::QueuedConnection);
        if (command == QLatin1String("font"))
            w.btnFontClick();
        else if (command == QLatin1String("highlight"))
            w.btnHighlightClick();
        else if (command == QLatin1String("colour"))
            w.btnCharColorClick();
        else
            w.EditorBackground1Click();
        QVERIFY(!watched);
    }

    void insertObject_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("picture");
        QTest::newRow("picture file") << QStringLiteral("photo.png") << true;
        QTest::newRow("picture with unusual extension") << QStringLiteral("photo.dat") << true;
        QTest::newRow("other file") << QStringLiteral("budget plan.ods") << false;
    }

    void insertObject()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, picture);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        if (fileName.startsWith(QLatin1String("photo"))) {
            QImage image(30, 20, QImage::Format_RGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(path, "PNG"));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a picture");
        }
        TMDIChild &w = window(QStringLiteral("ab"));
        w.Editor->SetSelStart(1);
        FileAnswer answer(path);
        run(w, QStringLiteral("InsertObject1"));

        QTextCursor c(w.Editor->document());
        c.setPosition(2);
        if (picture) {
            QCOMPARE(w.Editor->TextLength(), 3);
            QVERIFY(c.charFormat().isImageFormat());
            QCOMPARE(c.charFormat().toImageFormat().width(), 30.0);
            return;
        }
        QCOMPARE(w.Editor->Text(), QStringLiteral("a") + fileName + QStringLiteral("b"));
        QVERIFY(c.charFormat().isAnchor());
        QCOMPARE(c.charFormat().anchorHref(), QUrl::fromLocalFile(path).toString());
        // The link is kept when the document is saved and read again.
        QBuffer rtf;
        QVERIFY(rtf.open(QIODevice::ReadWrite));
        QVERIFY(w.Editor->SaveToStream(rtf, StreamFormat::Rtf));
        rtf.seek(0);
        TRichEditor reread;
        QVERIFY(reread.LoadFromStream(rtf, StreamFormat::Rtf));
        QTextCursor r(reread.document());
        r.setPosition(2);
        QCOMPARE(r.charFormat().anchorHref(), QUrl::fromLocalFile(path).toString());
        // What is typed after the link is text, not more of the link.
        w.Editor->insertPlainText(QStringLiteral("X"));
        c.setPosition(w.Editor->SelStart());
        QVERIFY(!c.charFormat().isAnchor());
        QVERIFY(w.Editor->CanUndo());
    }

    void linkClickOpensTheFile()
    {
        Messages messages;
        LinkOpener opener;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opener, "open");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("notes.ods"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        TMDIChild &w = window();
        {
            FileAnswer answer(path);
            run(w, QStringLiteral("InsertObject1"));
        }
        w.Editor->SetSelStart(w.Editor->TextLength());
        QTextCursor c(w.Editor->document());
        c.setPosition(3);
        const QPoint onLink = w.Editor->cursorRect(c).center();
        QTest::mouseClick(w.Editor->viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(opener.opened, QList<QUrl>{QUrl::fromLocalFile(path)});

        // Dragging a selection over the link does not open it.
        w.Editor->Select(0, 5);
        QTest::mouseRelease(w.Editor->viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(opener.opened.size(), 1);

        // A link to a file that has gone is reported, not handed on.
        QVERIFY(QFile::remove(path));
        w.Editor->SetSelStart(0);
        QTest::mouseClick(w.Editor->viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(opener.opened.size(), 1);
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Unable to open the link \"%1\".")
                                                 .arg(QDir::toNativeSeparators(path))});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void statusBarCountsTheDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("counts");
        QTest::newRow("no-break space joins") << QStringLiteral("a\u00A0b") << QStringLiteral("Words:   1   Characters:   3");
        QTest::newRow("line break in a paragraph")
            << QStringLiteral("ab\u2028cd") << QStringLiteral("Words:   2   Characters:   6");
        QTest::newRow("two paragraphs") << QStringLiteral("ab\ncd e") << QStringLiteral("Words:   3   Characters:   8");
    }

    void statusBarCountsTheDocument()
    {
        QFETCH(QString, text);
        QFETCH(QString, counts);
        TMDIChild &w = window();
        QCOMPARE(panel(8), QStringLiteral("Words:   0   Characters:   0"));
        QTextCursor(w.Editor->document()).insertText(text);
        w.Editor->SetSelStart(1);
        QCOMPARE(panel(8), counts);
        // Typing changes the counts at once.
        w.Editor->SetSelStart(0);
        QTest::keyClicks(w.Editor, QStringLiteral("x "));
        QVERIFY(panel(8) != counts);
    }

    void statusBar()
    {
        TMDIChild &w = window();
        QCOMPARE(panel(8), QStringLiteral("Words:   0   Characters:   0"));
        w.Editor->setPlainText(QStringLiteral("well-known (really)\nnext"));
        w.Editor->Select(3, 8);
        QCOMPARE(panel(8), QStringLiteral("Words:   3   Characters:  25"));
        QCOMPARE(panel(0), QStringLiteral("Line:   1  Col:   9"));
        QCOMPARE(panel(5), QStringLiteral("INSERT"));
        QVERIFY(w.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions().first()->isEnabled());
        w.Editor->SetSelStart(21);
        QCOMPARE(panel(0), QStringLiteral("Line:   2  Col:   2"));
        QAction *cut = w.findChild<QMenu *>(QStringLiteral("PopupMenu1"))->actions().first();
        QVERIFY(!cut->isEnabled());
        // Select All with the caret already at the end moves nothing but the anchor.
        w.Editor->SetSelStart(w.Editor->TextLength());
        run(w, QStringLiteral("SelectAll1"));
        QVERIFY(cut->isEnabled());
        w.Editor->SetSelStart(21);

        // Insert toggles overwriting, and typing then replaces.
        w.Editor->setFocus();
        QTest::keyClick(w.Editor, Qt::Key_Insert);
        QCOMPARE(panel(5), QStringLiteral("OVERWRITE"));
        QTest::keyClicks(w.Editor, QStringLiteral("E"));
        QCOMPARE(w.Editor->Text(), QStringLiteral("well-known (really)\nnExt"));
        QTest::keyClick(w.Editor, Qt::Key_Insert);
        QCOMPARE(panel(5), QStringLiteral("INSERT"));
        // Offscreen there are no keyboard indicators: the toggles read as off.
        QCOMPARE(panel(3), QString());
    }

    // A lock goes on when its key goes down but, on X, off only when the key
    // comes up: the panels follow both.
    void lockIndicatorsFollowKeyDownAndUp_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("toggle");
        QTest::addColumn<int>("panelIndex");
        QTest::addColumn<QString>("text");
        QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << int(TKeyboardState::Toggle::NumLock) << 2
                                  << QStringLiteral("NUM");
        QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << int(TKeyboardState::Toggle::CapsLock) << 3
                                   << QStringLiteral("CAPS");
        QTest::newRow("Scroll Lock") << int(Qt::Key_ScrollLock) << int(TKeyboardState::Toggle::ScrollLock) << 4
                                     << QStringLiteral("SCROLL");
    }

    void lockIndicatorsFollowKeyDownAndUp()
    {
        QFETCH(int, key);
        QFETCH(int, toggle);
        QFETCH(int, panelIndex);
        QFETCH(QString, text);
        bool on = false;
        TKeyboardState::setReader([&on, toggle](TKeyboardState::Toggle t) { return on && int(t) == toggle; });
        TMDIChild &w = window();
        w.Editor->setFocus();
        on = true;
        QTest::keyPress(w.Editor, Qt::Key(key));
        QCOMPARE(panel(panelIndex), text);
        QTest::keyRelease(w.Editor, Qt::Key(key));
        QTest::keyPress(w.Editor, Qt::Key(key));
        on = false;
        QTest::keyRelease(w.Editor, Qt::Key(key));
        TKeyboardState::setReader({});
        QCOMPARE(panel(panelIndex), QString());
    }

    void informationBoxes()
    {
        Messages messages;
        TMDIChild &w = window();
        run(w, QStringLiteral("imgToolTips"));
        run(w, QStringLiteral("imgDocStats"));
        run(w, QStringLiteral("imgDocStats"));
        QCOMPARE(messages.texts.size(), 3);
        QVERIFY(messages.texts[0].startsWith(QStringLiteral("Short-Cut keys for the Editor.\r\n")));
        QVERIFY(messages.texts[1].startsWith(QStringLiteral("Curent Date: ")));
        QVERIFY(messages.texts[1].endsWith(QStringLiteral("Document Open Time: 00:00:00")));
        // From the second use on the clock times carry AM or PM.
        const QString currentTime = messages.texts[2].split(QStringLiteral("\r\n")).at(2);
        QVERIFY2(currentTime.endsWith(QStringLiteral("AM")) || currentTime.endsWith(QStringLiteral("PM")),
                 qPrintable(currentTime));
    }
};

QTEST_MAIN(TestTMDIChildFormat)
#include "tst_tmdichildformat.moc"
