#include "trichedit.h"

#include <QPointer>

#include "richtextproperties.h"
#include "rtfpicture.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "codepage.h"
#include "thiddentexthighlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSaveFile>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

#include <algorithm>

namespace {
const QString RtfMimeTypes[] = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

// Plain text as Text() gives it: the document's separators become line feeds
// one for one, so that positions and lengths stay those of the document.
QString plainOf(QString s)
{
    for (QChar &ch : s) {
        switch (ch.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xFDD0: // beginning of a frame (table)
        case 0xFDD1: // end of a frame
            ch = QLatin1Char('\n');
            break;
        case QChar::Nbsp:
            ch = QLatin1Char(' ');
            break;
        default: break;
        }
    }
    return s;
}

QString decodePlainText(const QByteArray &data)
{
    if (const auto bom = QStringConverter::encodingForData(data)) {
        QStringDecoder decoder(*bom); // skips the byte-order mark
        return decoder.decode(data);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return CodePage::decode(data, 1252);
}

QString normalizeLineEnds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QTextDocument::FindFlags findFlagsOf(SearchOptions options)
{
    QTextDocument::FindFlags flags;
    if (options & SearchOption::MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (options & SearchOption::WholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & SearchOption::Backward)
        flags |= QTextDocument::FindBackward;
    return flags;
}

// The format of the character at position; a paragraph separator has none
// that matters for protection.
QTextCharFormat charFormatAt(const QTextDocument *doc, int position)
{
    const QTextBlock block = doc->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.isValid() && position >= f.position() && position < f.position() + f.length())
            return f.charFormat();
    }
    return {};
}

// True when the character at position is hidden text; a paragraph break
// never is (the caret always stops at the end of a paragraph).
bool hiddenAt(const QTextDocument *doc, int position)
{
    if (position < 0 || position >= doc->characterCount() - 1
        || doc->characterAt(position) == QChar::ParagraphSeparator)
        return false;
    return charFormatAt(doc, position).boolProperty(RichTextProperty::Hidden);
}

// Pieces of [start, end) that each lie in one fragment.
struct Piece {
    int from, to;
    QTextCharFormat format;
};
std::vector<Piece> piecesOf(const QTextDocument *doc, int start, int end)
{
    std::vector<Piece> pieces;
    for (QTextBlock block = doc->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid())
                continue;
            const int from = std::max(start, f.position());
            const int to = std::min(end, f.position() + f.length());
            if (from < to)
                pieces.push_back({from, to, f.charFormat()});
        }
    }
    return pieces;
}
} // namespace

TRichEditor::TRichEditor(QWidget *parent) : QTextEdit(parent)
{
    setObjectName(QStringLiteral("Editor"));
    connect(this, &QTextEdit::textChanged, this, &TRichEditor::Change);
    connect(this, &QTextEdit::cursorPositionChanged, this, &TRichEditor::SelectionChange);
    m_hiddenText = new THiddenTextHighlighter(this);
    m_formatRange.setTrueJustification(m_advancedTypography);
    attachDocument(document());
}

TRichEditor::~TRichEditor()
{
    m_formatRange.setSource(nullptr);
}

void TRichEditor::attachDocument(QTextDocument *doc)
{
    m_formatRange.setSource(doc);
    m_hiddenText->setDocument(doc);
    connect(doc, &QTextDocument::undoCommandAdded, this, &TRichEditor::undoCommandAdded,
            Qt::UniqueConnection);
    resetUndoKinds();
    applyZoom();
}

void TRichEditor::resetUndoKinds()
{
    m_undoKinds.clear();
    m_redoKinds.clear();
}

void TRichEditor::undoCommandAdded()
{
    if (sender() != document())
        return;
    m_undoKinds.push_back(m_pendingKind);
    m_redoKinds.clear();
}

// ---- content in and out ----------------------------------------------------

bool TRichEditor::LoadFromStream(QIODevice &device, StreamFormat format, QString *error)
{
    const QByteArray data = device.readAll();
    if (format == StreamFormat::Rtf && RtfReader::looksLikeRtf(data)) {
        // Read into a document of its own, so that a failure keeps the content.
        auto *doc = new QTextDocument(this);
        doc->setDefaultFont(document()->defaultFont());
        doc->setUndoRedoEnabled(false);
        const RtfReadResult r = RtfReader::read(data, *doc);
        if (!r.ok) {
            delete doc;
            if (error)
                *error = r.error.isEmpty() ? tr("The file is not readable RTF.") : r.error;
            return false;
        }
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        // setDocument() frees a document its text control owns; one we made
        // for an earlier load is ours to free.
        QPointer<QTextDocument> old = document();
        const bool ours = old->parent() == this;
        // Laid out once, at the width the view has now.
        doc->setPageSize(old->pageSize());
        setDocument(doc);
        attachDocument(doc);
        if (ours && old)
            delete old;
        emit Change();
        return true;
    }
    setPlainContent(normalizeLineEnds(decodePlainText(data)));
    return true;
}

