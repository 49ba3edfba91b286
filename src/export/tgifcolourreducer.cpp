#include "tgifcolourreducer.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <vector>

namespace {

// "No previous colour" in the scans: no masked 24-bit colour has this value.
constexpr quint32 kNoColour = 0xFFFFFFFFu;

// A small open-addressing table from masked colour to its histogram slot.
class ColourTable {
public:
    static constexpr int kBits = 13; // 8192 pixelSlots for at most 2049 colours
    static constexpr quint32 kEmpty = 0xFFFFFFFFu;

    ColourTable()
        : m_keys(1 << kBits, kEmpty)
        , m_slots(1 << kBits, -1)
    {
    }
    void clear() { std::fill(m_keys.begin(), m_keys.end(), kEmpty); }
    // The slot of colour, or where it goes (value -1) when it is not there yet.
    int find(quint32 colour, quint32 &at) const
    {
        at = (colour ^ (colour >> 11) ^ (colour >> 19)) & ((1 << kBits) - 1);
        while (m_keys[at] != kEmpty) {
            if (m_keys[at] == colour) return m_slots[at];
            at = (at + 1) & ((1 << kBits) - 1);
        }
        return -1;
    }
    void insert(quint32 at, quint32 colour, int slot)
    {
        m_keys[at] = colour;
        m_slots[at] = slot;
    }

private:
    std::vector<quint32> m_keys;
    std::vector<int> m_slots;
};

struct Histogram {
    std::vector<quint32> colours; // masked RGB, in order of first appearance
    std::vector<qint64> counts;
    std::vector<quint16> slotOfPixel; // row by row from the top, so mapping needs no lookups
    quint32 mask = 0xFFFFFF;
};

const QRgb *row(const QImage &image, int y)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y));
}

// Counts the masked colours, narrowing the masks until at most 2049 remain.
Histogram countColours(const QImage &rgb, ColourTable &table)
{
    quint32 red = 0xFF, green = 0xFF, blue = 0xFF;
    int turn = 0; // 0 blue, 1 red, 2 green
    for (;;) {
        Histogram h;
        h.mask = (red << 16) | (green << 8) | blue;
        h.slotOfPixel.resize(size_t(rgb.width()) * size_t(rgb.height()));
        table.clear();
        bool overflow = false;
        quint32 last = kNoColour;
        quint16 lastSlot = 0;
        quint32 previous = kNoColour;
        quint16 previousSlot = 0;
        qint64 run = 0; // pixels of colour last not yet added to its count
        const int width = rgb.width();
        for (int y = rgb.height() - 1; y >= 0 && !overflow; --y) {
            const QRgb *line = row(rgb, y);
            quint16 *pixelSlots = h.slotOfPixel.data() + size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x) {
                const quint32 c = line[x] & h.mask;
                if (c == last) {
                    ++run;
                    pixelSlots[x] = lastSlot;
                    continue;
                }
                if (run > 0) h.counts[lastSlot] += run;
                // Text edges swap between two colours: try the one before last.
                if (c == previous) {
                    std::swap(last, previous);
                    std::swap(lastSlot, previousSlot);
                    run = 1;
                    pixelSlots[x] = lastSlot;
                    continue;
                }
                quint32 at;
                int slot = table.find(c, at);
                if (slot < 0) {
                    if (int(h.colours.size()) == TGifColourReducer::MaxColours) {
                        overflow = true;
                        break;
                    }
                    slot = int(h.colours.size());
                    h.colours.push_back(c);
                    h.counts.push_back(0);
                    table.insert(at, c, slot);
                }
                run = 1;
                pixelSlots[x] = quint16(slot);
                previous = last;
                previousSlot = lastSlot;
                last = c;
                lastSlot = quint16(slot);
            }
        }
        if (!overflow && run > 0) h.counts[lastSlot] += run;
        if (!overflow) return h;
        quint32 &narrowed = turn == 0 ? blue : turn == 1 ? red : green;
        narrowed &= narrowed - 1; // 255 -> 254 -> 252 ...
        turn = (turn + 1) % 3;
    }
}

} // namespace

QImage TGifColourReducer::reduce(const QImage &picture)
{
    if (picture.isNull()) return {};
    if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_Mono
        || picture.format() == QImage::Format_MonoLSB) {
        QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
        QList<QRgb> palette = indexed.colorTable();
        palette.resize(256, FillerGrey);
        indexed.setColorTable(palette);
        return indexed;
    }

    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    ColourTable table;
    const Histogram h = countColours(rgb, table);
    const int distinct = int(h.colours.size());

    // Most frequent first; a stable order keeps the first met ahead on ties.
    std::vector<int> order(static_cast<size_t>(distinct));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
        [&h](int a, int b) { return h.counts[size_t(a)] > h.counts[size_t(b)]; });

    QList<QRgb> palette(256, FillerGrey);
    std::vector<uchar> indexOf(static_cast<size_t>(distinct), 0);
    const int used = std::min(distinct, 256);
    for (int i = 0; i < used; ++i) {
        palette[i] = 0xFF000000u | h.colours[size_t(order[size_t(i)])];
        indexOf[size_t(order[size_t(i)])] = uchar(i);
    }
    for (int i = used; i < distinct; ++i) {
        const quint32 c = h.colours[size_t(order[size_t(i)])];
        int best = 0;
        int bestDistance = INT_MAX;
        for (int p = 0; p < 256; ++p) {
            const int dr = qRed(c) - qRed(palette[p]);
            const int dg = qGreen(c) - qGreen(palette[p]);
            const int db = qBlue(c) - qBlue(palette[p]);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = p;
            }
        }
        indexOf[size_t(order[size_t(i)])] = uchar(best);
    }

    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    const int width = rgb.width();
    for (int y = 0; y < rgb.height(); ++y) {
        const quint16 *pixelSlots = h.slotOfPixel.data() + size_t(y) * size_t(width);
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = indexOf[pixelSlots[x]];
    }
    return indexed;
}
