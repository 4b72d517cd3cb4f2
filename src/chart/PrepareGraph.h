#pragma once

namespace thermo4::core {
class DataSetCollection;
}

namespace thermo4::chart {

class Graph1;

/// Y range of a data set's graph in the built-in look (the set's unit, °C or °F).
inline constexpr float kDataSetYMax = 100.0f;
inline constexpr float kDataSetYMin = -20.0f;

/// Prepares a graph control for `subsets` curves of `points` points, after its template
/// (if any) has been loaded into it: every curve blank, X manual from xMin to xMax (days)
/// unless xMin is 0, data labels off. With defaultLook the built-in look follows, Y from
/// yMin to yMax on every axis; without it the look, scales and marks the control holds stay.
/// Either way the Y ranges are floors that data outside them widen.
/// Ends on working axis 0, with annotation hot spots on, and redraws.
void PrepareGraph(Graph1& control, int subsets, float yMax, float yMin, double xMax, double xMin, int points,
                  bool defaultLook);

/// Prepares a control to show data set k (from 0) as the data-logger window shows it: four
/// curves of the set's points, X from its start over points × interval, the set's times and
/// readings, the zoom undone. False, and the control untouched, for k outside the collection.
bool PrepareDataSetGraph(Graph1& control, const core::DataSetCollection& sets, int k, bool defaultLook);

} // namespace thermo4::chart
