#include "tgifanimation.h"
#include "tlittleendian_p.h"

#include "tgifcolourreducer.h"
#include "tgiflzwencoder.h"
#include "tsavetofile_p.h"

using namespace TessaryExport;

namespace {

constexpr int kCodeSize = 8;


void putPalette(QByteArray &to, const QList<QRgb> &palette)
{
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : TGifColourReducer::FillerGrey;
        to += char(qRed(c));
        to += char(qGreen(c));
        to += char(qBlue(c));
    }
}

int indexOfColour(const QList<QRgb> &palette, QRgb colour)
{
    for (int i = 0; i < palette.size(); ++i)
        if ((palette[i] & 0xFFFFFF) == (colour & 0xFFFFFF)) return i;
    return -1;
}

} // namespace

int TGifAnimation::addFrame(const QImage &bitmap)
{
    if (bitmap.isNull()) return -1;
    m_frames.append(TGifAnimationFrame(TGifColourReducer::reduce(bitmap)));
    return int(m_frames.size()) - 1;
}

QSize TGifAnimation::logicalScreenSize() const
{
    QSize size(0, 0);
    for (const TGifAnimationFrame &f : m_frames) {
        size.setWidth(qMax(size.width(), f.position().x() + f.picture().width()));
        size.setHeight(qMax(size.height(), f.position().y() + f.picture().height()));
    }
    return size;
}

TExportResult TGifAnimation::saveToStream(QIODevice &device) const
{
    const QSize screen = logicalScreenSize();
    if (screen.width() > 0xFFFF || screen.height() > 0xFFFF)
        return TExportResult::failure(QStringLiteral("The pictures are too large for a GIF file."));

    QByteArray head("GIF89a");
    put16(head, screen.width());
    put16(head, screen.height());
    if (m_frames.isEmpty()) {
        head += '\0'; // no global colour table
        head += '\0';
        head += '\0';
    } else {
        const QList<QRgb> global = m_frames.first().picture().colorTable();
        head += char(0xF7);
        head += char(qMax(0, indexOfColour(global, m_background)));
        head += '\0';
        putPalette(head, global);
    }
    if (m_looping && m_frames.size() > 1) {
        head += "\x21\xFF\x0B";
        head += "NETSCAPE2.0";
        head += "\x03\x01";
        put16(head, m_repeatCount);
        head += '\0';
    }
    if (!writeAll(device, head)) return writeFailure(device);

    TGifLzwEncoder encoder(kCodeSize);
    for (int i = 0; i < m_frames.size(); ++i) {
        const TGifAnimationFrame &f = m_frames[i];
        const QImage &picture = f.picture();
        const QList<QRgb> palette = picture.colorTable();
        const int transparentIndex = m_transparent ? indexOfColour(palette, m_background) : -1;

        QByteArray block;
        if (f.DisplayTime() != 0 || transparentIndex >= 0) {
            block += "\x21\xF9\x04";
            block += char(transparentIndex >= 0 ? 0x01 : 0x00);
            put16(block, f.DisplayTime() / 10);
            block += char(qMax(0, transparentIndex));
            block += '\0';
        }
        block += char(0x2C);
        put16(block, f.position().x());
        put16(block, f.position().y());
        put16(block, picture.width());
        put16(block, picture.height());
        if (i == 0) {
            block += '\0';
        } else {
            block += char(0x87);
            putPalette(block, palette);
        }

        // The LZW coder wants the indices without the rows' padding.
        QByteArray indices;
        const uchar *pixels = picture.constBits();
        if (picture.bytesPerLine() != picture.width()) {
            indices.resize(qsizetype(picture.width()) * picture.height());
            for (int y = 0; y < picture.height(); ++y)
                memcpy(indices.data() + qsizetype(y) * picture.width(), picture.constScanLine(y),
                    size_t(picture.width()));
            pixels = reinterpret_cast<const uchar *>(indices.constData());
        }
        block += TGifLzwEncoder::toSubBlocks(
            kCodeSize, encoder.encode(pixels, qsizetype(picture.width()) * picture.height()));
        if (!writeAll(device, block)) return writeFailure(device);
    }

    QByteArray tail;
    QByteArray comments;
    for (const QString &line : m_comments) {
        const QByteArray text = line.toLatin1().left(255);
        if (text.isEmpty()) continue;
        comments += char(text.size());
        comments += text;
    }
    if (!comments.isEmpty()) {
        tail += "\x21\xFE";
        tail += comments;
        tail += '\0';
    }
    tail += char(0x3B);
    if (!writeAll(device, tail)) return writeFailure(device);
    return TExportResult::success();
}

TExportResult TGifAnimation::saveToFile(const QString &fileName) const
{
    return TessaryExport::saveToFile(fileName, defaultOpenError(fileName),
        [this](QIODevice &device) { return saveToStream(device); });
}
