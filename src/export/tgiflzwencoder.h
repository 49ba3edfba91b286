#pragma once

#include <QByteArray>

#include <array>
#include <vector>

/*!
 * The variable-length LZW coder of GIF89a: turns colour indices into the
 * packed code stream of one image (clear code first, end-of-information code
 * last, codes of up to 12 bits packed from the least significant bit). The
 * caller frames the stream into sub-blocks, see toSubBlocks().
 */
class TGifLzwEncoder {
public:
    //! minimumCodeSize is the "LZW minimum code size" byte of the image, 2 to 8;
    //! every index must be below 2 to that power.
    explicit TGifLzwEncoder(int minimumCodeSize = 8);

    QByteArray encode(const uchar *indices, qsizetype count);

    //! The image data as it is stored: the minimum code size byte, the code
    //! stream in sub-blocks of at most 255 bytes, and the block terminator.
    static QByteArray toSubBlocks(int minimumCodeSize, const QByteArray &codes);

private:
    static constexpr int kTableBits = 13;
    static constexpr int kTableSize = 1 << kTableBits;

    void resetTable();
    void put(int code);

    int m_minimumCodeSize;
    int m_codeSize = 0;
    int m_nextCode = 0;
    quint32 m_bitBuffer = 0;
    int m_bitCount = 0;
    QByteArray m_out;
    // Open addressing from (prefix << 8 | index) to code; a slot belongs to the
    // current table only when its generation matches, so clearing is O(1).
    std::vector<quint32> m_keys;
    std::vector<quint16> m_codes;
    std::vector<quint16> m_generations;
    quint16 m_generation = 0;
};
