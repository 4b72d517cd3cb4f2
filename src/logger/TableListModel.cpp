#include "logger/TableListModel.h"

#include "formats/TablePrintout.h"

#include <QGuiApplication>
#include <QPalette>

namespace thermo4::ui {

namespace {
qint64 cellKey(int row, int column) {
    return qint64(row) * TableListModel::kColumns + column;
}
} // namespace

TableListModel::TableListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TableListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int TableListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QStringList TableListModel::headerLabels() {
    return formats::TableColumnTitles();
}

QVariant TableListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    // The first column (the row number) is fixed, as the header is.
    if (role == Qt::BackgroundRole && index.column() == 0)
        return QGuiApplication::palette().button();
    return {};
}

QVariant TableListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns)
        return headerLabels().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

QString TableListModel::text(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= kColumns)
        return {};
    if (const auto written = m_written.constFind(cellKey(row, column)); written != m_written.cend())
        return *written;
    return formats::TableCellText(m_table, row, column);
}

void TableListModel::setText(int row, int column, const QString& text) {
    if (row < 0 || column < 0 || column >= kColumns)
        return;
    if (row >= m_rows) {
        beginInsertRows({}, m_rows, row);
        m_rows = row + 1;
        endInsertRows();
    }
    m_written.insert(cellKey(row, column), text);
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void TableListModel::setTable(formats::ImportedTable table) {
    beginResetModel();
    m_table = std::move(table);
    m_written.clear();
    m_rows = std::max(1, m_table.rowCount());
    endResetModel();
}

} // namespace thermo4::ui
