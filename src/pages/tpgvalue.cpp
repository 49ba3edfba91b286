#include "tpgvalue.h"

TPgValue::TPgValue(ChangeCallback onChange)
    : m_onChange(std::move(onChange))
{
}

TPgValue::TPgValue(TPgMeasurement unit, double x)
    : m_inches(ConvertValue(unit, pgInches, x))
{
}

void TPgValue::SetAsInches(double inches)
{
    if (inches == m_inches)
        return;
    m_inches = inches;
    changed();
}

double TPgValue::AsMillimeters() const
{
    return ConvertValue(pgInches, pgMillimeters, m_inches);
}

void TPgValue::SetAsMillimeters(double mm)
{
    SetAsInches(ConvertValue(pgMillimeters, pgInches, mm));
}

int TPgValue::AsTwips() const
{
    return pgRound(ConvertValue(pgInches, pgTwips, m_inches));
}

void TPgValue::SetAsTwips(int twips)
{
    SetAsInches(ConvertValue(pgTwips, pgInches, twips));
}

int TPgValue::AsPixels(int ppi) const
{
    return pgRound(m_inches * ppi);
}

double TPgValue::AsUnit(TPgMeasurement unit) const
{
    return ConvertValue(pgInches, unit, m_inches);
}

void TPgValue::SetAsUnit(TPgMeasurement unit, double x)
{
    SetAsInches(ConvertValue(unit, pgInches, x));
}

void TPgValue::Assign(const TPgValue &other)
{
    m_inches = other.m_inches;
    changed();
}

void TPgValue::changed()
{
    if (m_onChange)
        m_onChange();
}
