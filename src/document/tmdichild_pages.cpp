// The document window's pages: the hidden page container and the thumbnail strip bound
// to it, live pagination, the paper-type menu, the page buttons, the settings file and
// the zoom bar.
#include "tmdichild.h"

#include "tdocumenthost.h"
#include "tpagebuilder.h"
#include "tpgpreview.h"
#include "tpgthumbnail.h"
#include "tpgthumbnails.h"
#include "trichedit.h"

#include <QActionGroup>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QTextCursor>
#include <QToolButton>
#include <QWheelEvent>

namespace {

const QStringList PaperTypes = { QStringLiteral("A4"), QStringLiteral("Letter"),
    QStringLiteral("Legal"), QStringLiteral("Envelope_09"), QStringLiteral("Envelope_10"),
    QStringLiteral("Envelope_DL"), QStringLiteral("Envelope_DL_Maxi") };

bool isEnvelope(const QString &paper)
{
    return paper.startsWith(QLatin1String("Envelope"));
}

constexpr double EnvelopeMarginMm = 3.0;

void setWindowColour(QWidget *w, const QColor &c)
{
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Base, c);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

// Routes the events the pages need (pointer over the panels, wheel over the strip, the
// window's size) to the window.
class TPagesEventFilter : public QObject
{
public:
    TPagesEventFilter(TMDIChild *window)
        : QObject(window)
        , m_window(window)
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        return m_window->pagesEvent(watched, event);
    }

private:
    TMDIChild *m_window;
};

QWidget *TMDIChild::buildPageStrip(QWidget *left)
{
    PgPreview1 = new TPgPreview(this);
    PgPreview1->setObjectName(QStringLiteral("PgPreview1"));
    PgPreview1->hide();
    QPen silver(QColor(192, 192, 192));
    silver.setStyle(Qt::DotLine);
    PgPreview1->Margins().SetPen(silver);
    PgPreview1->Margins().SetPrinterMarginPen(silver);
    PgPreview1->SetGutter(20);
    PgPreview1->SetPagesPerSheet(pgOnePage);
    PgPreview1->SetMinZoom(10);
    QFont band(QStringLiteral("Arial"));
    band.setPixelSize(16);
    for (int i = 0; i < 3; ++i) {
        PgPreview1->Header().Caption(i)->SetFont(band);
        PgPreview1->Footer().Caption(i)->SetFont(band);
    }

    PgThumbnails1 = new TPgThumbnails(left);
    PgThumbnails1->setObjectName(QStringLiteral("PgThumbnails1"));
    PgThumbnails1->SetLayout(pgThumbVert);
    PgThumbnails1->SetPageCaptions(QStringLiteral("Page: #"));
    PgThumbnails1->SetThumbSize(14);
    PgThumbnails1->SetSelectedColor(QColor(0, 128, 192));
    PgThumbnails1->Shadow().SetWidth(4);
    PgThumbnails1->Shadow().SetColor(QColor(133, 133, 133));
    QFont caption(QStringLiteral("Arial"));
    caption.setPixelSize(13);
    PgThumbnails1->SetCaptionFont(caption);
    PgThumbnails1->SetColor(QColor(226, 226, 226));
    PgThumbnails1->setCursor(Qt::PointingHandCursor);
    PgThumbnails1->setToolTip(QStringLiteral("Print Preview - A4 Paper"));
    // Portrait pages fit the strip; landscape and wide papers scroll sideways rather than
    // lose their right-hand part.
    PgThumbnails1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    PgThumbnails1->SetPreview(PgPreview1);
    return PgThumbnails1;
}

