// The graph window: its controls and their layout, its roles, the chart's set-up and statistics,
// the rate boxes and closing.
#include "graph/TfrmGraph.h"

#include "chart/Graph1.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"
#include "core/TDateTime.h"
#include "graph/GraphAppearance.h"
#include "graph/GraphSetup.h"
#include "graph/GraphTools.h"
#include "graph/TfrmSetupRealTime.h"
#include "session/MeterSession.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace thermo4::ui {

namespace {
constexpr int kGraphStatisticHeight = 40;
constexpr int kStatisticHeight = 130;
// The mouse read-out's strip (pixels; taller for a larger font).
constexpr int kReadOutWidth = 167;
constexpr int kReadOutHeight = 21;
// Smallest chart area: four split axes still hold a few readable labels each (pixels).
constexpr int kMinGraphWidth = 360;
constexpr int kMinGraphHeight = 180;

QLineEdit* displayField(QWidget* parent, const QString& name, const QString& text, int width) {
    auto* field = new QLineEdit(text, parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    if (width > 0)
        field->setFixedWidth(width);
    return field;
}

/// Keeps field wide enough for text in its own font.
void fitWidthTo(QLineEdit* field, const QString& text) {
    constexpr int kFramePadding = 12; // frame and text margins of a line edit (pixels)
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance(text) + kFramePadding);
}

void showIndex(QComboBox* box, int index) {
    if (index >= 0 && index < box->count()) {
        box->setCurrentIndex(index);
        return;
    }
    // A number the list does not hold shows as the hint of an empty box.
    box->setPlaceholderText(index >= 0 ? QString::number(index) : QString());
    box->setCurrentIndex(-1);
}

QColor colorFromBgr(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}
} // namespace

TfrmGraph::TfrmGraph(MainFrame& frame, const QString& caption) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(caption);
    liveMax.fill(core::kMaxStart);
    liveMin.fill(core::kMinStart);

    createDataSetPanel();
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    createToolBar();
    rightLayout->addWidget(ToolBar1);
    createStatisticHeader();
    rightLayout->addWidget(pnlGraphStatistic);

    pnlGraph = new QWidget(right);
    pnlGraph->setObjectName(QStringLiteral("pnlGraph"));
    auto* graphLayout = new QVBoxLayout(pnlGraph);
    graphLayout->setContentsMargins(0, 0, 0, 0);
    graphLayout->setSpacing(0);
    // The mouse read-out has its own opaque strip along the graph's top-left corner, so that
    // it never covers the legend or the curves.
    Panel12 = new QLabel(pnlGraph);
    Panel12->setObjectName(QStringLiteral("Panel12"));
    Panel12->setAutoFillBackground(true);
    Panel12->setContentsMargins(4, 0, 4, 0);
    Panel12->setMinimumWidth(kReadOutWidth);
    Panel12->setFixedHeight(std::max(kReadOutHeight, Panel12->fontMetrics().height() + 4));
    graphLayout->addWidget(Panel12);
    Graph1 = new chart::Graph1(pnlGraph);
    Graph1->setObjectName(QStringLiteral("Graph1"));
    Graph1->setMinimumSize(kMinGraphWidth, kMinGraphHeight);
    graphLayout->addWidget(Graph1, 1);

    createStatisticPanel();
    Splitter1 = new QSplitter(Qt::Vertical, right);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(pnlGraph);
    Splitter1->addWidget(pnlStatistic);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setChildrenCollapsible(false);
    rightLayout->addWidget(Splitter1, 1);

    Splitter2 = new QSplitter(Qt::Horizontal, this);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->addWidget(pnlDataSets);
    Splitter2->addWidget(right);
    // The data-set table keeps its width when the window is resized; the graph takes the rest.
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setChildrenCollapsible(false);
    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(Splitter2);
    Splitter1->setSizes({kDesignHeight - kStatisticHeight, kStatisticHeight});
    pnlDataSets->setVisible(isDataLogger());
    resize(kDesignWidth, kDesignHeight);

    connect(Grid2, &QTableWidget::cellClicked, this, [this] { Grid2Click(); });
    connect(chkSplit, &QCheckBox::clicked, this, &TfrmGraph::chkSplitClick);
    connect(tbntClr, &QToolButton::clicked, this, &TfrmGraph::tbntClrClick);
    connect(UndoZoom, &QPushButton::clicked, this, &TfrmGraph::UndoZoomClick);
    connect(Graph1, &chart::Graph1::onZoomIn, this, &TfrmGraph::Graph1ZoomIn);
    // activated: only the user's choice, not the boxes being set from the data.
    connect(ComboBox1, &QComboBox::activated, this, &TfrmGraph::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TfrmGraph::ComboBox1Change);
    tools = new GraphTools(*this);
    appearance = new GraphAppearance(*this);
    FormCreate();
}

