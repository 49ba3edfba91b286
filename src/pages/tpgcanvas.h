#pragma once

/// @file tpgcanvas.h
/// The drawing facade through which a host puts content on the current page.

#include "tpggraphic.h"
#include "tpgtypes.h"

class TPgBaseObject;
class TPgPageList;

/// Puts pictures onto the current page of its page list. Coordinates are measured from the
/// origin CoordsRelativeTo() names.
class TPgCanvas
{
public:
    explicit TPgCanvas(TPgPageList &list);

    TPgCanvas(const TPgCanvas &) = delete;
    TPgCanvas &operator=(const TPgCanvas &) = delete;

    /// Reuse an identical stored picture instead of storing a copy (the picture list's
    /// duplicate detection); default true.
    bool CompareGraphics() const;
    void SetCompareGraphics(bool on);

    TPgCoordsRelative CoordsRelativeTo() const { return m_coords; }
    void SetCoordsRelativeTo(TPgCoordsRelative origin) { m_coords = origin; }

    /// Stored only; default millimetres.
    TPgMeasurement DefaultMeasurement() const { return m_defaultUnit; }
    void SetDefaultMeasurement(TPgMeasurement unit) { m_defaultUnit = unit; }

    /// Raster operation given to new picture objects; default source copy.
    quint32 CopyMode() const { return m_copyMode; }
    void SetCopyMode(quint32 mode) { m_copyMode = mode; }

    /// Puts @p graphic on the current page, stretched into (x1, y1)-(x2, y2) in @p unit.
    /// Returns the new picture object (owned by the page).
    TPgBaseObject *StretchDraw(double x1, double y1, double x2, double y2,
        const TPgGraphic &graphic, TPgMeasurement unit);

    TPgBaseObject *LastObject() const { return m_last; }
    /// Forgets the last object (its page is gone).
    void ForgetLastObject() { m_last = nullptr; }

private:
    TPgPageList &m_list;
    TPgCoordsRelative m_coords = pgFromPage;
    TPgMeasurement m_defaultUnit = pgMillimeters;
    quint32 m_copyMode = 0x00CC0020u;
    TPgBaseObject *m_last = nullptr;
};
