#include "logger/TfrmList.h"

#include "app/TfrmMain.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmList::TfrmList(TfrmMain& main) : MdiChild(main) {
    setObjectName(QStringLiteral("frmList"));
    Grid1 = new QTableWidget(1, kColumns, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->verticalHeader()->setDefaultSectionSize(18);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Grid1);
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

void TfrmList::FormActivate() {
    frmMain().btnOutputToGraph->setEnabled(true);
}

} // namespace thermo4::ui
