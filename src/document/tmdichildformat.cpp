// The formatting commands of the document window: its toolbar, its font and
// paragraph menus, the editing commands of its context menu and the
// insertions. Each command ends by rebuilding the page strip when it changes
// what a page shows, and by giving the focus back to the editor.

#include "tdocumenthost.h"
#include "tfiledialog.h"
#include "tformatrules.h"
#include "tmdichild.h"
#include "tkeyboardstate.h"
#include "tmessagebox.h"
#include "trichedit.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>

namespace {
TMDIChild::ParagraphDialogFunction &paragraphDialog()
{
    static TMDIChild::ParagraphDialogFunction dialog;
    return dialog;
}

// Sets a flag for the lifetime of the object, also when the work between fails.
class FlagGuard
{
public:
    explicit FlagGuard(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FlagGuard() { m_flag = false; }
    FlagGuard(const FlagGuard &) = delete;
    FlagGuard &operator=(const FlagGuard &) = delete;

private:
    bool &m_flag;
};
} // namespace

void TMDIChild::SetParagraphDialog(ParagraphDialogFunction dialog)
{
    paragraphDialog() = std::move(dialog);
}

void TMDIChild::connectToolButton(const char *name, void (TMDIChild::*handler)())
{
    if (auto *button = findChild<QToolButton *>(QString::fromLatin1(name)))
        connect(button, &QToolButton::clicked, this, handler);
}

void TMDIChild::buildFormatCommands()
{
    buildFormatMenus();

    btnFormatPainter->setCheckable(true);
    btnBullets->setCheckable(true);

    connectToolButton("btnFont", &TMDIChild::btnFontClick);
    connectToolButton("btnUndo", &TMDIChild::UndoClick);
    connectToolButton("btnRedo", &TMDIChild::RedoClick);
    connectToolButton("btnBold", &TMDIChild::btnBoldClick);
    connectToolButton("btnItalic", &TMDIChild::btnItalicClick);
    connectToolButton("btnUnderline", &TMDIChild::btnUnderlineClick);
    connectToolButton("btnFormatPainter", &TMDIChild::btnFormatPainterClick);
    connectToolButton("btnLeftAlign", &TMDIChild::btnLeftAlignClick);
    connectToolButton("btnCenterAlign", &TMDIChild::btnCenterAlignClick);
    connectToolButton("btnJustify", &TMDIChild::btnJustifyClick);
    connectToolButton("btnDedent", &TMDIChild::btnDedentClick);
    connectToolButton("btnFirstIndentM", &TMDIChild::btnFirstIndentMClick);
    connectToolButton("btnFirstIndentP", &TMDIChild::btnFirstIndentPClick);
    connectToolButton("btnIndent", &TMDIChild::btnIndentClick);
    connectToolButton("btnParagraph", &TMDIChild::btnParagraphClick);
    connectToolButton("btnHighlight", &TMDIChild::btnHighlightClick);
    connectToolButton("btnCharColor", &TMDIChild::btnCharColorClick);
    connectToolButton("btnBullets", &TMDIChild::btnBulletsClick);
    connectToolButton("btnIncFontSize", &TMDIChild::btnIncFontSizeClick);
    connectToolButton("btnDecFontSize", &TMDIChild::btnDecFontSizeClick);
    connectToolButton("imgToolTips", &TMDIChild::imgToolTipsClick);
    connectToolButton("imgDocStats", &TMDIChild::imgDocStatsClick);
    connectToolButton("imgViewDocs", &TMDIChild::imgViewDocsClick);
    for (const char *tool : {"imgCustText", "imgRTFCode", "btnCustomText", "btnSpecialChar", "imgEmotiCon"}) {
        if (auto *button = findChild<QToolButton *>(QString::fromLatin1(tool))) {
            const QString name = QString::fromLatin1(tool);
            connect(button, &QToolButton::clicked, this, [this, name] { RunInsertionTool(name); });
        }
    }

    for (QAction *action : PopupMenu1->actions()) {
        if (!action->isSeparator() && action->objectName().isEmpty())
            action->setObjectName(QString(action->text()).remove(QLatin1Char('&')).remove(QLatin1Char(' '))
                                  + QLatin1Char('1'));
        // "Clear Selection" keeps its shortcut while the context menu is closed.
        if (action->text() == QLatin1String("Clear Selection")) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
    }

    connect(Editor, &TRichEditor::KeyDown, this, &TMDIChild::EditorKeyDown);
    connect(Editor, &TRichEditor::ProtectChange, this, &TMDIChild::EditorProtectChange,
            Qt::DirectConnection);
    // A selection can appear or vanish without the caret moving (Select All
    // with the caret at the end): cut and copy follow it all the same.
    connect(Editor, &QTextEdit::copyAvailable, this, [this](bool selected) {
        m_popupCut->setEnabled(selected);
        m_popupCopy->setEnabled(selected);
        if (m_host && isActiveWindowOfHost())
            m_host->SetCutCopyEnabled(selected);
    });
    connect(Editor, &TRichEditor::LinkClicked, this, &TMDIChild::EditorLinkClicked);
    Editor->installEventFilter(this);
    Editor->viewport()->installEventFilter(this);
}

void TMDIChild::buildFormatMenus()
{
    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    // Find and replace open once the menu's event has been handled.
    QAction *find = PopupMenu2->addAction(QStringLiteral("&Find..."));
    find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    connect(find, &QAction::triggered, this, [this] {
        QMetaObject::invokeMethod(this, [this] { Editor->FindDialog(Editor->textCursor().selectedText()); },
                                  Qt::QueuedConnection);
    });
    QAction *replace = PopupMenu2->addAction(QStringLiteral("Find and Replace..."));
    replace->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    connect(replace, &QAction::triggered, this, [this] {
        QMetaObject::invokeMethod(this, [this] { Editor->ReplaceDialog(Editor->textCursor().selectedText()); },
                                  Qt::QueuedConnection);
    });
    PopupMenu2->addSeparator();
    Subscript1 = PopupMenu2->addAction(QStringLiteral("Subscript"), this, &TMDIChild::Subscript1Click);
    Subscript1->setObjectName(QStringLiteral("Subscript1"));
    Superscript1 = PopupMenu2->addAction(QStringLiteral("Superscript"), this, &TMDIChild::Superscript1Click);
    Superscript1->setObjectName(QStringLiteral("Superscript1"));
    PopupMenu2->addSeparator();
    QAction *background = PopupMenu2->addAction(QStringLiteral("Editor Background..."), this,
                                                &TMDIChild::EditorBackground1Click);
    background->setObjectName(QStringLiteral("EditorBackground1"));
    QMenu *standard = PopupMenu2->addMenu(QStringLiteral("Standard Formatting"));
    standard->setObjectName(QStringLiteral("StandardFormatting1"));
    standard->addAction(QStringLiteral("All Caps"), this, &TMDIChild::AllCaps1Click)
        ->setObjectName(QStringLiteral("AllCaps1"));
    standard->addAction(QStringLiteral("Small Caps"), this, &TMDIChild::SmallCaps1Click)
        ->setObjectName(QStringLiteral("SmallCaps1"));
    standard->addSeparator();
    HiddenText1 = standard->addAction(QStringLiteral("Hidden Text"), this, &TMDIChild::HiddenText1Click);
    HiddenText1->setObjectName(QStringLiteral("HiddenText1"));
    DisabledText1 = standard->addAction(QStringLiteral("Disabled Text"), this, &TMDIChild::DisabledText1Click);
    DisabledText1->setObjectName(QStringLiteral("DisabledText1"));
    ProtectedText1 = standard->addAction(QStringLiteral("Protected Text"), this, &TMDIChild::ProtectedText1Click);
    ProtectedText1->setObjectName(QStringLiteral("ProtectedText1"));
    for (QAction *a : {Subscript1, Superscript1, HiddenText1, DisabledText1, ProtectedText1})
        a->setCheckable(true);
    PopupMenu2->addSeparator();
    QAction *table = PopupMenu2->addAction(QStringLiteral("Insert Table..."), this, &TMDIChild::InsertTable1Click);
    table->setObjectName(QStringLiteral("InsertTable1"));
    table->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+T")));
    QAction *object = PopupMenu2->addAction(QStringLiteral("Insert Object..."), this, &TMDIChild::InsertObject1Click);
    object->setObjectName(QStringLiteral("InsertObject1"));
    object->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+O")));
    QAction *picture = PopupMenu2->addAction(QStringLiteral("Insert Picture..."), this, &TMDIChild::InsertPicture1Click);
    picture->setObjectName(QStringLiteral("InsertPicture1"));
    picture->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+P")));
    // The menu shows the keys, but the frame's shortcuts act on them: the
    // button hands its menu's items to the window, where a second live
    // shortcut (one per open document) would make every key ambiguous.
    for (QAction *a : PopupMenu2->actions()) {
        a->setShortcutVisibleInContextMenu(true);
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    btnFont->setMenu(PopupMenu2);
    btnFont->setPopupMode(QToolButton::MenuButtonPopup);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    PopupMenu3->addAction(QStringLiteral("Single Line Spacing"), this, &TMDIChild::SingleLineSpacing1Click)
        ->setObjectName(QStringLiteral("SingleLineSpacing1"));
    PopupMenu3->addAction(QStringLiteral("1.5 Line Spacing"), this, &TMDIChild::N15LineSpacing1Click)
        ->setObjectName(QStringLiteral("N15LineSpacing1"));
    PopupMenu3->addAction(QStringLiteral("Double Line Spacing"), this, &TMDIChild::DoubleLineSpacing1Click)
        ->setObjectName(QStringLiteral("DoubleLineSpacing1"));
    PopupMenu3->addSeparator();
    PopupMenu3->addAction(QStringLiteral("Heading 1 - Bold / 16"), this, &TMDIChild::Heading11Click)
        ->setObjectName(QStringLiteral("Heading11"));
    PopupMenu3->addAction(QStringLiteral("Heading 2 - Bold / Italic / 14"), this, &TMDIChild::Heading21Click)
        ->setObjectName(QStringLiteral("Heading21"));
    PopupMenu3->addAction(QStringLiteral("Heading 3 - Bold / 13"), this, &TMDIChild::Heading31Click)
        ->setObjectName(QStringLiteral("Heading31"));
    PopupMenu3->addAction(QStringLiteral("Default Text"), this, &TMDIChild::DefaultText1Click)
        ->setObjectName(QStringLiteral("DefaultText1"));
    btnParagraph->setMenu(PopupMenu3);
    btnParagraph->setPopupMode(QToolButton::MenuButtonPopup);
}

// ---- helpers ------------------------------------------------------------------

TTextAttributes TMDIChild::CurrentAttributes() const
{
    return Editor->SelLength() > 0 ? Editor->SelAttributes() : Editor->WordAttributes();
}

bool TMDIChild::SetCurrentAttributes(const TTextAttributes &attributes)
{
    return Editor->SelLength() > 0 ? Editor->SetSelAttributes(attributes)
                                   : Editor->SetWordAttributes(attributes);
}

void TMDIChild::finishCommand(bool repaginate)
{
    if (repaginate)
        Repaginate();
    Editor->setFocus();
}

void TMDIChild::EditorProtectChange(int start, int end, bool &allow)
{
    Q_UNUSED(start);
    Q_UNUSED(end);
    allow = m_allowProtectChange;
}

// ---- character toggles ----------------------------------------------------------

void TMDIChild::toggleStyle(QToolButton *button, bool (TTextAttributes::*get)() const,
                            void (TTextAttributes::*set)(bool), bool repaginate)
{
    if (m_updatingUi)
        return;
    TTextAttributes change;
    (change.*set)(!(CurrentAttributes().*get)());
    SetCurrentAttributes(change);
    // The button follows the text, also when protected text refused the change.
    button->setChecked((CurrentAttributes().*get)());
    finishCommand(repaginate);
}

void TMDIChild::btnBoldClick()
{
    toggleStyle(btnBold, &TTextAttributes::Bold, &TTextAttributes::SetBold, true);
}

void TMDIChild::btnItalicClick()
{
    toggleStyle(btnItalic, &TTextAttributes::Italic, &TTextAttributes::SetItalic, false);
}

void TMDIChild::btnUnderlineClick()
{
    toggleStyle(btnUnderline, &TTextAttributes::Underline, &TTextAttributes::SetUnderline, true);
}

void TMDIChild::Superscript1Click()
{
    if (m_updatingUi)
        return;
    // The item's check has already flipped: checked now means it was unchecked.
    TTextAttributes change;
    change.SetPosition(Superscript1->isChecked() ? TTextAttributes::VerticalPosition::Superscript
                                                 : TTextAttributes::VerticalPosition::Normal);
    SetCurrentAttributes(change);
    finishCommand(false);
}

void TMDIChild::Subscript1Click()
{
    if (m_updatingUi)
        return;
    TTextAttributes change;
    change.SetPosition(Subscript1->isChecked() ? TTextAttributes::VerticalPosition::Subscript
                                               : TTextAttributes::VerticalPosition::Normal);
    SetCurrentAttributes(change);
    finishCommand(false);
}

void TMDIChild::HiddenText1Click()
{
    if (m_updatingUi)
        return;
    TTextAttributes change;
    change.SetHidden(!CurrentAttributes().Hidden());
    SetCurrentAttributes(change);
    HiddenText1->setChecked(CurrentAttributes().Hidden());
    finishCommand(true);
}

void TMDIChild::DisabledText1Click()
{
    if (m_updatingUi)
        return;
    TTextAttributes change;
    change.SetDisabled(!CurrentAttributes().Disabled());
    SetCurrentAttributes(change);
    DisabledText1->setChecked(CurrentAttributes().Disabled());
    finishCommand(true);
}

void TMDIChild::ProtectedText1Click()
{
    if (m_updatingUi)
        return;
    {
        // Only this command may change protected text, and only while it runs.
        FlagGuard allow(m_allowProtectChange);
        TTextAttributes change;
        change.SetProtected(!CurrentAttributes().Protected());
        SetCurrentAttributes(change);
        ProtectedText1->setChecked(CurrentAttributes().Protected());
    }
    finishCommand(false);
}

// ---- font and colour ------------------------------------------------------------

void TMDIChild::btnFontClick()
{
    QPointer<TMDIChild> self(this);
    // On the heap: closing the window while the dialog runs takes the dialog
    // with it, which a dialog on the stack would not survive.
    // A family the system only stands in for ("Arial", drawn by Liberation
    // Sans) is missing from the dialog's list, which would then start on some
    // other family and hand that back on OK. The dialog starts on the family
    // that really draws the text, and that family keeps the text's own name.
    const QFont initial = Editor->SelAttributes().Font();
    const QString drawnBy = QFontInfo(initial).family();
    const bool standIn = !QFontDatabase::families().contains(initial.family()) && drawnBy != initial.family();
    // The dialog offers nothing below 4 points; a smaller size typed in is raised to it.
    const auto named = [initial, drawnBy, standIn](QFont font) {
        if (standIn && font.family() == drawnBy)
            font.setFamily(initial.family());
        if (font.pointSizeF() > 0 && font.pointSizeF() < 4)
            font.setPointSize(4);
        return font;
    };
    QFont shown = initial;
    if (standIn)
        shown.setFamily(drawnBy);
    QPointer<QFontDialog> dialog = new QFontDialog(shown, this);
    dialog->setObjectName(QStringLiteral("FontDialog"));
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    if (auto *box = dialog->findChild<QDialogButtonBox *>()) {
        QPushButton *apply = box->addButton(QDialogButtonBox::Apply);
        connect(apply, &QPushButton::clicked, this, [this, dialog, named] {
            if (!dialog)
                return;
            TTextAttributes font;
            font.Assign(named(dialog->currentFont()));
            Editor->SetSelAttributes(font);
            Editor->viewport()->update();
            Repaginate();
        });
    }
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!self || !dialog)
        return;
    const QFont chosen = named(dialog->selectedFont());
    delete dialog;
    if (accepted) {
        TTextAttributes font;
        font.Assign(chosen);
        SetCurrentAttributes(font);
    }
    EditorSelectionChange();
    finishCommand(true);
}

QColor TMDIChild::PickColour(const QColor &initial, const QString &title)
{
    QPointer<TMDIChild> self(this);
    // On the heap, like the font dialog: closing the window while the dialog
    // runs takes the dialog with it.
    QPointer<QColorDialog> dialog = new QColorDialog(initial, this);
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setWindowTitle(title);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!self || !dialog)
        return QColor();
    const QColor chosen = accepted ? dialog->selectedColor() : QColor();
    delete dialog;
    return chosen;
}

