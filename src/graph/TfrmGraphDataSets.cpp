// The data-set table of the DataLogger window: building and sizing it, placing it beside or above
// the graph, listing the data sets and showing the one clicked.
#include "graph/TfrmGraph.h"

#include "chart/PrepareGraph.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"
#include "core/TDateTime.h"
#include "graph/GraphSetup.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/SharedData.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace thermo4::ui {

namespace {
// Room around a cell's text: focus frame and margins (pixels).
constexpr int kCellPadding = 12;
/// Columns selected in the first row of the data-set table once it is filled.
constexpr int kSelectedColumns = 5;
} // namespace

void TfrmGraph::createDataSetPanel() {
    pnlDataSets = new QWidget(this);
    pnlDataSets->setObjectName(QStringLiteral("pnlDataSets"));
    auto* layout = new QVBoxLayout(pnlDataSets);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* title = new QLabel(QStringLiteral("Data Sets"), pnlDataSets);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    Grid2 = new QTableWidget(1, core::kDataSetTableColumns, pnlDataSets);
    Grid2->setObjectName(QStringLiteral("Grid2"));
    Grid2->verticalHeader()->hide();
    Grid2->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid2->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid2->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid2->setCursor(Qt::PointingHandCursor);
    layout->addWidget(Grid2);
}

void TfrmGraph::fitDataSetTable() {
    // A row as wide as any the table shows: the largest numbers and a two-digit date.
    core::DataSet wide;
    wide.startTime = core::TDateTimeFromDateTime(QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58)));
    wide.intervalSeconds = 59 * 60 + 59;
    wide.pointCount = 65535;
    wide.offsets = {-128, -128, -128, -128};
    const auto sample = core::DataSetTableRow(4000, wide, QLocale());
    const QFontMetrics cells(Grid2->font());
    QHeaderView* header = Grid2->horizontalHeader();
    int total = 0;
    for (int c = 0; c < core::kDataSetTableColumns; ++c) {
        const int width = std::max(header->sectionSizeHint(c),
                                   cells.horizontalAdvance(sample[std::size_t(c)]) + kCellPadding);
        Grid2->setColumnWidth(c, width);
        total += width;
    }
    Grid2->setWordWrap(false);
    // The panel shows every column, beside a vertical scroll bar, without scrolling sideways.
    m_dataSetsWidth = total + 2 * Grid2->frameWidth() + Grid2->verticalScrollBar()->sizeHint().width();
    Splitter2->setSizes({m_dataSetsWidth, std::max(0, kDesignWidth - m_dataSetsWidth)});
    if (isDataLogger()) {
        // Narrower than table and graph side by side, the window puts the table above the graph:
        // its least size is that of the stacked pair, which the pair beside each other exceeds.
        const QSize graph = Splitter2->widget(1)->minimumSizeHint();
        Splitter2->setMinimumSize(std::max(m_dataSetsWidth, graph.width()),
                                  stackedTableHeight(kStackedTableMinRows) + Splitter2->handleWidth() +
                                      graph.height());
    }
}

int TfrmGraph::stackedTableHeight(int rows) const {
    return pnlDataSets->layout()->itemAt(0)->sizeHint().height() +
           Grid2->horizontalHeader()->sizeHint().height() +
           rows * Grid2->verticalHeader()->defaultSectionSize() + 2 * Grid2->frameWidth();
}

void TfrmGraph::arrangeDataSets() {
    const int graphWidth = Splitter2->widget(1)->minimumSizeHint().width();
    const bool beside = Splitter2->width() >= m_dataSetsWidth + Splitter2->handleWidth() + graphWidth;
    const Qt::Orientation wanted = beside ? Qt::Horizontal : Qt::Vertical;
    if (Splitter2->orientation() == wanted)
        return;
    Splitter2->setOrientation(wanted);
    if (beside) {
        Splitter2->setSizes({m_dataSetsWidth, std::max(0, Splitter2->width() - m_dataSetsWidth)});
        return;
    }
    // The table's rows, as many as fit above the graph's least height, up to kStackedTableRows.
    const int room =
        Splitter2->height() - Splitter2->handleWidth() - Splitter2->widget(1)->minimumSizeHint().height();
    int rows = std::clamp(Grid2->rowCount(), kStackedTableMinRows, kStackedTableRows);
    while (rows > kStackedTableMinRows && stackedTableHeight(rows) > room)
        --rows;
    const int table = stackedTableHeight(rows);
    Splitter2->setSizes({table, std::max(0, Splitter2->height() - table)});
}

void TfrmGraph::resizeEvent(QResizeEvent* event) {
    MdiChild::resizeEvent(event);
    if (isDataLogger())
        arrangeDataSets();
}

void TfrmGraph::ShowDataSet(int k) {
    const core::DataSetCollection& sets = frame().loggerData().dataSets;
    if (k < 0 || k >= sets.count())
        return;
    const core::DataSet& set = sets.header(k);
    clearReadOut();
    const bool fromTemplate = LoadGraphTemplate(*Graph1, services().paths.templateFile(), prompts(),
                                                services().paths.dataDirProblem());
    chart::PrepareDataSetGraph(*Graph1, sets, k, !fromTemplate);
    ApplyToolAvailability();
    FillGraphStatistics();
    txtStartTime->setText(core::DateTimeText(set.startTime, QLocale()));
    setRateBoxes(set.intervalSeconds);
    txtDataNo->setText(QString::number(set.pointCount));
}

void TfrmGraph::listDataSets(const core::DataSetCollection& sets) {
    const QLocale locale;
    Grid2->clearSelection();
    Grid2->setRowCount(sets.count());
    for (int i = 0; i < sets.count(); ++i) {
        const auto row = core::DataSetTableRow(i + 1, sets.header(i), locale);
        for (int c = 0; c < core::kDataSetTableColumns; ++c) {
            auto* item = new QTableWidgetItem(row[static_cast<std::size_t>(c)]);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            Grid2->setItem(i, c, item);
        }
    }
    if (sets.count() > 0) {
        Grid2->setCurrentCell(0, 0);
        Grid2->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, kSelectedColumns - 1), true);
    }
}

void TfrmGraph::Grid2Click() {
    const QList<QTableWidgetSelectionRange> ranges = Grid2->selectedRanges();
    int row = Grid2->currentRow();
    for (const QTableWidgetSelectionRange& range : ranges)
        row = std::min(row < 0 ? range.topRow() : row, range.topRow());
    const QTableWidgetItem* date = row >= 0 ? Grid2->item(row, 1) : nullptr;
    if (date && !date->text().isEmpty())
        ShowDataSet(row);
}

} // namespace thermo4::ui
