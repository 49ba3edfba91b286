#include "thistoryitemdelegate.h"

#include "gradientfill.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {
const QString Ellipsis = QStringLiteral("...");

struct PictureStyle {
    const char *label;
    QColor band;
};

// 0 plain text, 1 other, 2 RTF, 3 Word, 4 web/XML, 5 spare, 6 compressed RTF.
const std::array<PictureStyle, THistoryItemDelegate::PictureCount> &pictureStyles()
{
    static const std::array<PictureStyle, THistoryItemDelegate::PictureCount> styles = { {
        { "TXT", QColor(120, 120, 120) },
        { "?", QColor(150, 150, 150) },
        { "RTF", QColor(41, 98, 178) },
        { "DOC", QColor(30, 70, 150) },
        { "</>", QColor(214, 110, 30) },
        { "", QColor(150, 150, 150) },
        { "RTC", QColor(122, 62, 160) },
    } };
    return styles;
}

QPixmap drawPicture(int index)
{
    const PictureStyle &style = pictureStyles().at(index);
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // A sheet with a folded corner.
    QPainterPath sheet;
    sheet.moveTo(6.5, 1.5);
    sheet.lineTo(20.5, 1.5);
    sheet.lineTo(26.5, 7.5);
    sheet.lineTo(26.5, 30.5);
    sheet.lineTo(6.5, 30.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(20.5, 1.5);
    fold.lineTo(20.5, 7.5);
    fold.lineTo(26.5, 7.5);
    p.setBrush(QColor(222, 222, 222));
    p.drawPath(fold);
    p.setPen(QPen(QColor(190, 190, 190), 1));
    for (int y = 11; y <= 16; y += 2)
        p.drawLine(QPointF(10, y + 0.5), QPointF(23, y + 0.5));
    // The type label on a coloured band across the lower half.
    const QRectF band(2, 18, 26, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(style.band);
    p.drawRoundedRect(band, 2, 2);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(band, Qt::AlignCenter, QString::fromLatin1(style.label));
    p.end();
    return pm;
}
} // namespace

QPixmap THistoryItemDelegate::Picture(int index)
{
    static std::array<QPixmap, PictureCount> cache;
    if (index < 0 || index >= PictureCount) index = 1;
    if (cache[index].isNull()) cache[index] = drawPicture(index);
    return cache[index];
}

QString THistoryItemDelegate::PathEllipsis(
    const QString &path, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width) return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0) {
        // Keep the file name whole and as much of the folder's start as fits.
        const QString tail = path.mid(slash);
        for (qsizetype keep = slash - 1; keep >= 0; --keep) {
            const QString candidate = path.left(keep) + Ellipsis + tail;
            if (metrics.horizontalAdvance(candidate) <= width) return candidate;
        }
    }
    return metrics.elidedText(path, Qt::ElideMiddle, width);
}

void THistoryItemDelegate::paint(
    QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect row = option.rect;
    painter->save();
    if (option.state & QStyle::State_Selected) {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(row), 5, 5);
        painter->setClipPath(rounded);
        GradientFill(*painter, row,
            { QColor(255, 245, 221), QColor(255, 245, 221), QColor(255, 218, 94) }, false);
        painter->setClipping(false);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(QColor(197, 197, 197));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(row).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter->setRenderHint(QPainter::Antialiasing, false);
    } else {
        painter->fillRect(row, Qt::white);
    }

    const QString path = index.data(Qt::DisplayRole).toString();
    const int picture = index.data(Qt::UserRole).isValid() ? index.data(Qt::UserRole).toInt() : 1;
    painter->drawPixmap(row.left() + 2, row.top() + 1, Picture(picture));

    painter->setFont(option.font);
    painter->setPen(Qt::black);
    const QFontMetrics metrics(option.font);
    const QRect text(
        row.left() + 40, row.top() + 8, row.right() - (row.left() + 40) + 1, metrics.height());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
        PathEllipsis(path, metrics, text.width()));
    painter->restore();
}

QSize THistoryItemDelegate::sizeHint(
    const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), RowHeight);
}