TfrmGraph::~TfrmGraph() {
    // The tools filter events of this window and its chart, and Qt still sends some (a last leave,
    // hide events) while the base class takes the widgets down: by then this object is a plain
    // QWidget, so the tools go first.
    delete tools;
    tools = nullptr;
}

void TfrmGraph::createToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto tool = [this](const char* name, const char* hint, const char* text, bool checkable) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QLatin1String(name));
        button->setToolTip(QLatin1String(hint));
        button->setText(QLatin1String(text));
        button->setCheckable(checkable);
        ToolBar1->addWidget(button);
        return button;
    };
    const auto push = [this](const char* name, const char* text) {
        auto* button = new QPushButton(QLatin1String(text), ToolBar1);
        button->setObjectName(QLatin1String(name));
        ToolBar1->addWidget(button);
        return button;
    };
    ToolButton1 = tool("ToolButton1", "Toggle Graph Statistic", "Statistic", true);
    ToolButton1->setChecked(true);
    ToolButton2 = tool("ToolButton2", "Toggle Line Cursor Statistic", "Line Cursor", true);
    ToolButton2->setChecked(true);
    ToolBar1->addSeparator();
    ToolButton4 = tool("ToolButton4", "Normal Cursor", "Normal", true);
    ToolButton5 = tool("ToolButton5", "Draw A Cross On Graph", "Cross", true);
    ToolButton9 = tool("ToolButton9", "Text", "Text", true);
    for (QToolButton* b : {ToolButton4, ToolButton5, ToolButton9})
        b->setAutoExclusive(true);
    ToolButton4->setChecked(true);
    ToolButton15 = tool("ToolButton15", "Set Annotation Color", "Color", false);
    ToolBar1->addSeparator();
    clearDivider = ToolBar1->addSeparator();
    tbntClr = new QToolButton(ToolBar1);
    tbntClr->setObjectName(QStringLiteral("tbntClr"));
    tbntClr->setToolTip(QStringLiteral("Clear"));
    tbntClr->setText(QStringLiteral("Clear"));
    tbntClrAction = ToolBar1->addWidget(tbntClr);
    clearDivider->setVisible(false);
    tbntClrAction->setVisible(false);
    UndoZoom = push("UndoZoom", "Undo Zoom");
    UndoZoom->setEnabled(false);
    chkSplit = new QCheckBox(QStringLiteral("Split"), ToolBar1);
    chkSplit->setObjectName(QStringLiteral("chkSplit"));
    chkSplit->setChecked(true);
    ToolBar1->addWidget(chkSplit);
    Button1 = push("Button1", "Graph Option");
    Button1->setToolTip(QStringLiteral("Graph Customization"));
    btnChangeScale = push("btnChangeScale", "Y Axis");
    btnChangeScale->setToolTip(QStringLiteral("set the maximum and minimum extent of the left y axis."));
    Button3 = push("Button3", "Font");
    keepToolRowWhole();
}

void TfrmGraph::keepToolRowWhole() {
    // A tool bar narrower than its tools moves the last ones into an overflow menu: the
    // window may not get that narrow.
    ToolBar1->setMinimumWidth(ToolBar1->sizeHint().width());
}

void TfrmGraph::fillClientArea() {
    const QSize client = frame().clientSize();
    place(0, 0, client.width(), client.height() - kOpenedHeightMargin);
}

void TfrmGraph::clearReadOut() {
    Panel12->clear();
}

void TfrmGraph::showClearButton() {
    clearDivider->setVisible(true);
    tbntClrAction->setVisible(true);
    keepToolRowWhole();
}

