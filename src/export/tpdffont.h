#pragma once

#include <QtGlobal>

/*!
 * The font of the following TPdfWriter::TextOut calls: one of the fourteen
 * standard PDF fonts by number (0 Helvetica ... 13 ZapfDingbats, resources /F1
 * to /F14) and a size in points.
 */
struct TPDFFont {
    quint8 Number = 4; //!< 0 to 13; larger numbers are taken as 13
    qint32 Size = 12; //!< in points
};
