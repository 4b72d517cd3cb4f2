#pragma once

#include <QFont>

class QPrinter;

namespace thermo4::ui {

class MainFrame;
class TfrmList;

/// File ▸ Print on the active window: a table as lines of text in the system's
/// fixed-width font, a graph through its customization dialog and then the
/// print dialog; any other window (or none) prints nothing. Both print on the
/// printer chosen by Printer Setup, which can also print to a PDF file.
void PrintActiveChild(MainFrame& frame);

/// Font, line height and lines per page of a table printout on a printer.
struct TablePrintLayout {
    QFont font;
    /// Device units of the printer.
    int lineHeight = 0;
    int linesPerPage = 0;
};
TablePrintLayout TablePrintLayoutFor(QPrinter& printer);

/// Prints the table's header row and then every row, one line each, a page
/// holding linesPerPage lines. False when the printer could not be started.
bool PrintTable(QPrinter& printer, const TfrmList& table);

} // namespace thermo4::ui
