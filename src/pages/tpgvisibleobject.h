#pragma once

#include "tpgbaseobject.h"

class TPgPageList;

/// An object with an outline on the page, which hit tests use.
class TPgVisibleObject : public TPgBaseObject
{
public:
    using TPgBaseObject::TPgBaseObject;

    /// The page list that takes this object's stacking-order requests.
    TPgPageList *PageList() const { return m_pageList; }
    void SetPageList(TPgPageList *list) { m_pageList = list; }

    /// The outline's corners in device units at @p ppi (600 for hit tests).
    virtual TPgCornerPoints OutlineCorners(int ppi) const = 0;
    /// Whether device point @p p at @p ppi lies inside the outline's bounding box (right and
    /// bottom exclusive).
    bool Contains(const QPoint &p, int ppi) const;

private:
    TPgPageList *m_pageList = nullptr;
};
