#pragma once

#include "tdocumentfile.h"
#include "teditorsettings.h"
#include "tformatrules.h"

#include "ttextattributes.h"

#include <QDateTime>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QSlider;
class QTextDocument;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class TDocumentHost;
class TPageBuilder;
class TPgPreview;
class TPgThumbnails;
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

    // State of the formatting commands (see tmdichildformat.cpp).
    /// Set while the toolbar follows the selection; toggles do nothing then.
    bool UpdatingUi() const { return m_updatingUi; }
    /// Start indent and following-line offset of the caret's paragraph, in
    /// points, as last read from the paragraph or set by the indent buttons.
    int StartIndentPt() const { return m_startIndentPt; }
    int HangingIndentPt() const { return m_hangingIndentPt; }
    /// A heading preset was applied; the next Enter returns to default text.
    bool HeadingMode() const { return m_headingMode; }
    /// The format painter holds captured attributes.
    bool PainterActive() const { return m_painterActive; }
    /// The selection's attributes, or the word's at the caret without one.
    TTextAttributes CurrentAttributes() const;
    /// When the window was created.
    QDateTime OpenTime() const { return m_openTime; }

    /// The paragraph dialog, which edits the caret's paragraph of the window
    /// it is given live and returns true for OK. Until one is installed the
    /// paragraph command does nothing.
    using ParagraphDialogFunction = std::function<bool(TMDIChild &window)>;
    static void SetParagraphDialog(ParagraphDialogFunction dialog);

    /// Panels 2 to 5 from Num Lock, Caps Lock, Scroll Lock and Insert.
    void UpdateKeyIndicators();
    /// The word and character count of the status bar.
    void CountWords();
    // Pages (tmdichild_pages.cpp): the hidden page container, the strip bound to it,
    // the settings and the zoom.
    TPgPreview *PgPreview1 = nullptr;
    TPgThumbnails *PgThumbnails1 = nullptr;
    QSlider *ZoomBar = nullptr;
    /// Entry i is the position at which page i + 1 begins.
    QList<int> PageStarts;
    /// A page change of the container moves the caret to that page.
    bool FollowThumbnails = true;
    /// A paper or orientation change is running; page changes then leave the caret.
    bool PaperChanging = false;
    int ZoomPosition = 100;
    TPageBuilder &PageBuilder() { return *m_pageBuilder; }
    /// The shared settings (the frame's, or the window's own without a frame).
    TEditorSettings &Settings();
    void LoadSettings();
    void SaveSettings();
    void ApplyZoom(int position);
    /// Chooses a paper size of the paper-type menu by its caption ("A4", "Envelope_DL").
    void SelectPaperType(const QString &caption);
    /// "Portrait" or "Landscape".
    void SelectOrientation(const QString &caption);

