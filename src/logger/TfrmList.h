#pragma once

#include "ui/MdiChild.h"

class QTableView;

namespace thermo4::formats {
class ImportedTable;
}

namespace thermo4::ui {

class TableListModel;

/// A table of readings opened from a text file: number, date, time, T1 to T4
/// (text, or "OL"). Row r of the grid (from 0) is the file's line r + 1; the
/// header row above the grid holds the column titles.
class TfrmList : public MdiChild {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    /// Row height (pixels).
    static constexpr int kRowHeight = 18;
    /// Size of a window opened from a file (pixels): every column in view.
    static constexpr int kDesignWidth = 640;
    static constexpr int kDesignHeight = 480;

    explicit TfrmList(MainFrame& frame);

    /// Rows of the grid below its header (a new window has one empty row).
    int rowCount() const;
    /// Text of a cell; empty for a cell that does not exist or holds nothing.
    QString cellText(int row, int column) const;
    /// Writes a cell, growing the grid by rows as needed.
    void setCellText(int row, int column, const QString& text);
    /// The cells of a row, column 0 first.
    QStringList rowCells(int row) const;
    /// The grid is not repainted while a file is read for setTable.
    void awaitTable();
    /// Shows the rows of a text file read back, replacing every row.
    void setTable(formats::ImportedTable table);

private:
    friend struct WindowTestAccess;

public:

    QTableView* Grid1 = nullptr;
    TableListModel* m_model = nullptr;
};

} // namespace thermo4::ui
