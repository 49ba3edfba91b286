#pragma once

/// @file tpgpage.h
/// One page of a page list.

#include "tpgtypes.h"

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class TPgBaseObject;
class TPgPageList;

/// A page: its size and orientation and the objects drawn on it, in drawing order.
///
/// Pages are created only by TPgPageList::AddPage() and belong to their list. A change of
/// size, orientation or objects is reported to the list as "pages changed".
class TPgPage
{
public:
    explicit TPgPage(TPgPageList *owner);
    ~TPgPage();

    TPgPage(const TPgPage &) = delete;
    TPgPage &operator=(const TPgPage &) = delete;

    TPgOrientation Orientation() const { return m_orientation; }
    /// Portrait makes the width the smaller of the two current dimensions, landscape the
    /// larger; then notifies.
    void SetOrientation(TPgOrientation orientation);

    const TPgPageSize &PageSize() const { return m_size; }
    /// Stores both numbers (inches), then notifies.
    void SetPageSize(const TPgPageSize &size);

    /// Appends @p object (the page takes ownership), then notifies.
    void AddObject(std::unique_ptr<TPgBaseObject> object);
    int ObjectCount() const { return int(m_objects.size()); }
    TPgBaseObject *Object(int index) const { return m_objects.at(index).get(); }

    bool ShowHeader() const { return m_showHeader; }
    bool ShowFooter() const { return m_showFooter; }
    void SetShowHeader(bool on);
    void SetShowFooter(bool on);

    /// Index in the owner's list + 1; 0 when the page is in no list.
    int PageNumber() const;
    TPgPageList *Owner() const { return m_owner; }

    /// Draws the page at (@p ppiX, @p ppiY) device units per inch: every object in order,
    /// then header and footer band. On a printer, objects that are not printable are
    /// skipped. @p flag is handed to every object (thumbnails pass true).
    void DrawPage(QPainter &painter, int ppiX, int ppiY, bool flag) const;

    /// The topmost visible object whose outline holds (x, y) given in @p unit, or nullptr.
    TPgBaseObject *ObjectAt(TPgMeasurement unit, double x, double y) const;

private:
    void changed();

    std::vector<std::unique_ptr<TPgBaseObject>> m_objects;
    TPgOrientation m_orientation = pgPortrait;
    TPgPageList *m_owner = nullptr;
    TPgPageSize m_size { 8.26, 11.69 };
    bool m_showHeader = true;
    bool m_showFooter = true;
};
