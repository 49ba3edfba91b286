#pragma once

/// @file tpgtokens.h
/// Field tokens of header and footer captions.

#include <QDateTime>
#include <QString>

/// Date pattern of the bands: day, month and year with the locale's date separator.
inline constexpr const char *pgDefaultDatePattern = "dd/mm/yyyy";
/// Time pattern of the bands: hours and minutes joined by the locale's date separator.
inline constexpr const char *pgDefaultTimePattern = "hh/mm";

/// The locale's date separator (from the short date format of the system locale).
QChar DateSeparator();

/// Formats @p when with a pattern of d, dd, m, mm (minutes right after h or hh), yy,
/// yyyy, h, hh, n, nn, s, ss, "/" (date separator) and ":" (time separator); other
/// characters are copied.
QString FormatDateTime(const QString &pattern, const QDateTime &when, QChar dateSeparator);

/// Replaces "{DATE}", "{TIME}", "{PAGE}" and "{NUMPAGES}" (exact, case-sensitive), in that
/// order, using @p now for date and time.
QString ExpandTokens(const QString &text, int pageNumber, int pageCount,
    const QString &datePattern, const QString &timePattern, const QDateTime &now,
    QChar dateSeparator);
/// The same with the current date and time and the locale's separator.
QString ExpandTokens(const QString &text, int pageNumber, int pageCount,
    const QString &datePattern = QLatin1String(pgDefaultDatePattern),
    const QString &timePattern = QLatin1String(pgDefaultTimePattern));
