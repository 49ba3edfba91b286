#pragma once

#include "tdocumentfile.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QMenu;
class QSlider;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class TDocumentHost;
class TRichEditor;

/// One open document: its editor, the page strip beside it, the formatting
/// toolbar, the tool strip and the status bar. Owns its load, save and close
/// query; the frame only routes commands to the active window.
class TMDIChild : public QWidget
{
    Q_OBJECT
public:
    /// caption is the document's name at creation ("New Document" or a path).
    TMDIChild(TDocumentHost *host, const QString &caption, QWidget *parent = nullptr);
    ~TMDIChild() override;

    /// Replaces the content with the file at path; false when it could not be
    /// read, the previous content stays then. Without error the user is told
    /// why; with error the caller is.
    bool LoadDocument(const QString &path, QString *error = nullptr);
    /// Writes the document if it is modified (or Save As just asked for it);
    /// a "New Document" goes to Save As. False when nothing was written
    /// because the user cancelled or the write failed.
    bool SaveDocument();
    /// Asks for a name and type and saves; false on cancel or failure.
    bool SaveDocumentAs();
    /// Loads the most recent history entry into this window.
    void OpenLastDocument();

    /// The name this window's document is saved under: a full path,
    /// "New Document" or "Untitled".
    QString DocumentName() const { return m_documentName; }
    int SaveFilterIndex() const { return m_saveFilterIndex; }

    void SetModifiedIndicator(bool modified);
    void UpdatePasteState();
    void UpdateStatus();
    /// Rebuilds the page strip from the editor.
    void Repaginate();

    /// Called by the frame each time this window becomes the active one.
    void Activated();
    void Deactivated();

    TRichEditor *Editor = nullptr;

    static QStringList SaveFilters();

public slots:
    void EditorChange();
    void EditorSelectionChange();
    void btnCloseClick();
    /// "Insert Picture...": asks for a picture file and puts it at the caret.
    void InsertPictureClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildToolBar();
    void buildSidePanels(QWidget *left, QWidget *right);
    void buildStatusBar();
    void buildEditorMenu();
    QToolButton *addToolButton(QToolBar *bar, const QString &name, const QString &hint,
                               const QIcon &icon);
    void setStatusPanel(int index, const QString &text);
    QString documentFileNamePart() const;
    bool isActiveWindowOfHost() const;

    TDocumentHost *m_host = nullptr;
    QString m_documentName;
    bool m_forceSave = false;
    bool m_firstActivation = true;
    bool m_firstShow = true;
    int m_saveFilterIndex = 1;

    QToolBar *ToolBar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QList<QLabel *> m_panels;
    QSplitter *PageSplitter1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *m_popupCut = nullptr;
    QAction *m_popupCopy = nullptr;
    QAction *m_popupPaste = nullptr;
    QToolButton *btnUndo = nullptr;
    QToolButton *btnRedo = nullptr;
    QToolButton *btnBold = nullptr;
    QToolButton *btnItalic = nullptr;
    QToolButton *btnUnderline = nullptr;
    QToolButton *btnLeftAlign = nullptr;
    QToolButton *btnCenterAlign = nullptr;
    QToolButton *btnJustify = nullptr;
    QLabel *lblFontSize = nullptr;
};