void TMDIChild::btnHighlightClick()
{
    QPointer<TMDIChild> self(this);
    const QColor current = Editor->SelAttributes().BackColor();
    const QColor chosen = PickColour(current.isValid() ? current : QColor(Qt::white),
                                     QStringLiteral("Highlight Colour"));
    if (!self)
        return;
    if (chosen.isValid()) {
        TTextAttributes change;
        change.SetBackColor(chosen);
        Editor->SetSelAttributes(change);
    }
    finishCommand(true);
}

void TMDIChild::btnCharColorClick()
{
    QPointer<TMDIChild> self(this);
    const QColor current = Editor->SelAttributes().Color();
    const QColor chosen = PickColour(current.isValid() ? current : QColor(Qt::black),
                                     QStringLiteral("Font Colour"));
    if (!self)
        return;
    if (chosen.isValid()) {
        TTextAttributes change;
        change.SetColor(chosen);
        Editor->SetSelAttributes(change);
    }
    finishCommand(true);
}

void TMDIChild::btnIncFontSizeClick()
{
    if (m_updatingUi)
        return;
    TTextAttributes change;
    change.SetSize(CurrentAttributes().Size() + 1);
    SetCurrentAttributes(change);
    lblFontSize->setText(QString::number(CurrentAttributes().Size()));
    finishCommand(true);
}

