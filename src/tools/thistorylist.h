#pragma once

/// @file thistorylist.h
/// The document history's two lists and their rules, free of any window.

#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

/// Document types the history can be narrowed to, by the extension of an entry's file name.
enum class THistoryFilter {
    AllDocuments, ///< every entry
    RichText, ///< ".rtf"
    RichTextCompressed, ///< ".rtc"
    WordDoc, ///< ".doc"
    PlainText, ///< ".txt"
    OtherTypes ///< ".xml", ".htm", ".sql", ".cpp", ".pas", ".h"
};

/// The stored list holds every remembered path, most recent first; the shown list is
/// what the dialog displays: the stored list or a filtered part of it, in the same
/// order. Paths compare as exact, case-sensitive strings; there is no size limit.
/// Indices are rows of the shown list unless said otherwise; -1 means "no current row".
class THistoryList {
public:
    const QStringList &Stored() const { return m_stored; }
    const QStringList &Shown() const { return m_shown; }
    /// Replaces both lists with entries (as read from the list file).
    void SetEntries(const QStringList &entries);

    /// A file opened with the frame's Open command. A path already shown moves to the
    /// top of both lists; any other path is inserted at the top of both (even when it
    /// does not pass the filter in force, and even when the stored list holds it already).
    /// Returns the new current row: the entry that was current stays current.
    int RecordOpened(const QString &path, int current);
    /// A file saved under a new name (callers leave out files saved as Unicode text):
    /// inserted at the top of both lists unless the stored list holds it; a listed path
    /// keeps its place. Returns the new current row.
    int RecordSaved(const QString &path, int current);
    /// The entry at row 0 of the shown list, or an empty string when it is empty.
    QString FirstShown() const { return m_shown.value(0); }

    /// Rebuilds the shown list from the stored list with the entries passing filter.
    void ApplyFilter(THistoryFilter filter);
    /// Opening the entry at row: it goes to the top of the shown list and its first
    /// occurrence in the stored list to the top of that one.
    void MoveToTop(int row);
    /// Removes the entries at rows from the shown list and, for each of them, the first
    /// equal entry from the stored list.
    void Remove(QList<int> rows);
    void Clear();
    /// First row whose file name (not folder) contains text, both in lower case; -1 if none.
    int Search(const QString &text) const;
    /// The shown list becomes the stored list again (before the list is written).
    void ShowAll() { m_shown = m_stored; }

    /// The part after the last '/'.
    static QString FileNamePart(const QString &path);
    /// The file name's extension from its last '.', dot included; empty without a dot.
    static QString Extension(const QString &path);
    static bool Passes(const QString &path, THistoryFilter filter);
    /// The row picture for path: 0 plain text, 1 other, 2 RTF, 3 Word, 4 web and XML,
    /// 6 compressed RTF.
    static int PictureIndex(const QString &path);

    /// One entry per line; lines end at CR, LF or CR LF. Every line is an entry, empty
    /// ones inside the text included; a final line ending makes no extra entry.
    static QStringList ParseLines(const QString &text);
    /// Every entry followed by CR LF.
    static QString FormatLines(const QStringList &entries);
    /// Reads the list file (text in the system code page). False when it cannot be read;
    /// error then says why.
    static bool ReadFile(const QString &fileName, QStringList *entries, QString *error = nullptr);
    /// Replaces the list file; on failure the previous file stays and error says why.
    static bool WriteFile(const QString &fileName, const QStringList &entries, QString *error);

private:
    QStringList m_stored;
    QStringList m_shown;
};
