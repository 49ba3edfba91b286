#include "thistoryform.h"

#include "gradientfill.h"
#include "thistoryitemdelegate.h"
#include "tinputbox.h"
#include "tmessagebox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString HistoryFileName = QStringLiteral("WrdFileList.dat");
const QString FileNotFound = QStringLiteral("File not Found!");
const QString DocumentMoved = QStringLiteral("Document does not exist or has been moved.");

QString &listFilePathOverride()
{
    static QString path;
    return path;
}

// The dialog has no title bar: this band carries its caption and moves it when dragged.
class TitleBand : public QWidget {
public:
    TitleBand(const QString &caption, QWidget *parent)
        : QWidget(parent)
        , m_caption(caption)
    {
        setObjectName(QStringLiteral("TitleBand"));
        setFixedHeight(34);
        setCursor(Qt::SizeAllCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        GradientFill(
            p, rect(), { QColor(96, 110, 132), QColor(70, 82, 102), QColor(52, 62, 80) }, false);
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(16);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(rect().adjusted(12, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_grab = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() & Qt::LeftButton)
            window()->move(event->globalPosition().toPoint() - m_grab);
    }

private:
    QString m_caption;
    QPoint m_grab;
};

struct FilterImage {
    const char *name;
    const char *hint;
    const char *label;
    THistoryFilter filter;
    QColor colour;
};

const FilterImage filterImages[] = {
    { "imgAllDocuments", "All Document Formats", "ALL", THistoryFilter::AllDocuments,
        QColor(60, 130, 80) },
    { "imgRichText", "Rich Text Format", "RTF", THistoryFilter::RichText, QColor(41, 98, 178) },
    { "imgRichTextCompressed", "Rich Text Compressed", "RTC", THistoryFilter::RichTextCompressed,
        QColor(122, 62, 160) },
    { "imgWordDoc", "MS Word Doc - RTF", "DOC", THistoryFilter::WordDoc, QColor(30, 70, 150) },
    { "imgPlainText", "Plain Text ANSI", "TXT", THistoryFilter::PlainText, QColor(120, 120, 120) },
    { "imgOtherTypes", "Other Document Types", "...", THistoryFilter::OtherTypes,
        QColor(214, 110, 30) },
};

QIcon filterPicture(const FilterImage &image)
{
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(QRectF(9.5, 2.5, 29, 43), 2, 2);
    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (int y = 9; y <= 19; y += 3)
        p.drawLine(QPointF(14, y + 0.5), QPointF(34, y + 0.5));
    const QRectF band(4, 24, 40, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(image.colour);
    p.drawRoundedRect(band, 3, 3);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(band, Qt::AlignCenter, QString::fromLatin1(image.label));
    p.end();
    return QIcon(pm);
}
} // namespace

THistoryForm::THistoryForm(QWidget *parent, const QString &listFilePath)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_listFilePath(listFilePath)
{
    setObjectName(QStringLiteral("HistoryForm"));
    setWindowTitle(QStringLiteral("Document History"));
    setModal(true);
    setFixedSize(777, 480);
    buildControls();

    QStringList entries;
    QString error;
    if (THistoryList::ReadFile(m_listFilePath, &entries, &error)) {
        m_list.SetEntries(entries);
        m_selectFirstOnShow = true;
    } else if (QFileInfo::exists(m_listFilePath)) {
        // Writing an empty list over it at the end would lose the whole history.
        m_keepListFile = true;
        TMessageBox::warning(parent,
            QStringLiteral("The document history \"%1\" cannot be read and is left unchanged.\n%2")
                .arg(QDir::toNativeSeparators(m_listFilePath), error));
    } else {
        TMessageBox::information(parent, FileNotFound);
    }
    refreshList(-1);
}

THistoryForm::~THistoryForm()
{
    m_list.ShowAll();
    if (m_keepListFile) return;
    QString error;
    if (!THistoryList::WriteFile(m_listFilePath, m_list.Stored(), &error))
        TMessageBox::warning(nullptr,
            QStringLiteral("The document history could not be saved to \"%1\".\n%2")
                .arg(QDir::toNativeSeparators(m_listFilePath), error));
}

QString THistoryForm::ListFilePath()
{
    if (!listFilePathOverride().isEmpty()) return listFilePathOverride();
    const QString beside = QCoreApplication::applicationDirPath();
    if (!beside.isEmpty() && QFileInfo(beside).isWritable())
        return QDir(beside).filePath(HistoryFileName);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(HistoryFileName);
}

void THistoryForm::SetListFilePath(const QString &path)
{
    listFilePathOverride() = path;
}

void THistoryForm::buildControls()
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(243, 243, 243));
    setPalette(pal);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(1, 1, 1, 1);
    outer->setSpacing(0);
    outer->addWidget(new TitleBand(QStringLiteral("Document History"), this));

