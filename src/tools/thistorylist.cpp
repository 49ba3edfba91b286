#include "thistorylist.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>

#include <algorithm>

void THistoryList::SetEntries(const QStringList &entries)
{
    m_stored = entries;
    m_shown = entries;
}

int THistoryList::RecordOpened(const QString &path, int current)
{
    const int shownAt = int(m_shown.indexOf(path));
    if (shownAt >= 0) {
        m_shown.move(shownAt, 0);
        const int storedAt = int(m_stored.indexOf(path));
        if (storedAt >= 0) m_stored.move(storedAt, 0);
        // The current entry keeps being current wherever the move took it.
        if (current == shownAt) return 0;
        if (current >= 0 && current < shownAt) return current + 1;
        return current;
    }
    m_shown.prepend(path);
    m_stored.prepend(path);
    // With no current entry before, the new one at the top becomes current.
    return current + 1;
}

int THistoryList::RecordSaved(const QString &path, int current)
{
    if (m_stored.contains(path)) return current;
    m_shown.prepend(path);
    m_stored.prepend(path);
    return current >= 0 ? current + 1 : current;
}

void THistoryList::ApplyFilter(THistoryFilter filter)
{
    m_shown.clear();
    for (const QString &path : std::as_const(m_stored))
        if (Passes(path, filter)) m_shown.append(path);
}

void THistoryList::MoveToTop(int row)
{
    if (row < 0 || row >= m_shown.size()) return;
    const QString path = m_shown.at(row);
    m_shown.move(row, 0);
    const int storedAt = int(m_stored.indexOf(path));
    if (storedAt >= 0) m_stored.move(storedAt, 0);
}

void THistoryList::Remove(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : std::as_const(rows))
        if (row >= 0 && row < m_shown.size()) m_stored.removeOne(m_shown.at(row));
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        if (*it >= 0 && *it < m_shown.size()) m_shown.removeAt(*it);
}

void THistoryList::Clear()
{
    m_stored.clear();
    m_shown.clear();
}

int THistoryList::Search(const QString &text) const
{
    const QString wanted = text.toLower();
    for (int i = 0; i < m_shown.size(); ++i)
        if (FileNamePart(m_shown.at(i)).toLower().contains(wanted)) return i;
    return -1;
}

QString THistoryList::FileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString THistoryList::Extension(const QString &path)
{
    const QString name = FileNamePart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool THistoryList::Passes(const QString &path, THistoryFilter filter)
{
    const QString ext = Extension(path);
    switch (filter) {
    case THistoryFilter::AllDocuments:
        return true;
    case THistoryFilter::RichText:
        return ext == QLatin1String(".rtf");
    case THistoryFilter::RichTextCompressed:
        return ext == QLatin1String(".rtc");
    case THistoryFilter::WordDoc:
        return ext == QLatin1String(".doc");
    case THistoryFilter::PlainText:
        return ext == QLatin1String(".txt");
    case THistoryFilter::OtherTypes:
        return ext == QLatin1String(".xml") || ext == QLatin1String(".htm")
            || ext == QLatin1String(".sql") || ext == QLatin1String(".cpp")
            || ext == QLatin1String(".pas") || ext == QLatin1String(".h");
    }
    return false;
}

int THistoryList::PictureIndex(const QString &path)
{
    const QString ext = Extension(path);
    if (ext == QLatin1String(".rtf")) return 2;
    if (ext == QLatin1String(".doc")) return 3;
    if (ext == QLatin1String(".rtc")) return 6;
    if (ext == QLatin1String(".txt")) return 0;
    if (ext == QLatin1String(".htm") || ext == QLatin1String(".html")
        || ext == QLatin1String(".xml"))
        return 4;
    return 1;
}

QStringList THistoryList::ParseLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < n) lines.append(text.mid(start));
    return lines;
}

QString THistoryList::FormatLines(const QStringList &entries)
{
    QString text;
    for (const QString &entry : entries) {
        text += entry;
        text += QLatin1String("\r\n");
    }
    return text;
}

bool THistoryList::ReadFile(const QString &fileName, QStringList *entries, QString *error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    QStringDecoder decode(QStringConverter::System);
    const QString text = decode(file.readAll());
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
    *entries = ParseLines(text);
    return true;
}

bool THistoryList::WriteFile(const QString &fileName, const QStringList &entries, QString *error)
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    QStringEncoder encode(QStringConverter::System);
    const QByteArray bytes = encode(FormatLines(entries));
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}