void TMDIChild::btnDecFontSizeClick()
{
    if (m_updatingUi)
        return;
    const int size = CurrentAttributes().Size();
    if (size > 3) {
        TTextAttributes change;
        change.SetSize(size - 1);
        SetCurrentAttributes(change);
        lblFontSize->setText(QString::number(CurrentAttributes().Size()));
    }
    finishCommand(true);
}

// ---- paragraph --------------------------------------------------------------------

void TMDIChild::setAlignment(int alignment)
{
    TParaAttributes change;
    change.SetAlignment(alignment);
    if (alignment == 3)
        Editor->SetAdvancedTypography(true);
    Editor->SetParagraph(change);
    updateAlignmentButtons();
    finishCommand(true);
}

void TMDIChild::btnLeftAlignClick()
{
    setAlignment(0);
}

void TMDIChild::btnCenterAlignClick()
{
    setAlignment(2);
}

void TMDIChild::btnJustifyClick()
{
    setAlignment(3);
}

void TMDIChild::btnBulletsClick()
{
    if (m_updatingUi)
        return;
    TParaAttributes change;
    change.SetBullets(!Editor->Paragraph().Bullets());
    Editor->SetParagraph(change);
    btnBullets->setChecked(Editor->Paragraph().Bullets());
    finishCommand(true);
}