void TRichEditor::setPlainContent(const QString &text)
{
    setPlainText(text);
    if (!m_defaultFormat.properties().isEmpty()) {
        document()->setUndoRedoEnabled(false);
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(m_defaultFormat);
    }
    // Loading is not a step to take back.
    document()->setUndoRedoEnabled(false);
    document()->setUndoRedoEnabled(true);
    document()->setModified(false);
    resetUndoKinds();
}

bool TRichEditor::SaveToStream(QIODevice &device, StreamFormat format, QString *error) const
{
    QByteArray data;
    if (format == StreamFormat::Rtf) {
        data = RtfWriter::write(*document());
    } else if (format == StreamFormat::PlainUtf16) {
        QStringEncoder enc(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        data = enc.encode(Text());
    } else {
        // The system code page here is UTF-8, which holds every character.
        QStringEncoder enc(QStringConverter::Utf8);
        data = enc.encode(Text());
    }
    if (device.write(data) != data.size()) {
        if (error)
            *error = device.errorString();
        return false;
    }
    return true;
}

bool TRichEditor::LoadFromFile(const QString &path, StreamFormat format, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return LoadFromStream(f, format, error);
}

bool TRichEditor::SaveToFile(const QString &path, StreamFormat format, QString *error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    if (!SaveToStream(f, format, error)) {
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

// ---- text and lines ----------------------------------------------------------

QString TRichEditor::Text() const
{
    return toPlainText();
}

int TRichEditor::TextLength() const
{
    return qMax(document()->characterCount() - 1, 0);
}

QString TRichEditor::TextRange(int from, int to) const
{
    const int len = TextLength();
    from = std::clamp(from, 0, len);
    to = std::clamp(to, from, len);
    QTextCursor c(document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    return plainOf(c.selectedText());
}

int TRichEditor::LineCount() const
{
    (void)document()->documentLayout()->documentSize();
    int count = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        count += qMax(b.layout() ? b.layout()->lineCount() : 0, 1);
    return count;
}

QString TRichEditor::LineText(int index) const
{
    (void)document()->documentLayout()->documentSize();
    if (index < 0)
        return {};
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int lines = qMax(b.layout() ? b.layout()->lineCount() : 0, 1);
        if (index < lines) {
            if (!b.layout() || b.layout()->lineCount() == 0)
                return plainOf(b.text());
            const QTextLine line = b.layout()->lineAt(index);
            return plainOf(b.text().mid(line.textStart(), line.textLength()));
        }
        index -= lines;
    }
    return {};
}

QStringList TRichEditor::Lines() const
{
    QStringList out;
    const int n = LineCount();
    for (int i = 0; i < n; ++i)
        out << LineText(i);
    return out;
}

void TRichEditor::ClearLines()
{
    clear();
    resetUndoKinds();
}

void TRichEditor::lineOf(int position, int *line, int *column) const
{
    (void)document()->documentLayout()->documentSize();
    int index = 0;
    const QTextBlock target = document()->findBlock(position);
    for (QTextBlock b = document()->begin(); b.isValid() && b != target; b = b.next())
        index += qMax(b.layout() ? b.layout()->lineCount() : 0, 1);
    int col = position - target.position();
    if (target.layout() && target.layout()->lineCount() > 0) {
        const QTextLine l = target.layout()->lineForTextPosition(col);
        if (l.isValid()) {
            index += l.lineNumber();
            col -= l.textStart();
        }
    }
    *line = index;
    *column = col;
}

int TRichEditor::lineTop(int line) const
{
    (void)document()->documentLayout()->documentSize();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int lines = qMax(b.layout() ? b.layout()->lineCount() : 0, 1);
        const QRectF r = document()->documentLayout()->blockBoundingRect(b);
        if (line < lines) {
            if (!b.layout() || b.layout()->lineCount() == 0)
                return int(r.top());
            return int(r.top() + b.layout()->lineAt(line).y());
        }
        line -= lines;
    }
    return int(document()->documentLayout()->documentSize().height());
}

int TRichEditor::CaretLine() const
{
    int line = 0, column = 0;
    lineOf(textCursor().position(), &line, &column);
    return line;
}

int TRichEditor::CaretColumn() const
{
    int line = 0, column = 0;
    lineOf(textCursor().position(), &line, &column);
    return column;
}

int TRichEditor::FirstVisibleLine() const
{
    int line = 0, column = 0;
    lineOf(cursorForPosition(QPoint(0, 0)).position(), &line, &column);
    return line;
}

void TRichEditor::ScrollLines(int lines)
{
    const int target = std::clamp(FirstVisibleLine() + lines, 0, qMax(LineCount() - 1, 0));
    verticalScrollBar()->setValue(lineTop(target));
}

// ---- selection ------------------------------------------------------------

int TRichEditor::SelStart() const
{
    return textCursor().selectionStart();
}

void TRichEditor::SetSelStart(int position)
{
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(position, 0, TextLength()));
    setTextCursor(c);
}

int TRichEditor::SelLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEditor::SetSelLength(int length)
{
    const int start = SelStart();
    QTextCursor c = textCursor();
    c.setPosition(start);
    c.setPosition(std::clamp(start + length, 0, TextLength()), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString TRichEditor::SelText() const
{
    return plainOf(textCursor().selectedText());
}

bool TRichEditor::SetSelText(const QString &text)
{
    QTextCursor c = textCursor();
    if (!editAllowed(c.selectionStart(), c.selectionEnd()))
        return false;
    m_pendingKind = TUndoKind::Typing;
    c.insertText(normalizeLineEnds(text));
    m_pendingKind = TUndoKind::None;
    setTextCursor(c);
    return true;
}

bool TRichEditor::InsertPicture(const QString &path, QString *error)
{
    PictureData data;
    if (!RtfPicture::fromFile(path, &data, error))
        return false;
    QTextCursor c = textCursor();
    if (!editAllowed(c.selectionStart(), c.selectionEnd())) {
        if (error)
            *error = QStringLiteral("The picture cannot replace protected text.");
        return false;
    }
    const QImage image = RtfPicture::decode(data);
    m_pendingKind = TUndoKind::Paste;
    c.beginEditBlock();
    c.removeSelectedText();
    RtfPicture::insert(c, data, image);
    c.endEditBlock();
    m_pendingKind = TUndoKind::None;
    setTextCursor(c);
    return true;
}

void TRichEditor::Select(int from, int to)
{
    const int len = TextLength();
    QTextCursor c = textCursor();
    c.setPosition(std::clamp(from, 0, len));
    c.setPosition(std::clamp(to, 0, len), QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

void TRichEditor::SelectAll()
{
    selectAll();
}

bool TRichEditor::ClearSelection()
{
    QTextCursor c = textCursor();
    if (!c.hasSelection())
        return true;
    if (!editAllowed(c.selectionStart(), c.selectionEnd()))
        return false;
    m_pendingKind = TUndoKind::Delete;
    c.removeSelectedText();
    m_pendingKind = TUndoKind::None;
    setTextCursor(c);
    return true;
}

// ---- clipboard --------------------------------------------------------------

void TRichEditor::CutToClipboard()
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection() || isReadOnly())
        return;
    if (!editAllowed(c.selectionStart(), c.selectionEnd()))
        return;
    m_pendingKind = TUndoKind::Cut;
    cut();
    m_pendingKind = TUndoKind::None;
}

void TRichEditor::CopyToClipboard()
{
    copy();
}

void TRichEditor::PasteFromClipboard()
{
    if (isReadOnly())
        return;
    m_pendingKind = TUndoKind::Paste;
    paste();
    m_pendingKind = TUndoKind::None;
}

bool TRichEditor::CanPaste() const
{
    return !isReadOnly() && canPaste();
}

bool TRichEditor::canInsertFromMimeData(const QMimeData *source) const
{
    for (const QString &type : RtfMimeTypes)
        if (source->hasFormat(type))
            return true;
    return QTextEdit::canInsertFromMimeData(source);
}

void TRichEditor::insertFromMimeData(const QMimeData *source)
{
    QTextCursor c = textCursor();
    if (!editAllowed(c.selectionStart(), c.selectionEnd()))
        return;
    for (const QString &type : RtfMimeTypes) {
        if (!source->hasFormat(type))
            continue;
        c.beginEditBlock();
        const RtfReadResult r = RtfReader::insert(source->data(type), c);
        c.endEditBlock();
        if (r.ok) {
            setTextCursor(c);
            ensureCursorVisible();
            return;
        }
        break; // unreadable RTF: fall back to what else the data offers
    }
    QTextEdit::insertFromMimeData(source);
}

QMimeData *TRichEditor::createMimeDataFromSelection() const
{
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    const QTextCursor c = textCursor();
    if (c.hasSelection()) {
        const QByteArray rtf = RtfWriter::write(*document(), c.selectionStart(), c.selectionEnd());
        if (!rtf.isEmpty())
            data->setData(RtfMimeTypes[0], rtf);
    }
    return data;
}

// ---- undo -----------------------------------------------------------------

bool TRichEditor::CanUndo() const
{
    return document()->isUndoAvailable();
}

bool TRichEditor::CanRedo() const
{
    return document()->isRedoAvailable();
}

TUndoKind TRichEditor::UndoKind() const
{
    return CanUndo() && !m_undoKinds.empty() ? m_undoKinds.back() : TUndoKind::None;
}

TUndoKind TRichEditor::RedoKind() const
{
    return CanRedo() && !m_redoKinds.empty() ? m_redoKinds.back() : TUndoKind::None;
}

void TRichEditor::Undo()
{
    if (!CanUndo())
        return;
    undo();
    if (!m_undoKinds.empty()) {
        m_redoKinds.push_back(m_undoKinds.back());
        m_undoKinds.pop_back();
    }
}

void TRichEditor::Redo()
{
    if (!CanRedo())
        return;
    // Redoing adds no undo command of its own, so move the kind by hand.
    redo();
    if (!m_redoKinds.empty()) {
        m_undoKinds.push_back(m_redoKinds.back());
        m_redoKinds.pop_back();
    }
}

// ---- protection -------------------------------------------------------------

bool TRichEditor::protectedIn(int start, int end) const
{
    const QTextDocument *doc = document();
    if (end > start) {
        for (const Piece &p : piecesOf(doc, start, end))
            if (p.format.boolProperty(RichTextProperty::Protected))
                return true;
        return false;
    }
    // An insertion changes protected text only inside a protected run.
    if (start <= 0 || start >= TextLength())
        return false;
    return charFormatAt(doc, start - 1).boolProperty(RichTextProperty::Protected)
        && charFormatAt(doc, start).boolProperty(RichTextProperty::Protected);
}

bool TRichEditor::editAllowed(int start, int end)
{
    if (!protectedIn(start, end))
        return true;
    bool allow = false;
    emit ProtectChange(start, end, allow);
    return allow;
}

bool TRichEditor::selectionAllowed()
{
    const QTextCursor c = textCursor();
    return editAllowed(c.selectionStart(), c.selectionEnd());
}

bool TRichEditor::rangeForKey(QKeyEvent *e, int *start, int *end) const
{
    QTextCursor c = textCursor();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    QTextCursor::MoveOperation deleteMove = QTextCursor::NoMove;
    if (e->matches(QKeySequence::DeleteStartOfWord))
        deleteMove = QTextCursor::PreviousWord;
    else if (e->matches(QKeySequence::DeleteEndOfWord))
        deleteMove = QTextCursor::NextWord;
    else if (e->matches(QKeySequence::DeleteEndOfLine) || e->matches(QKeySequence::DeleteCompleteLine))
        deleteMove = QTextCursor::EndOfBlock;
    else if (e->key() == Qt::Key_Backspace && !ctrl)
        deleteMove = QTextCursor::PreviousCharacter;
    else if (e->key() == Qt::Key_Delete && !ctrl)
        deleteMove = QTextCursor::NextCharacter;

    const QString text = e->text();
    const bool inserts = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter
                         || e->key() == Qt::Key_Tab
                         || (!text.isEmpty() && !ctrl && (text.at(0).isPrint() || text.at(0) == QLatin1Char('\t')));
    if (deleteMove == QTextCursor::NoMove && !inserts)
        return false;
    if (!c.hasSelection() && deleteMove != QTextCursor::NoMove) {
        if (e->matches(QKeySequence::DeleteCompleteLine))
            c.movePosition(QTextCursor::StartOfBlock);
        c.movePosition(deleteMove, QTextCursor::KeepAnchor);
    }
    *start = c.selectionStart();
    *end = c.selectionEnd();
    return true;
}

// ---- events -----------------------------------------------------------------

void TRichEditor::keyPressEvent(QKeyEvent *e)
{
    emit KeyDown(e->key(), e->modifiers());
    if (e->matches(QKeySequence::Undo)) {
        Undo();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Redo)) {
        Redo();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        CutToClipboard();
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        e->accept();
        return;
    }
    if (!textCursor().hasSelection() && !(e->modifiers() & Qt::ControlModifier)) {
        // Hidden text takes no room on screen: a deletion reaches past it to
        // the visible character the user sees beside the caret.
        QTextCursor c = textCursor();
        int p = c.position();
        if (e->key() == Qt::Key_Backspace)
            while (hiddenAt(document(), p - 1))
                --p;
        else if (e->key() == Qt::Key_Delete)
            while (hiddenAt(document(), p))
                ++p;
        if (p != c.position()) {
            c.setPosition(p);
            setTextCursor(c);
        }
    }
    int start = 0, end = 0;
    if (isReadOnly() || !rangeForKey(e, &start, &end)) {
        const int from = textCursor().position();
        QTextEdit::keyPressEvent(e);
        skipHiddenText(from);
        return;
    }
    if (!editAllowed(start, end)) {
        e->accept();
        return;
    }
    const bool deletes = start < end && !textCursor().hasSelection();
    const bool typing = !deletes && (e->key() != Qt::Key_Backspace && e->key() != Qt::Key_Delete);
    if (typing && start == end) {
        // Text typed right after a protected run must not take its protection.
        QTextCharFormat f = currentCharFormat();
        if (f.boolProperty(RichTextProperty::Protected)) {
            f.clearProperty(RichTextProperty::Protected);
            setCurrentCharFormat(f);
        }
        // Nor would it be seen after a hidden run.
        if (f.boolProperty(RichTextProperty::Hidden) && hiddenAt(document(), start - 1)) {
            f.clearProperty(RichTextProperty::Hidden);
            setCurrentCharFormat(f);
        }
    }
    m_pendingKind = typing ? TUndoKind::Typing : TUndoKind::Delete;
    QTextEdit::keyPressEvent(e);
    m_pendingKind = TUndoKind::None;
}

// After the caret moved from position from, carries it on over hidden text in
// the same direction, so that every step moves it by a visible character.
void TRichEditor::skipHiddenText(int from)
{
    QTextCursor c = textCursor();
    const int moved = c.position();
    // Never past the paragraph's ends: Home and End stay where they went.
    const QTextBlock block = c.block();
    int p = moved;
    if (moved > from)
        while (p < block.position() + block.length() - 1 && hiddenAt(document(), p - 1))
            ++p;
    else if (moved < from)
        while (p > block.position() && hiddenAt(document(), p))
            --p;
    if (p == moved)
        return;
    c.setPosition(p, c.anchor() != moved ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(c);
}

void TRichEditor::keyReleaseEvent(QKeyEvent *e)
{
    if (!e->isAutoRepeat()) // a held key reports one release, not one per repeat
        emit KeyUp(e->key(), e->modifiers());
    QTextEdit::keyReleaseEvent(e);
}

void TRichEditor::inputMethodEvent(QInputMethodEvent *e)
{
    if (!e->commitString().isEmpty() || !e->preeditString().isEmpty()) {
        if (!selectionAllowed()) {
            e->ignore();
            return;
        }
    }
    m_pendingKind = TUndoKind::Typing;
    QTextEdit::inputMethodEvent(e);
    m_pendingKind = TUndoKind::None;
}

void TRichEditor::mouseReleaseEvent(QMouseEvent *e)
{
    QTextEdit::mouseReleaseEvent(e);
    // A click opens a link; a selection dragged over it does not.
    if (e->button() == Qt::LeftButton && !textCursor().hasSelection()) {
        const QString link = anchorAt(e->position().toPoint());
        if (!link.isEmpty())
            emit LinkClicked(link);
    }
}

void TRichEditor::dropEvent(QDropEvent *e)
{
    // Check both ends before anything moves: refusing the insertion after the
    // source of a move was removed would lose the text.
    const int at = cursorForPosition(e->position().toPoint()).position();
    const bool move = e->source() == this || e->source() == viewport();
    if (!editAllowed(at, at) || (move && e->dropAction() == Qt::MoveAction && !selectionAllowed())) {
        e->ignore();
        return;
    }
    m_pendingKind = TUndoKind::DragDrop;
    QTextEdit::dropEvent(e);
    m_pendingKind = TUndoKind::None;
}

void TRichEditor::contextMenuEvent(QContextMenuEvent *e)
{
    // Our own menu, so that its commands go through the protection and undo
    // bookkeeping of this class.
    QMenu menu(this);
    const bool selected = textCursor().hasSelection();
    const bool writable = !isReadOnly();
    menu.addAction(tr("&Undo"), this, &TRichEditor::Undo)->setEnabled(writable && CanUndo());
    menu.addAction(tr("&Redo"), this, &TRichEditor::Redo)->setEnabled(writable && CanRedo());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &TRichEditor::CutToClipboard)->setEnabled(writable && selected);
    menu.addAction(tr("&Copy"), this, &TRichEditor::CopyToClipboard)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &TRichEditor::PasteFromClipboard)->setEnabled(CanPaste());
    menu.addAction(tr("Delete"), this, [this] { ClearSelection(); })->setEnabled(writable && selected);
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &TRichEditor::SelectAll);
    menu.exec(e->globalPos());
}

