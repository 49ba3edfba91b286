#include "tgiflzwencoder.h"

#include <algorithm>

namespace {
constexpr int kMaxCode = 4095;
}

TGifLzwEncoder::TGifLzwEncoder(int minimumCodeSize)
    : m_minimumCodeSize(std::clamp(minimumCodeSize, 2, 8))
    , m_keys(kTableSize)
    , m_codes(kTableSize)
    , m_generations(kTableSize, 0)
{
}

void TGifLzwEncoder::resetTable()
{
    m_codeSize = m_minimumCodeSize + 1;
    m_nextCode = (1 << m_minimumCodeSize) + 2;
    if (++m_generation == 0) {
        std::fill(m_generations.begin(), m_generations.end(), 0);
        m_generation = 1;
    }
}

void TGifLzwEncoder::put(int code)
{
    m_bitBuffer |= quint32(code) << m_bitCount;
    m_bitCount += m_codeSize;
    while (m_bitCount >= 8) {
        m_out += char(m_bitBuffer & 0xFF);
        m_bitBuffer >>= 8;
        m_bitCount -= 8;
    }
    // The decoder widens its codes once the next free code no longer fits.
    if (m_nextCode >= (1 << m_codeSize) && m_codeSize < 12) ++m_codeSize;
}

QByteArray TGifLzwEncoder::encode(const uchar *indices, qsizetype count)
{
    const int clearCode = 1 << m_minimumCodeSize;
    const int endCode = clearCode + 1;
    const uchar indexMask = uchar(clearCode - 1);
    m_out.clear();
    m_out.reserve(count / 4 + 16);
    m_bitBuffer = 0;
    m_bitCount = 0;
    resetTable();
    put(clearCode);

    if (count > 0) {
        int prefix = indices[0] & indexMask;
        for (qsizetype i = 1; i < count; ++i) {
            const int k = indices[i] & indexMask;
            const quint32 key = (quint32(prefix) << 8) | quint32(k);
            quint32 slot = (key * 2654435761u) >> (32 - kTableBits);
            bool found = false;
            while (m_generations[slot] == m_generation) {
                if (m_keys[slot] == key) {
                    found = true;
                    break;
                }
                slot = (slot + 1) & (kTableSize - 1);
            }
            if (found) {
                prefix = m_codes[slot];
                continue;
            }
            put(prefix);
            if (m_nextCode >= kMaxCode) {
                put(clearCode);
                resetTable();
            } else {
                m_generations[slot] = m_generation;
                m_keys[slot] = key;
                m_codes[slot] = quint16(m_nextCode++);
            }
            prefix = k;
        }
        put(prefix);
    }
    put(endCode);
    if (m_bitCount > 0) m_out += char(m_bitBuffer & 0xFF);
    m_bitBuffer = 0;
    m_bitCount = 0;
    return m_out;
}

QByteArray TGifLzwEncoder::toSubBlocks(int minimumCodeSize, const QByteArray &codes)
{
    QByteArray out;
    out.reserve(codes.size() + codes.size() / 255 + 3);
    out += char(minimumCodeSize);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, codes.size() - at);
        out += char(n);
        out.append(codes.constData() + at, n);
    }
    out += '\0';
    return out;
}
