#pragma once

#include "tpggraphic.h"

#include <memory>
#include <vector>

/// The store of pictures that page objects refer to. Stored pictures live until Clear();
/// deleting a page does not release its pictures.
class TPgGraphicList
{
public:
    /// Stores @p graphic and returns the stored copy, or with duplicate detection on the
    /// first stored picture that is the same. An empty picture stores nothing: nullptr.
    const TPgGraphic *AddGraphic(const TPgGraphic &graphic);

    bool DuplicateDetection() const { return m_detect; }
    void SetDuplicateDetection(bool on) { m_detect = on; }

    int Count() const { return int(m_items.size()); }
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TPgGraphic>> m_items;
    bool m_detect = true;
};
