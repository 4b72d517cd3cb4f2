#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <span>
#include <vector>

namespace thermo4::core {

inline constexpr int kStatisticsChannels = 4;
/// Readings at or above this hold no value (the null value 9999 and its neighbours).
inline constexpr float kNoReadingFrom = 9000.0f;
/// Extremes beyond ±3000 show "OL"; averages take only readings strictly inside.
inline constexpr float kOverRangeLimit = 3000.0f;
/// Start values of the extremes: any reading below kNoReadingFrom replaces them.
inline constexpr float kMaxStart = -9999.0f;
inline constexpr float kMinStart = 9999.0f;

/// Extremes with their times and the running sum of one channel.
struct ChannelStatistics {
    float max = kMaxStart;
    double maxTime = 0.0; // days
    float min = kMinStart;
    double minTime = 0.0; // days
    double sum = 0.0;
    int count = 0;
};

/// What the statistics fields of a graph window show, in numbers.
struct GraphStatistics {
    double startTime = 0.0; // days, X of the first point of channel T1
    int rateSeconds = 0;    // mean step between points, rounded to whole seconds
    int points = 0;
    std::array<ChannelStatistics, kStatisticsChannels> channels;
};

/// Statistics of the first `points` points of x[k] / y[k] (k = 0..3: T1..T4; X in days).
/// Missing subsets or points count as no reading. Ties keep the earliest point.
GraphStatistics ComputeGraphStatistics(std::span<const std::vector<double>> x,
                                       std::span<const std::vector<float>> y, int points);

/// A date-time (days) as the locale's short date, a blank and its long time.
QString DateTimeText(double days, const QLocale& locale);
/// The time of day of a date-time (days) in the locale's long time format, without a time zone.
QString TimeText(double days, const QLocale& locale);
/// A MAX or MIN field: "OL" beyond ±3000 (so also for a channel without readings),
/// otherwise the value with one decimal, "@" and its date-time.
QString ExtremeText(float value, double days, const QLocale& locale);
/// An AVG field: the mean of the counted readings with `decimals` decimals, "****" without any.
QString AverageText(double sum, int count, int decimals, const QLocale& locale);

} // namespace thermo4::core