// ---- attributes ---------------------------------------------------------------

bool TRichEditor::applyCharChanges(QTextCursor range, const TTextAttributes &attributes)
{
    if (attributes.changedFields() == 0)
        return true;
    const int start = range.selectionStart();
    const int end = range.selectionEnd();
    if (!editAllowed(start, end))
        return false;
    // Fragment by fragment: merging could add properties but never remove
    // one (no highlight, not protected), and whole-format replacement would
    // flatten a selection of mixed fonts.
    const std::vector<Piece> pieces = piecesOf(document(), start, end);
    QTextCursor c(document());
    c.beginEditBlock();
    for (const Piece &p : pieces) {
        QTextCharFormat f = p.format;
        attributes.applyTo(f);
        c.setPosition(p.from);
        c.setPosition(p.to, QTextCursor::KeepAnchor);
        c.setCharFormat(f);
    }
    c.endEditBlock();
    return true;
}

TTextAttributes TRichEditor::SelAttributes() const
{
    const QTextCursor c = textCursor();
    const QTextCharFormat f = c.hasSelection() ? charFormatAt(document(), c.selectionStart())
                                               : currentCharFormat();
    return TTextAttributes::fromCharFormat(f, document()->defaultFont());
}

bool TRichEditor::SetSelAttributes(const TTextAttributes &attributes)
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        QTextCharFormat f = currentCharFormat();
        attributes.applyTo(f);
        setCurrentCharFormat(f);
        return true;
    }
    return applyCharChanges(c, attributes);
}

