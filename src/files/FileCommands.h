#pragma once

namespace thermo4::ui {

class MainFrame;

/// File ▸ Open: the choice between a collection file and a single graph or
/// text file, then the open of that kind.
void OpenFileCommand(MainFrame& frame);

/// File ▸ Save for the active window: a table, a graph, or from the DataLogger
/// window the choice between the collection file and the graph. True when a
/// file was written; with no window, or any other window, nothing happens.
bool SaveFileCommand(MainFrame& frame);

} // namespace thermo4::ui