void TMDIChild::btnIndentClick()
{
    stepIndent(TFormatRules::IncreaseIndent(m_startIndentPt), QStringLiteral("Maximum Indentation."),
               false);
}

void TMDIChild::btnDedentClick()
{
    stepIndent(TFormatRules::DecreaseIndent(m_startIndentPt), QStringLiteral("Minimum Indentation."),
               false);
}

void TMDIChild::btnFirstIndentPClick()
{
    stepIndent(TFormatRules::IncreaseHangingIndent(m_hangingIndentPt),
               QStringLiteral("Maximum Hanging Indentation."), true);
}

void TMDIChild::btnFirstIndentMClick()
{
    stepIndent(TFormatRules::DecreaseHangingIndent(m_hangingIndentPt),
               QStringLiteral("Minimum Hanging Indentation."), true);
}

// Sets the start indent (or, hanging, the following lines' indent) to next, or tells the
// user the limit when there is no next step. The tracked value only moves when protected
// text let the change through.
void TMDIChild::stepIndent(std::optional<int> next, const QString &limitMessage, bool hanging)
{
    if (!next) {
        TMessageBox::information(this, limitMessage);
        return;
    }
    TParaAttributes change;
    if (hanging)
        change.SetLeftIndent(*next);
    else
        change.SetFirstIndent(*next);
    if (Editor->SetParagraph(change))
        (hanging ? m_hangingIndentPt : m_startIndentPt) = *next;
    finishCommand(true);
}