TTextAttributes TRichEditor::DefAttributes() const
{
    return TTextAttributes::fromCharFormat(m_defaultFormat, document()->defaultFont());
}

void TRichEditor::SetDefAttributes(const TTextAttributes &attributes)
{
    attributes.applyTo(m_defaultFormat);
    // The font part also becomes the document's default font, which text
    // without a font of its own (plain text) shows in.
    const unsigned fontFields = TTextAttributes::NameField | TTextAttributes::SizeField
                                | TTextAttributes::BoldField | TTextAttributes::ItalicField
                                | TTextAttributes::UnderlineField
                                | TTextAttributes::StrikeOutField;
    if (attributes.changedFields() & fontFields) {
        QFont font = document()->defaultFont();
        const QFont wanted = attributes.Font();
        const unsigned f = attributes.changedFields();
        if (f & TTextAttributes::NameField)
            font.setFamily(wanted.family());
        if (f & TTextAttributes::SizeField && wanted.pointSizeF() > 0)
            font.setPointSizeF(wanted.pointSizeF());
        if (f & TTextAttributes::BoldField)
            font.setBold(wanted.bold());
        if (f & TTextAttributes::ItalicField)
            font.setItalic(wanted.italic());
        if (f & TTextAttributes::UnderlineField)
            font.setUnderline(wanted.underline());
        if (f & TTextAttributes::StrikeOutField)
            font.setStrikeOut(wanted.strikeOut());
        document()->setDefaultFont(font);
    }
    if (TextLength() == 0) {
        QTextCharFormat f = currentCharFormat();
        attributes.applyTo(f);
        setCurrentCharFormat(f);
    }
}

