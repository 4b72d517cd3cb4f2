#include "chart/StatisticsTable.h"

#include "chart/Graph1.h"
#include "core/DataSet.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"

namespace thermo4::chart {

namespace {
constexpr int kColumns = 2;
// Top-left corner in thousandths of the plotting area's width and height.
constexpr int kTableX = 550;
constexpr int kTableY = 50;
constexpr int kBackAlpha = 129;
constexpr int kTextSize = 60; // percent of the graph's font size
} // namespace

const std::array<QString, kStatisticsTableRows>& StatisticsTableLabels() {
    static const std::array<QString, kStatisticsTableRows> labels = [] {
        std::array<QString, kStatisticsTableRows> l{QStringLiteral("Start Time:"),
                                                    QStringLiteral("Sampling:"), QStringLiteral("Data No:")};
        static const char* const kKinds[] = {"MAX", "MIN", "AVG"};
        for (int channel = 0; channel < 4; ++channel) {
            for (int kind = 0; kind < 3; ++kind)
                l[std::size_t(3 + channel * 3 + kind)] =
                    QStringLiteral("T%1 %2:").arg(channel + 1).arg(QLatin1String(kKinds[kind]));
        }
        return l;
    }();
    return labels;
}

void ShowStatisticsTable(Graph1& g, const StatisticsTableValues& values) {
    g.setTARows(kStatisticsTableRows);
    g.setTAColumns(kColumns);
    g.setShowTableAnnotation(true);
    const auto& labels = StatisticsTableLabels();
    for (int row = 0; row < kStatisticsTableRows; ++row) {
        g.setTAText(row, 0, labels[std::size_t(row)]);
        g.setTAText(row, 1, values[std::size_t(row)]);
        g.setTAColor(row, 1, argb(255, 255, 0, 0));
    }
    g.setTALocation(TableInsideAxis);
    g.setTAX(kTableX);
    g.setTAY(kTableY);
    g.setTAMoveable(true);
    g.setTABackColor(argb(kBackAlpha, 255, 255, 255));
    g.setTAHeaderRows(0);
    g.setTAHeaderColumn(false);
    g.setTABorder(BorderInset);
    g.setTATextSize(kTextSize);
    g.redraw();
}

StatisticsTableValues DataSetStatisticsValues(const Graph1& g, const core::DataSet& set,
                                              const QLocale& locale) {
    const core::GraphStatistics stats = core::ComputeGraphStatistics(g.state().x, g.state().y, g.points());
    StatisticsTableValues values;
    values[0] = core::DateTimeText(set.startTime, locale);
    values[1] = core::IntervalText(set.intervalSeconds);
    values[2] = QString::number(set.pointCount);
    for (std::size_t k = 0; k < stats.channels.size(); ++k) {
        const core::ChannelStatistics& c = stats.channels[k];
        values[3 + k * 3] = core::ExtremeText(c.max, c.maxTime, locale);
        values[4 + k * 3] = core::ExtremeText(c.min, c.minTime, locale);
        values[5 + k * 3] = core::AverageText(c.sum, c.count, 1, locale);
    }
    return values;
}

} // namespace thermo4::chart