    auto *body = new QHBoxLayout;
    body->setContentsMargins(10, 10, 10, 6);
    body->setSpacing(10);
    auto *filters = new QVBoxLayout;
    filters->setSpacing(6);
    for (const FilterImage &image : filterImages) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(image.name));
        button->setToolTip(QString::fromLatin1(image.hint));
        button->setIcon(filterPicture(image));
        button->setIconSize(QSize(48, 48));
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFocusPolicy(Qt::NoFocus);
        const THistoryFilter filter = image.filter;
        connect(button, &QToolButton::clicked, this, [this, filter] { FilterClick(filter); });
        filters->addWidget(button);
    }
    filters->addStretch();
    body->addLayout(filters);

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBox1->setUniformItemSizes(true);
    ListBox1->setItemDelegate(new THistoryItemDelegate(ListBox1));
    ListBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPixelSize(16);
    ListBox1->setFont(listFont);
    QPalette listPal = ListBox1->palette();
    listPal.setColor(QPalette::Base, Qt::white);
    listPal.setColor(QPalette::Text, Qt::black);
    ListBox1->setPalette(listPal);
    ListBox1->installEventFilter(this);
    connect(ListBox1, &QListWidget::itemClicked, this, &THistoryForm::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &THistoryForm::btnOpenClick);
    body->addWidget(ListBox1, 1);
    outer->addLayout(body, 1);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 4, 10, 10);
    buttons->setSpacing(8);
    const auto addButton = [this, buttons](const char *name, const char *caption) {
        auto *button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumSize(110, 30);
        button->setAutoDefault(false);
        buttons->addWidget(button);
        return button;
    };
    btnClear = addButton("btnClear", " Clear List");
    btnRemove = addButton("btnRemove", " Remove From List");
    buttons->addStretch();
    btnSearch = addButton("btnSearch", "Search");
    btnOpen = addButton("btnOpen", "  Open");
    btnClose = addButton("btnClose", "  Close");
    outer->addLayout(buttons);

    connect(btnClear, &QPushButton::clicked, this, &THistoryForm::btnClearClick);
    connect(btnRemove, &QPushButton::clicked, this, &THistoryForm::btnRemoveClick);
    connect(btnSearch, &QPushButton::clicked, this, &THistoryForm::btnSearchClick);
    connect(btnOpen, &QPushButton::clicked, this, &THistoryForm::btnOpenClick);
    connect(btnClose, &QPushButton::clicked, this, &THistoryForm::btnCloseClick);
}

int THistoryForm::currentRow() const
{
    return ListBox1->currentRow();
}

void THistoryForm::refreshList(int current)
{
    const QStringList &shown = m_list.Shown();
    ListBox1->clear();
    for (const QString &path : shown) {
        auto *item = new QListWidgetItem(path, ListBox1);
        item->setData(Qt::UserRole, THistoryList::PictureIndex(path));
        item->setToolTip(QDir::toNativeSeparators(path));
    }
    if (current >= 0 && current < shown.size())
        ListBox1->setCurrentRow(current, QItemSelectionModel::ClearAndSelect);
}

void THistoryForm::selectCurrent()
{
    const int row = currentRow();
    if (row >= 0 && row < ListBox1->count()) ListBox1->item(row)->setSelected(true);
}

void THistoryForm::RecordOpenedFile(const QString &path)
{
    refreshList(m_list.RecordOpened(path, currentRow()));
}

void THistoryForm::RecordSavedFile(const QString &path)
{
    refreshList(m_list.RecordSaved(path, currentRow()));
}

