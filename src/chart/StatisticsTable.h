#pragma once

#include <QLocale>
#include <QString>

#include <array>

namespace thermo4::core {
struct DataSet;
}

namespace thermo4::chart {

class Graph1;

/// Rows of the statistics table: start time, sampling rate, point count, then MAX, MIN and
/// AVG of T1 to T4.
inline constexpr int kStatisticsTableRows = 15;
using StatisticsTableValues = std::array<QString, kStatisticsTableRows>;

/// Label of each row of the statistics table ("Start Time:", ..., "T4 AVG:").
const std::array<QString, kStatisticsTableRows>& StatisticsTableLabels();

/// Draws the statistics as the graph's table annotation: labels in column 0, `values` in
/// column 1 in red, on translucent white inside axis 0; the user can drag it. A snapshot:
/// calling it again replaces the texts.
void ShowStatisticsTable(Graph1& control, const StatisticsTableValues& values);

/// The table's values for a control that shows data set `set`, as the data-logger window's
/// fields show them: the set's start time, its sampling rate as "MM:SS" and its point count,
/// then MAX and MIN with their times and AVG (one decimal) of T1 to T4 from the control's data.
StatisticsTableValues DataSetStatisticsValues(const Graph1& control, const core::DataSet& set,
                                              const QLocale& locale);

} // namespace thermo4::chart