TTextAttributes TRichEditor::WordAttributes() const
{
    QTextCursor word = textCursor();
    word.clearSelection();
    word.select(QTextCursor::WordUnderCursor);
    const QTextCharFormat f = word.hasSelection() ? charFormatAt(document(), word.selectionStart())
                                                  : currentCharFormat();
    return TTextAttributes::fromCharFormat(f, document()->defaultFont());
}

bool TRichEditor::SetWordAttributes(const TTextAttributes &attributes)
{
    QTextCursor word = textCursor();
    word.clearSelection();
    word.select(QTextCursor::WordUnderCursor);
    if (!word.hasSelection()) {
        QTextCharFormat f = currentCharFormat();
        attributes.applyTo(f);
        setCurrentCharFormat(f);
        return true;
    }
    return applyCharChanges(word, attributes);
}

TParaAttributes TRichEditor::Paragraph() const
{
    return TParaAttributes::fromBlockFormat(document()->findBlock(SelStart()).blockFormat());
}

bool TRichEditor::SetParagraph(const TParaAttributes &attributes)
{
    if (attributes.changedFields() == 0)
        return true;
    const QTextCursor sel = textCursor();
    const QTextBlock first = document()->findBlock(sel.selectionStart());
    const QTextBlock last = document()->findBlock(sel.selectionEnd());
    const int end = last.position() + qMax(last.length() - 1, 0);
    if (!editAllowed(first.position(), qMax(end, first.position())))
        return false;

    QTextCursor c(document());
    c.beginEditBlock();
    QTextList *list = nullptr;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        QTextBlockFormat f = b.blockFormat();
        attributes.applyTo(f);
        c.setPosition(b.position());
        c.setBlockFormat(f);
        if (attributes.changedFields() & TParaAttributes::BulletsField) {
            if (attributes.Bullets() && !b.textList()) {
                if (list) {
                    list->add(b);
                } else {
                    QTextListFormat lf;
                    lf.setStyle(QTextListFormat::ListDisc);
                    list = c.createList(lf);
                }
            } else if (!attributes.Bullets() && b.textList()) {
                b.textList()->remove(b);
                QTextBlockFormat plain = b.blockFormat();
                plain.setIndent(0);
                c.setBlockFormat(plain);
            }
        }
        if (b == last)
            break;
    }
    c.endEditBlock();
    return true;
}

