#pragma once

#include "tpgheaderfooter.h"

/// The band at the top of the content, below the top margin. Its text stands on the
/// band's lower edge and its line runs along that edge.
class TPgHeader : public TPgHeaderFooter
{
public:
    using TPgHeaderFooter::TPgHeaderFooter;

    QRect BandRect(const TPgMargins &margins, const TPgPageSize &pageSize, int ppiX,
        int ppiY) const override;

protected:
    TPgHeaderFooterCaption::Placement placement() const override
    {
        return TPgHeaderFooterCaption::StandOnBottom;
    }
    int lineY(const QRect &band) const override { return band.top() + band.height(); }
};
