#include "taboutbox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About Ondaro Tessary Editor"));
    auto *layout = new QVBoxLayout(this);
    auto *panel = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(applicationIcon().pixmap(64, 64));
    panel->addWidget(icon, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    auto *product = new QLabel(QStringLiteral("Ondaro Tessary Editor"), this);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 5);
    big.setBold(true);
    product->setFont(big);
    texts->addWidget(product);
    texts->addWidget(new QLabel(QStringLiteral("Version 2.6.1"), this));
    texts->addWidget(new QLabel(QStringLiteral("A word processor for rich text, pages and print."), this));
    texts->addWidget(new QLabel(QStringLiteral("Made by the Ondaro developers."), this));
    panel->addLayout(texts);
    layout->addLayout(panel);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

QIcon TAboutBox::applicationIcon()
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, QColor(70, 130, 200));
    g.setColorAt(1, QColor(30, 70, 140));
    p.fillPath(tile, g);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(16, 12, 32, 40), 3, 3);
    p.setPen(QPen(QColor(30, 70, 140), 3));
    for (int y = 22; y <= 42; y += 7)
        p.drawLine(22, y, y == 42 ? 34 : 42, y);
    p.end();
    return QIcon(pm);
}