void TRichEditor::SetAdvancedTypography(bool on)
{
    m_advancedTypography = on;
    m_formatRange.setTrueJustification(on);
}

// ---- zoom -------------------------------------------------------------------

bool TRichEditor::SetZoom(int numerator, int denominator)
{
    if (numerator == 0 && denominator == 0) {
        m_zoomNumerator = m_zoomDenominator = 0;
    } else {
        if (numerator <= 0 || denominator <= 0)
            return false;
        const double ratio = double(numerator) / denominator;
        if (ratio < 1.0 / 64 || ratio > 64)
            return false;
        m_zoomNumerator = numerator;
        m_zoomDenominator = denominator;
    }
    applyZoom();
    return true;
}

void TRichEditor::applyZoom()
{
    // The screen's layout is zoomed by laying it out for a device of a
    // proportionally higher resolution: fonts, spacing and the caret follow.
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    const bool normal = m_zoomDenominator == 0 || m_zoomNumerator == m_zoomDenominator;
    if (normal) {
        // A layout made for the screen needs no second pass (a document just
        // loaded would otherwise be laid out twice).
        if (layout->paintDevice() != &m_zoomDevice)
            return;
        layout->setPaintDevice(nullptr);
    } else {
        const double dpi = double(logicalDpiY()) * m_zoomNumerator / m_zoomDenominator;
        m_zoomDevice = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
        m_zoomDevice.setDotsPerMeterX(qRound(dpi / 0.0254));
        m_zoomDevice.setDotsPerMeterY(qRound(dpi / 0.0254));
        layout->setPaintDevice(&m_zoomDevice);
    }
    document()->markContentsDirty(0, document()->characterCount());
    viewport()->update();
}

