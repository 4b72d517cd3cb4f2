#include "core/TDateTime.h"

#include <cmath>

namespace thermo4::core {

std::pair<QDate, QTime> DateAndTimeFromTDateTime(double days) {
    // Beyond about ±27 000 years the day count no longer fits the calendar.
    constexpr double kLimitDays = 1e7;
    if (!std::isfinite(days) || std::fabs(days) > kLimitDays) {
        return {};
    }
    double whole = std::trunc(days);
    // The fraction is the time of day whatever the sign of the day number.
    auto ms = static_cast<qint64>(std::llround(std::fabs(days - whole) * kMsPerDay));
    if (ms >= static_cast<qint64>(kMsPerDay)) {
        ms -= static_cast<qint64>(kMsPerDay);
        whole += days < 0 ? -1.0 : 1.0;
    }
    return {TDateTimeEpoch().addDays(static_cast<qint64>(whole)),
            QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms))};
}

QDateTime DateTimeFromTDateTime(double days) {
    const auto [date, time] = DateAndTimeFromTDateTime(days);
    if (!date.isValid()) {
        return {};
    }
    return QDateTime(date, time);
}

double TDateTimeFromDateAndTime(const QDate& date, const QTime& time) {
    if (!date.isValid()) {
        return 0.0;
    }
    const auto whole = static_cast<double>(TDateTimeEpoch().daysTo(date));
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
    return whole < 0 ? whole - fraction : whole + fraction;
}

double TDateTimeFromDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid()) {
        return 0.0;
    }
    const QDateTime local = dateTime.toLocalTime();
    return TDateTimeFromDateAndTime(local.date(), local.time());
}

} // namespace thermo4::core