void TMDIChild::setUpPages()
{
    m_pageBuilder = std::make_unique<TPageBuilder>(Editor);

    ZoomBar = findChild<QSlider *>(QStringLiteral("ZoomBar"));
    ZoomBar->setRange(50, 200);
    {
        const QSignalBlocker block(ZoomBar);
        ZoomBar->setValue(50);
    }
    ZoomBar->setTickInterval(5);
    ZoomBar->setTickPosition(QSlider::TicksBothSides);
    ZoomBar->setToolTip(QStringLiteral("Document Zoom"));
    ZoomBar->setInvertedAppearance(true); // the smallest zoom at the top, as track bars run
    connect(ZoomBar, &QSlider::valueChanged, this, &TMDIChild::ZoomBarChange);
    Label1 = findChild<QLabel *>(QStringLiteral("Label1"));
    Label1->setText(QStringLiteral("100 %"));

    const auto button = [this](const char *name) {
        return findChild<QToolButton *>(QString::fromLatin1(name));
    };
    connect(button("btnStartPage"), &QToolButton::clicked, this, &TMDIChild::btnStartPageClick);
    connect(button("btnPriorPage"), &QToolButton::clicked, this, &TMDIChild::btnPriorPageClick);
    connect(button("btnNextPage"), &QToolButton::clicked, this, &TMDIChild::btnNextPageClick);
    connect(button("btnEndPage"), &QToolButton::clicked, this, &TMDIChild::btnEndPageClick);

    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    auto *papers = new QActionGroup(PopupMenu4);
    for (const QString &paper : PaperTypes) {
        if (paper == QLatin1String("Envelope_09"))
            PopupMenu4->addSeparator();
        QAction *a = PopupMenu4->addAction(paper);
        a->setObjectName(paper);
        a->setCheckable(true);
        a->setChecked(paper == m_paperType);
        papers->addAction(a);
        connect(a, &QAction::triggered, this, [this, paper] { SelectPaperType(paper); });
    }
    PopupMenu4->addSeparator();
    auto *orientations = new QActionGroup(PopupMenu4);
    for (const QString &o : { QStringLiteral("Portrait"), QStringLiteral("Landscape") }) {
        QAction *a = PopupMenu4->addAction(o);
        a->setObjectName(o);
        a->setCheckable(true);
        a->setChecked(o == m_orientation);
        orientations->addAction(a);
        connect(a, &QAction::triggered, this, [this, o] { SelectOrientation(o); });
    }
    if (QToolButton *image4 = button("Image4")) {
        connect(image4, &QToolButton::pressed, this, [this, image4] {
            PopupMenu4->popup(image4->mapToGlobal(QPoint(0, image4->height())));
        });
    }
    if (QWidget *panel1 = findChild<QWidget *>(QStringLiteral("Panel1"))) {
        panel1->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(panel1, &QWidget::customContextMenuRequested, this,
            [this, panel1](const QPoint &pos) { PopupMenu4->popup(panel1->mapToGlobal(pos)); });
    }

    m_keyUpConnection = connect(Editor, &TRichEditor::KeyUp, this, &TMDIChild::EditorKeyUp);
    connect(PgPreview1, &TPgPreview::OnPageChanged, this, &TMDIChild::PgPreview1PageChanged);

    auto *filter = new TPagesEventFilter(this);
    m_pagesFilter = filter;
    for (const char *name : { "Panel1", "Panel2", "Panel4", "Panel5", "ZoomBar", "Label1" }) {
        if (QWidget *w = findChild<QWidget *>(QString::fromLatin1(name)))
            w->installEventFilter(filter);
    }
    PgThumbnails1->installEventFilter(filter);
    PgThumbnails1->viewport()->installEventFilter(filter);
    Editor->viewport()->installEventFilter(filter);
    installEventFilter(filter);
    connect(PageSplitter1, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = PageSplitter1->sizes();
        const int right = sizes.value(1);
        QWidget *panel1 = findChild<QWidget *>(QStringLiteral("Panel1"));
        const bool maximized = m_host && m_host->IsFrameMaximized();
        if (!maximized || right >= width() / 3) {
            // Refused: the panel keeps its width.
            const int total = sizes.value(0) + right;
            const QSignalBlocker block(PageSplitter1);
            PageSplitter1->setSizes({ total - m_previousRightWidth, m_previousRightWidth });
            return;
        }
        m_previousRightWidth = right;
        if (panel1 && right == 90)
            panel1->setFixedWidth(250);
        else if (panel1 && right > 250)
            panel1->setFixedWidth(right); // keeps the editor centred
    });

    LoadSettings();
}

