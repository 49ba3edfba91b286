#pragma once

#include "tpgcustomvaluesize.h"

/// A width and a height.
class TPgValueSize : public TPgCustomValueSize
{
public:
    using TPgCustomValueSize::TPgCustomValueSize;

    TPgValue &Width() { return m_first; }
    TPgValue &Height() { return m_second; }
    const TPgValue &Width() const { return m_first; }
    const TPgValue &Height() const { return m_second; }
};
