#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

namespace thermo4::formats {

/// The locale's long time format without its time-zone part, as times are
/// written to and read from text files and tables ("h:mm:ss AP", "HH:mm:ss").
QString LongTimeFormat(const QLocale& locale);

/// A date-time (days since 1899-12-30) as the locale's short date.
QString DateText(double days, const QLocale& locale);
/// A date-time (days since 1899-12-30) as the locale's long time.
QString TimeText(double days, const QLocale& locale);

/// Reads a date as the locale writes it: day, month and year in the order of
/// its short date format, one or two digits each, a two-digit year taken within
/// 50 years of today's, no year meaning this year; month names as the locale
/// spells them are accepted too. Nothing when the text is no existing date.
std::optional<QDate> ParseDate(const QString& text, const QLocale& locale);
/// Reads a time "h:m", "h:m:s" or "h:m:s.zzz" (the locale's decimal separator
/// or "."), with an optional AM/PM marker. Nothing for a time that does not
/// exist (25:00:00, 10:60:00).
std::optional<QTime> ParseTime(const QString& text, const QLocale& locale);
/// A date cell and a time cell as one date-time in days since 1899-12-30.
std::optional<double> ParseDateAndTime(const QString& date, const QString& time, const QLocale& locale);

/// A number written with the locale's decimal separator and no group
/// separators, blanks around it allowed.
std::optional<double> ParseNumber(const QString& text, const QLocale& locale);

} // namespace thermo4::formats
