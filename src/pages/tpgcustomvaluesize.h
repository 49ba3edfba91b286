#pragma once

#include "tpgvalue.h"

/// Two values that report a change of either one through a single callback. Base of
/// TPgValueSize (width, height) and TPgValuePoint (x, y).
class TPgCustomValueSize
{
public:
    explicit TPgCustomValueSize(TPgValue::ChangeCallback onChange = {});
    virtual ~TPgCustomValueSize() = default;

    TPgCustomValueSize(const TPgCustomValueSize &) = delete;
    TPgCustomValueSize &operator=(const TPgCustomValueSize &) = delete;

    /// Copies both values (each notifies).
    void Assign(const TPgCustomValueSize &other);

protected:
    TPgValue m_first;
    TPgValue m_second;

private:
    void changed();

    TPgValue::ChangeCallback m_onChange;
};
