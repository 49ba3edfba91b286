#pragma once

#include <QString>

class TMDIChild;
struct TEditorSettings;

/// What a document window needs of the frame that holds it. The main frame
/// implements it; the document library does not depend on the frame itself.
class TDocumentHost
{
public:
    virtual ~TDocumentHost() = default;

    /// The name of the current document: a full path, "New Document" or "Untitled".
    virtual QString CurrentFileName() const = 0;
    virtual void SetCurrentFileName(const QString &name) = 0;

    /// Nested switch-off of the document area's redrawing.
    virtual void LockRedraw() = 0;
    virtual void UnlockRedraw() = 0;

    virtual void AddDocumentTab(TMDIChild *window) = 0;
    virtual void RemoveDocumentTab(TMDIChild *window) = 0;
    /// Captions the tab of window.
    virtual void SetDocumentTabCaption(TMDIChild *window, const QString &caption) = 0;
    /// Selects the tab of window without activating anything.
    virtual void SelectDocumentTab(TMDIChild *window) = 0;

    virtual int DocumentCount() const = 0;
    /// The document window commands go to, or null.
    virtual TMDIChild *ActiveDocument() const = 0;
    virtual bool IsFrameMaximized() const = 0;
    /// Enables the export item "PDF - Plain Text Only".
    virtual void SetPdfTextExportEnabled(bool enabled) = 0;
    /// Enables the frame's Cut/Copy (selection) and Paste (clipboard) buttons.
    virtual void SetCutCopyEnabled(bool enabled) = 0;
    virtual void SetPasteEnabled(bool enabled) = 0;

    /// Records a file saved under a new name: it goes to the front of the document
    /// history unless the history lists it already (then it keeps its place).
    virtual void RecordHistory(const QString &path) = 0;
    /// The first entry the document history shows, or empty when it shows none.
    virtual QString MostRecentHistoryEntry() const = 0;
    /// True when the document history shows no entry.
    virtual bool HistoryIsEmpty() const = 0;

    /// Shows the window switcher with a tile per document window.
    virtual void ShowWindowSwitcher() {}
    /// Shows the writing aid named by its tool's object name modally; true
    /// when it left a result on the clipboard for the window to paste.
    virtual bool RunWritingAid(const QString &toolName, TMDIChild *window)
    {
        Q_UNUSED(toolName);
        Q_UNUSED(window);
        return false;
    }
    /// The settings every document window shares (default font, margins in millimetres,
    /// zoom, editor colour); null when the host keeps none, the window then keeps its own.
    virtual TEditorSettings *SharedSettings() { return nullptr; }
};
