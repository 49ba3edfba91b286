#include "tpgvaluerect.h"

TPgValue *TPgValueRect::Edge(int index)
{
    return const_cast<TPgValue *>(static_cast<const TPgValueRect *>(this)->Edge(index));
}

const TPgValue *TPgValueRect::Edge(int index) const
{
    switch (index) {
    case 1:
        return &m_topLeft.X();
    case 2:
        return &m_topLeft.Y();
    case 3:
        return &m_bottomRight.X();
    case 4:
        return &m_bottomRight.Y();
    default:
        return nullptr;
    }
}

void TPgValueRect::SetRect(const TPgRectF &inches)
{
    m_topLeft.X().SetAsInches(inches.left);
    m_topLeft.Y().SetAsInches(inches.top);
    m_bottomRight.X().SetAsInches(inches.right);
    m_bottomRight.Y().SetAsInches(inches.bottom);
}

TPgRectF TPgValueRect::AsRectF() const
{
    return { m_topLeft.X().AsInches(), m_topLeft.Y().AsInches(), m_bottomRight.X().AsInches(),
        m_bottomRight.Y().AsInches() };
}
