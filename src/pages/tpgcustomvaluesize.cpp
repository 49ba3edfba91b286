#include "tpgcustomvaluesize.h"

TPgCustomValueSize::TPgCustomValueSize(TPgValue::ChangeCallback onChange)
    : m_first([this] { changed(); })
    , m_second([this] { changed(); })
    , m_onChange(std::move(onChange))
{
}

void TPgCustomValueSize::Assign(const TPgCustomValueSize &other)
{
    m_first.Assign(other.m_first);
    m_second.Assign(other.m_second);
}

void TPgCustomValueSize::changed()
{
    if (m_onChange)
        m_onChange();
}
