#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252 to Unicode. Qt 6.4 has no codec for it. Bytes below 0x80 and
// from 0xA0 on are Latin-1; 0x80-0x9F hold the typographic characters, and the
// five unassigned ones map to the C1 controls of the same value, as Windows
// itself decodes them.
namespace Windows1252 {
inline QString decode(const QByteArray &bytes)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
    };
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dst = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *dst++ = (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}
} // namespace Windows1252
