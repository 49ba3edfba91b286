// The document window's status bar, the toolbar's refresh from the text at
// the caret, and the two information boxes of the left panel.

#include "tdocumenthost.h"
#include "tformatrules.h"
#include "tkeyboardstate.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "trichedit.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace {
// The time format the statistics box writes clock times in. The box switches
// it to the 12-hour clock after its first use, so later uses show AM/PM.
QString &longTimeFormat()
{
    static QString format = QLocale().timeFormat(QLocale::LongFormat);
    return format;
}
} // namespace

void TMDIChild::CountWords()
{
    QTextDocument *document = Editor->document();
    if (document != m_countedDocument) {
        disconnect(m_countConnection);
        m_countedDocument = document;
        m_countConnection = connect(document, &QTextDocument::contentsChange, this,
                                    [this](int, int, int) { m_wordCount.reset(); });
        m_wordCount.reset();
    }
    if (!m_wordCount) {
        // Paragraph by paragraph: a selection change must not copy a long
        // document, and the document's own characters (a no-break space
        // joins its words) are counted as they are. Each paragraph end is a
        // line break of two characters.
        TFormatRules::WordCount total;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const TFormatRules::WordCount part = TFormatRules::CountWords(block.text());
            total.words += part.words;
            total.characters += part.characters;
            if (block.next().isValid())
                total.characters += 2;
        }
        m_wordCount = total;
    }
    setStatusPanel(8, TFormatRules::WordCountText(*m_wordCount));
}

void TMDIChild::updateAlignmentButtons()
{
    const int alignment = Editor->Paragraph().Alignment();
    btnLeftAlign->setChecked(alignment == 0);
    btnCenterAlign->setChecked(alignment == 2);
    btnJustify->setChecked(alignment == 3);
}

void TMDIChild::UpdateStatus()
{
    setStatusPanel(0, QString::asprintf("Line: %3d  Col: %3d", Editor->CaretLine() + 1, Editor->CaretColumn() + 1));
    if (m_host)
        setStatusPanel(6, QStringLiteral("%1 Document(s) Open").arg(m_host->DocumentCount()));
    CountWords();
    const bool selected = Editor->SelLength() > 0;
    m_popupCut->setEnabled(selected);
    m_popupCopy->setEnabled(selected);
    if (m_host && isActiveWindowOfHost())
        m_host->SetCutCopyEnabled(selected);
    updateAlignmentButtons();
}

void TMDIChild::EditorChange()
{
    btnUndo->setEnabled(Editor->CanUndo());
    btnUndo->setToolTip(QStringLiteral("Undo ") + TFormatRules::UndoKindWord(Editor->UndoKind()));
    btnRedo->setEnabled(Editor->CanRedo());
    btnRedo->setToolTip(QStringLiteral("Redo ") + TFormatRules::UndoKindWord(Editor->RedoKind()));
    SetModifiedIndicator(Editor->Modified());
}

void TMDIChild::EditorSelectionChange()
{
    {
        // The buttons below are set, not clicked: their commands stay quiet.
        const bool wasUpdating = m_updatingUi;
        m_updatingUi = true;
        struct Restore {
            bool &flag;
            bool value;
            ~Restore() { flag = value; }
        } restore{m_updatingUi, wasUpdating};

        const TParaAttributes paragraph = Editor->Paragraph();
        m_startIndentPt = paragraph.FirstIndent();
        m_hangingIndentPt = paragraph.LeftIndent();

        const TTextAttributes a = CurrentAttributes();
        btnBold->setChecked(a.Bold());
        btnItalic->setChecked(a.Italic());
        btnUnderline->setChecked(a.Underline());
        lblFontSize->setText(QString::number(a.Size()));
        setStatusPanel(9, a.Name());
        ProtectedText1->setChecked(a.Protected());
        DisabledText1->setChecked(a.Disabled());
        HiddenText1->setChecked(a.Hidden());
        Superscript1->setChecked(a.Position() == TTextAttributes::VerticalPosition::Superscript);
        Subscript1->setChecked(a.Position() == TTextAttributes::VerticalPosition::Subscript);
        btnBullets->setChecked(paragraph.Bullets());
    }
    // Counts the words, enables cut and copy and sets the alignment buttons.
    UpdateStatus();
}

void TMDIChild::UpdateKeyIndicators()
{
    setStatusPanel(2, TKeyboardState::isOn(TKeyboardState::Toggle::NumLock) ? QStringLiteral("NUM") : QString());
    setStatusPanel(3, TKeyboardState::isOn(TKeyboardState::Toggle::CapsLock) ? QStringLiteral("CAPS") : QString());
    setStatusPanel(4, TKeyboardState::isOn(TKeyboardState::Toggle::ScrollLock) ? QStringLiteral("SCROLL")
                                                                               : QString());
    setStatusPanel(5, Editor->overwriteMode() ? QStringLiteral("OVERWRITE") : QStringLiteral("INSERT"));
}

void TMDIChild::EditorKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Insert) {
        // Insert alone toggles overwriting; with Shift or Ctrl it is a clipboard key.
        if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
            Editor->setOverwriteMode(!Editor->overwriteMode());
        UpdateKeyIndicators();
    } else if (TKeyboardState::isToggleKey(key)) {
        UpdateKeyIndicators();
    }
}

void TMDIChild::imgDocStatsClick()
{
    const QString text = TFormatRules::StatisticsText(QDateTime::currentDateTime(), m_openTime, longTimeFormat());
    longTimeFormat() = QStringLiteral("hh:mm:ss AP");
    TMessageBox::information(this, text);
}

void TMDIChild::imgToolTipsClick()
{
    TMessageBox::information(this, TFormatRules::ShortcutHelpText());
}