void THistoryForm::showEvent(QShowEvent *event)
{
    if (QWidget *frame = parentWidget() ? parentWidget()->window() : nullptr)
        move(frame->geometry().center() - rect().center());
    QDialog::showEvent(event);
    if (m_selectFirstOnShow) {
        m_selectFirstOnShow = false;
        if (ListBox1->count() > 0) ListBox1->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
    selectCurrent();
    ListBox1->setFocus();
    // Once the dialog is on screen, as a message about the entry must come above it.
    QMetaObject::invokeMethod(this, &THistoryForm::CheckCurrentEntry, Qt::QueuedConnection);
}

void THistoryForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Without a window frame the dialog draws its own edge.
    QPainter p(this);
    p.setPen(QColor(120, 120, 120));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void THistoryForm::CheckCurrentEntry()
{
    const int row = currentRow();
    if (ListBox1->count() == 0 || row < 0) return;
    if (!QFileInfo(m_list.Shown().value(row)).isFile())
        TMessageBox::information(this,
            DocumentMoved
                + QStringLiteral("\n\nPlease remove this listing from document history."));
}

void THistoryForm::ListBox1Click()
{
    CheckCurrentEntry();
}

void THistoryForm::FilterClick(THistoryFilter filter)
{
    m_list.ApplyFilter(filter);
    refreshList(m_list.Shown().isEmpty() ? -1 : 0);
    CheckCurrentEntry();
    ListBox1->setFocus();
}

void THistoryForm::btnOpenClick()
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    if (selected.size() != 1) {
        TMessageBox::information(this, QStringLiteral("Please select only one document to open."));
        return;
    }
    const int row = ListBox1->row(selected.constFirst());
    const QString path = m_list.Shown().value(row);
    if (!QFileInfo(path).isFile()) {
        TMessageBox::information(this, DocumentMoved);
        return;
    }
    m_list.MoveToTop(row);
    refreshList(0);
    hide();
    QPointer<THistoryForm> self(this);
    const bool loaded = m_opener && m_opener(path);
    if (!self) return;
    if (!loaded) TMessageBox::information(parentWidget(), DocumentMoved);
    done(QDialog::Accepted);
}

void THistoryForm::btnRemoveClick()
{
    const auto answer = TMessageBox::show(this, TMessageBox::Kind::Confirmation,
        QStringLiteral("Remove Selected Document(s)?"), QMessageBox::Yes | QMessageBox::No);
    int current = currentRow();
    if (answer == QMessageBox::Yes && ListBox1->count() > 0 && current >= 0) {
        QList<int> rows;
        for (QListWidgetItem *item : ListBox1->selectedItems())
            rows.append(ListBox1->row(item));
        int firstRemoved = current;
        for (int row : std::as_const(rows))
            firstRemoved = std::min(firstRemoved, row);
        m_list.Remove(rows);
        // The entry that took the place of the first removed one becomes current.
        current = rows.isEmpty() ? current : std::min(firstRemoved, int(m_list.Shown().size()) - 1);
        refreshList(current);
    }
    selectCurrent();
    ListBox1->setFocus();
}

void THistoryForm::btnClearClick()
{
    const auto answer = TMessageBox::show(this, TMessageBox::Kind::Confirmation,
        QStringLiteral("Clear All of List?"), QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        m_list.Clear();
        refreshList(-1);
    }
    ListBox1->setFocus();
}

void THistoryForm::btnSearchClick()
{
    TInputBox::Request request;
    request.title = QStringLiteral("Search for a Document");
    request.prompt = QStringLiteral("Enter a document name to search for:");
    request.text = QStringLiteral("Document Name");
    if (!TInputBox::run(this, request)) return;
    if (request.text.isEmpty()) {
        TMessageBox::information(
            this, QStringLiteral("Please enter a valid document name to search for."));
        return;
    }
    const int found = m_list.Search(request.text);
    if (found < 0) return;
    if (QListWidgetItem *item = ListBox1->currentItem()) item->setSelected(false);
    ListBox1->setCurrentRow(found, QItemSelectionModel::Select);
    ListBox1->setFocus();
}

void THistoryForm::btnCloseClick()
{
    reject();
}

bool THistoryForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (currentRow() >= 0)
                btnOpenClick();
            else
                TMessageBox::information(this, QStringLiteral("Please make a selection first."));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
