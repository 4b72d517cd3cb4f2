#pragma once

namespace thermo4::ui {

class MainFrame;

/// File ▸ Print on the active window: a table as lines of text in the system's
/// fixed-width font, a graph after its customization step as the window shows it
/// (chart/GraphPrinter.h); any other window (or none) prints nothing. Both go
/// through the print dialog to the printer chosen by Printer Setup, which can also
/// print to a PDF file.
void PrintActiveChild(MainFrame& frame);

} // namespace thermo4::ui
