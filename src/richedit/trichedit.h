#pragma once

#include "tfinddialog.h"
#include "tformatrange.h"
#include "tparaattributes.h"
#include "ttextattributes.h"

#include <QPointer>
#include <QRect>
#include <QTextEdit>

#include <vector>

class QIODevice;
class QPainter;
class THiddenTextHighlighter;

/// How content goes in and out of the editor.
enum class StreamFormat {
    Rtf,        ///< RTF code, read as formatted text
    PlainAnsi,  ///< plain text in the system code page (UTF-8 here)
    PlainUtf16, ///< plain UTF-16 little-endian text with a byte-order mark
};

/// What the next undo or redo step would take back.
enum class TUndoKind {
    None,     ///< nothing to undo, or a step of another kind (formatting)
    Typing,
    Delete,
    DragDrop,
    Cut,
    Paste,
};

/// The rich-text control every document window edits in. Positions count a
/// paragraph break as one character.
///
/// Protected text (TTextAttributes::Protected) cannot be changed by typing,
/// deleting, cutting, pasting, dropping, SetSelText or attribute changes
/// unless a slot connected directly to ProtectChange sets allow.
class TRichEditor : public QTextEdit
{
    Q_OBJECT
public:
    explicit TRichEditor(QWidget *parent = nullptr);
    ~TRichEditor() override;

    // Content in and out. Loading returns false with *error set and keeps the
    // previous content when nothing could be read. Plain text honours a
    // byte-order mark; without one valid UTF-8 is read as UTF-8, anything else
    // as Windows-1252. RTF stream-in of data that is not RTF reads it as plain
    // text, as word processors do.
    bool LoadFromStream(QIODevice &device, StreamFormat format, QString *error = nullptr);
    bool SaveToStream(QIODevice &device, StreamFormat format, QString *error = nullptr) const;
    bool LoadFromFile(const QString &path, StreamFormat format, QString *error = nullptr);
    bool SaveToFile(const QString &path, StreamFormat format, QString *error = nullptr) const;

    /// The format that stream-in and stream-out use when none is given; the
    /// document window switches it to PlainAnsi for plain-text files.
    StreamFormat PlainTextMode() const { return m_streamFormat; }
    void SetStreamFormat(StreamFormat format) { m_streamFormat = format; }
    StreamFormat streamFormat() const { return m_streamFormat; }

    /// The whole plain text; its length is the number of positions.
    QString Text() const;
    /// Plain text of positions [from, to), clamped to the text.
    QString TextRange(int from, int to) const;
    /// Number of positions (the length of Text()).
    int TextLength() const;

    // Display lines (as the editor wraps them on screen).
    int LineCount() const;
    QString LineText(int index) const;
    QStringList Lines() const;
    /// Empties the document.
    void ClearLines();

    // Selection.
    int SelStart() const;
    /// Puts the caret at position (no selection).
    void SetSelStart(int position);
    int SelLength() const;
    /// Extends the selection from SelStart by length (may be negative).
    void SetSelLength(int length);
    QString SelText() const;
    /// Replaces the selection with text; false when protected text refused it.
    bool SetSelText(const QString &text);
    /// Selects [from, to) and scrolls it into view.
    void Select(int from, int to);
    void SelectAll();
    /// Deletes the selection; false when protected text refused it.
    bool ClearSelection();

    // Clipboard. Cut and paste are refused on protected text.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    bool CanPaste() const;

    // Undo.
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    /// The kind of the step Undo() would take back.
    TUndoKind UndoKind() const;
    TUndoKind RedoKind() const;

    // Character attributes. Setting applies the fields marked as changed.
    /// The selection's attributes (of its first character); without a
    /// selection, those new text at the caret gets.
    TTextAttributes SelAttributes() const;
    bool SetSelAttributes(const TTextAttributes &attributes);
    /// The attributes of new text in an empty document and of plain text.
    TTextAttributes DefAttributes() const;
    void SetDefAttributes(const TTextAttributes &attributes);
    /// The attributes of the word at the caret (the caret's when it is not in a word).
    TTextAttributes WordAttributes() const;
    bool SetWordAttributes(const TTextAttributes &attributes);

    // Paragraph attributes, of the paragraph at the selection's start;
    // setting applies to every paragraph the selection touches.
    TParaAttributes Paragraph() const;
    bool SetParagraph(const TParaAttributes &attributes);

    /// The switch for true justified layout (off for a new control). Without
    /// it, the format range (page pictures, exports) sets justified paragraphs
    /// flush left; with it, they are fully justified. The screen always
    /// justifies them: Qt's text edit takes a paragraph's alignment only from
    /// the document's own block format, which must keep alignment 3.
    bool AdvancedTypography() const { return m_advancedTypography; }
    void SetAdvancedTypography(bool on);

