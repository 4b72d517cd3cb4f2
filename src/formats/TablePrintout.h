#pragma once

#include <QString>
#include <QStringList>

namespace thermo4::formats {

class ImportedTable;

/// Text measured for the line height of a table printout.
inline constexpr char kPrintMeasureText[] = "String Grid Printout";
/// Width of a cell in characters: the time column (2) is wider.
inline constexpr int kPrintTimeColumn = 2;
inline constexpr int kPrintTimeWidth = 17;
inline constexpr int kPrintCellWidth = 10;

/// One printed line of a table row for a fixed-width font: every cell from
/// column 0, filled with one space for every character it is shorter than its
/// width, and one space between cells, so that the columns line up whatever
/// the length of a row number or a date. Longer cells are not cut (they push
/// the rest of their line to the right).
QString PrintedRow(const QStringList& cells);

/// Titles of a table window's columns, column 0 first: "No", "Date", "Time", "T1" to "T4".
QStringList TableColumnTitles();
/// Text of a cell of a table window showing a table read back: the row number (from 1) in
/// column 0, the row's fields in columns 1 to 6.
QString TableCellText(const ImportedTable& table, int row, int column);

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