// ---- format range -------------------------------------------------------------

int TRichEditor::FormatRange(QPainter *painter, const QRect &layoutTwips, const QRect &pageTwips,
                             int start, int end, bool render)
{
    Q_UNUSED(pageTwips); // the layout rectangle already lies on the page
    return m_formatRange.render(painter, layoutTwips, start, end, render);
}

void TRichEditor::ReleaseFormatRange()
{
    m_formatRange.release();
}

// ---- find and replace -----------------------------------------------------------

int TRichEditor::FindText(const QString &text, SearchOptions options)
{
    if (text.isEmpty())
        return -1;
    const QTextCursor sel = textCursor();
    QTextCursor from(document());
    from.setPosition((options & SearchOption::Backward) ? sel.selectionStart() : sel.selectionEnd());
    const QTextCursor found = document()->find(text, from, findFlagsOf(options));
    if (found.isNull()) {
        emit TextNotFound(text);
        return -1;
    }
    setTextCursor(found);
    ensureCursorVisible();
    return found.selectionStart();
}

bool TRichEditor::matchesSelection(const QString &text, SearchOptions options) const
{
    const QString selected = SelText();
    return !selected.isEmpty()
        && selected.compare(text, (options & SearchOption::MatchCase) ? Qt::CaseSensitive
                                                                      : Qt::CaseInsensitive)
               == 0;
}

