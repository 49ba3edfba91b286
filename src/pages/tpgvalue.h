#pragma once

/// @file tpgvalue.h
/// A length of the page engine.

#include "tpgtypes.h"

#include <functional>

/// A length stored in inches and read or written in any of the six units.
///
/// A value may carry one owner callback, fixed at construction, through which a margins
/// object, a band or a grid learns of a change. Writes that store an equal value (exact
/// comparison, after conversion to inches) send nothing; Assign() always notifies.
class TPgValue
{
public:
    using ChangeCallback = std::function<void()>;

    /// A value of 0 that calls @p onChange after every change.
    explicit TPgValue(ChangeCallback onChange = {});
    /// A value of @p x in @p unit, without a callback.
    TPgValue(TPgMeasurement unit, double x);

    TPgValue(const TPgValue &) = delete;
    TPgValue &operator=(const TPgValue &) = delete;

    double AsInches() const { return m_inches; }
    void SetAsInches(double inches);

    double AsMillimeters() const;
    void SetAsMillimeters(double mm);

    /// The value in twips, rounded half to even.
    int AsTwips() const;
    void SetAsTwips(int twips);

    /// Round(inches x ppi): the value in device units at resolution @p ppi.
    int AsPixels(int ppi) const;

    double AsUnit(TPgMeasurement unit) const;
    void SetAsUnit(TPgMeasurement unit, double x);

    /// Copies the stored value and notifies even when it was equal.
    void Assign(const TPgValue &other);

private:
    void changed();

    double m_inches = 0;
    ChangeCallback m_onChange;
};
