#include "tmdichild.h"

#include "tdocumenthost.h"
#include "ticons.h"
#include "tfiledialog.h"
#include "tmessagebox.h"
#include "tpagebuilder.h"
#include "trichedit.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString NewDocumentName = QStringLiteral("New Document");
const QString UntitledName = QStringLiteral("Untitled");

constexpr int PanelWidths[10] = {135, 65, 50, 50, 50, 75, 125, 115, 225, 50};

QWidget *makePanel(const QString &name, const QColor &colour, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    return panel;
}

TIcons::Drawing pageDrawing(const QString &name)
{
    if (name == QLatin1String("btnStartPage"))
        return TIcons::Drawing::FirstPage;
    if (name == QLatin1String("btnPriorPage"))
        return TIcons::Drawing::PriorPage;
    if (name == QLatin1String("btnNextPage"))
        return TIcons::Drawing::NextPage;
    return TIcons::Drawing::LastPage;
}

// Shows the busy cursor for the lifetime of the object, also on early returns.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TMDIChild::TMDIChild(TDocumentHost *host, const QString &caption, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_documentName(caption)
{
    setObjectName(QStringLiteral("MDIChild"));
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Ondaro MDI Child") : caption);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    buildToolBar();
    outer->addWidget(ToolBar1);
    auto *panel2 = makePanel(QStringLiteral("Panel2"), QColor(185, 185, 185), this);
    panel2->setFixedHeight(25);
    outer->addWidget(panel2);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    outer->addLayout(body, 1);

    auto *panel1 = makePanel(QStringLiteral("Panel1"), QColor(185, 185, 185), this);
    panel1->setFixedWidth(250);
    body->addWidget(panel1);

    PageSplitter1 = new QSplitter(Qt::Horizontal, this);
    PageSplitter1->setObjectName(QStringLiteral("PageSplitter1"));
    PageSplitter1->setHandleWidth(4);
    PageSplitter1->setChildrenCollapsible(false);
    PageSplitter1->setToolTip(QStringLiteral("Resize Page Width"));
    body->addWidget(PageSplitter1, 1);

    auto *panel5 = makePanel(QStringLiteral("Panel5"), Qt::white, PageSplitter1);
    auto *centre = new QVBoxLayout(panel5);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->setSpacing(0);
    auto *panel6 = makePanel(QStringLiteral("Panel6"), Qt::white, panel5);
    panel6->setFixedHeight(35);
    centre->addWidget(panel6);

    Editor = new TRichEditor(panel5);
    Editor->setObjectName(QStringLiteral("Editor"));
    QFont editorFont(QStringLiteral("Arial"));
    editorFont.setPixelSize(16);
    Editor->setFont(editorFont);
    // The document's sizes are points (the attributes, the font-size label
    // and RTF all count in points): 16 pixels at 96 dpi are 12 points.
    QFont documentFont(editorFont);
    documentFont.setPointSize(12);
    Editor->document()->setDefaultFont(documentFont);
    Editor->setFrameShape(QFrame::NoFrame);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setTabChangesFocus(false);
    centre->addWidget(Editor, 1);

    auto *panel4 = makePanel(QStringLiteral("Panel4"), QColor(185, 185, 185), PageSplitter1);
    panel4->setMinimumWidth(90);
    PageSplitter1->addWidget(panel5);
    PageSplitter1->addWidget(panel4);
    PageSplitter1->setStretchFactor(0, 1);
    PageSplitter1->setStretchFactor(1, 0);
    PageSplitter1->setSizes({1000, 90});
    buildSidePanels(panel1, panel4);

    buildStatusBar();
    outer->addWidget(StatusBar1);
    buildEditorMenu();
    buildFormatCommands();

    connect(Editor, &TRichEditor::Change, this, &TMDIChild::EditorChange);
    connect(Editor, &TRichEditor::SelectionChange, this, &TMDIChild::EditorSelectionChange);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TMDIChild::UpdatePasteState);
    setUpPages();

    if (m_host)
        m_host->AddDocumentTab(this);
    m_openTime = QDateTime::currentDateTime();
    Editor->document()->clearUndoRedoStacks();
    Editor->SetModified(false);
}

TMDIChild::~TMDIChild()
{
    SaveSettings();
    delete m_pagesFilter;
}

