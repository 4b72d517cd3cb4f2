#pragma once

#include <QString>

#include <array>

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

/// Rows of the statistics table: start time, sampling rate, point count, then MAX, MIN and
/// AVG of T1 to T4.
inline constexpr int kStatisticsTableRows = 15;
using StatisticsTableValues = std::array<QString, kStatisticsTableRows>;

/// Label of each row of the statistics table ("Start Time:", ..., "T4 AVG:").
const std::array<QString, kStatisticsTableRows>& StatisticsTableLabels();

/// Draws the statistics as the graph's table annotation: labels in column 0, `values` in
/// column 1 in red, on translucent white inside axis 0; the user can drag it. A snapshot:
/// calling it again replaces the texts.
void ShowStatisticsTable(chart::Graph1& control, const StatisticsTableValues& values);

} // namespace thermo4::ui