void TMDIChild::resetTrackedIndents()
{
    m_startIndentPt = 0;
    m_hangingIndentPt = 0;
}

void TMDIChild::btnParagraphClick()
{
    const ParagraphDialogFunction dialog = paragraphDialog();
    if (!dialog) {
        Editor->setFocus();
        return;
    }
    // The dialog edits the paragraph live; Cancel puts it back as it was.
    const TParaAttributes before = Editor->Paragraph();
    const bool modified = Editor->Modified();
    QPointer<TMDIChild> self(this);
    const bool accepted = dialog(*this);
    if (!self)
        return;
    if (!accepted) {
        TParaAttributes restore;
        restore.SetAlignment(before.Alignment());
        restore.SetFirstIndent(before.FirstIndent());
        restore.SetLeftIndent(before.LeftIndent());
        restore.SetLineSpacing(before.LineSpacingRule(), before.LineSpacingAmount());
        restore.SetRightIndent(before.RightIndent());
        restore.SetSpaceAfter(before.SpaceAfter());
        restore.SetSpaceBefore(before.SpaceBefore());
        Editor->SetParagraph(restore);
        SetModifiedIndicator(modified);
    }
    finishCommand(true);
}

void TMDIChild::SingleLineSpacing1Click()
{
    TParaAttributes change;
    change.SetLineSpacing(LineSpacing::Single);
    Editor->SetParagraph(change);
    finishCommand(true);
}

