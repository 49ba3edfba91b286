#include "ticons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon TIcons::glyph(const QString &text, const Style &style)
{
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (style.tileColor.alpha() > 0) {
        QPainterPath tile;
        tile.addRoundedRect(QRectF(1.5, 1.5, 25, 25), 5, 5);
        p.fillPath(tile, style.tileColor);
    }
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setFamilies({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(style.pixelSize);
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    p.setFont(f);
    p.setPen(style.glyphColor);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
    p.end();
    return QIcon(pm);
}

QIcon TIcons::alignment(int alignment)
{
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    const int widths[] = {18, 12, 18, 10};
    for (int i = 0; i < 4; ++i) {
        const int w = alignment == 3 ? 18 : widths[i];
        int x = 5;
        if (alignment == 2)
            x = 14 - w / 2;
        else if (alignment == 1)
            x = 23 - w;
        const int y = 7 + i * 5;
        p.drawLine(x, y, x + w, y);
    }
    p.end();
    return QIcon(pm);
}

QIcon TIcons::drawn(Drawing drawing)
{
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(60, 60, 60);
    const QColor paper(255, 255, 255);
    const QColor accent(70, 120, 190);
    p.setPen(QPen(ink, 1.4));
    const auto page = [&](QRectF r) {
        p.setBrush(paper);
        p.drawRect(r);
    };
    switch (drawing) {
    case Drawing::Copy:
        page(QRectF(5.5, 4.5, 12, 15));
        page(QRectF(10.5, 9.5, 12, 15));
        break;
    case Drawing::Paste:
        p.setBrush(QColor(196, 160, 110));
        p.drawRoundedRect(QRectF(5.5, 5.5, 15, 19), 2, 2);
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(9.5, 3.5, 7, 4));
        page(QRectF(12.5, 11.5, 10, 12));
        break;
    case Drawing::Cut:
        p.drawLine(QPointF(9, 4), QPointF(18, 17));
        p.drawLine(QPointF(19, 4), QPointF(10, 17));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accent, 1.8));
        p.drawEllipse(QPointF(8.5, 20.5), 3.5, 3.5);
        p.drawEllipse(QPointF(19.5, 20.5), 3.5, 3.5);
        break;
    case Drawing::History:
        p.setBrush(paper);
        p.drawEllipse(QPointF(14, 14), 9.5, 9.5);
        p.setPen(QPen(accent, 1.8));
        p.drawLine(QPointF(14, 14), QPointF(14, 8));
        p.drawLine(QPointF(14, 14), QPointF(18.5, 16));
        break;
    case Drawing::PrintPreview:
        page(QRectF(5.5, 3.5, 13, 18));
        p.setBrush(QColor(220, 232, 250));
        p.setPen(QPen(accent, 1.8));
        p.drawEllipse(QPointF(16, 16), 5, 5);
        p.drawLine(QPointF(19.5, 19.5), QPointF(24, 24));
        break;
    case Drawing::Cascade:
        page(QRectF(4.5, 4.5, 13, 10));
        page(QRectF(8.5, 8.5, 13, 10));
        page(QRectF(12.5, 12.5, 12, 10));
        break;
    case Drawing::TileHorizontal:
        page(QRectF(4.5, 4.5, 19, 8.5));
        page(QRectF(4.5, 15.0, 19, 8.5));
        break;
    case Drawing::TileVertical:
        page(QRectF(4.5, 4.5, 8.5, 19));
        page(QRectF(15.0, 4.5, 8.5, 19));
        break;
    case Drawing::Export:
        page(QRectF(5.5, 3.5, 13, 18));
        p.setPen(QPen(accent, 2.2));
        p.drawLine(QPointF(13, 16), QPointF(23, 16));
        p.drawLine(QPointF(19, 12), QPointF(23, 16));
        p.drawLine(QPointF(19, 20), QPointF(23, 16));
        break;
    case Drawing::Maximize:
        page(QRectF(4.5, 5.5, 19, 16));
        p.fillRect(QRectF(5, 6, 18.5, 3.5), accent);
        break;
    case Drawing::Document:
        page(QRectF(7.5, 4.5, 13, 18));
        for (int y = 9; y <= 18; y += 3)
            p.drawLine(QPointF(10, y), QPointF(18, y));
        break;
    case Drawing::FirstPage:
    case Drawing::PriorPage:
    case Drawing::NextPage:
    case Drawing::LastPage: {
        const bool forward = drawing == Drawing::NextPage || drawing == Drawing::LastPage;
        const bool toEnd = drawing == Drawing::FirstPage || drawing == Drawing::LastPage;
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        QPolygonF arrow;
        if (forward)
            arrow << QPointF(10, 8) << QPointF(18, 14) << QPointF(10, 20);
        else
            arrow << QPointF(18, 8) << QPointF(10, 14) << QPointF(18, 20);
        p.drawPolygon(arrow);
        if (toEnd)
            p.drawRect(forward ? QRectF(18.5, 8, 2.5, 12) : QRectF(7, 8, 2.5, 12));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}