void TfrmGraph::createStatisticHeader() {
    pnlGraphStatistic = new QWidget(this);
    pnlGraphStatistic->setObjectName(QStringLiteral("pnlGraphStatistic"));
    pnlGraphStatistic->setFixedHeight(kGraphStatisticHeight);
    auto* row = new QHBoxLayout(pnlGraphStatistic);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(new QLabel(QStringLiteral("Start Time"), pnlGraphStatistic));
    txtStartTime = displayField(pnlGraphStatistic, QStringLiteral("txtStartTime"), QString(), 170);
    row->addWidget(txtStartTime);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Sampling\nRate"), pnlGraphStatistic));
    pnlSamplingRate = new QWidget(pnlGraphStatistic);
    pnlSamplingRate->setObjectName(QStringLiteral("pnlSamplingRate"));
    auto* rate = new QHBoxLayout(pnlSamplingRate);
    rate->setContentsMargins(0, 0, 0, 0);
    ComboBox1 = TfrmSetupRealTime::createRateBox(pnlSamplingRate, "ComboBox1", 0);
    ComboBox2 = TfrmSetupRealTime::createRateBox(pnlSamplingRate, "ComboBox2", 2);
    rate->addWidget(ComboBox1);
    rate->addWidget(ComboBox2);
    rate->addWidget(new QLabel(QStringLiteral("mm:ss"), pnlSamplingRate));
    pnlSamplingRate->setEnabled(false);
    row->addWidget(pnlSamplingRate);
    row->addSpacing(12);
    row->addWidget(new QLabel(QStringLiteral("Data No."), pnlGraphStatistic));
    txtDataNo = displayField(pnlGraphStatistic, QStringLiteral("txtDataNo"), QStringLiteral("0"), 70);
    row->addWidget(txtDataNo);
    row->addSpacing(12);
    Button2 = new QPushButton(QStringLiteral("Show MAX/MIN on Graph"), pnlGraphStatistic);
    Button2->setObjectName(QStringLiteral("Button2"));
    row->addWidget(Button2);
    row->addStretch();
}

void TfrmGraph::createStatisticPanel() {
    pnlStatistic = new QWidget(this);
    pnlStatistic->setObjectName(QStringLiteral("pnlStatistic"));
    auto* grid = new QGridLayout(pnlStatistic);
    grid->setContentsMargins(4, 4, 4, 4);
    // The widest texts the fields show: a negative three-digit reading with its date and time
    // (readings beyond −328 or 2500 show "OL").
    const QLocale locale;
    const double wideTime = core::TDateTimeFromDateTime(QDateTime(QDate(2000, 12, 28), QTime(23, 58, 58)));
    const QString wideExtreme = core::ExtremeText(-288.8f, wideTime, locale);
    const QString wideAverage = core::AverageText(-1888.888, 1, 3, locale);
    for (int k = 0; k < 4; ++k) {
        const QString channel = QStringLiteral("T%1").arg(k + 1);
        const auto std = std::size_t(k);
        txtMax[std] = displayField(pnlStatistic, QStringLiteral("txt%1Max").arg(channel), QString(), 0);
        txtMin[std] = displayField(pnlStatistic, QStringLiteral("txt%1Min").arg(channel), QString(), 0);
        txtAvg[std] = displayField(pnlStatistic, QStringLiteral("txt%1Avg").arg(channel),
                                   QString::fromLatin1(kNoStatistic), 0);
        fitWidthTo(txtMax[std], wideExtreme);
        fitWidthTo(txtMin[std], wideExtreme);
        fitWidthTo(txtAvg[std], wideAverage);
        grid->addWidget(new QLabel(channel + QStringLiteral(" MAX "), pnlStatistic), k, 0);
        grid->addWidget(txtMax[std], k, 1);
        grid->addWidget(new QLabel(QStringLiteral("MIN"), pnlStatistic), k, 2);
        grid->addWidget(txtMin[std], k, 3);
        grid->addWidget(new QLabel(QStringLiteral("AVG"), pnlStatistic), k, 4);
        grid->addWidget(txtAvg[std], k, 5);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 3);
    grid->setColumnStretch(5, 2);
}

void TfrmGraph::FormCreate() {
    for (int c = 0; c < core::kDataSetTableColumns; ++c) {
        Grid2->setHorizontalHeaderItem(
            c, new QTableWidgetItem(QString::fromLatin1(core::kDataSetTableHeader[c])));
        Grid2->setItem(0, c, new QTableWidgetItem(QString()));
    }
    fitDataSetTable();
    annoDialogColor = colorFromBgr(frame().graphShared().annoColor);
}

bool TfrmGraph::isRealTime() const {
    return windowTitle() == QLatin1String(kRealTimeCaption);
}

bool TfrmGraph::isDataLogger() const {
    return windowTitle() == QLatin1String(kDataLoggerCaption);
}

TfrmGraph* TfrmGraph::realTimeWindow(const MainFrame& frame) {
    for (MdiChild* child : frame.children()) {
        if (auto* graph = qobject_cast<TfrmGraph*>(child); graph && graph->isRealTime())
            return graph;
    }
    return nullptr;
}

TfrmGraph* TfrmGraph::dataLoggerWindow(const MainFrame& frame) {
    for (MdiChild* child : frame.children()) {
        if (auto* graph = qobject_cast<TfrmGraph*>(child); graph && graph->isDataLogger())
            return graph;
    }
    return nullptr;
}

