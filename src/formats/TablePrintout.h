#pragma once

#include <QString>
#include <QStringList>

namespace thermo4::formats {

/// Text measured for the line height of a table printout.
inline constexpr char kPrintMeasureText[] = "String Grid Printout";
/// Width of a cell in characters: the time column (2) is wider.
inline constexpr int kPrintTimeColumn = 2;
inline constexpr int kPrintTimeWidth = 17;
inline constexpr int kPrintCellWidth = 10;

/// One printed line of a table row: every cell from column 0, each followed by
/// two spaces for every character it is shorter than its width (longer cells
/// are not cut).
QString PrintedRow(const QStringList& cells);

/// Lines on a page of pageHeight for lines of lineHeight (device units); at
/// least one, so that a page shorter than a line still prints.
int LinesPerPage(int pageHeight, int lineHeight);

/// Where row r of a printout goes.
struct PrintedRowPlace {
    int page = 0;               // from 0
    int y = 0;                  // device units from the page's top: (r mod L + 1) × H
    bool newPageBefore = false; // r is the first row of a page other than the first
    bool operator==(const PrintedRowPlace&) const = default;
};
PrintedRowPlace PlaceOfRow(int row, int linesPerPage, int lineHeight);

} // namespace thermo4::formats
