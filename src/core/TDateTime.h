#pragma once

#include <QDate>
#include <QDateTime>

#include <utility>

namespace thermo4::core {

/// Date-times as days since 1899-12-30 00:00 local time, the time of day as the
/// fraction. Before that day the fraction still counts forward from midnight
/// (−1.25 is 1899-12-29 06:00).
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kMsPerDay = 86400000.0;
/// Day 0.
inline QDate TDateTimeEpoch() {
    return QDate(1899, 12, 30);
}

/// Calendar date and wall-clock time of days, rounded to the millisecond, with
/// no time zone involved (cheap: no zone lookup); both invalid for NaN,
/// infinities and day counts beyond ±10 000 000.
std::pair<QDate, QTime> DateAndTimeFromTDateTime(double days);
/// Local date-time of days, rounded to the millisecond; invalid for NaN,
/// infinities and day counts beyond ±10 000 000.
QDateTime DateTimeFromTDateTime(double days);
/// days of a date-time, taken in local time; an invalid one gives 0.
double TDateTimeFromDateTime(const QDateTime& dateTime);
/// days of a calendar date and a wall-clock time, with no time zone involved
/// (a time that a daylight-saving change skips is kept as it is).
double TDateTimeFromDateAndTime(const QDate& date, const QTime& time);

} // namespace thermo4::core