void TMDIChild::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setStyleSheet(QStringLiteral(
        "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fafafa, stop:1 #e4e4e4);"
        " border-bottom: 1px solid #b5b5b5; spacing: 1px; }"
        "QToolButton { min-width: 33px; min-height: 29px; border: 1px solid transparent; border-radius: 4px; }"
        "QToolButton:hover { border-color: #b5b5b5; background: #ffffff; }"
        "QToolButton:checked { border-color: #9e9e9e; background: #d8d8d8; }"));

    TIcons::Style bold;
    bold.bold = true;
    TIcons::Style italic;
    italic.italic = true;
    TIcons::Style underline;
    underline.underline = true;
    TIcons::Style colour;
    colour.bold = true;

    btnFont = addToolButton(ToolBar1, "btnFont", "Set Font Attributes... (Ctrl+Alt+F)", TIcons::glyph("F", bold));
    ToolBar1->addSeparator();
    btnUndo = addToolButton(ToolBar1, "btnUndo", "Undo", TIcons::glyph(QStringLiteral("\u21B6")));
    btnRedo = addToolButton(ToolBar1, "btnRedo", "Redo", TIcons::glyph(QStringLiteral("\u21B7")));
    ToolBar1->addSeparator();
    btnBold = addToolButton(ToolBar1, "btnBold", "Bold", TIcons::glyph("B", bold));
    btnItalic = addToolButton(ToolBar1, "btnItalic", "Italic", TIcons::glyph("I", italic));
    btnUnderline = addToolButton(ToolBar1, "btnUnderline", "Underline", TIcons::glyph("U", underline));
    btnFormatPainter = addToolButton(ToolBar1, "btnFormatPainter", "Format Painter", TIcons::glyph(QStringLiteral("\u270E")));
    addToolButton(ToolBar1, "btnSpellChecker", "Spell Checker", TIcons::glyph(QStringLiteral("\u2713")));
    ToolBar1->addSeparator();
    btnLeftAlign = addToolButton(ToolBar1, "btnLeftAlign", "Left Align", TIcons::alignment(0));
    btnCenterAlign = addToolButton(ToolBar1, "btnCenterAlign", "Center Align", TIcons::alignment(2));
    btnJustify = addToolButton(ToolBar1, "btnJustify", "Justify Text", TIcons::alignment(3));
    ToolBar1->addSeparator();
    addToolButton(ToolBar1, "btnDedent", "Decrease Indent", TIcons::glyph(QStringLiteral("\u21E4")));
    addToolButton(ToolBar1, "btnFirstIndentM", "Decrease First Hanging Indent", TIcons::glyph(QStringLiteral("\u2190")));
    addToolButton(ToolBar1, "btnFirstIndentP", "Increase First Hanging Indent", TIcons::glyph(QStringLiteral("\u2192")));
    addToolButton(ToolBar1, "btnIndent", "Increase Indent", TIcons::glyph(QStringLiteral("\u21E5")));
    btnParagraph = addToolButton(ToolBar1, "btnParagraph", "Paragraph Attributes...", TIcons::glyph(QStringLiteral("\u00B6")));
    ToolBar1->addSeparator();
    TIcons::Style highlight;
    highlight.tileColor = QColor(255, 240, 120);
    addToolButton(ToolBar1, "btnHighlight", "Highlight Colour...", TIcons::glyph("ab", highlight));
    TIcons::Style fontColour;
    fontColour.bold = true;
    fontColour.glyphColor = QColor(200, 30, 30);
    addToolButton(ToolBar1, "btnCharColor", "Font Colour...", TIcons::glyph("A", fontColour));
    btnBullets = addToolButton(ToolBar1, "btnBullets", "Bullets", TIcons::glyph(QStringLiteral("\u2022")));
    ToolBar1->addSeparator();
    QToolButton *close = addToolButton(ToolBar1, "btnClose", "Close Document",
                                       style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(close, &QToolButton::clicked, this, &TMDIChild::btnCloseClick);

    for (QToolButton *b : {btnBold, btnItalic, btnUnderline, btnLeftAlign, btnCenterAlign, btnJustify})
        b->setCheckable(true);
    // The commands behind the buttons are connected by buildFormatCommands().
}

QToolButton *TMDIChild::addToolButton(QToolBar *bar, const QString &name, const QString &hint,
                                      const QIcon &icon)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}

