#pragma once

#include "tpgheaderfooter.h"

/// The band at the bottom of the content, above the bottom margin. Its text hangs from
/// the band's upper edge and its line runs along that edge.
class TPgFooter : public TPgHeaderFooter
{
public:
    using TPgHeaderFooter::TPgHeaderFooter;

    QRect BandRect(const TPgMargins &margins, const TPgPageSize &pageSize, int ppiX,
        int ppiY) const override;

protected:
    TPgHeaderFooterCaption::Placement placement() const override
    {
        return TPgHeaderFooterCaption::HangFromTop;
    }
    int lineY(const QRect &band) const override { return band.top(); }
};
