#pragma once

#include <QString>

namespace thermo4::ui {

class MainFrame;
class TfrmGraph;
class TfrmList;

/// Saves a table window as text: the save dialog (tabs, or commas unless the
/// decimal separator is a comma), the range dialog over its rows, then one line
/// per row with the progress window. True when the file was written; a failed
/// write is reported and leaves an earlier file as it was.
bool SaveTable(MainFrame& frame, const TfrmList& table);

/// "Open single data file": the open dialog, then a graph file into a new graph
/// window or a text file into a new table window.
void OpenSingleFile(MainFrame& frame);

/// Opens a graph file into a new graph window captioned with the file's full
/// name, across the client area. A file that cannot be read or is no graph file
/// is reported and opens no window. Returns the window, or null.
TfrmGraph* OpenGraphFile(MainFrame& frame, const QString& path);

/// Reads a text file (fields separated by separator) into a new table window
/// captioned with the file's full name, with the progress window and its
/// Cancel (the rows read until then stay). A file that cannot be read is
/// reported and opens no window. Returns the window, or null.
TfrmList* OpenTextTable(MainFrame& frame, const QString& path, QChar separator);

} // namespace thermo4::ui
