#pragma once

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

class MainFrame;

/// Asks for a file name in the data folder and writes the graph there as a graph file
/// (".ghf"). True when the file was written; a cancelled dialog or another extension
/// writes nothing, a failed write is reported.
bool SaveGraph(MainFrame& frame, const chart::Graph1& control);

} // namespace thermo4::ui
