#pragma once

#include "tpgtypes.h"

class TPgMargins;

/// The four margins of a TPgMargins read and written in one chosen unit, as 4-byte floats.
/// Changing ValueMeasurement() changes only how later reads and writes are taken; the
/// stored margins do not move.
class TPgMarginValues
{
public:
    explicit TPgMarginValues(TPgMargins &margins);

    TPgMeasurement ValueMeasurement() const { return m_unit; }
    void SetValueMeasurement(TPgMeasurement unit) { m_unit = unit; }

    float Left() const;
    float Top() const;
    float Right() const;
    float Bottom() const;
    void SetLeft(float v);
    void SetTop(float v);
    void SetRight(float v);
    void SetBottom(float v);

private:
    TPgMargins &m_margins;
    TPgMeasurement m_unit = pgInches;
};