void TMDIChild::buildSidePanels(QWidget *left, QWidget *right)
{
    auto *leftLayout = new QHBoxLayout(left);
    leftLayout->setContentsMargins(4, 4, 4, 4);
    leftLayout->setSpacing(4);
    QWidget *thumbnails = buildPageStrip(left);
    thumbnails->setFixedWidth(165);
    leftLayout->addWidget(thumbnails);

    auto *column = new QVBoxLayout;
    column->setSpacing(4);
    leftLayout->addLayout(column);
    auto *zoomBar = new QSlider(Qt::Vertical, left);
    zoomBar->setObjectName(QStringLiteral("ZoomBar"));
    zoomBar->setToolTip(QStringLiteral("Zoom"));
    auto *label1 = new QLabel(QStringLiteral("100%"), left);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setAlignment(Qt::AlignCenter);
    lblFontSize = new QLabel(left);
    lblFontSize->setObjectName(QStringLiteral("lblFontSize"));
    lblFontSize->setAlignment(Qt::AlignCenter);
    QFont sizeFont = lblFontSize->font();
    sizeFont.setBold(true);
    sizeFont.setPixelSize(15);
    lblFontSize->setFont(sizeFont);
    column->addWidget(zoomBar, 1, Qt::AlignHCenter);
    column->addWidget(label1);
    column->addWidget(lblFontSize);
    for (const auto &[name, hint, glyph] :
         {std::tuple{"btnIncFontSize", "Increase Font Size", "A+"}, {"btnDecFontSize", "Decrease Font Size", "A-"},
          {"imgToolTips", "Short-Cut Keys...", "?"}, {"imgDocStats", "Document Statistics...", "\u03A3"},
          {"Image4", "Change Paper Type", "\u25AF"}}) {
        auto *b = new QToolButton(left);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromLatin1(hint));
        b->setIcon(TIcons::glyph(QString::fromUtf8(glyph)));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        column->addWidget(b, 0, Qt::AlignHCenter);
    }

    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(4, 8, 4, 8);
    rightLayout->setSpacing(6);
    TIcons::Style tile;
    tile.tileColor = QColor(235, 235, 235);
    for (const auto &[name, hint, glyph] :
         {std::tuple{"imgViewDocs", "Switch Windows...", "\u25A4"}, {"imgCustText", "Insert Character Art...", "\u2605"},
          {"btnFontSmooth", "Font Options...", "Aa"}, {"imgRTFCode", "RTF Code Editor...", "{}"},
          {"btnCustomText", "Insert Custom Text...", "\u270D"},
          {"btnSpecialChar", "Insert Special Characters...", "\u03A9"},
          {"imgEmotiCon", "Insert Emoticon...", "\u263A"}}) {
        auto *b = new QToolButton(right);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromLatin1(hint));
        b->setIcon(TIcons::glyph(QString::fromUtf8(glyph), tile));
        b->setIconSize(QSize(28, 28));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        rightLayout->addWidget(b, 0, Qt::AlignHCenter);
    }
    rightLayout->addStretch(1);
    auto *pageButtons = new QHBoxLayout;
    pageButtons->setSpacing(0);
    for (const auto &[name, hint, glyph] :
         {std::tuple{"btnStartPage", "First Page", ""}, {"btnPriorPage", "Previous Page", ""},
          {"btnNextPage", "Next Page", ""}, {"btnEndPage", "Last Page", ""}}) {
        auto *b = new QToolButton(right);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromLatin1(hint));
        Q_UNUSED(glyph);
        b->setIcon(TIcons::drawn(pageDrawing(QString::fromLatin1(name))));
        b->setIconSize(QSize(18, 18));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        pageButtons->addWidget(b);
    }
    rightLayout->addLayout(pageButtons);
}

void TMDIChild::buildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(19 + 4);
    for (int i = 0; i < 10; ++i) {
        auto *label = new QLabel(StatusBar1);
        label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        label->setFixedWidth(PanelWidths[i]);
        label->setAlignment(i == 9 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(label, i == 9 ? 1 : 0);
        m_panels.append(label);
    }
    setStatusPanel(5, QStringLiteral("INSERT"));
}

void TMDIChild::buildEditorMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupCut = PopupMenu1->addAction(QStringLiteral("Cu&t"), this, &TMDIChild::CutClick);
    m_popupCut->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    m_popupCopy = PopupMenu1->addAction(QStringLiteral("&Copy"), this, &TMDIChild::CopyClick);
    m_popupCopy->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    m_popupPaste = PopupMenu1->addAction(QStringLiteral("&Paste"), this, &TMDIChild::PasteClick);
    m_popupPaste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Select All"), this, &TMDIChild::SelectAllClick)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(QStringLiteral("Clear All"), this, &TMDIChild::ClearAllClick);
    PopupMenu1->addAction(QStringLiteral("Clear Selection"), this, &TMDIChild::ClearSelectionClick)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    for (QAction *a : PopupMenu1->actions())
        a->setShortcutVisibleInContextMenu(true);

    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Editor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(Editor->viewport()->mapToGlobal(pos)); });
}

