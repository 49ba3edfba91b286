#pragma once

#include <QByteArray>
#include <QString>

class TRichEditor;

/// How a document file is read or written.
enum class DocumentKind {
    Rtf,        ///< RTF (".rtf", ".doc" and every unknown extension)
    Compressed, ///< ".rtc": the RTF as a zlib stream (RFC 1950)
    Template,   ///< ".mvt": RTF; a loaded template becomes an "Untitled" document
    PlainAnsi,  ///< the plain-text group: plain text in the system code page
    PlainUtf16, ///< "Plain Text File UniCode": UTF-16 with a byte-order mark
};

/// Loading and saving documents by file type, shared by the document window
/// and the command-line converter. Never opens dialogs: failures come back
/// with a reason the caller shows.
class TDocumentFile
{
public:
    /// The save dialog's filter index of "Plain Text File UniCode".
    static constexpr int UnicodeFilterIndex = 5;

    /// The extension of path with its dot (".txt"), as written; empty when the
    /// file name has none.
    static QString extensionOf(const QString &path);
    /// True for ".txt", ".pas", ".cpp", ".xml", ".h", ".htm", ".html", ".sql"
    /// exactly as written.
    static bool isPlainTextExtension(const QString &extension);

    /// Loading compares the plain-text extensions in lower case.
    static DocumentKind kindForLoad(const QString &path);
    /// Saving compares extensions as written; the Unicode filter wins.
    static DocumentKind kindForSave(const QString &path, int filterIndex = 0);

    /// Replaces the editor's content with the file. On failure the editor
    /// keeps its previous content and *error says why.
    static bool load(TRichEditor &editor, const QString &path, DocumentKind kind, QString *error);
    /// Writes the editor's content; a failure leaves any previous file intact.
    static bool save(const TRichEditor &editor, const QString &path, DocumentKind kind, QString *error);

    /// zlib stream of data at the given level (the editor saves at level 1).
    static QByteArray compress(const QByteArray &data, int level = 1);
    /// Inflates a zlib stream. False with *error set when it is damaged,
    /// truncated or would inflate beyond a sane size.
    static bool decompress(const QByteArray &data, QByteArray *out, QString *error);
};
