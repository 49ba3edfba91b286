#include "tpggraphiclist.h"

const TPgGraphic *TPgGraphicList::AddGraphic(const TPgGraphic &graphic)
{
    if (graphic.isNull())
        return nullptr;
    if (m_detect) {
        for (const auto &stored : m_items) {
            if (stored->sameAs(graphic))
                return stored.get();
        }
    }
    m_items.push_back(std::make_unique<TPgGraphic>(graphic));
    return m_items.back().get();
}
