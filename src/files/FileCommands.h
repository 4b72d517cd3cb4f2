#pragma once

namespace thermo4::ui {

class TfrmMain;

/// File ▸ Open: the choice between a collection file and a single graph or
/// text file, then the open of that kind.
void OpenFileCommand(TfrmMain& main);

/// File ▸ Save for the active window: a table, a graph, or from the DataLogger
/// window the choice between the collection file and the graph.
void SaveFileCommand(TfrmMain& main);

} // namespace thermo4::ui
