#include "tjpegwriter.h"

#include "tsavetofile_p.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

using namespace TessaryExport;

namespace {

constexpr size_t kBufferSize = 64 * 1024;

struct Destination {
    jpeg_destination_mgr manager;
    QIODevice *device;
    JOCTET buffer[kBufferSize];
};

struct ErrorHandler {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void initDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = kBufferSize;
}

boolean emptyBuffer(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    if (!writeAll(*dest->device, reinterpret_cast<const char *>(dest->buffer), kBufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->manager.next_output_byte = dest->buffer;
    dest->manager.free_in_buffer = kBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<Destination *>(cinfo->dest);
    const size_t used = kBufferSize - dest->manager.free_in_buffer;
    if (used > 0
        && !writeAll(*dest->device, reinterpret_cast<const char *>(dest->buffer), qint64(used)))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

// libjpeg's own handler ends the process; ours returns to the encoder call.
void errorExit(j_common_ptr cinfo)
{
    auto *handler = reinterpret_cast<ErrorHandler *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, handler->message);
    std::longjmp(handler->jump, 1);
}

// Holds no objects with destructors, since an error leaves it by longjmp.
bool encode(jpeg_compress_struct *cinfo, ErrorHandler *errors, Destination *dest, const QImage *rgb,
    int quality)
{
    if (setjmp(errors->jump)) return false;
    jpeg_create_compress(cinfo);
    dest->manager.init_destination = initDestination;
    dest->manager.empty_output_buffer = emptyBuffer;
    dest->manager.term_destination = termDestination;
    cinfo->dest = &dest->manager;
    cinfo->image_width = JDIMENSION(rgb->width());
    cinfo->image_height = JDIMENSION(rgb->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

TExportResult TJpegWriter::WriteJPEGStream(QIODevice &device, const QImage &bitmap, int quality)
{
    if (bitmap.isNull())
        return TExportResult::failure(QStringLiteral("The picture to write as JPEG is empty."));
    if (bitmap.width() > JPEG_MAX_DIMENSION || bitmap.height() > JPEG_MAX_DIMENSION)
        return TExportResult::failure(QStringLiteral("The picture is too large for a JPEG file."));
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct cinfo {};
    auto errors = std::make_unique<ErrorHandler>();
    auto dest = std::make_unique<Destination>();
    dest->device = &device;
    cinfo.err = jpeg_std_error(&errors->manager);
    errors->manager.error_exit = errorExit;
    errors->message[0] = '\0';

    const bool ok = encode(&cinfo, errors.get(), dest.get(), &rgb, qBound(1, quality, 100));
    jpeg_destroy_compress(&cinfo);
    if (!ok)
        return TExportResult::failure(QStringLiteral("Could not write the JPEG file: %1")
                                          .arg(QString::fromLocal8Bit(errors->message)));
    return TExportResult::success();
}

TExportResult TJpegWriter::WriteJPEGFile(const QString &fileName, const QImage &bitmap, int quality)
{
    return saveToFile(fileName, defaultOpenError(fileName),
        [&](QIODevice &device) { return WriteJPEGStream(device, bitmap, quality); });
}
