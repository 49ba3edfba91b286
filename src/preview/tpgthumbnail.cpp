#include "tpgthumbnail.h"

#include "tpgpage.h"
#include "tpgthumbnails.h"

#include <QMouseEvent>
#include <QPainter>

TPgThumbnail::TPgThumbnail(TPgThumbnails *owner, TPgMargins *margins, TPgPageGrid *grid,
    QWidget *parent)
    : TPgPaperImage(margins, &owner->Shadow(), grid, parent)
    , m_owner(owner)
{
    SetPageDrawingFlag(true);
}

void TPgThumbnail::SetSelected(bool on)
{
    if (on == m_selected)
        return;
    m_selected = on;
    update();
}

QString TPgThumbnail::Caption() const
{
    const int number = Page() ? Page()->PageNumber() : 0;
    QString caption = m_owner->PageCaptions();
    return caption.replace(QLatin1Char('#'), QString::number(number));
}

QColor TPgThumbnail::CaptionColor() const
{
    const QColor selected = m_owner->SelectedColor();
    QColor c = m_selected ? selected : m_owner->palette().color(QPalette::WindowText);
    if (m_owner->HighlightStyle() == pgBackground && c == selected) {
        const auto contrast = [](int v) { return v <= 128 ? 255 : 0; };
        c = QColor(contrast(c.red()), contrast(c.green()), contrast(c.blue()));
    }
    return c;
}

void TPgThumbnail::paintEvent(QPaintEvent *)
{
    if (m_owner->IsUpdating())
        return;
    QPainter painter(this);
    const bool background = m_owner->HighlightStyle() == pgBackground;
    painter.fillRect(rect(), m_owner->Color());
    if (background && m_selected) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(m_owner->SelectedColor());
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    SetShowContent(!m_owner->PlainPages());
    PaintPaper(painter, false);
    if (m_owner->ShowCaption()) {
        QFont font = m_owner->CaptionFont();
        painter.setFont(font);
        painter.setPen(CaptionColor());
        const QString text = Caption();
        const QFontMetrics fm(font, this);
        const int x = (width() - fm.horizontalAdvance(text)) / 2;
        const int y = height() - Gutters().bottom() + 4;
        painter.drawText(QRect(x, y, fm.horizontalAdvance(text) + 2, fm.height()),
            Qt::AlignLeft | Qt::AlignTop, text);
    }
    if (!background && m_selected) {
        const int w = m_owner->HighlightStyle() == pgThinLine ? 1 : 2;
        QPen pen(m_owner->SelectedColor(), w);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRect r = PageRect();
        // The pen straddles the outline; keep it on the paper's edge pixels.
        const qreal half = w / 2.0;
        painter.drawRect(QRectF(r).adjusted(half, half, -half, -half));
    }
}

void TPgThumbnail::mousePressEvent(QMouseEvent *event)
{
    m_owner->ThumbnailClicked(this);
    event->accept();
}
