#pragma once

#include "tdocumenthost.h"
#include "teditorsettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QMdiArea;
class QMdiSubWindow;
class QTabBar;
class QToolBar;
class QToolButton;
class TAboutBox;
class THistoryForm;

/// The one top-level window: toolbar, one tab per document, and the area the
/// document windows live in. Frame commands go to the active document window.
class TMainForm : public QMainWindow, public TDocumentHost
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    /// The file named on the command line, opened at the first showing.
    void SetCommandLineFile(const QString &path) { m_commandLineFile = path; }

    // TDocumentHost
    QString CurrentFileName() const override { return m_currentFileName; }
    void SetCurrentFileName(const QString &name) override { m_currentFileName = name; }
    void LockRedraw() override;
    void UnlockRedraw() override;
    void AddDocumentTab(TMDIChild *window) override;
    void RemoveDocumentTab(TMDIChild *window) override;
    void SetDocumentTabCaption(TMDIChild *window, const QString &caption) override;
    void SelectDocumentTab(TMDIChild *window) override;
    int DocumentCount() const override;
    TMDIChild *ActiveDocument() const override;
    bool IsFrameMaximized() const override { return isMaximized(); }
    void SetPdfTextExportEnabled(bool enabled) override { m_pdfTextExportEnabled = enabled; }
    void SetCutCopyEnabled(bool enabled) override;
    void SetPasteEnabled(bool enabled) override;
    void RecordHistory(const QString &path) override;
    QString MostRecentHistoryEntry() const override;
    bool HistoryIsEmpty() const override;
    void ShowWindowSwitcher() override;
    /// Default font, margins in millimetres, zoom and editor colour, shared by the
    /// document windows (read and written by them).
    TEditorSettings *SharedSettings() override { return &m_settings; }

    /// Creates an empty document window captioned caption.
    TMDIChild *CreateNewDocument(const QString &caption);
    QList<TMDIChild *> DocumentWindows() const;
    bool PdfTextExportEnabled() const { return m_pdfTextExportEnabled; }
    /// The document history's stored list, most recent first.
    const QStringList &History() const;
    THistoryForm *HistoryForm() const { return m_historyForm; }
    QStringList SymbolFontNames;
    int RedrawLockCount() const { return m_redrawLockCount; }

    static QStringList OpenFilters();

public slots:
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void OpenLastActiveDocument();
    void EditFind();
    void EditReplace();
    void ToolButton18Click();
    void ShowAbout();
    void btnHistoryClick();
    void mdiChildrenTabsChange(int index);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TEditorSettings m_settings;

    void buildToolBar();
    void buildShortcuts();
    void subWindowActivated(QMdiSubWindow *window);
    void FitToWorkArea();
    void openCommandLineFile();
    bool openFromHistory(const QString &path);
    void tileDocuments(Qt::Orientation orientation);
    QToolButton *addButton(const QString &name, const QString &hint, const QIcon &icon);
    int tabIndexOf(TMDIChild *window) const;

    QMdiArea *m_mdiArea = nullptr;
    QTabBar *mdiChildrenTabs = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QToolButton *btnCut = nullptr;
    QToolButton *btnCopy = nullptr;
    QToolButton *btnPaste = nullptr;
    TAboutBox *m_aboutBox = nullptr;
    THistoryForm *m_historyForm = nullptr;

    QString m_currentFileName;
    QString m_commandLineFile;
    QPointer<TMDIChild> m_lastActive;
    int m_redrawLockCount = 0;
    int m_tabGuard = 0;
    bool m_firstShow = true;
    bool m_pdfTextExportEnabled = true;
};
