#include "tpgfooter.h"

#include "tpgmargins.h"

QRect TPgFooter::BandRect(
    const TPgMargins &margins, const TPgPageSize &s, int ppiX, int ppiY) const
{
    const double l = margins.LeftMargin().AsInches();
    const double r = margins.RightMargin().AsInches();
    const double b = margins.BottomMargin().AsInches();
    const double fh = Height(pgInches);
    const int left = pgRound(ppiX * l);
    const int top = pgRound((s.height - b - fh) * ppiY);
    const int right = pgRound((s.width - r) * ppiX);
    const int bottom = pgRound((s.height - b) * ppiY);
    return QRect(left, top, right - left, bottom - top);
}