TEditorSettings &TMDIChild::Settings()
{
    if (m_host) {
        if (TEditorSettings *shared = m_host->SharedSettings())
            return *shared;
    }
    return m_ownSettings;
}

void TMDIChild::Repaginate()
{
    if (m_repaginating || !PgPreview1 || !m_pageBuilder)
        return;
    m_repaginating = true;
    m_rememberedPage = PgPreview1->CurrentPage();
    PageStarts.clear();
    PgPreview1->BeginUpdate();
    // The bracket closes also when the rebuild fails, so the strip is never left frozen.
    struct Closer {
        TMDIChild *w;
        ~Closer()
        {
            w->PgPreview1->EndUpdate();
            w->m_repaginating = false;
        }
    } closer { this };
    PgPreview1->Clear();
    m_pageBuilder->PaginateInto(PgPreview1, PageStarts,
        qRound(PgPreview1->ContentWidth(pgTwips)) - 14, qRound(PgPreview1->ContentHeight(pgTwips)));
    const int remembered = std::min(m_rememberedPage, PgPreview1->PageCount());
    PgPreview1->FirstPage();
    PgPreview1->SetCurrentPage(remembered);
}

void TMDIChild::EditorKeyUp(int key, Qt::KeyboardModifiers)
{
    headingKeyUp(key);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Space:
    case Qt::Key_Tab:
        repaginateAfterTyping();
        break;
    default:
        break;
    }
}

void TMDIChild::repaginateAfterTyping()
{
    if (PgThumbnails1->isHidden())
        return;
    // Key-ups arriving during the rebuild are not heard; the handler comes back after it,
    // also when the rebuild fails.
    disconnect(m_keyUpConnection);
    struct Reattach {
        TMDIChild *w;
        ~Reattach()
        {
            w->FollowThumbnails = true;
            w->m_keyUpConnection
                = connect(w->Editor, &TRichEditor::KeyUp, w, &TMDIChild::EditorKeyUp);
        }
    } reattach { this };
    FollowThumbnails = false;
    Repaginate();
}

void TMDIChild::PgPreview1PageChanged()
{
    if (m_repaginating || !FollowThumbnails || PgPreview1->PageCount() <= 1)
        return;
    const int a = PageStarts.value(PgPreview1->CurrentPage() - 1, 1);
    if (PaperChanging)
        return;
    Editor->SetSelStart(a);
    Editor->SetSelLength(1);
    Editor->ensureCursorVisible();
    Editor->ScrollLines(Editor->CaretLine() - Editor->FirstVisibleLine());
    const int remaining = Editor->CaretLine() - Editor->FirstVisibleLine();
    if (remaining != 0)
        Editor->ScrollLines(remaining - 1);
    Editor->setFocus();
}

void TMDIChild::btnStartPageClick()
{
    QTextCursor c = Editor->textCursor();
    c.movePosition(QTextCursor::Start);
    Editor->setTextCursor(c);
    Editor->ensureCursorVisible();
    PgPreview1->FirstPage();
}

void TMDIChild::btnPriorPageClick()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
    QApplication::sendEvent(Editor, &press);
}

void TMDIChild::btnNextPageClick()
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    QApplication::sendEvent(Editor, &press);
}

void TMDIChild::btnEndPageClick()
{
    QTextCursor c = Editor->textCursor();
    c.movePosition(QTextCursor::End);
    Editor->setTextCursor(c);
    Editor->ensureCursorVisible();
    PgPreview1->LastPage();
}

