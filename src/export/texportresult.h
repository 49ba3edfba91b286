#pragma once

#include <QString>

/*!
 * The outcome of writing one export file: success, or the reason it failed.
 * The reason is a complete sentence the window may show to the user as it is.
 */
struct TExportResult {
    bool ok = true;
    QString reason;

    static TExportResult success() { return {}; }
    static TExportResult failure(const QString &why) { return { false, why }; }

    explicit operator bool() const { return ok; }
};
