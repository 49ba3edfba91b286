#include "tpgcanvas.h"

#include "tpggraphicobject.h"
#include "tpgpagelist.h"

TPgCanvas::TPgCanvas(TPgPageList &list)
    : m_list(list)
{
}

bool TPgCanvas::CompareGraphics() const
{
    return m_list.Resources().Graphics().DuplicateDetection();
}

void TPgCanvas::SetCompareGraphics(bool on)
{
    m_list.Resources().Graphics().SetDuplicateDetection(on);
}

TPgBaseObject *TPgCanvas::StretchDraw(double x1, double y1, double x2, double y2,
    const TPgGraphic &graphic, TPgMeasurement unit)
{
    auto object = std::make_unique<TPgGraphicObject>(&m_list.Resources());
    object->SetPicture(graphic);
    object->SetCopyMode(m_copyMode);
    object->SetRect(ConvertValue(unit, pgInches, TPgRectF { x1, y1, x2, y2 }));
    m_last = m_list.AddObject(std::move(object), m_coords);
    return m_last;
}