void TfrmGraph::SetupGraph(int subsets, float yMax, float yMin, double xMax, double xMin, int points) {
    ui::SetupGraph(*Graph1, subsets, yMax, yMin, xMax, xMin, points, services().paths.templateFile(),
                   prompts(), services().paths.dataDirProblem());
    ApplyToolAvailability();
}

void TfrmGraph::ApplyToolAvailability() {
    const bool single = AnnotationToolsAllowed(*Graph1);
    ToolButton5->setEnabled(single);
    ToolButton9->setEnabled(single);
    chkSplit->setChecked(!single);
}

void TfrmGraph::FillGraphStatistics() {
    const chart::GraphState& st = Graph1->state();
    const core::GraphStatistics stats = core::ComputeGraphStatistics(st.x, st.y, Graph1->points());
    const QLocale locale;
    txtStartTime->setText(core::DateTimeText(stats.startTime, locale));
    setRateBoxes(stats.rateSeconds);
    txtDataNo->setText(QString::number(stats.points));
    for (std::size_t k = 0; k < stats.channels.size(); ++k) {
        const core::ChannelStatistics& c = stats.channels[k];
        txtMax[k]->setText(core::ExtremeText(c.max, c.maxTime, locale));
        txtMin[k]->setText(core::ExtremeText(c.min, c.minTime, locale));
        txtAvg[k]->setText(core::AverageText(c.sum, c.count, 1, locale));
    }
}

void TfrmGraph::allowMarkHotSpots(bool allowed) {
    Graph1->setAllowGraphAnnotHotSpots(allowed);
}

int TfrmGraph::rateBoxSeconds() const {
    return std::max(0, ComboBox1->currentIndex()) * 60 + std::max(0, ComboBox2->currentIndex());
}

void TfrmGraph::setRateBoxes(int seconds) {
    showIndex(ComboBox1, seconds < 0 ? -1 : seconds / 60);
    showIndex(ComboBox2, seconds < 0 ? -1 : seconds % 60);
}

RateIndexes TfrmGraph::rateBoxIndexes() const {
    return {ComboBox1->currentIndex(), ComboBox2->currentIndex()};
}

void TfrmGraph::setRateBoxIndexes(RateIndexes indexes) {
    ComboBox1->setCurrentIndex(indexes.minutes);
    ComboBox2->setCurrentIndex(indexes.seconds);
}

void TfrmGraph::chkSplitClick() {
    chart::Graph1& g = *Graph1;
    if (chkSplit->isChecked()) {
        for (int axis = 0; axis < 4; ++axis) {
            g.setMultiAxesSubsets(axis, 1);
            g.setMultiAxesProportions(axis, 0.25);
        }
        ToolButton5->setEnabled(false);
        ToolButton9->setEnabled(false);
        g.setArrowCursor(1);
        frame().graphShared().clickTool = GraphShared::kNormalTool;
        ToolButton4->setChecked(true);
    } else {
        g.setMultiAxesSubsets(-1, 0);
        g.setMultiAxesProportions(0, 1.0);
        ToolButton5->setEnabled(true);
        ToolButton9->setEnabled(true);
    }
    g.redraw();
    g.reinitAndReset();
}

void TfrmGraph::UndoZoomClick() {
    Graph1->undoZoom();
    Graph1->resetImage();
    UndoZoom->setEnabled(false);
}

void TfrmGraph::Graph1ZoomIn() {
    UndoZoom->setEnabled(true);
}

bool TfrmGraph::FormCloseQuery() {
    LoggerData& logger = frame().loggerData();
    session::RecordingState& recording = session().recording();
    if (logger.loggerUnsaved && isDataLogger()) {
        const Answer answer = prompts().question(QStringLiteral("Save DataLogger Data ?"));
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes) {
            // The File menu's Save works on the active window: make sure it is this one.
            frame().activateChild(this);
            if (!frame().saveActiveChild())
                return false; // not saved: keep the window, so that closing asks again
        }
    }
    if (recording.realTimeUnsaved && isRealTime()) {
        const Answer answer = prompts().question(QStringLiteral("Save Real-Time Graph ?"));
        if (answer == Answer::Cancel)
            return false;
        if (answer == Answer::Yes && !SaveGraph())
            return false; // not saved: keep the window and its samples
        recording.realTimeUnsaved = false;
    }
    return true;
}

void TfrmGraph::FormClose() {
    frame().loggerData().loggerUnsaved = false;
    if (isRealTime()) {
        m_sampleCount = 0;
        session().recording().stop();
        session().recording().noteDiscarded();
    }
}

} // namespace thermo4::ui
