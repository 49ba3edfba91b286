#include "tbitmapwriter.h"
#include "tlittleendian_p.h"

#include "tsavetofile_p.h"

#include <QImage>
#include <QtEndian>

using namespace TessaryExport;

namespace {


} // namespace

TExportResult TBitmapWriter::WriteBMPStream(QIODevice &device, const QImage &bitmap)
{
    if (bitmap.isNull())
        return TExportResult::failure(QStringLiteral("The picture to write as bitmap is empty."));
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    const quint32 w = quint32(image.width());
    const quint32 h = quint32(image.height());
    const quint64 imageSize = quint64(w) * h * 4;
    if (imageSize > 0xFFFFFFFFULL - 54)
        return TExportResult::failure(
            QStringLiteral("The picture is too large for a bitmap file."));

    QByteArray head;
    head.append("BM", 2);
    put32(head, quint32(54 + imageSize));
    put32(head, 0);
    put32(head, 54);
    put32(head, 40);
    put32(head, w);
    put32(head, h); // positive: rows run bottom-up
    put16(head, 1);
    put16(head, 32);
    put32(head, 0); // BI_RGB
    put32(head, quint32(imageSize));
    put32(head, 3780); // 96 pixels per inch in pixels per metre
    put32(head, 3780);
    put32(head, 0);
    put32(head, 0);
    if (!writeAll(device, head)) return writeFailure(device);

    QByteArray row(qsizetype(w) * 4, '\0');
    for (int y = int(h) - 1; y >= 0; --y) {
        const auto *in = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        uchar *out = reinterpret_cast<uchar *>(row.data());
        for (quint32 x = 0; x < w; ++x, out += 4) {
            out[0] = uchar(qBlue(in[x]));
            out[1] = uchar(qGreen(in[x]));
            out[2] = uchar(qRed(in[x]));
            out[3] = 0;
        }
        if (!writeAll(device, row)) return writeFailure(device);
    }
    return TExportResult::success();
}

TExportResult TBitmapWriter::WriteBMPFile(const QString &fileName, const QImage &bitmap)
{
    return saveToFile(fileName, defaultOpenError(fileName),
        [&](QIODevice &device) { return WriteBMPStream(device, bitmap); });
}
