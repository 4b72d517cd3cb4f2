#pragma once

#include "ui/MdiChild.h"

class QTableWidget;

namespace thermo4::ui {

/// A table of readings opened from a text file: number, date, time, T1 to T4
/// (text, or "OL"). Row r of the grid (from 0) is the file's line r + 1.
class TfrmList : public MdiChild {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    /// Row height (pixels).
    static constexpr int kRowHeight = 18;

    explicit TfrmList(MainFrame& frame);

    /// Text of a cell; empty for a cell that does not exist or holds nothing.
    QString cellText(int row, int column) const;
    /// Writes a cell, growing the grid by rows as needed.
    void setCellText(int row, int column, const QString& text);

    QTableWidget* Grid1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace thermo4::ui
