#include "tformselectorform.h"

#include "tdocumenthost.h"
#include "tmessagebox.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int TileWidth = 166;
constexpr int TileHeight = 170;
constexpr int NameWidthLimit = 129;

// Arial 12 point bold, at the 96 dots per inch the tiles are drawn for.
QFont tileFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}
} // namespace

TFormSelectorForm::TFormSelectorForm(QMdiArea *area, TDocumentHost *host, QWidget *parent)
    : QDialog(parent)
    , m_area(area)
    , m_host(host)
{
    setObjectName(QStringLiteral("FormSelectorForm"));
    setWindowTitle(QStringLiteral("  Ondaro Tessary Editor - Open Documents"));
    setFixedSize(942, 270);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    thumbScroller = new QScrollArea(this);
    thumbScroller->setObjectName(QStringLiteral("thumbScroller"));
    thumbScroller->setFrameShape(QFrame::NoFrame);
    thumbScroller->setWidgetResizable(true);
    thumbScroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_strip = new QWidget;
    m_strip->setAutoFillBackground(true);
    QPalette white = m_strip->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_strip->setPalette(white);
    thumbScroller->setPalette(white);
    auto *tiles = new QHBoxLayout(m_strip);
    tiles->setContentsMargins(0, 0, 0, 0);
    tiles->setSpacing(0);
    tiles->addStretch(1);
    thumbScroller->setWidget(m_strip);
    layout->addWidget(thumbScroller, 1);

    auto *band = new QWidget(this);
    band->setObjectName(QStringLiteral("BottomBand"));
    band->setFixedHeight(45);
    band->setAutoFillBackground(true);
    QPalette dark = band->palette();
    dark.setColor(QPalette::Window, QColor(58, 66, 82));
    dark.setColor(QPalette::WindowText, Qt::white);
    band->setPalette(dark);
    auto *bandLayout = new QHBoxLayout(band);
    bandLayout->setContentsMargins(12, 0, 12, 0);
    bandLayout->setSpacing(16);
    auto *current = new QLabel(QStringLiteral("Current Document"), band);
    current->setObjectName(QStringLiteral("Label1"));
    QFont bold(QStringLiteral("Arial"));
    bold.setPixelSize(13);
    bold.setBold(true);
    current->setFont(bold);
    auto *hint = new QLabel(QStringLiteral("Move your mouse cursor over the document and click to activate..."), band);
    hint->setObjectName(QStringLiteral("Label2"));
    QFont plain(QStringLiteral("Arial"));
    plain.setPixelSize(13);
    hint->setFont(plain);
    bandLayout->addWidget(current);
    bandLayout->addWidget(hint, 1);
    layout->addWidget(band);

    if (QScreen *s = screen())
        move(s->availableGeometry().center() - rect().center());

    if (!m_area) {
        TMessageBox::error(this, QStringLiteral("\"MDI Container\" not a MDI Form!"));
        return;
    }
    buildTiles();
}

QImage TFormSelectorForm::BlankTile()
{
    QImage tile(128, 170, QImage::Format_RGB888);
    tile.fill(Qt::white);
    QPainter p(&tile);
    // A sheet with a folded corner and a few lines of "text"; the strip
    // below it is left free for the document's name.
    p.setPen(QColor(150, 150, 150));
    const QPolygon sheet({QPoint(8, 4), QPoint(100, 4), QPoint(119, 23), QPoint(119, 146), QPoint(8, 146)});
    p.setBrush(QColor(250, 250, 250));
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygon({QPoint(100, 4), QPoint(100, 23), QPoint(119, 23)}));
    p.setPen(QColor(205, 210, 220));
    for (int y = 34; y < 90; y += 8)
        p.drawLine(20, y, y % 16 ? 106 : 90, y);
    return tile;
}

QString TFormSelectorForm::VisibleName(const QString &name)
{
    const QFontMetrics metrics(tileFont());
    if (metrics.horizontalAdvance(name) < NameWidthLimit)
        return name;
    return name.left(10) + QStringLiteral("...");
}

QImage TFormSelectorForm::DrawTile(int index, const QString &name)
{
    QImage tile = BlankTile().convertToFormat(QImage::Format_RGB888);
    QPainter p(&tile);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    const QFont font = tileFont();
    p.setFont(font);
    const QFontMetrics metrics(font);
    const QString label = QStringLiteral("- %1 -").arg(index + 1);
    const int baseline = tile.height() - metrics.descent();
    const int labelTop = tile.height() - 70;
    if (metrics.horizontalAdvance(name) < NameWidthLimit) {
        p.drawText(15, labelTop + metrics.ascent(), label);
        const int x = tile.width() / 2 - metrics.horizontalAdvance(name) / 2;
        p.drawText(x, baseline, name);
    } else {
        p.drawText(12, labelTop + metrics.ascent(), label);
        p.drawText(2, baseline, VisibleName(name));
    }
    return tile;
}

void TFormSelectorForm::buildTiles()
{
    if (m_host)
        m_host->LockRedraw();
    auto *layout = static_cast<QHBoxLayout *>(m_strip->layout());
    const QList<QMdiSubWindow *> windows = m_area->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *sub = windows[i];
        const QWidget *document = sub->widget();
        const QString name = QFileInfo(document ? document->windowTitle() : sub->windowTitle()).fileName();
        auto *tile = new QLabel(m_strip);
        tile->setObjectName(QStringLiteral("Tile%1").arg(i + 1));
        tile->setFixedSize(TileWidth, TileHeight);
        tile->setAlignment(Qt::AlignCenter);
        tile->setPixmap(QPixmap::fromImage(DrawTile(i, name))
                            .scaled(TileWidth, TileHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        tile->setCursor(Qt::PointingHandCursor);
        tile->setToolTip(name);
        m_windows.insert(tile, sub);
        tile->installEventFilter(this);
        layout->insertWidget(i, tile);
        m_tiles.append(tile);
    }
    if (m_host)
        m_host->UnlockRedraw();
}

bool TFormSelectorForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto *tile = qobject_cast<QLabel *>(watched); tile && m_tiles.contains(tile)) {
            tileClick(tile);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormSelectorForm::tileClick(QLabel *tile)
{
    // The window may have gone since the tiles were built.
    QPointer<QMdiSubWindow> sub = m_windows.value(tile);
    if (sub && m_area) {
        if (sub->isMinimized()) {
            sub->showNormal();
        } else {
            if (m_host)
                m_host->LockRedraw();
            m_area->setActiveSubWindow(sub);
            sub->show();
            if (m_host)
                m_host->UnlockRedraw();
        }
    }
    accept();
}
