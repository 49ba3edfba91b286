#include "tdocumentfile.h"

#include "trichedit.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zlib.h>

namespace {
// Nothing a user edits comes near this; a bigger result means a damaged or hostile file.
constexpr qint64 MaxInflatedSize = qint64(1) << 30;

StreamFormat streamFormatOf(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::PlainAnsi: return StreamFormat::PlainAnsi;
    case DocumentKind::PlainUtf16: return StreamFormat::PlainUtf16;
    default: return StreamFormat::Rtf;
    }
}
} // namespace

QString TDocumentFile::extensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool TDocumentFile::isPlainTextExtension(const QString &extension)
{
    static const QStringList group = {".txt", ".pas", ".cpp", ".xml", ".h", ".htm", ".html", ".sql"};
    return group.contains(extension);
}

namespace {
// The plain-text group is compared in lower case when loading and as written
// when saving; ".rtc" and ".mvt" always as written.
DocumentKind kindOfExtension(const QString &ext, bool plainTextInLowerCase)
{
    if (TDocumentFile::isPlainTextExtension(plainTextInLowerCase ? ext.toLower() : ext))
        return DocumentKind::PlainAnsi;
    if (ext == QLatin1String(".rtc"))
        return DocumentKind::Compressed;
    if (ext == QLatin1String(".mvt"))
        return DocumentKind::Template;
    return DocumentKind::Rtf;
}
} // namespace

DocumentKind TDocumentFile::kindForLoad(const QString &path)
{
    return kindOfExtension(extensionOf(path), true);
}

DocumentKind TDocumentFile::kindForSave(const QString &path, int filterIndex)
{
    if (filterIndex == UnicodeFilterIndex)
        return DocumentKind::PlainUtf16;
    return kindOfExtension(extensionOf(path), false);
}

bool TDocumentFile::load(TRichEditor &editor, const QString &path, DocumentKind kind, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (kind == DocumentKind::Compressed) {
        QByteArray inflated;
        if (!decompress(data, &inflated, error))
            return false;
        data = std::move(inflated);
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return editor.LoadFromStream(buffer, streamFormatOf(kind), error);
}

bool TDocumentFile::save(const TRichEditor &editor, const QString &path, DocumentKind kind, QString *error)
{
    QByteArray data;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!editor.SaveToStream(buffer, streamFormatOf(kind), error))
            return false;
    }
    if (kind == DocumentKind::Compressed)
        data = compress(data, 1);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QByteArray TDocumentFile::compress(const QByteArray &data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()), level)
        != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

bool TDocumentFile::decompress(const QByteArray &data, QByteArray *out, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    z_stream zs {};
    if (inflateInit(&zs) != Z_OK)
        return fail(QStringLiteral("The decompressor could not start."));
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());

    QByteArray result;
    char chunk[64 * 1024];
    int rc = Z_OK;
    while (rc == Z_OK) {
        zs.next_out = reinterpret_cast<Bytef *>(chunk);
        zs.avail_out = sizeof chunk;
        rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END)
            break;
        result.append(chunk, qsizetype(sizeof chunk - zs.avail_out));
        if (result.size() > MaxInflatedSize) {
            inflateEnd(&zs);
            return fail(QStringLiteral("The compressed document is too large to open."));
        }
        if (rc == Z_OK && zs.avail_in == 0 && zs.avail_out != 0) {
            rc = Z_BUF_ERROR; // input ended before the stream did
            break;
        }
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return fail(QStringLiteral("The compressed document is damaged or incomplete."));
    *out = std::move(result);
    return true;
}
