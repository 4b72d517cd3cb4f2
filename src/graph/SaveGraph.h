#pragma once

#include <QChar>
#include <QString>

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

class MainFrame;

/// The save dialog for a graph (graph file, or text with tabs or, unless the
/// decimal separator is a comma, commas; switching the type switches the name's
/// extension), then the graph file or the text export: the chosen type decides,
/// unless the typed name has the extension of another offered type. The path
/// written, or empty: a cancelled dialog writes nothing, a failed write is
/// reported and leaves an earlier file as it was.
QString SaveGraph(MainFrame& frame, const chart::Graph1& control);

/// The graph text export of control to path: the range dialog over its points,
/// then one line per point with the progress window and its Cancel. True when
/// the file was written; cancelled or failed (reported), an earlier file stays.
bool WriteGraphText(MainFrame& frame, const chart::Graph1& control, const QString& path, QChar separator);

} // namespace thermo4::ui