void TMDIChild::N15LineSpacing1Click()
{
    TParaAttributes change;
    change.SetLineSpacing(LineSpacing::AtLeast,
                          TFormatRules::OneAndHalfSpacingTwips(Editor->SelAttributes().Size()));
    Editor->SetParagraph(change);
    finishCommand(true);
}

void TMDIChild::DoubleLineSpacing1Click()
{
    TParaAttributes change;
    change.SetLineSpacing(LineSpacing::Multiple, 40); // two lines, in twentieths
    Editor->SetParagraph(change);
    finishCommand(true);
}

// ---- headings -----------------------------------------------------------------------

void TMDIChild::applyHeading(int level)
{
    m_headingMode = true;
    TParaAttributes paragraph;
    paragraph.SetStyleNumber(level);
    paragraph.SetKeepWithNext(true);
    paragraph.SetSpaceBefore(12);
    paragraph.SetSpaceAfter(3);
    Editor->SetParagraph(paragraph);

    TTextAttributes kerning;
    kerning.SetKerningThreshold(320);
    SetCurrentAttributes(kerning);

    static constexpr int Sizes[] = {16, 14, 13};
    TTextAttributes style;
    style.SetBold(true);
    style.SetItalic(level == 2);
    style.SetUnderline(false);
    style.SetStrikeOut(false);
    style.SetSize(Sizes[level - 1]);
    Editor->SetSelAttributes(style);
    EditorSelectionChange();
    finishCommand(false);
}

void TMDIChild::Heading11Click()
{
    applyHeading(1);
}

void TMDIChild::Heading21Click()
{
    applyHeading(2);
}

void TMDIChild::Heading31Click()
{
    applyHeading(3);
}

void TMDIChild::applyDefaultText()
{
    m_headingMode = false;
    TParaAttributes paragraph;
    paragraph.SetKeepWithNext(false);
    paragraph.SetSpaceBefore(0);
    paragraph.SetSpaceAfter(0);
    Editor->SetParagraph(paragraph);
    TTextAttributes text;
    text.Assign(Editor->DefAttributes());
    Editor->SetSelAttributes(text);
}

void TMDIChild::DefaultText1Click()
{
    TTextAttributes kerning;
    kerning.SetKerningThreshold(0);
    SetCurrentAttributes(kerning);
    applyDefaultText();
    EditorSelectionChange();
    finishCommand(false);
}

void TMDIChild::headingKeyUp(int key)
{
    // The paragraph that follows a heading starts as default text.
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_headingMode) {
        applyDefaultText();
        EditorSelectionChange();
    }
}

// ---- case conversion ------------------------------------------------------------------

