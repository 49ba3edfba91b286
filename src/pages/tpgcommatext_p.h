#pragma once

// Comma text as the settings store lists: items separated by commas (blanks outside
// quotes separate too); an item holding a comma, a blank or a double quote is quoted,
// inner quotes doubled.

#include <QString>
#include <QStringList>

namespace PgCommaText {

inline QString join(const QStringList &items)
{
    QString out;
    for (int i = 0; i < items.size(); ++i) {
        if (i)
            out += QLatin1Char(',');
        const QString &item = items.at(i);
        bool quote = false;
        for (QChar c : item) {
            if (c == QLatin1Char(',') || c == QLatin1Char('"') || c.unicode() <= ' ')
                quote = true;
        }
        if (quote) {
            QString inner = item;
            inner.replace(QLatin1String("\""), QLatin1String("\"\""));
            out += QLatin1Char('"') + inner + QLatin1Char('"');
        } else {
            out += item;
        }
    }
    return out;
}

inline QStringList split(const QString &text)
{
    QStringList items;
    const int n = text.size();
    int p = 0;
    auto blank = [&](int i) { return i < n && text.at(i).unicode() >= 1 && text.at(i).unicode() <= ' '; };
    while (blank(p))
        ++p;
    while (p < n) {
        QString item;
        if (text.at(p) == QLatin1Char('"')) {
            ++p;
            while (p < n) {
                if (text.at(p) == QLatin1Char('"')) {
                    if (p + 1 < n && text.at(p + 1) == QLatin1Char('"')) {
                        item += QLatin1Char('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text.at(p++);
            }
        } else {
            const int start = p;
            while (p < n && text.at(p).unicode() > ' ' && text.at(p) != QLatin1Char(','))
                ++p;
            item = text.mid(start, p - start);
        }
        items << item;
        while (blank(p))
            ++p;
        if (p < n && text.at(p) == QLatin1Char(',')) {
            if (p + 1 == n)
                items << QString();
            do {
                ++p;
            } while (blank(p));
        }
    }
    return items;
}

} // namespace PgCommaText
