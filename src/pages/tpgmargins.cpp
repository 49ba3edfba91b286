#include "tpgmargins.h"

#include "tpgcommatext_p.h"
#include "tpgprintermetrics.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPen defaultMarginPen()
{
    QPen pen(UnpackColor(12632256));
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    return pen;
}

bool samePen(const QPen &a, const QPen &b)
{
    return a.color() == b.color() && a.width() == b.width() && a.style() == b.style();
}

QString penText(const QPen &pen, int mode)
{
    return PgCommaText::join({ QString::number(PackColor(pen.color())),
        QString::number(pen.width()), QString::number(PenStyleOrdinal(pen.style())),
        QString::number(mode) });
}

bool toInt(const QString &item, int *out)
{
    // Decimal integers only, with an optional sign, as the settings store writes them.
    bool ok = false;
    const int v = item.toInt(&ok, 10);
    if (ok)
        *out = v;
    return ok;
}

struct PenSetting {
    QPen pen;
    int mode = pgPenModeCopy;
};

bool parsePen(const QString &item, PenSetting *out, QString *why)
{
    const QStringList parts = PgCommaText::split(item);
    if (parts.size() < 4) {
        *why = QStringLiteral("pen list \"%1\" needs colour, width, style and mode").arg(item);
        return false;
    }
    int colour = 0, width = 0, style = 0, mode = 0;
    if (!toInt(parts[0], &colour) || !toInt(parts[1], &width) || !toInt(parts[2], &style)
        || !toInt(parts[3], &mode)) {
        *why = QStringLiteral("pen list \"%1\" holds a value that is not an integer").arg(item);
        return false;
    }
    Qt::PenStyle penStyle;
    if (width < 0 || !PenStyleFromOrdinal(style, &penStyle) || mode < 0
        || mode >= pgPenModeCount) {
        *why = QStringLiteral("pen list \"%1\" is out of range").arg(item);
        return false;
    }
    out->pen = QPen(UnpackColor(colour));
    out->pen.setWidth(width);
    out->pen.setStyle(penStyle);
    out->mode = mode;
    return true;
}

} // namespace

TPgMargins::TPgMargins(const TPgPrinterMetrics *printer, TPgValue::ChangeCallback onChange)
    : m_left([this] { changed(); })
    , m_top([this] { changed(); })
    , m_right([this] { changed(); })
    , m_bottom([this] { changed(); })
    , m_pen(defaultMarginPen())
    , m_printerPen(defaultMarginPen())
    , m_values(*this)
    , m_printer(printer)
{
    m_left.SetAsInches(0.5);
    m_top.SetAsInches(0.5);
    m_right.SetAsInches(0.5);
    m_bottom.SetAsInches(0.5);
    // Installed last so that the defaults above are not reported as changes.
    m_onChange = std::move(onChange);
}

void TPgMargins::SetPen(const QPen &pen)
{
    if (samePen(pen, m_pen))
        return;
    m_pen = pen;
    changed();
}

void TPgMargins::SetPenMode(int mode)
{
    if (mode == m_penMode || mode < 0 || mode >= pgPenModeCount)
        return;
    m_penMode = mode;
    changed();
}

void TPgMargins::SetPrinterMarginPen(const QPen &pen)
{
    if (samePen(pen, m_printerPen))
        return;
    m_printerPen = pen;
    changed();
}

void TPgMargins::SetPrinterMarginPenMode(int mode)
{
    if (mode == m_printerPenMode || mode < 0 || mode >= pgPenModeCount)
        return;
    m_printerPenMode = mode;
    changed();
}

void TPgMargins::SetClipMargins(bool on)
{
    if (on == m_clip)
        return;
    m_clip = on;
    changed();
}

void TPgMargins::SetShowPrinterMargins(bool on)
{
    if (on == m_showPrinter)
        return;
    m_showPrinter = on;
    changed();
}

void TPgMargins::SetVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    changed();
}