void TMDIChild::checkPaperAction(const QString &name)
{
    if (QAction *a = PopupMenu4->findChild<QAction *>(name))
        a->setChecked(true);
}

void TMDIChild::beginPaperChange()
{
    PaperChanging = true;
    PgPreview1->BeginUpdate();
}

void TMDIChild::endPaperChange()
{
    PgPreview1->EndUpdate();
    PaperChanging = false;
    FollowThumbnails = true;
}

void TMDIChild::SelectPaperType(const QString &caption)
{
    if (!PaperTypes.contains(caption) || caption == m_paperType) {
        checkPaperAction(m_paperType);
        return;
    }
    m_paperType = caption;
    checkPaperAction(caption);
    beginPaperChange();
    // The bracket closes also when the change fails.
    const auto closer = qScopeGuard([this] { endPaperChange(); });
    TPgMargins &m = PgPreview1->Margins();
    const double leftMm = m.LeftMargin().AsMillimeters();
    if (!isEnvelope(caption)) {
        // Leaving the envelope margins: back to the settings' geometry.
        if (qAbs(leftMm - EnvelopeMarginMm) < 1e-6) {
            const TEditorSettings &s = Settings();
            m.LeftMargin().SetAsMillimeters(s.LeftMarginMm);
            m.TopMargin().SetAsMillimeters(s.TopMarginMm);
            m.RightMargin().SetAsMillimeters(s.RightMarginMm);
            m.BottomMargin().SetAsMillimeters(s.BottomMarginMm);
            PgPreview1->Header().SetHeight(pgMillimeters, s.HeaderMarginMm);
            PgPreview1->Footer().SetHeight(pgMillimeters, s.FooterMarginMm);
        }
    } else {
        if (leftMm > EnvelopeMarginMm) {
            for (TPgValue *v : { &m.LeftMargin(), &m.TopMargin(), &m.RightMargin(), &m.BottomMargin() })
                v->SetAsMillimeters(EnvelopeMarginMm);
            PgPreview1->Header().SetHeight(pgMillimeters, EnvelopeMarginMm);
            PgPreview1->Footer().SetHeight(pgMillimeters, EnvelopeMarginMm);
        }
        m_orientation = QStringLiteral("Landscape");
        checkPaperAction(m_orientation);
        PgPreview1->SetOrientation(pgLandscape);
    }
    PgPreview1->SetPaperSize(PaperSizeFromName(caption));
    FollowThumbnails = false;
    Repaginate();
    PgThumbnails1->setToolTip(QStringLiteral("Print Preview - %1 Paper").arg(caption));
}

void TMDIChild::SelectOrientation(const QString &caption)
{
    if (caption == m_orientation
        || (caption != QLatin1String("Portrait") && caption != QLatin1String("Landscape"))) {
        checkPaperAction(m_orientation);
        return;
    }
    m_orientation = caption;
    checkPaperAction(caption);
    beginPaperChange();
    // The bracket closes also when the change fails.
    const auto closer = qScopeGuard([this] { endPaperChange(); });
    PgPreview1->SetOrientation(caption == QLatin1String("Landscape") ? pgLandscape : pgPortrait);
    FollowThumbnails = false;
    Repaginate();
}

void TMDIChild::ApplyZoom(int position)
{
    const TZoomStep step = ZoomForPosition(position);
    if (!step.applies)
        return;
    Editor->SetZoom(step.numerator, step.denominator);
    setStatusPanel(7, step.status);
    if (Label1)
        Label1->setText(step.label);
}

void TMDIChild::ZoomBarChange(int position)
{
    ApplyZoom(position);
    ZoomPosition = position;
    ZoomBar->setToolTip(QStringLiteral("Document Zoom - %1").arg(position));
    UpdateStatus();
}

