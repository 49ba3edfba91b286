#include "tpgheader.h"

#include "tpgmargins.h"

QRect TPgHeader::BandRect(
    const TPgMargins &margins, const TPgPageSize &s, int ppiX, int ppiY) const
{
    const double l = margins.LeftMargin().AsInches();
    const double t = margins.TopMargin().AsInches();
    const double r = margins.RightMargin().AsInches();
    const double hh = Height(pgInches);
    const int left = pgRound(ppiX * l);
    const int top = pgRound(ppiY * t);
    const int right = pgRound((s.width - r) * ppiX);
    const int bottom = pgRound((t + hh) * ppiY);
    return QRect(left, top, right - left, bottom - top);
}
