#include "chart/DaysTicker.h"

#include <array>
#include <cmath>

namespace thermo4::chart {

namespace {
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMsPerDay = 86400000.0;
const QDate kEpoch(1899, 12, 30);

// Steps a reader can count in, in seconds.
constexpr std::array<double, 22> kSteps = {1,     2,     5,      10,     15,      30,     60,    120,
                                           300,   600,   900,    1800,   3600,    7200,   10800, 21600,
                                           43200, 86400, 172800, 604800, 1209600, 2592000};
} // namespace

QDateTime dateTimeFromDays(double days) {
    // Beyond about ±27 000 years the day count no longer fits the calendar (nor, far beyond, an
    // integer): a file's axis may reach there, its labels stay empty.
    constexpr double kLimitDays = 1e7;
    if (!std::isfinite(days) || std::fabs(days) > kLimitDays)
        return {};
    const double whole = std::floor(days);
    auto ms = qint64(std::llround((days - whole) * kMsPerDay));
    qint64 dayCount = qint64(whole);
    if (ms >= qint64(kMsPerDay)) { // rounding reached the next midnight
        ms -= qint64(kMsPerDay);
        ++dayCount;
    }
    return QDateTime(kEpoch.addDays(dayCount), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double daysFromDateTime(const QDateTime& dateTime) {
    if (!dateTime.isValid())
        return 0.0;
    const QDateTime local = dateTime.toLocalTime();
    return double(kEpoch.daysTo(local.date())) + local.time().msecsSinceStartOfDay() / kMsPerDay;
}

DaysTicker::DaysTicker() {
    setTickCount(6);
}

double DaysTicker::getTickStep(const QCPRange& range) {
    const double spanSeconds = range.size() * kSecondsPerDay;
    const double wanted = spanSeconds / std::max(1, tickCount());
    double step = kSteps.back();
    for (double candidate : kSteps) {
        if (candidate >= wanted) {
            step = candidate;
            break;
        }
    }
    if (wanted > kSteps.back()) // beyond a month: a nice number of days
        step = cleanMantissa(wanted / kSecondsPerDay) * kSecondsPerDay;
    m_stepSeconds = step;
    m_showDate = step >= kSecondsPerDay || std::floor(range.lower) != std::floor(range.upper);
    return step / kSecondsPerDay;
}

int DaysTicker::getSubTickCount(double tickStep) {
    const double seconds = std::round(tickStep * kSecondsPerDay);
    for (int parts : {5, 4, 3, 2}) {
        if (std::fmod(seconds, parts) == 0.0)
            return parts - 1;
    }
    return 0;
}

QString DaysTicker::getTickLabel(double tick, const QLocale& locale, QChar, int) {
    const QDateTime dt = dateTimeFromDays(tick);
    const QString date = locale.toString(dt.date(), QLocale::ShortFormat);
    if (m_stepSeconds >= kSecondsPerDay)
        return date;
    const QString time =
        dt.time().toString(m_stepSeconds < 60 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    return m_showDate ? time + QLatin1Char('\n') + date : time;
}

} // namespace thermo4::chart
