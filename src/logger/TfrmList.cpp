#include "logger/TfrmList.h"

#include "logger/TableListModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmList::TfrmList(MainFrame& frame) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmList"));
    m_model = new TableListModel(this);
    Grid1 = new QTableView(this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setModel(m_model);
    Grid1->verticalHeader()->hide();
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setShowGrid(true);
    // Number, date and time, then the four readings (pixels).
    const int widths[kColumns] = {50, 100, 100, 80, 80, 80, 80};
    for (int column = 0; column < kColumns; ++column)
        Grid1->setColumnWidth(column, widths[column]);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
}

int TfrmList::rowCount() const {
    return m_model->rowCount();
}

QString TfrmList::cellText(int row, int column) const {
    return m_model->text(row, column);
}

void TfrmList::setCellText(int row, int column, const QString& text) {
    m_model->setText(row, column, text);
}

QStringList TfrmList::rowCells(int row) const {
    QStringList cells;
    for (int column = 0; column < kColumns; ++column)
        cells << m_model->text(row, column);
    return cells;
}

void TfrmList::awaitTable() {
    Grid1->setUpdatesEnabled(false);
}

void TfrmList::setTable(formats::ImportedTable table) {
    m_model->setTable(std::move(table));
    Grid1->setUpdatesEnabled(true);
    Grid1->update();
}

} // namespace thermo4::ui
