#include "tpgpage.h"

#include "tpgbaseobject.h"
#include "tpgfooter.h"
#include "tpgheader.h"
#include "tpgpagelist.h"
#include "tpgvisibleobject.h"

#include <QPaintDevice>
#include <QPainter>

TPgPage::TPgPage(TPgPageList *owner)
    : m_owner(owner)
{
}

TPgPage::~TPgPage() = default;

void TPgPage::SetOrientation(TPgOrientation orientation)
{
    const double small = std::min(m_size.width, m_size.height);
    const double large = std::max(m_size.width, m_size.height);
    m_orientation = orientation;
    if (orientation == pgPortrait)
        m_size = { small, large };
    else
        m_size = { large, small };
    changed();
}

void TPgPage::SetPageSize(const TPgPageSize &size)
{
    m_size = size;
    changed();
}

void TPgPage::AddObject(std::unique_ptr<TPgBaseObject> object)
{
    if (!object)
        return;
    object->SetOnChange([this] { changed(); });
    m_objects.push_back(std::move(object));
    changed();
}

void TPgPage::SetShowHeader(bool on)
{
    if (on == m_showHeader)
        return;
    m_showHeader = on;
    changed();
}

void TPgPage::SetShowFooter(bool on)
{
    if (on == m_showFooter)
        return;
    m_showFooter = on;
    changed();
}

int TPgPage::PageNumber() const
{
    return m_owner ? m_owner->IndexOf(this) + 1 : 0;
}

void TPgPage::DrawPage(QPainter &painter, int ppiX, int ppiY, bool flag) const
{
    const bool printer = painter.device() && painter.device()->devType() == QInternal::Printer;
    for (const auto &object : m_objects) {
        if (printer && !object->Printable())
            continue;
        painter.save();
        object->Draw(painter, ppiX, ppiY, flag);
        painter.restore();
    }
    if (!m_owner)
        return;
    const int number = PageNumber();
    const int count = m_owner->PageCount();
    if (m_showHeader)
        m_owner->Header().DrawBand(painter, m_owner->Margins(), m_size, ppiX, ppiY, number, count);
    if (m_showFooter)
        m_owner->Footer().DrawBand(painter, m_owner->Margins(), m_size, ppiX, ppiY, number, count);
}

TPgBaseObject *TPgPage::ObjectAt(TPgMeasurement unit, double x, double y) const
{
    const QPoint p(pgRound(ConvertValue(unit, pgInches, x) * 600),
        pgRound(ConvertValue(unit, pgInches, y) * 600));
    TPgBaseObject *found = nullptr;
    for (const auto &object : m_objects) {
        auto *visible = dynamic_cast<TPgVisibleObject *>(object.get());
        if (visible && visible->Contains(p, 600))
            found = visible;
    }
    return found;
}

void TPgPage::changed()
{
    if (m_owner)
        m_owner->PageChanged(this);
}
