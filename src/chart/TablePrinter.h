#pragma once

#include <QFont>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;

namespace thermo4::chart {

/// Font, line height and lines per page of a table printout on a page device.
struct TablePrintLayout {
    QFont font;
    /// Device units of the page device.
    int lineHeight = 0;
    int linesPerPage = 0;
};
TablePrintLayout TablePrintLayoutFor(QPagedPaintDevice& device);

/// The cells of printed line r: the header row for r = 0, then the table's rows.
using PrintedCells = std::function<QStringList(int line)>;

/// Prints `lines` lines of a table in the system's fixed-width font, one line per row, its
/// cells in columns as formats::PrintedRow lays them out, a page holding linesPerPage lines.
/// The same printout goes to a printer or into a PDF. False when the device could not be
/// started or finished.
bool PrintTable(QPagedPaintDevice& device, int lines, const PrintedCells& cells);

} // namespace thermo4::chart