bool TRichEditor::ReplaceText(const QString &text, const QString &replacement,
                              SearchOptions options)
{
    options &= ~SearchOptions(SearchOption::Backward);
    if (matchesSelection(text, options))
        SetSelText(replacement);
    return FindText(text, options) >= 0;
}

int TRichEditor::ReplaceAllText(const QString &text, const QString &replacement,
                                SearchOptions options)
{
    if (text.isEmpty())
        return 0;
    const QTextDocument::FindFlags flags = findFlagsOf(options) & ~QTextDocument::FindBackward;
    int count = 0;
    QTextCursor block(document());
    block.beginEditBlock();
    m_pendingKind = TUndoKind::Typing;
    QTextCursor from(document());
    for (;;) {
        QTextCursor found = document()->find(text, from, flags);
        if (found.isNull())
            break;
        if (editAllowed(found.selectionStart(), found.selectionEnd())) {
            found.insertText(replacement);
            ++count;
        }
        // Continue after the match (or its replacement), never inside it, so
        // a replacement containing the text cannot loop.
        from.setPosition(found.selectionEnd() > found.position() ? found.selectionEnd()
                                                                 : found.position());
    }
    block.endEditBlock();
    m_pendingKind = TUndoKind::None;
    if (count == 0)
        emit TextNotFound(text);
    return count;
}

void TRichEditor::FindDialog(const QString &initial)
{
    if (!m_findDialog) {
        m_findDialog = new TFindDialog(false, this);
        connect(m_findDialog, &TFindDialog::FindNext, this,
                [this](const QString &t, SearchOptions o) { FindText(t, o); });
    }
    m_findDialog->setFindText(initial);
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void TRichEditor::ReplaceDialog(const QString &initial)
{
    if (!m_replaceDialog) {
        m_replaceDialog = new TFindDialog(true, this);
        connect(m_replaceDialog, &TFindDialog::FindNext, this,
                [this](const QString &t, SearchOptions o) { FindText(t, o); });
        connect(m_replaceDialog, &TFindDialog::Replace, this,
                [this](const QString &t, const QString &r, SearchOptions o) { ReplaceText(t, r, o); });
        connect(m_replaceDialog, &TFindDialog::ReplaceAll, this,
                [this](const QString &t, const QString &r, SearchOptions o) {
                    ReplaceAllText(t, r, o);
                });
    }
    m_replaceDialog->setFindText(initial);
    m_replaceDialog->show();
    m_replaceDialog->raise();
    m_replaceDialog->activateWindow();
}

bool TRichEditor::InsertObject(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || isReadOnly())
        return false;
    // A picture file goes in as its picture (metafiles keep their bytes).
    const QString suffix = file.suffix().toLower();
    if (QImageReader(path).canRead() || suffix == QLatin1String("emf") || suffix == QLatin1String("wmf"))
        return InsertPicture(path);
    QTextCursor c = textCursor();
    if (!editAllowed(c.selectionStart(), c.selectionEnd()))
        return false;
    // The link takes the look of the text around it, underlined in the link
    // colour; what is typed after it is plain text again.
    const QTextCharFormat around = c.charFormat();
    QTextCharFormat link = around;
    link.setAnchor(true);
    link.setAnchorHref(QUrl::fromLocalFile(file.absoluteFilePath()).toString());
    link.setFontUnderline(true);
    link.setForeground(palette().color(QPalette::Link));
    link.setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
    m_pendingKind = TUndoKind::Paste;
    c.insertText(file.fileName(), link);
    m_pendingKind = TUndoKind::None;
    setTextCursor(c);
    QTextCharFormat after = around;
    after.setAnchor(false);
    after.clearProperty(QTextFormat::AnchorHref);
    setCurrentCharFormat(after);
    return true;
}

// ---- modified -----------------------------------------------------------------

bool TRichEditor::Modified() const
{
    return document()->isModified();
}

void TRichEditor::SetModified(bool modified)
{
    document()->setModified(modified);
}
