#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <span>
#include <vector>

namespace thermo4::core {

inline constexpr int kStatisticsChannels = 4;
/// A reading outside −328…2500 (°C or °F) is no temperature: the logger's marks for a channel
/// without a probe (−3276.8 °F, −1838.2 °C) or over range (3276.7), and the null value 9999.
/// Graphs draw it as a gap, statistics leave it out and text exports write "OL".
inline constexpr double kLowestTemperature = -328.0;
inline constexpr double kHighestTemperature = 2500.0;
/// Whether a reading is a temperature (see kLowestTemperature); never for NaN.
constexpr bool IsTemperature(double value) {
    return value >= kLowestTemperature && value <= kHighestTemperature;
}
/// Start values of the extremes: any temperature replaces them, and they show "OL".
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

/// Statistics of the first `points` points of x[k] / y[k] (k = 0..3: T1..T4; X in days), over the
/// readings that are temperatures. Missing subsets or points count as no reading. Ties keep the
/// earliest point.
GraphStatistics ComputeGraphStatistics(std::span<const std::vector<double>> x,
                                       std::span<const std::vector<float>> y, int points);

/// A date-time (days) as the locale's short date, a blank and its long time.
QString DateTimeText(double days, const QLocale& locale);
/// The time of day of a date-time (days) in the locale's long time format, without a time zone.
QString TimeText(double days, const QLocale& locale);
/// A MAX or MIN field: "OL" for a value that is no temperature (so also for a channel without
/// any), otherwise the value with one decimal, "@" and its date-time.
QString ExtremeText(float value, double days, const QLocale& locale);
/// An AVG field: the mean of the counted readings with `decimals` decimals, "****" without any.
QString AverageText(double sum, int count, int decimals, const QLocale& locale);

} // namespace thermo4::core
