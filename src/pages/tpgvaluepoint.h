#pragma once

#include "tpgcustomvaluesize.h"

/// An x and a y.
class TPgValuePoint : public TPgCustomValueSize
{
public:
    using TPgCustomValueSize::TPgCustomValueSize;

    TPgValue &X() { return m_first; }
    TPgValue &Y() { return m_second; }
    const TPgValue &X() const { return m_first; }
    const TPgValue &Y() const { return m_second; }
};