void TMDIChild::setStatusPanel(int index, const QString &text)
{
    if (index >= 0 && index < m_panels.size())
        m_panels[index]->setText(text);
}

QString TMDIChild::documentFileNamePart() const
{
    return QFileInfo(m_documentName).fileName();
}

QStringList TMDIChild::SaveFilters()
{
    return {QStringLiteral("Rich Text Format (*.rtf)"),
            QStringLiteral("Rich Text Compressed (*.rtc)"),
            QStringLiteral("Word 97-2003 & 6.0/95 - RTF (*.doc)"),
            QStringLiteral("Mireval Template (*.mvt)"),
            QStringLiteral("Plain Text File UniCode (*.txt)"),
            QStringLiteral("Plain Text File ANSI (*.txt)"),
            QStringLiteral("Pascal File (*.pas)"),
            QStringLiteral("C++ File (*.cpp)"),
            QStringLiteral("Header File (*.h)"),
            QStringLiteral("XML File (*.xml)"),
            QStringLiteral("Web Page (*.htm)"),
            QStringLiteral("SQL File (*.sql)"),
            QStringLiteral("All Files (*)")};
}

bool TMDIChild::LoadDocument(const QString &path, QString *reason)
{
    const DocumentKind kind = TDocumentFile::kindForLoad(path);
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        Editor->setUpdatesEnabled(false);
        Editor->SetStreamFormat(kind == DocumentKind::PlainAnsi ? StreamFormat::PlainAnsi : StreamFormat::Rtf);
        ok = TDocumentFile::load(*Editor, path, kind, &error);
        Editor->setUpdatesEnabled(true);
    }
    if (!ok) {
        if (reason)
            *reason = error;
        else
            TMessageBox::error(this, QStringLiteral("Unable to open \"%1\".\n%2")
                                         .arg(QDir::toNativeSeparators(path), error));
        return false;
    }

    m_documentName = kind == DocumentKind::Template ? UntitledName : path;
    if (m_host) {
        m_host->SetCurrentFileName(m_documentName);
        m_host->SetDocumentTabCaption(this, QFileInfo(m_documentName).fileName());
    }
    setWindowTitle(kind == DocumentKind::Template ? UntitledName : path);
    QApplication::setApplicationDisplayName(QLatin1Char(' ') + documentFileNamePart());

    QTextCursor start(Editor->document());
    Editor->setTextCursor(start);
    Repaginate();
    if (Editor->isVisible())
        Editor->setFocus();
    Editor->document()->clearUndoRedoStacks();
    UpdateStatus();
    SetModifiedIndicator(false);
    return true;
}

bool TMDIChild::SaveDocument()
{
    const int caret = Editor->textCursor().position();
    const bool modified = Editor->Modified();
    // A document without a file of its own (new, or made from a template) is
    // named by Save As instead of being written under its placeholder name.
    if ((modified || m_forceSave) && (m_documentName == NewDocumentName || m_documentName == UntitledName))
        return SaveDocumentAs();
    if (!modified && !m_forceSave)
        return true;

    if (m_host)
        m_host->SetDocumentTabCaption(this, documentFileNamePart());
    const DocumentKind kind = TDocumentFile::kindForSave(m_documentName, m_saveFilterIndex);
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        ok = TDocumentFile::save(*Editor, m_documentName, kind, &error);
    }
    m_forceSave = false;
    if (!ok) {
        TMessageBox::error(this, QStringLiteral("Unable to save \"%1\".\n%2")
                                     .arg(QDir::toNativeSeparators(m_documentName), error));
        return false;
    }
    Editor->SetStreamFormat(StreamFormat::Rtf);
    if (kind == DocumentKind::PlainAnsi) {
        QTextCursor c = Editor->textCursor();
        c.setPosition(qMin(caret, Editor->document()->characterCount() - 1));
        Editor->setTextCursor(c);
    }
    if (m_host)
        m_host->SetCurrentFileName(m_documentName);
    SetModifiedIndicator(false);
    return true;
}

