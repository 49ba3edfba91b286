#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;
class QTextDocument;

/// Writes Qt's text document as RTF that other word processors read.
/// Depends on QtGui only.
class RtfWriter
{
public:
    /// The RTF of positions [from, to) of document; to = -1 means to the end.
    static QByteArray write(const QTextDocument &document, int from = 0, int to = -1);

    /// Writes the whole document to device; false with error set when the device fails.
    static bool write(const QTextDocument &document, QIODevice &device, QString *error = nullptr);
};