void TMDIChild::convertCase(bool toUpper)
{
    const QTextCursor selection = Editor->textCursor();
    if (!selection.hasSelection()) {
        TMessageBox::information(this, QStringLiteral("Make a selection first."));
        return;
    }
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    if (!Editor->editAllowed(start, end))
        return;

    // Run by run, so every run keeps its format and pictures stay in place;
    // the conversion keeps the length, so positions stay valid while replacing.
    struct Piece {
        int from;
        QString text;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    QTextDocument *doc = Editor->document();
    for (QTextBlock b = doc->findBlock(start); b.isValid() && b.position() < end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int from = qMax(f.position(), start);
            const int to = qMin(f.position() + f.length(), end);
            if (from >= to)
                continue;
            const QString text = f.text().mid(from - f.position(), to - from);
            const QString converted = toUpper ? TFormatRules::AllCaps(text) : TFormatRules::SmallCaps(text);
            if (converted != text)
                pieces.push_back({from, converted, f.charFormat()});
        }
    }
    if (!pieces.empty()) {
        QTextCursor c(doc);
        c.beginEditBlock();
        for (const Piece &p : pieces) {
            c.setPosition(p.from);
            c.setPosition(p.from + int(p.text.size()), QTextCursor::KeepAnchor);
            c.insertText(p.text, p.format);
        }
        c.endEditBlock();
        QTextCursor restored(doc);
        restored.setPosition(selection.anchor());
        restored.setPosition(selection.position(), QTextCursor::KeepAnchor);
        Editor->setTextCursor(restored);
    }
    finishCommand(true);
}

void TMDIChild::AllCaps1Click()
{
    convertCase(true);
}

void TMDIChild::SmallCaps1Click()
{
    convertCase(false);
}

// ---- format painter ---------------------------------------------------------------------

void TMDIChild::btnFormatPainterClick()
{
    if (m_painterActive) {
        applyFormatPainter();
        return;
    }
    const TTextAttributes selected = Editor->SelAttributes();
    m_capturedAttributes = TTextAttributes();
    m_capturedAttributes.SetBold(selected.Bold());
    m_capturedAttributes.SetItalic(selected.Italic());
    m_capturedAttributes.SetUnderline(selected.Underline());
    m_capturedAttributes.SetStrikeOut(selected.StrikeOut());
    m_capturedAttributes.SetCharset(selected.Charset());
    m_capturedAttributes.SetBackColor(selected.BackColor());
    m_capturedAttributes.SetColor(selected.Color());
    m_capturedAttributes.SetName(selected.Name());
    m_capturedAttributes.SetSize(selected.SizeF());
    m_painterActive = true;
    btnFormatPainter->setChecked(true);
    Editor->viewport()->setCursor(Qt::PointingHandCursor);
    finishCommand(true);
}

void TMDIChild::applyFormatPainter()
{
    m_painterActive = false;
    Editor->viewport()->setCursor(Qt::IBeamCursor);
    btnFormatPainter->setChecked(false);
    if (Editor->SelLength() == 0)
        Editor->SetWordAttributes(m_capturedAttributes);
    else
        Editor->SetSelAttributes(m_capturedAttributes);
    m_capturedAttributes = TTextAttributes();
    EditorSelectionChange();
    finishCommand(true);
}

