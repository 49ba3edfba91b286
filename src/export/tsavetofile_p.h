#pragma once

// The by-file-name wrappers of the writers: write into a QSaveFile so that a
// failed export never destroys an existing file of the same name.

#include "texportresult.h"

#include <QDir>
#include <QSaveFile>

namespace TessaryExport {

//! Calls write(QIODevice&) on a QSaveFile for fileName and commits it only when
//! write succeeded. openError is the reason given when the file cannot be created.
template <typename Write>
TExportResult saveToFile(const QString &fileName, const QString &openError, Write &&write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) return TExportResult::failure(openError);
    TExportResult result = write(static_cast<QIODevice &>(file));
    if (!result) {
        file.cancelWriting();
        return result;
    }
    if (!file.commit())
        return TExportResult::failure(
            QStringLiteral("Could not write the file %1: %2")
                .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return result;
}

inline QString defaultOpenError(const QString &fileName)
{
    return QStringLiteral("Error Opening File %1!").arg(QDir::toNativeSeparators(fileName));
}

//! Writes all of data to device; a short or refused write is a failure.
inline bool writeAll(QIODevice &device, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 n = device.write(data, size);
        if (n <= 0) return false;
        data += n;
        size -= n;
    }
    return true;
}

inline bool writeAll(QIODevice &device, const QByteArray &data)
{
    return writeAll(device, data.constData(), data.size());
}

inline TExportResult writeFailure(const QIODevice &device)
{
    return TExportResult::failure(
        QStringLiteral("Could not write the export file: %1").arg(device.errorString()));
}

} // namespace TessaryExport
