#include "tpgtokens.h"

#include <QLocale>

QChar DateSeparator()
{
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    for (QChar c : format) {
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    }
    return QLatin1Char('/');
}

QString FormatDateTime(const QString &pattern, const QDateTime &when, QChar dateSeparator)
{
    const QDate d = when.date();
    const QTime t = when.time();
    QString out;
    bool afterHour = false;
    int i = 0;
    const int n = pattern.size();
    auto run = [&](QChar c) {
        int k = i;
        while (k < n && pattern.at(k).toLower() == c)
            ++k;
        return k - i;
    };
    while (i < n) {
        const QChar c = pattern.at(i).toLower();
        const int len = run(c);
        const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        if (c == QLatin1Char('d')) {
            out += len >= 2 ? two(d.day()) : QString::number(d.day());
            afterHour = false;
        } else if (c == QLatin1Char('m')) {
            const int v = afterHour ? t.minute() : d.month();
            out += len >= 2 ? two(v) : QString::number(v);
            afterHour = false;
        } else if (c == QLatin1Char('y')) {
            out += len >= 4 ? QString::number(d.year()) : two(d.year() % 100);
            afterHour = false;
        } else if (c == QLatin1Char('h')) {
            out += len >= 2 ? two(t.hour()) : QString::number(t.hour());
            afterHour = true;
        } else if (c == QLatin1Char('n')) {
            out += len >= 2 ? two(t.minute()) : QString::number(t.minute());
            afterHour = false;
        } else if (c == QLatin1Char('s')) {
            out += len >= 2 ? two(t.second()) : QString::number(t.second());
            afterHour = false;
        } else {
            // Separators keep an hour pending, so that "hh/mm" and "hh:mm" read minutes.
            if (c == QLatin1Char('/'))
                out += dateSeparator;
            else
                out += pattern.at(i);
            i += 1;
            continue;
        }
        i += len;
    }
    return out;
}

QString ExpandTokens(const QString &text, int pageNumber, int pageCount,
    const QString &datePattern, const QString &timePattern, const QDateTime &now,
    QChar dateSeparator)
{
    // One left-to-right pass per token; a value that contained its own token would not be
    // rescanned, so the expansion always ends.
    QString s = text;
    if (s.contains(QLatin1String("{DATE}")))
        s.replace(QLatin1String("{DATE}"), FormatDateTime(datePattern, now, dateSeparator));
    if (s.contains(QLatin1String("{TIME}")))
        s.replace(QLatin1String("{TIME}"), FormatDateTime(timePattern, now, dateSeparator));
    s.replace(QLatin1String("{PAGE}"), QString::number(pageNumber));
    s.replace(QLatin1String("{NUMPAGES}"), QString::number(pageCount));
    return s;
}

QString ExpandTokens(const QString &text, int pageNumber, int pageCount,
    const QString &datePattern, const QString &timePattern)
{
    return ExpandTokens(text, pageNumber, pageCount, datePattern, timePattern,
        QDateTime::currentDateTime(), DateSeparator());
}
