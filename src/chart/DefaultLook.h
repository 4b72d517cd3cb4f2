#pragma once

namespace thermo4::chart {

class Graph1;

/// Number of channels a graph window plots (T1 to T4).
inline constexpr int kGraphChannels = 4;

/// The built-in look of a graph control, used when no template exists and written
/// into the shipped template: black plotting area, dotted green grid, channel
/// colours and labels, zoom in both directions, two line cursors (blue, red), and the
/// split view of one axis per channel, each from yMin to yMax (°C or °F).
void ApplyDefaultLook(Graph1& control, int subsets, float yMax, float yMin);

} // namespace thermo4::chart
