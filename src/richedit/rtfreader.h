#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;
class QTextCursor;
class QTextDocument;

/// Result of reading RTF: ok is false only when nothing usable could be read
/// (the caller keeps its previous content then); warnings list recoverable
/// damage that was skipped.
struct RtfReadResult {
    bool ok = false;
    QString error;
    QStringList warnings;
};

/// Reads RTF as Windows word processors write it into Qt's text document.
/// Depends on QtGui only; never opens dialogs.
class RtfReader
{
public:
    /// Replaces the whole content of document with the RTF in data.
    static RtfReadResult read(const QByteArray &data, QTextDocument &document);
    static RtfReadResult read(QIODevice &device, QTextDocument &document);

    /// Inserts the RTF in data at cursor (replacing its selection), as a
    /// paste or a "selected text as RTF" write does.
    static RtfReadResult insert(const QByteArray &data, QTextCursor &cursor);

    /// True when data starts (after white space) like an RTF document: "{\rtf".
    static bool looksLikeRtf(const QByteArray &data);
};