    // Zoom as a ratio; 0/0 is 100 %. Ratios from 1/64 to 64 are accepted.
    int ZoomNumerator() const { return m_zoomNumerator; }
    int ZoomDenominator() const { return m_zoomDenominator; }
    bool SetZoom(int numerator, int denominator);

    // Caret and scrolling, in display lines, 0-based.
    int CaretLine() const;
    int CaretColumn() const;
    int FirstVisibleLine() const;
    void ScrollLines(int lines);

    /// Renders positions [start, end) into layoutTwips on painter's device
    /// and returns the first position not rendered; see TFormatRange::render.
    /// pageTwips is the whole page the layout rectangle lies on.
    int FormatRange(QPainter *painter, const QRect &layoutTwips, const QRect &pageTwips, int start,
                    int end, bool render = true);
    /// Frees the cached page layout.
    void ReleaseFormatRange();
    /// The stored page rectangle, in twips.
    QRect PageRect() const { return m_pageRect; }
    void SetPageRect(const QRect &twips) { m_pageRect = twips; }
    /// The page layout behind FormatRange, for callers that lay out themselves.
    TFormatRange &formatRange() { return m_formatRange; }

    // Find and replace. FindText selects the next match from the selection
    // and returns its position, or -1 after emitting TextNotFound.
    int FindText(const QString &text, SearchOptions options = {});
    /// Replaces the selection when it is a match of text, then finds the next one.
    bool ReplaceText(const QString &text, const QString &replacement, SearchOptions options = {});
    /// Replaces every match in the document as one undo step; the count.
    int ReplaceAllText(const QString &text, const QString &replacement, SearchOptions options = {});
    /// Shows the non-modal find dialog with initial as the search text.
    void FindDialog(const QString &initial);
    void ReplaceDialog(const QString &initial);
    TFindDialog *findDialog() const { return m_findDialog; }
    TFindDialog *replaceDialog() const { return m_replaceDialog; }

    /// Inserts the picture file at path (gif, jpg, jpeg, png, bmp, emf, wmf) at
    /// the caret, replacing the selection, at the picture's own size, as one
    /// undo step. False with error set when the file is no picture or the
    /// edit touches protected text.
    bool InsertPicture(const QString &path, QString *error = nullptr);

    // Objects. Both replace the selection and are refused on protected text.
    /// Puts a file in as an object: a picture file as its picture, any other
    /// file as a link to it (its name, pointing at the file's URL), which
    /// LinkClicked reports when clicked. False when nothing went in.
    bool InsertObject(const QString &path);

    bool Modified() const;
    void SetModified(bool modified);

    /// Asks ProtectChange when [start, end) (or an insertion at start, when
    /// end == start) touches protected text; true when the edit may go ahead.
    bool editAllowed(int start, int end);

signals:
    /// Text or formatting changed.
    void Change();
    /// The selection or the caret moved.
    void SelectionChange();
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);
    /// An edit of protected text in [start, end) is about to happen; it goes
    /// ahead only when a slot sets allow. Connect directly.
    void ProtectChange(int start, int end, bool &allow);
    /// A click (not a drag) on a link; link is its target.
    void LinkClicked(const QString &link);
    void TextNotFound(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    void attachDocument(QTextDocument *document);
    void resetUndoKinds();
    void undoCommandAdded();
    bool applyCharChanges(QTextCursor range, const TTextAttributes &attributes);
    bool protectedIn(int start, int end) const;
    bool rangeForKey(QKeyEvent *event, int *start, int *end) const;
    bool selectionAllowed();
    void setPlainContent(const QString &text);
    void applyZoom();
    void skipHiddenText(int from);
    void lineOf(int position, int *line, int *column) const;
    int lineTop(int line) const;
    bool matchesSelection(const QString &text, SearchOptions options) const;

    StreamFormat m_streamFormat = StreamFormat::Rtf;
    TFormatRange m_formatRange;
    QRect m_pageRect;
    QTextCharFormat m_defaultFormat; ///< what DefAttributes holds beyond the default font
    std::vector<TUndoKind> m_undoKinds;
    std::vector<TUndoKind> m_redoKinds;
    TUndoKind m_pendingKind = TUndoKind::None;
    bool m_advancedTypography = false;
    int m_zoomNumerator = 0;
    int m_zoomDenominator = 0;
    QImage m_zoomDevice;
    THiddenTextHighlighter *m_hiddenText = nullptr;
    QPointer<TFindDialog> m_findDialog;
    QPointer<TFindDialog> m_replaceDialog;
};