public slots:
    void EditorKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void PgPreview1PageChanged();
    void ZoomBarChange(int position);
    void EditorBackground1Click();
    void btnStartPageClick();
    void btnPriorPageClick();
    void btnNextPageClick();
    void btnEndPageClick();
    void EditorChange();
    void EditorSelectionChange();
    void btnCloseClick();
    /// "Insert Picture...": asks for a picture file and puts it at the caret.

    // Formatting commands; the frame's shortcuts reach them too.
    void btnBoldClick();
    void btnItalicClick();
    void btnUnderlineClick();
    void Subscript1Click();
    void Superscript1Click();
    void HiddenText1Click();
    void DisabledText1Click();
    void ProtectedText1Click();
    void btnFontClick();
    void btnHighlightClick();
    void btnCharColorClick();
    void btnIncFontSizeClick();
    void btnDecFontSizeClick();
    void btnLeftAlignClick();
    void btnCenterAlignClick();
    void btnJustifyClick();
    void btnBulletsClick();
    void btnIndentClick();
    void btnDedentClick();
    void btnFirstIndentPClick();
    void btnFirstIndentMClick();
    void btnParagraphClick();
    void SingleLineSpacing1Click();
    void N15LineSpacing1Click();
    void DoubleLineSpacing1Click();
    void Heading11Click();
    void Heading21Click();
    void Heading31Click();
    void DefaultText1Click();
    void AllCaps1Click();
    void SmallCaps1Click();
    void btnFormatPainterClick();
    void CutClick();
    void CopyClick();
    void PasteClick();
    void SelectAllClick();
    void ClearSelectionClick();
    void ClearAllClick();
    void UndoClick();
    void RedoClick();
    /// Asks for a file and puts it in: a picture as a picture, any other
    /// file as a link to it that opens the file when clicked.
    void InsertObject1Click();
    void InsertPicture1Click();
    /// Opens a clicked link with the desktop's handler for it.
    void EditorLinkClicked(const QString &link);
    void InsertTable1Click();
    /// Runs the writing aid named by its tool's object name (imgCustText,
    /// imgRTFCode, btnCustomText, btnSpecialChar, imgEmotiCon, InsertTable1)
    /// and pastes what it leaves on the clipboard.
    void RunInsertionTool(const QString &toolName);

    // Status bar and information boxes.
    void imgDocStatsClick();
    void imgToolTipsClick();
    void imgViewDocsClick();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildPageStrip(QWidget *left);
    void setUpPages();
    void repaginateAfterTyping();
    bool pagesEvent(QObject *watched, QEvent *event);
    friend class TPagesEventFilter;

    void buildToolBar();
    void buildSidePanels(QWidget *left, QWidget *right);
    void buildStatusBar();
    void buildEditorMenu();
    QToolButton *addToolButton(QToolBar *bar, const QString &name, const QString &hint,
                               const QIcon &icon);
    void setStatusPanel(int index, const QString &text);
    QString documentFileNamePart() const;
    bool isActiveWindowOfHost() const;

    // Formatting commands (tmdichildformat.cpp) and status (tmdichildstatus.cpp).
    void buildFormatCommands();
    void buildFormatMenus();
    void connectToolButton(const char *name, void (TMDIChild::*handler)());
    bool SetCurrentAttributes(const TTextAttributes &attributes);
    void toggleStyle(QToolButton *button, bool (TTextAttributes::*get)() const,
                     void (TTextAttributes::*set)(bool), bool repaginate);
    void setAlignment(int alignment);
    void applyHeading(int level);
    void applyDefaultText();
    void convertCase(bool toUpper);
    void applyFormatPainter();
    void finishCommand(bool repaginate);
    // Asks for a colour; invalid when cancelled or when the window went meanwhile.
    QColor PickColour(const QColor &initial, const QString &title);
    void resetTrackedIndents();
    void checkPaperAction(const QString &name);
    void beginPaperChange();
    void endPaperChange();
    void stepIndent(std::optional<int> next, const QString &limitMessage, bool hanging);
    void updateAlignmentButtons();
    void EditorKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void headingKeyUp(int key);
    void EditorProtectChange(int start, int end, bool &allow);

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

    QToolButton *btnFont = nullptr;
    QToolButton *btnFormatPainter = nullptr;
    QToolButton *btnBullets = nullptr;
    QToolButton *btnParagraph = nullptr;
    QMenu *PopupMenu2 = nullptr;
    QMenu *PopupMenu3 = nullptr;
    QAction *Subscript1 = nullptr;
    QAction *Superscript1 = nullptr;
    QAction *HiddenText1 = nullptr;
    QAction *DisabledText1 = nullptr;
    QAction *ProtectedText1 = nullptr;

    bool m_updatingUi = false;
    int m_startIndentPt = 0;
    int m_hangingIndentPt = 0;
    bool m_headingMode = false;
    bool m_painterActive = false;
    TTextAttributes m_capturedAttributes;
    bool m_allowProtectChange = false;
    QDateTime m_openTime;
    std::unique_ptr<TPageBuilder> m_pageBuilder;
    /// Deleted first on destruction: the child widgets' last events must not reach a
    /// window that is no longer a TMDIChild.
    QPointer<QObject> m_pagesFilter;
    TEditorSettings m_ownSettings;
    QMenu *PopupMenu4 = nullptr;
    QLabel *Label1 = nullptr;
    QMetaObject::Connection m_keyUpConnection;
    // The counts of the status bar, kept until the text changes.
    std::optional<TFormatRules::WordCount> m_wordCount;
    QPointer<QTextDocument> m_countedDocument;
    QMetaObject::Connection m_countConnection;
    bool m_repaginating = false;
    bool m_inWheel = false;
    int m_rememberedPage = 1;
    int m_previousRightWidth = 90;
    QString m_paperType = QStringLiteral("A4");
    QString m_orientation = QStringLiteral("Portrait");
};
