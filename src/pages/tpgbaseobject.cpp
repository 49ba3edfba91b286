#include "tpgbaseobject.h"

TPgBaseObject::TPgBaseObject(TPgResourceTable *resources)
    : m_resources(resources)
{
}

TPgBaseObject::~TPgBaseObject() = default;

void TPgBaseObject::Draw(QPainter &, int, int, bool) const { }

void TPgBaseObject::Offset(TPgMeasurement, double, double) { }

void TPgBaseObject::SetPrintable(bool on)
{
    if (on == m_printable)
        return;
    m_printable = on;
    Changed();
}

void TPgBaseObject::Changed()
{
    if (!m_updating && m_onChange)
        m_onChange();
}