void TPgMargins::Assign(const TPgMargins &other)
{
    m_left.Assign(other.m_left);
    m_top.Assign(other.m_top);
    m_right.Assign(other.m_right);
    m_bottom.Assign(other.m_bottom);
    m_pen = other.m_pen;
    m_penMode = other.m_penMode;
    m_printerPen = other.m_printerPen;
    m_printerPenMode = other.m_printerPenMode;
    m_showPrinter = other.m_showPrinter;
    m_visible = other.m_visible;
    changed();
}

QRect TPgMargins::MarginRect(const TPgPageSize &s, int ppi) const
{
    const int l = pgRound(ppi * m_left.AsInches());
    const int t = pgRound(ppi * m_top.AsInches());
    const int r = pgRound((s.width - m_right.AsInches()) * ppi);
    const int b = pgRound((s.height - m_bottom.AsInches()) * ppi);
    return QRect(l, t, r - l, b - t);
}

void TPgMargins::DrawMargins(
    QPainter &painter, const TPgPageSize &pageSize, TPgOrientation orientation, int ppi) const
{
    if (!m_visible)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(DevicePen(m_pen));
    ApplyPenMode(painter, m_penMode);
    const QRect r = MarginRect(pageSize, ppi);
    DrawFrameRect(painter, r.left(), r.top(), r.left() + r.width(), r.top() + r.height());

    if (m_showPrinter && m_printer && m_printer->available) {
        painter.setPen(DevicePen(m_printerPen));
        ApplyPenMode(painter, m_printerPenMode);
        const TPgRectF pm = m_printer->PrinterMargins(orientation);
        double w = m_printer->PaperWidth();
        double h = m_printer->PaperHeight();
        if (orientation == pgLandscape)
            std::swap(w, h);
        DrawFrameRect(painter, pgRound(ppi * pm.left), pgRound(ppi * pm.top),
            pgRound((w - pm.right) * ppi), pgRound((h - pm.bottom) * ppi));
    }
    painter.restore();
}

void TPgMargins::ClipToMargins(
    QPainter &painter, const TPgPageSize &pageSize, TPgOrientation, int ppi) const
{
    if (!m_clip)
        return;
    painter.setClipRect(MarginRect(pageSize, ppi), Qt::ReplaceClip);
}

QString TPgMargins::MarginValues() const
{
    return PgCommaText::join({ QString::number(m_left.AsTwips()),
        QString::number(m_top.AsTwips()), QString::number(m_right.AsTwips()),
        QString::number(m_bottom.AsTwips()), penText(m_pen, m_penMode),
        penText(m_printerPen, m_printerPenMode) });
}

bool TPgMargins::SetMarginValues(const QString &text, QString *error)
{
    // Everything is checked before anything is set, so a damaged text never leaves the
    // margins half-changed.
    QString why;
    const QStringList items = PgCommaText::split(text);
    int twips[4] = {};
    PenSetting pens[2];
    bool ok = true;
    if (items.size() < 4 || items.size() == 5) {
        why = QStringLiteral("expected 4 or 6 items, found %1").arg(items.size());
        ok = false;
    }
    for (int i = 0; ok && i < 4; ++i) {
        if (!toInt(items[i], &twips[i])) {
            why = QStringLiteral("\"%1\" is not a valid integer value").arg(items[i]);
            ok = false;
        }
    }
    const bool withPens = items.size() >= 6;
    if (ok && withPens)
        ok = parsePen(items[4], &pens[0], &why) && parsePen(items[5], &pens[1], &why);
    if (!ok) {
        if (error)
            *error = why;
        return false;
    }
    m_left.SetAsTwips(twips[0]);
    m_top.SetAsTwips(twips[1]);
    m_right.SetAsTwips(twips[2]);
    m_bottom.SetAsTwips(twips[3]);
    if (withPens) {
        SetPen(pens[0].pen);
        SetPenMode(pens[0].mode);
        SetPrinterMarginPen(pens[1].pen);
        SetPrinterMarginPenMode(pens[1].mode);
    }
    return true;
}

void TPgMargins::changed()
{
    if (m_onChange)
        m_onChange();
}