void TMDIChild::LoadSettings()
{
    TEditorSettings &s = Settings();
    s = TEditorSettings::Load(TEditorSettings::Path());

    const QColor colour = TEditorSettings::ToColor(s.EditorColour);
    setWindowColour(Editor, colour);
    for (const char *name : { "Panel6", "Panel7", "Panel8" })
        setWindowColour(findChild<QWidget *>(QString::fromLatin1(name)), colour);

    QFont font(s.DefaultFontName);
    font.setPointSize(s.DefaultFontSize);
    Editor->setFont(font);
    Editor->document()->setDefaultFont(font);

    ZoomBar->setValue(s.Zoom); // the bar clamps to 50..200 and reports a change
    ZoomPosition = ZoomBar->value();
    ApplyZoom(ZoomPosition);

    PgPreview1->BeginUpdate();
    TPgMargins &m = PgPreview1->Margins();
    m.LeftMargin().SetAsMillimeters(s.LeftMarginMm);
    m.TopMargin().SetAsMillimeters(s.TopMarginMm);
    m.RightMargin().SetAsMillimeters(s.RightMarginMm);
    m.BottomMargin().SetAsMillimeters(s.BottomMarginMm);
    PgPreview1->Header().SetHeight(pgMillimeters, s.HeaderMarginMm);
    PgPreview1->Footer().SetHeight(pgMillimeters, s.FooterMarginMm);
    PgPreview1->EndUpdate();
}

void TMDIChild::EditorBackground1Click()
{
    QPointer<TMDIChild> self(this);
    const QColor chosen = PickColour(Editor->palette().color(QPalette::Base), QStringLiteral("Editor Background"));
    if (!self || !chosen.isValid())
        return;
    setWindowColour(Editor, chosen);
    for (const char *name : { "Panel6", "Panel7", "Panel8" })
        setWindowColour(findChild<QWidget *>(QString::fromLatin1(name)), chosen);
    // The file takes the colour when the window is destroyed (SaveSettings).
}

void TMDIChild::SaveSettings()
{
    TEditorSettings &s = Settings();
    // A system colour stays a system colour while the editor shows it.
    const QColor shown = Editor->palette().color(QPalette::Base);
    if (shown != TEditorSettings::ToColor(s.EditorColour))
        s.EditorColour = TEditorSettings::FromColor(shown);
    if (ZoomBar)
        s.Zoom = ZoomBar->value();
    s.Save(TEditorSettings::Path());
}

bool TMDIChild::pagesEvent(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter: {
        const QString name = watched->objectName();
        if (watched == Editor->viewport() || name == QLatin1String("Panel4")
            || name == QLatin1String("Panel5"))
            FollowThumbnails = false;
        else if (watched != this)
            FollowThumbnails = true;
        break;
    }
    case QEvent::Wheel:
        if (watched == PgThumbnails1->viewport()) {
            if (m_inWheel)
                return true;
            m_inWheel = true;
            auto *e = static_cast<QWheelEvent *>(event);
            QScrollBar *bar = PgThumbnails1->verticalScrollBar();
            if (e->angleDelta().y() < 0) {
                if (bar->value() < bar->maximum() - 40)
                    bar->setValue(bar->value() + 40);
                else
                    bar->setValue(bar->maximum());
            } else if (e->angleDelta().y() > 0) {
                bar->setValue(bar->value() - 40);
            }
            m_inWheel = false;
            e->accept();
            return true;
        }
        break;
    case QEvent::Resize:
        if (watched == this && m_host && !m_host->IsFrameMaximized()) {
            if (QWidget *panel1 = findChild<QWidget *>(QStringLiteral("Panel1")))
                panel1->setFixedWidth(250);
            const QList<int> sizes = PageSplitter1->sizes();
            const int total = sizes.value(0) + sizes.value(1);
            if (total > 90) {
                PageSplitter1->setSizes({ total - 90, 90 });
                m_previousRightWidth = 90;
            }
        }
        break;
    default:
        break;
    }
    return false;
}
