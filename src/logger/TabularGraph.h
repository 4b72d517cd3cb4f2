#pragma once

namespace thermo4::ui {

class MainFrame;

/// "Output Tabular to graph": draws the active table window's rows as four
/// curves (T1 to T4 against date and time) in a new graph window captioned like
/// the table. "OL" cells become gaps; rows whose date, time or reading does not
/// read in the system's formats are left out (from that cell on).
void OutputTabularToGraph(MainFrame& frame);

} // namespace thermo4::ui
