#include "tpgvisibleobject.h"

#include <algorithm>

bool TPgVisibleObject::Contains(const QPoint &p, int ppi) const
{
    const TPgCornerPoints c = OutlineCorners(ppi);
    const int l = std::min({ c.topLeft.x(), c.bottomLeft.x(), c.topRight.x(), c.bottomRight.x() });
    const int r = std::max({ c.topLeft.x(), c.bottomLeft.x(), c.topRight.x(), c.bottomRight.x() });
    const int t = std::min({ c.topLeft.y(), c.bottomLeft.y(), c.topRight.y(), c.bottomRight.y() });
    const int b = std::max({ c.topLeft.y(), c.bottomLeft.y(), c.topRight.y(), c.bottomRight.y() });
    return p.x() >= l && p.x() < r && p.y() >= t && p.y() < b;
}