bool TMDIChild::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Editor->viewport() && event->type() == QEvent::MouseButtonRelease && m_painterActive) {
        // The selection is complete when the button comes up: paint onto it.
        applyFormatPainter();
        return false;
    }
    if (watched == Editor && event->type() == QEvent::KeyRelease) {
        // X turns a lock off when its key comes up, not when it goes down.
        if (TKeyboardState::isToggleKey(static_cast<QKeyEvent *>(event)->key()))
            UpdateKeyIndicators();
    }
    if (watched == Editor && event->type() == QEvent::KeyPress) {
        // The editing keys reach the window's commands, which also rebuild the pages.
        auto *key = static_cast<QKeyEvent *>(event);
        void (TMDIChild::*command)() = nullptr;
        if (key->matches(QKeySequence::Cut))
            command = &TMDIChild::CutClick;
        else if (key->matches(QKeySequence::Paste))
            command = &TMDIChild::PasteClick;
        else if (key->matches(QKeySequence::Undo))
            command = &TMDIChild::UndoClick;
        else if (key->matches(QKeySequence::Redo)
                 || (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier))
            command = &TMDIChild::RedoClick;
        if (command) {
            (this->*command)();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- editing commands -------------------------------------------------------------------

void TMDIChild::CutClick()
{
    Editor->CutToClipboard();
    finishCommand(true);
}

void TMDIChild::CopyClick()
{
    Editor->CopyToClipboard();
    Editor->setFocus();
}

void TMDIChild::PasteClick()
{
    Editor->PasteFromClipboard();
    finishCommand(true);
}

void TMDIChild::SelectAllClick()
{
    Editor->SelectAll();
    Editor->setFocus();
}

void TMDIChild::ClearSelectionClick()
{
    Editor->ClearSelection();
    resetTrackedIndents();
    finishCommand(true);
}

void TMDIChild::ClearAllClick()
{
    // Through the control, so protected text stays protected.
    Editor->SelectAll();
    Editor->ClearSelection();
    resetTrackedIndents();
    finishCommand(true);
}

void TMDIChild::UndoClick()
{
    Editor->Undo();
    // The hints name the next steps, which the editor knows once the step is done.
    EditorChange();
    finishCommand(true);
}

void TMDIChild::RedoClick()
{
    Editor->Redo();
    EditorChange();
    finishCommand(true);
}

// ---- insertions ---------------------------------------------------------------------------

void TMDIChild::InsertObject1Click()
{
    TFileDialog::Request request;
    request.title = QStringLiteral("Insert Object");
    request.filters = {QStringLiteral("All Files (*)")};
    QPointer<TMDIChild> self(this);
    const QString path = TFileDialog::run(this, request);
    if (!self)
        return;
    if (path.isEmpty()) {
        Editor->setFocus();
        return;
    }
    if (!QFileInfo(path).isFile()) {
        TMessageBox::information(this, QStringLiteral("Unable to insert \"%1\": the file does not exist.")
                                           .arg(QDir::toNativeSeparators(path)));
        if (self)
            Editor->setFocus();
        return;
    }
    // Refused only by protected text, which the editor has already guarded.
    Editor->InsertObject(path);
    finishCommand(true);
}

void TMDIChild::EditorLinkClicked(const QString &link)
{
    const QUrl url(link);
    // Only targets a viewer opens; a local file must still be there.
    static const QStringList openable = {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"),
                                         QStringLiteral("ftp"), QStringLiteral("mailto")};
    bool ok = url.isValid() && openable.contains(url.scheme().toLower());
    if (ok && url.isLocalFile())
        ok = QFileInfo::exists(url.toLocalFile());
    if (ok)
        ok = QDesktopServices::openUrl(url);
    if (!ok) {
        const QString target = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : link;
        TMessageBox::information(this, QStringLiteral("Unable to open the link \"%1\".").arg(target));
    }
}

void TMDIChild::InsertPicture1Click()
{
    TFileDialog::Request request;
    request.title = QStringLiteral("Insert Picture");
    request.filters = {QStringLiteral("All (*.gif *.jpg *.jpeg *.bmp *.emf *.wmf)"),
                       QStringLiteral("CompuServe GIF Image (*.gif)"),
                       QStringLiteral("JPEG Image File (*.jpg)"),
                       QStringLiteral("JPEG Image File (*.jpeg)"),
                       QStringLiteral("Bitmaps (*.bmp)"),
                       QStringLiteral("Enhanced Metafiles (*.emf)"),
                       QStringLiteral("Metafiles (*.wmf)")};
    QPointer<TMDIChild> self(this);
    const QString path = TFileDialog::run(this, request);
    if (!self || path.isEmpty())
        return;
    // The picture goes straight into the text at its own size, as one undo
    // step, without taking over the user's clipboard; metafiles keep their
    // original bytes for saving.
    QString error;
    if (!Editor->InsertPicture(path, &error)) {
        TMessageBox::information(this, error);
        if (self)
            Editor->setFocus();
        return;
    }
    finishCommand(true);
}

void TMDIChild::InsertTable1Click()
{
    RunInsertionTool(QStringLiteral("InsertTable1"));
}

void TMDIChild::RunInsertionTool(const QString &toolName)
{
    if (!m_host)
        return;
    QPointer<TMDIChild> self(this);
    const bool resultWaiting = m_host->RunWritingAid(toolName, this);
    if (!self)
        return;
    if (resultWaiting) {
        Editor->PasteFromClipboard();
        Repaginate();
    }
    Editor->setFocus();
}

void TMDIChild::imgViewDocsClick()
{
    if (m_host)
        m_host->ShowWindowSwitcher();
}
