#pragma once

/// @file tpgbaseobject.h
/// Root of the objects drawn on a page.

#include "tpgvalue.h"

class QPainter;
class TPgResourceTable;

/// An object on a page. Concrete classes report their kind number, draw themselves at the
/// given device resolution and move by an offset.
class TPgBaseObject
{
public:
    explicit TPgBaseObject(TPgResourceTable *resources);
    virtual ~TPgBaseObject();

    TPgBaseObject(const TPgBaseObject &) = delete;
    TPgBaseObject &operator=(const TPgBaseObject &) = delete;

    /// The kind number of the concrete class (pictures: 13).
    virtual int Kind() const = 0;

    /// Draws onto @p painter for a page drawn at (@p ppiX, @p ppiY) device units per inch;
    /// @p flag is passed through from the page drawing (thumbnails set it).
    virtual void Draw(QPainter &painter, int ppiX, int ppiY, bool flag) const;

    /// Moves the object by (dx, dy) in @p unit.
    virtual void Offset(TPgMeasurement unit, double dx, double dy);

    /// Whether the object is drawn on a printer; default true.
    bool Printable() const { return m_printable; }
    void SetPrintable(bool on);

    TPgResourceTable *Resources() const { return m_resources; }

    void SetOnChange(TPgValue::ChangeCallback cb) { m_onChange = std::move(cb); }
    /// While updating, changes are not reported.
    void SetUpdating(bool on) { m_updating = on; }

protected:
    /// Reports a change through the callback unless silenced.
    void Changed();

private:
    bool m_printable = true;
    bool m_updating = false;
    TPgResourceTable *m_resources = nullptr;
    TPgValue::ChangeCallback m_onChange;
};