bool TMDIChild::SaveDocumentAs()
{
    TFileDialog::Request request;
    request.save = true;
    request.title = QStringLiteral("Save File As");
    request.filters = SaveFilters();
    request.filterIndex = m_saveFilterIndex;
    request.defaultSuffix = QStringLiteral("rtf");
    request.suggestedPath = (m_documentName == NewDocumentName || m_documentName == UntitledName)
                                ? m_documentName
                                : m_documentName.left(qMax<qsizetype>(0, m_documentName.size() - 4));
    QPointer<TMDIChild> self(this);
    const QString path = TFileDialog::run(this, request);
    if (!self || path.isEmpty())
        return false;

    const QString previousName = m_documentName;
    const int previousFilter = m_saveFilterIndex;
    m_saveFilterIndex = request.filterIndex;
    m_documentName = path;
    m_forceSave = true;
    if (!SaveDocument()) {
        // Nothing was written: the window keeps naming the document it had.
        m_documentName = previousName;
        m_saveFilterIndex = previousFilter;
        if (m_host)
            m_host->SetDocumentTabCaption(this, QFileInfo(previousName).fileName());
        return false;
    }
    if (m_host) {
        m_host->SetCurrentFileName(path);
        m_host->SetDocumentTabCaption(this, QFileInfo(path).fileName());
        if (m_saveFilterIndex != TDocumentFile::UnicodeFilterIndex)
            m_host->RecordHistory(path);
    }
    setWindowTitle(path);
    QApplication::setApplicationDisplayName(QFileInfo(path).fileName());
    return true;
}

void TMDIChild::OpenLastDocument()
{
    // The window may be closed while the question or the save dialog is up.
    QPointer<TMDIChild> self(this);
    if (!Editor->Text().isEmpty() && Editor->Modified()) {
        const auto answer = TMessageBox::askYesNoCancel(this, QStringLiteral("Save current document?"));
        if (!self || answer == QMessageBox::Cancel)
            return;
        if (answer == QMessageBox::Yes && (!SaveDocument() || !self))
            return;
    }
    if (!m_host || m_host->HistoryIsEmpty()) {
        TMessageBox::information(this, QStringLiteral("Document History List is Empty."));
        return;
    }
    const QString path = m_host->MostRecentHistoryEntry();
    if (!QFileInfo::exists(path)) {
        TMessageBox::information(this, QStringLiteral("Document does not exist or has been deleted."));
        return;
    }
    LoadDocument(path);
}

void TMDIChild::SetModifiedIndicator(bool modified)
{
    setStatusPanel(1, modified ? QStringLiteral("Modified") : QString());
    Editor->SetModified(modified);
}

void TMDIChild::UpdatePasteState()
{
    const bool canPaste = Editor->CanPaste();
    if (m_popupPaste)
        m_popupPaste->setEnabled(canPaste);
    if (m_host && isActiveWindowOfHost())
        m_host->SetPasteEnabled(canPaste);
}

void TMDIChild::btnCloseClick()
{
    if (QWidget *sub = parentWidget())
        sub->close();
    else
        close();
}

bool TMDIChild::isActiveWindowOfHost() const
{
    return m_host && m_host->ActiveDocument() == this;
}

void TMDIChild::Activated()
{
    if (m_host)
        m_host->LockRedraw();
    if (m_firstActivation) {
        m_firstActivation = false;
        SetModifiedIndicator(false);
    }
    if (m_host) {
        // Frame commands that work by name (save, export, preview) follow the
        // active window, so they never act on another window's file.
        m_host->SetCurrentFileName(m_documentName);
        m_host->SetPdfTextExportEnabled(!m_host->IsFrameMaximized());
        m_host->SelectDocumentTab(this);
    }
    EditorSelectionChange();
    UpdateKeyIndicators();
    UpdatePasteState();
    QApplication::setApplicationDisplayName(QLatin1Char(' ') + documentFileNamePart());
    Editor->setFocus();
    if (m_host)
        m_host->UnlockRedraw();
}

void TMDIChild::Deactivated()
{
    if (m_host)
        setStatusPanel(6, QStringLiteral("%1 Document(s) Open").arg(m_host->DocumentCount()));
}

void TMDIChild::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    UpdateKeyIndicators();
    EditorChange();
    Editor->setFocus();
    UpdatePasteState();
    SetModifiedIndicator(false);
    UpdateStatus();
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (Editor->Modified()) {
        const auto answer = TMessageBox::askYesNoCancel(
            this, QStringLiteral("Do you want to save changes to \"%1\"?").arg(documentFileNamePart()));
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        // A save that was cancelled or failed keeps the window, so no edit is lost.
        if (answer == QMessageBox::Yes && !SaveDocument()) {
            event->ignore();
            return;
        }
    }
    if (m_host)
        m_host->RemoveDocumentTab(this);
    event->accept();
}
