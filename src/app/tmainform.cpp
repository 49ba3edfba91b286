#include "tmainform.h"

#include "taboutbox.h"
#include "thistoryform.h"
#include "tfiledialog.h"
#include "tformselectorform.h"
#include "ticons.h"
#include "tmdichild.h"
#include "tmessagebox.h"
#include "trichedit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {
const QString NewDocumentName = QStringLiteral("New Document");
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Ondaro Tessary Editor"));
    setWindowIcon(TAboutBox::applicationIcon());
    resize(1024, 676);

    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    mdiChildrenTabs = new QTabBar(client);
    mdiChildrenTabs->setObjectName(QStringLiteral("mdiChildrenTabs"));
    QFont tabFont(QStringLiteral("Arial"));
    tabFont.setPixelSize(13);
    mdiChildrenTabs->setFont(tabFont);
    mdiChildrenTabs->setFixedHeight(24);
    mdiChildrenTabs->setExpanding(false);
    mdiChildrenTabs->setDrawBase(true);
    mdiChildrenTabs->setDocumentMode(true);
    layout->addWidget(mdiChildrenTabs);

    m_mdiArea = new QMdiArea(client);
    m_mdiArea->setObjectName(QStringLiteral("MDIClient"));
    m_mdiArea->setBackground(QColor(243, 243, 243));
    layout->addWidget(m_mdiArea, 1);
    setCentralWidget(client);

    buildToolBar();
    buildShortcuts();

    connect(m_mdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::subWindowActivated);
    connect(mdiChildrenTabs, &QTabBar::currentChanged, this, &TMainForm::mdiChildrenTabsChange);

    m_aboutBox = new TAboutBox(this);
    // Reads the history list now and writes it when the frame goes at program end.
    m_historyForm = new THistoryForm(this);
    m_historyForm->SetOpener([this](const QString &path) { return openFromHistory(path); });

    // Fonts of the symbol character set, for the insertion tools.
    for (const QString &family : QFontDatabase::families(QFontDatabase::Symbol))
        SymbolFontNames.append(family);
}

TMainForm::~TMainForm()
{
    // Document windows go first, one by one, while the area and the tab
    // strip they talk to still exist.
    disconnect(m_mdiArea, nullptr, this, nullptr);
    disconnect(mdiChildrenTabs, nullptr, this, nullptr);
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *sub : windows) {
        QWidget *child = sub->widget();
        sub->setWidget(nullptr);
        delete child;
        delete sub;
    }
    // Windows the area no longer lists (a sub-window on its way out) still save their
    // settings into this frame's members, so they too go while those exist.
    qDeleteAll(findChildren<TMDIChild *>());
}

QToolButton *TMainForm::addButton(const QString &name, const QString &hint, const QIcon &icon)
{
    auto *button = new QToolButton(ToolBar2);
    button->setObjectName(name);
    button->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    button->setStatusTip(hint.section(QLatin1Char('|'), -1));
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    ToolBar2->addWidget(button);
    return button;
}

