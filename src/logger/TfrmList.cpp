#include "logger/TfrmList.h"

#include "ui/MainFrame.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmList::TfrmList(MainFrame& frame) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmList"));
    Grid1 = new QTableWidget(1, kColumns, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->verticalHeader()->hide();
    Grid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setShowGrid(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
}

QString TfrmList::cellText(int row, int column) const {
    const QTableWidgetItem* item = Grid1->item(row, column);
    return item ? item->text() : QString();
}

void TfrmList::setCellText(int row, int column, const QString& text) {
    if (row < 0 || column < 0 || column >= Grid1->columnCount())
        return;
    if (row >= Grid1->rowCount())
        Grid1->setRowCount(row + 1);
    QTableWidgetItem* item = Grid1->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        // The first column (the row number) is fixed, as the header is.
        if (column == 0)
            item->setBackground(palette().button());
        Grid1->setItem(row, column, item);
    }
    item->setText(text);
}

void TfrmList::showEvent(QShowEvent* event) {
    MdiChild::showEvent(event);
    FormShow();
}

void TfrmList::FormShow() {
    Grid1->setHorizontalHeaderLabels({QStringLiteral("No"), QStringLiteral("Date"), QStringLiteral("Time"),
                                      QStringLiteral("T1"), QStringLiteral("T2"), QStringLiteral("T3"),
                                      QStringLiteral("T4")});
}

} // namespace thermo4::ui
