#pragma once

#include "formats/TextImport.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

namespace thermo4::ui {

/// The cells of a table window: number, date, time, T1 to T4. Rows read from a
/// text file are kept as the file's text (no copy per cell), so a table of
/// 100 000 lines fills at once; cells written one by one are kept beside them.
class TableListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;

    explicit TableListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// Text of a cell; empty for a cell that does not exist or holds nothing.
    QString text(int row, int column) const;
    /// Writes a cell, adding rows as needed.
    void setText(int row, int column, const QString& text);
    /// Replaces every row by the rows of a file read back: row r shows r + 1 in
    /// column 0 and the row's fields in columns 1 to 6. An empty table leaves
    /// one empty row, as a new window has.
    void setTable(formats::ImportedTable table);
    /// The header labels, column 0 first.
    static QStringList headerLabels();

private:
    formats::ImportedTable m_table;
    QHash<qint64, QString> m_written;
    int m_rows = 1;
};

} // namespace thermo4::ui
