#include "core/GraphStatistics.h"

#include "core/NumberText.h"
#include "core/TDateTime.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace thermo4::core {

GraphStatistics ComputeGraphStatistics(std::span<const std::vector<double>> x,
                                       std::span<const std::vector<float>> y, int points) {
    GraphStatistics stats;
    stats.points = points;
    const auto xAt = [&](std::size_t k, int i) {
        return k < x.size() && i >= 0 && std::size_t(i) < x[k].size() ? x[k][std::size_t(i)] : 0.0;
    };
    stats.startTime = xAt(0, 0);
    if (points > 1) {
        const double step = (xAt(0, points - 1) - stats.startTime) / (points - 1) * kSecondsPerDay + 0.5;
        // Blank or unsorted X can give any number of seconds; keep it inside an int.
        constexpr double kLimit = std::numeric_limits<int>::max();
        stats.rateSeconds = std::isfinite(step) ? int(std::trunc(std::clamp(step, -kLimit, kLimit))) : 0;
    }
    for (std::size_t k = 0; k < stats.channels.size() && k < y.size(); ++k) {
        ChannelStatistics& c = stats.channels[k];
        const std::vector<float>& ys = y[k];
        const int n = std::min(points, int(ys.size()));
        for (int i = 0; i < n; ++i) {
            const float v = ys[std::size_t(i)];
            if (!IsTemperature(v))
                continue;
            if (v > c.max) {
                c.max = v;
                c.maxTime = xAt(k, i);
            }
            if (v < c.min) {
                c.min = v;
                c.minTime = xAt(k, i);
            }
            c.sum += v;
            ++c.count;
        }
    }
    return stats;
}

QString DateTimeText(double days, const QLocale& locale) {
    return locale.toString(DateTimeFromTDateTime(days).date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           TimeText(days, locale);
}

QString TimeText(double days, const QLocale& locale) {
    // The long time format may end in a time-zone name, which the fields do not show.
    static const QRegularExpression zone(QStringLiteral(R"(\s*t+\s*)"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.replace(zone, QStringLiteral(" "));
    return locale.toString(DateTimeFromTDateTime(days).time(), timeFormat.trimmed());
}

QString ExtremeText(float value, double days, const QLocale& locale) {
    if (!IsTemperature(value))
        return QStringLiteral("OL");
    return FixedText(double(value), 1, locale) + QLatin1Char('@') + DateTimeText(days, locale);
}

QString AverageText(double sum, int count, int decimals, const QLocale& locale) {
    const double mean = count > 0 ? sum / count : 0.0;
    if (count <= 0 || !std::isfinite(mean))
        return QStringLiteral("****");
    return FixedText(mean, decimals, locale);
}

} // namespace thermo4::core
