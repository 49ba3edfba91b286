#include "tpgresourcetable.h"

const QPen *TPgResourceTable::AddPen(const QPen &pen)
{
    m_pens.push_back(std::make_unique<QPen>(pen));
    return m_pens.back().get();
}

const QBrush *TPgResourceTable::AddBrush(const QBrush &brush)
{
    m_brushes.push_back(std::make_unique<QBrush>(brush));
    return m_brushes.back().get();
}

void TPgResourceTable::Clear()
{
    m_graphics.Clear();
    m_pens.clear();
    m_brushes.clear();
}