void TMainForm::buildToolBar()
{
    ToolBar2 = new QToolBar(QStringLiteral("CoolBar1"), this);
    ToolBar2->setObjectName(QStringLiteral("ToolBar2"));
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(26, 26));
    ToolBar2->setStyleSheet(QStringLiteral(
        "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #e2e2e2);"
        " border-bottom: 1px solid #b5b5b5; spacing: 2px; padding: 1px; }"
        "QToolButton { min-width: 41px; min-height: 31px; border: 1px solid transparent; border-radius: 4px; }"
        "QToolButton:hover { border-color: #b5b5b5; background: #ffffff; }"
        "QToolButton:disabled { color: #a0a0a0; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar2);

    QStyle *s = style();
    TIcons::Style tile;
    tile.tileColor = QColor(232, 236, 244);
    tile.bold = true;

    connect(addButton("ToolButton9", "New|Create a new file", s->standardIcon(QStyle::SP_FileIcon)),
            &QToolButton::clicked, this, &TMainForm::FileNew);
    connect(addButton("ToolButton17", "Open Last Active Document", TIcons::glyph(QStringLiteral("\u21BA"), tile)),
            &QToolButton::clicked, this, &TMainForm::OpenLastActiveDocument);
    connect(addButton("btnHistory", "Document History... (Ctrl+H)", TIcons::drawn(TIcons::Drawing::History)),
            &QToolButton::clicked, this, &TMainForm::btnHistoryClick);
    ToolBar2->addSeparator();
    connect(addButton("ToolButton1", "Open|Open a file", s->standardIcon(QStyle::SP_DialogOpenButton)),
            &QToolButton::clicked, this, &TMainForm::FileOpen);
    connect(addButton("ToolButton19", "Save Document... (Ctrl+S)", s->standardIcon(QStyle::SP_DialogSaveButton)),
            &QToolButton::clicked, this, &TMainForm::FileSave);
    connect(addButton("ToolButton20", "Save Document as...", TIcons::glyph(QStringLiteral("\u2193"), tile)),
            &QToolButton::clicked, this, &TMainForm::FileSaveAs);
    addButton("ToolButton2", "Export Document as...", TIcons::drawn(TIcons::Drawing::Export))->setEnabled(false);
    addButton("ToolButton15", "Print Preview... (Ctrl+Alt+P)", TIcons::drawn(TIcons::Drawing::PrintPreview))->setEnabled(false);
    ToolBar2->addSeparator();
    btnCut = addButton("btnCut", "Cut|Cuts the selection and puts it on the Clipboard", TIcons::drawn(TIcons::Drawing::Cut));
    btnCopy = addButton("btnCopy", "Copy|Copies the selection and puts it on the Clipboard", TIcons::drawn(TIcons::Drawing::Copy));
    btnPaste = addButton("btnPaste", "Paste|Inserts Clipboard contents", TIcons::drawn(TIcons::Drawing::Paste));
    connect(btnCut, &QToolButton::clicked, this, [this] { if (auto *d = ActiveDocument()) d->CutClick(); });
    connect(btnCopy, &QToolButton::clicked, this, [this] { if (auto *d = ActiveDocument()) d->CopyClick(); });
    connect(btnPaste, &QToolButton::clicked, this, [this] { if (auto *d = ActiveDocument()) d->PasteClick(); });
    btnCut->setEnabled(false);
    btnCopy->setEnabled(false);
    ToolBar2->addSeparator();
    connect(addButton("ToolButton8", "Cascade", TIcons::drawn(TIcons::Drawing::Cascade)),
            &QToolButton::clicked, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(addButton("ToolButton10", "Tile Horizontally", TIcons::drawn(TIcons::Drawing::TileHorizontal)),
            &QToolButton::clicked, this, [this] { tileDocuments(Qt::Horizontal); });
    connect(addButton("ToolButton11", "Tile Vertically", TIcons::drawn(TIcons::Drawing::TileVertical)),
            &QToolButton::clicked, this, [this] { tileDocuments(Qt::Vertical); });
    connect(addButton("ToolButton18", "Maximize/Restore", TIcons::drawn(TIcons::Drawing::Maximize)),
            &QToolButton::clicked, this, &TMainForm::ToolButton18Click);
    ToolBar2->addSeparator();
    connect(addButton("ToolButton7", "About Ondaro Tessary Pro...", TIcons::glyph(QStringLiteral("i"), tile)),
            &QToolButton::clicked, this, &TMainForm::ShowAbout);
    connect(addButton("ToolButton12", "Exit Ondaro Tessary", s->standardIcon(QStyle::SP_DialogCloseButton)),
            &QToolButton::clicked, this, &QWidget::close);
}

void TMainForm::buildShortcuts()
{
    // The menus stay hidden; their items act through their shortcuts only.
    const auto add = [this](const char *name, const char *keys, auto slot) {
        auto *action = new QAction(QString::fromLatin1(name), this);
        action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        return action;
    };
    add("Save", "Ctrl+S", [this] { FileSave(); });
    add("New", "Ctrl+N", [this] { FileNew(); });
    add("Open", "Ctrl+O", [this] { FileOpen(); });
    add("Document History...", "Ctrl+H", [this] { btnHistoryClick(); });
    add("Find", "Ctrl+F", [this] { EditFind(); });
    add("Find and Replace", "Ctrl+R", [this] { EditReplace(); });
    // The rest go to the active document window's own commands.
    const auto forward = [this, add](const char *name, const char *keys, void (TMDIChild::*command)()) {
        add(name, keys, [this, command] {
            if (TMDIChild *d = ActiveDocument())
                (d->*command)();
        });
    };
    forward("Undo", "Ctrl+Z", &TMDIChild::UndoClick);
    forward("Redo", "Ctrl+Y", &TMDIChild::RedoClick);
    forward("Cut", "Ctrl+X", &TMDIChild::CutClick);
    forward("Copy", "Ctrl+C", &TMDIChild::CopyClick);
    forward("Paste", "Ctrl+V", &TMDIChild::PasteClick);
    forward("Bold", "Ctrl+B", &TMDIChild::btnBoldClick);
    forward("Italic", "Ctrl+I", &TMDIChild::btnItalicClick);
    forward("Underline", "Ctrl+U", &TMDIChild::btnUnderlineClick);
    forward("Font", "Ctrl+Alt+F", &TMDIChild::btnFontClick);
    forward("Format Painter", "Ctrl+Alt+K", &TMDIChild::btnFormatPainterClick);
    forward("Paragraph Attributes...", "Ctrl+Alt+A", &TMDIChild::btnParagraphClick);
    forward("Insert Table...", "Ctrl+Alt+T", &TMDIChild::InsertTable1Click);
    forward("Insert Object...", "Ctrl+Alt+O", &TMDIChild::InsertObject1Click);
    forward("Insert Picture...", "Ctrl+Alt+P", &TMDIChild::InsertPicture1Click);
}

QStringList TMainForm::OpenFilters()
{
    return {QStringLiteral("Rich Text Format (*.rtf)"),
            QStringLiteral("Rich Text Compressed (*.rtc)"),
            QStringLiteral("Word 97-2003 & 6.0/95 - RTF (*.doc)"),
            QStringLiteral("Plain Text File ANSI (*.txt)"),
            QStringLiteral("Pascal File (*.pas)"),
            QStringLiteral("C++ File (*.cpp)"),
            QStringLiteral("Header File (*.h)"),
            QStringLiteral("XML File (*.xml)"),
            QStringLiteral("Web Page (*.htm *.html)"),
            QStringLiteral("SQL File (*.sql)"),
            QStringLiteral("All Files (*)")};
}

void TMainForm::LockRedraw()
{
    if (++m_redrawLockCount == 1)
        m_mdiArea->setUpdatesEnabled(false);
}

void TMainForm::UnlockRedraw()
{
    if (m_redrawLockCount == 0)
        return;
    if (--m_redrawLockCount == 0) {
        m_mdiArea->setUpdatesEnabled(true);
        m_mdiArea->update();
    }
}

int TMainForm::tabIndexOf(TMDIChild *window) const
{
    for (int i = 0; i < mdiChildrenTabs->count(); ++i)
        if (mdiChildrenTabs->tabData(i).value<QObject *>() == window)
            return i;
    return -1;
}

void TMainForm::AddDocumentTab(TMDIChild *window)
{
    const int guard = std::exchange(m_tabGuard, -1);
    const int index = mdiChildrenTabs->addTab(QFileInfo(m_currentFileName).fileName());
    mdiChildrenTabs->setTabData(index, QVariant::fromValue<QObject *>(window));
    mdiChildrenTabs->setTabIcon(index, TIcons::drawn(TIcons::Drawing::Document));
    mdiChildrenTabs->setCurrentIndex(index);
    m_tabGuard = guard;
}

void TMainForm::RemoveDocumentTab(TMDIChild *window)
{
    const int index = tabIndexOf(window);
    if (index < 0)
        return;
    const int guard = std::exchange(m_tabGuard, -1);
    mdiChildrenTabs->removeTab(index);
    m_tabGuard = guard;
}

void TMainForm::SetDocumentTabCaption(TMDIChild *window, const QString &caption)
{
    const int index = tabIndexOf(window);
    if (index >= 0)
        mdiChildrenTabs->setTabText(index, caption);
}

void TMainForm::SelectDocumentTab(TMDIChild *window)
{
    const int index = tabIndexOf(window);
    if (index < 0)
        return;
    // Selecting the tab of the window being activated must not activate it again.
    const int guard = std::exchange(m_tabGuard, -1);
    mdiChildrenTabs->setCurrentIndex(index);
    m_tabGuard = guard;
}

void TMainForm::mdiChildrenTabsChange(int index)
{
    if (m_tabGuard == -1 || index < 0)
        return;
    auto *window = qobject_cast<TMDIChild *>(mdiChildrenTabs->tabData(index).value<QObject *>());
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList()) {
        if (sub->widget() == window) {
            LockRedraw();
            m_mdiArea->setActiveSubWindow(sub);
            sub->show();
            UnlockRedraw();
            return;
        }
    }
}

QList<TMDIChild *> TMainForm::DocumentWindows() const
{
    QList<TMDIChild *> result;
    for (QMdiSubWindow *sub : m_mdiArea->subWindowList(QMdiArea::CreationOrder))
        if (auto *child = qobject_cast<TMDIChild *>(sub->widget()))
            result.append(child);
    return result;
}

int TMainForm::DocumentCount() const
{
    return int(DocumentWindows().size());
}

TMDIChild *TMainForm::ActiveDocument() const
{
    QMdiSubWindow *sub = m_mdiArea->activeSubWindow();
    if (!sub)
        sub = m_mdiArea->currentSubWindow();
    return sub ? qobject_cast<TMDIChild *>(sub->widget()) : nullptr;
}

void TMainForm::SetCutCopyEnabled(bool enabled)
{
    btnCut->setEnabled(enabled);
    btnCopy->setEnabled(enabled);
}

void TMainForm::SetPasteEnabled(bool enabled)
{
    btnPaste->setEnabled(enabled);
}

void TMainForm::RecordHistory(const QString &path)
{
    m_historyForm->RecordSavedFile(path);
}

QString TMainForm::MostRecentHistoryEntry() const
{
    return m_historyForm->FirstShownEntry();
}

bool TMainForm::HistoryIsEmpty() const
{
    return m_historyForm->ShownIsEmpty();
}

const QStringList &TMainForm::History() const
{
    return m_historyForm->StoredList();
}

void TMainForm::btnHistoryClick()
{
    m_historyForm->exec();
    if (auto *d = ActiveDocument())
        d->Editor->setFocus();
}

bool TMainForm::openFromHistory(const QString &path)
{
    m_currentFileName = QFileInfo(path).fileName();
    LockRedraw();
    QPointer<TMDIChild> child = CreateNewDocument(m_currentFileName);
    UnlockRedraw();
    QString error;
    if (child->LoadDocument(path, &error))
        return true;
    // The window was made for this file only; the history tells the user.
    if (child && child->parentWidget())
        child->parentWidget()->close();
    return false;
}

TMDIChild *TMainForm::CreateNewDocument(const QString &caption)
{
    auto *child = new TMDIChild(this, caption);
    QMdiSubWindow *sub = m_mdiArea->addSubWindow(child);
    sub->setWindowIcon(TIcons::drawn(TIcons::Drawing::Document));
    sub->showMaximized();
    child->Editor->setFocus();
    return child;
}

void TMainForm::FileNew()
{
    LockRedraw();
    m_currentFileName = NewDocumentName;
    CreateNewDocument(NewDocumentName);
    UnlockRedraw();
}

void TMainForm::FileOpen()
{
    TFileDialog::Request request;
    request.title = QStringLiteral("Open File");
    request.filters = OpenFilters();
    request.defaultSuffix = QStringLiteral("rtf");
    const QString path = TFileDialog::run(this, request);
    if (path.isEmpty())
        return;

    m_currentFileName = QFileInfo(path).fileName();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LockRedraw();
    QPointer<TMDIChild> child = CreateNewDocument(m_currentFileName);
    UnlockRedraw();
    m_historyForm->RecordOpenedFile(path);
    const bool loaded = child->LoadDocument(path);
    QApplication::restoreOverrideCursor();
    // The window was made for this file only: without it, it goes again.
    if (!loaded && child && child->parentWidget())
        child->parentWidget()->close();
}

void TMainForm::FileSave()
{
    if (auto *d = ActiveDocument())
        d->SaveDocument();
}

void TMainForm::FileSaveAs()
{
    if (auto *d = ActiveDocument())
        d->SaveDocumentAs();
}

void TMainForm::OpenLastActiveDocument()
{
    if (auto *d = ActiveDocument())
        d->OpenLastDocument();
}

void TMainForm::EditFind()
{
    // Opened once the current event has been handled, as the shortcut's key
    // press must not reach the dialog.
    QTimer::singleShot(0, this, [this] {
        if (auto *d = ActiveDocument())
            d->Editor->FindDialog(d->Editor->textCursor().selectedText());
    });
}

void TMainForm::EditReplace()
{
    QTimer::singleShot(0, this, [this] {
        if (auto *d = ActiveDocument())
            d->Editor->ReplaceDialog(d->Editor->textCursor().selectedText());
    });
}

void TMainForm::ToolButton18Click()
{
    if (isMaximized()) {
        showNormal();
        resize(1024, height());
    } else {
        showMaximized();
    }
    m_pdfTextExportEnabled = !isMaximized();
}

void TMainForm::ShowWindowSwitcher()
{
    // On the heap, so that a frame going away meanwhile takes it along safely.
    QPointer<TFormSelectorForm> switcher = new TFormSelectorForm(m_mdiArea, this, this);
    switcher->exec();
    delete switcher;
}

void TMainForm::ShowAbout()
{
    m_aboutBox->exec();
}

void TMainForm::subWindowActivated(QMdiSubWindow *window)
{
    TMDIChild *child = window ? qobject_cast<TMDIChild *>(window->widget()) : nullptr;
    if (child == m_lastActive)
        return;
    if (m_lastActive)
        m_lastActive->Deactivated();
    m_lastActive = child;
    if (child)
        child->Activated();
}

void TMainForm::FitToWorkArea()
{
    QScreen *screen = this->screen();
    if (!screen)
        return;
    if (screen->geometry().width() == 1024) {
        showMaximized();
        return;
    }
    if (windowState() == Qt::WindowNoState) {
        const QRect work = screen->availableGeometry();
        setGeometry(work.left() + (work.width() - 1024) / 2, work.top(), 1024, work.height());
    }
}

void TMainForm::openCommandLineFile()
{
    m_currentFileName = m_commandLineFile;
    FitToWorkArea();
    LockRedraw();
    QPointer<TMDIChild> child = CreateNewDocument(QFileInfo(m_commandLineFile).fileName());
    UnlockRedraw();
    QString error;
    if (!child->LoadDocument(m_commandLineFile, &error))
        TMessageBox::information(this, QStringLiteral("Unable to Open File") + QStringLiteral("\n\n")
                                           + QDir::toNativeSeparators(m_commandLineFile) + QStringLiteral(": ") + error);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    // Handled after the frame is on screen, as the window then has its final size.
    QTimer::singleShot(0, this, [this] {
        if (!m_commandLineFile.isEmpty() && QFileInfo(m_commandLineFile).isFile()) {
            openCommandLineFile();
        } else {
            FitToWorkArea();
            FileNew();
        }
    });
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    m_mdiArea->closeAllSubWindows();
    if (!m_mdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMainForm::tileDocuments(Qt::Orientation orientation)
{
    const QList<QMdiSubWindow *> windows = m_mdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    const QRect area = m_mdiArea->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        w->showNormal();
        if (orientation == Qt::Horizontal) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}
