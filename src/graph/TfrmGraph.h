#pragma once

#include "graph/TfrmSetupRealTime.h"
#include "ui/MdiChild.h"

#include "alarm/AlarmRule.h"
#include "core/MeterStatus.h"

#include <QColor>
#include <QDateTime>

#include <array>
#include <cstdint>
#include <span>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSplitter;
class QTableWidget;
class QToolBar;
class QToolButton;

namespace thermo4::chart {
class Graph1;
struct GraphPrintTexts;
} // namespace thermo4::chart
namespace thermo4::core {
class DataSetCollection;
}
namespace thermo4::formats {
struct JournalSample;
struct TableRow;
} // namespace thermo4::formats
namespace thermo4::session {
struct Reading;
}

namespace thermo4::ui {

class GraphAppearance;
class GraphTools;

/// A graph window: the four channels against time in its chart Graph1, with the
/// statistics fields above and below it. Its caption tells its role: "Real-Time Graph"
/// (fed by the live recording), "DataLogger" (downloaded data sets, listed in Grid2),
/// or any other text (a file or a table drawn as a graph).
class TfrmGraph : public MdiChild {
    Q_OBJECT
public:
    static constexpr const char* kRealTimeCaption = "Real-Time Graph";
    static constexpr const char* kDataLoggerCaption = "DataLogger";
    static constexpr int kDesignWidth = 1175;
    static constexpr int kDesignHeight = 612;
    /// Text of an AVG field before anything is computed.
    static constexpr const char* kNoStatistic = "***.* ";

    TfrmGraph(MainFrame& frame, const QString& caption);
    ~TfrmGraph() override;

    /// Creates the real-time window and prepares it for a recording: caption, Clear
    /// button, graph of 4 × 100 points from now over 110 s × spanFactor, and rate
    /// boxes showing realTimeRate.
    static TfrmGraph* OpenRealTimeGraph(MainFrame& frame);
    /// The window captioned "Real-Time Graph", or null.
    static TfrmGraph* realTimeWindow(const MainFrame& frame);
    /// The window captioned "DataLogger", or null.
    static TfrmGraph* dataLoggerWindow(const MainFrame& frame);

    /// Places the window at the top left of the frame's client area, as wide as it and
    /// kOpenedHeightMargin less high: where a graph opened from a file or a journal goes.
    void fillClientArea();
    static constexpr int kOpenedHeightMargin = 40;

    /// Shows the divider and the "Clear" button of the real-time window.
    void showClearButton();
    /// The mouse read-out is emptied (the mouse left the plotting area, or the data went).
    void clearReadOut();

    bool isRealTime() const;
    bool isDataLogger() const;

    // Graph set-up and data sets
    /// Prepares Graph1 (template or built-in look, blank data, X from xMin to xMax in
    /// days) and applies the tool availability rule.
    void SetupGraph(int subsets, float yMax, float yMin, double xMax, double xMin, int points);
    /// SetupGraph as the real-time graph has it: 4 curves of `points` points, X from xMin
    /// to xMax (days), no line gaps, no bars.
    void SetupRealTimeLook(double xMin, double xMax, int points);
    /// Cross and text tools only in the single view; "Split" shows the view in force.
    void ApplyToolAvailability();
    /// Shows data set k (from 0) of the logger's data sets with its statistics;
    /// nothing for an index outside the collection.
    void ShowDataSet(int k);
    /// Recomputes start time, rate boxes, point count and the MAX/MIN/AVG fields from Graph1.
    void FillGraphStatistics();
    /// Lists the data sets in the data-set table, one row per data set, and selects the first row.
    void listDataSets(const core::DataSetCollection& sets);
    /// Marks answer the mouse: a double click on one deletes it.
    void allowMarkHotSpots(bool allowed);

    // Graphs from files
    /// Reads the graph file at path (look, data and marks) into this window, which is not in the
    /// frame yet. On success the window joins the frame over its client area, with its statistics,
    /// the split box showing the file's view and deletable marks; otherwise false with the reason in
    /// error, and the window stays out of the frame.
    bool openGraphFile(const QString& path, QString* error);
    /// Draws one row of a table at point index `point` on all four curves; a channel without a
    /// value keeps what it had.
    void drawTableRow(int point, const formats::TableRow& row);
    /// Draws recovered samples as points 0, 1, ... of the four curves, a channel showing "OL"
    /// or "----" as a gap, and fills the statistics fields.
    void drawSamples(std::span<const formats::JournalSample> samples);
    /// After the points are drawn: the statistics fields and the graph's layout follow them.
    void finishDrawing();

    // Printing
    /// The caption and the header and statistics fields, as shown.
    chart::GraphPrintTexts printTexts() const;
    /// File > Print on this window: the customization step, the print dialog (a wide graph
    /// offered on a landscape page), then the graph and its fields on one page. True when the
    /// dialog was accepted; the printer keeps the orientation it had.
    bool print(QPrinter& printer);

    // Real-time recording
    /// One sample at t (days since 1899-12-30); channelState bit n: Tn+1 "OL", bit n+4:
    /// "----"; readings in °C.
    void AppendSample(double t, std::uint8_t channelState, const std::array<float, 4>& readings);
    /// A sample the recording took, appended at its time.
    void drawSample(const session::Reading& sample);
    /// Samples appended since the recording started or the graph was cleared.
    int sampleCount() const { return m_sampleCount; }
    /// Takes the first count points already in Graph1's cells as the samples recorded so far.
    void adoptSamples(int count) { m_sampleCount = count; }
    /// Empties the graph for a recording of `points` samples starting at now (days).
    void StartRecording(int points, double now);
    /// Cuts the graph to the samples taken, ends its time axis at now (days) and shows the averages.
    void StopRecording(double now);
    /// Blanks the data, statistics fields and user marks.
    void ClearGraph();
    /// Saves Graph1 through the save dialog; true when a file was written.
    bool SaveGraph();

    // Alarms
    /// Draws the limits of the channels whose alarms are on as dashed red lines on their axes.
    void showAlarmLimits(const alarm::AlarmSettings& settings);
    /// A text mark at time (an alarm's beginning or end), stacked near the top of the graph
    /// by channel (0..3, -1 for the meter) so that marks of one moment stay apart. Returns its index.
    int markAlarm(const QDateTime& time, int channel, const QString& text);

    /// Seconds chosen in the rate boxes (minutes item × 60 + seconds item).
    int rateBoxSeconds() const;
    /// Shows a rate in the boxes; minutes beyond the list show as a hint in an empty box.
    void setRateBoxes(int seconds);
    /// The items chosen in the rate boxes (-1: an empty box), and choosing them.
    RateIndexes rateBoxIndexes() const;
    void setRateBoxIndexes(RateIndexes indexes);

    // Handlers
    void Grid2Click();
    void chkSplitClick();
    void tbntClrClick();
    /// Rate boxes of the real-time window changed by the user.
    void ComboBox1Change();
    void UndoZoomClick();
    void Graph1ZoomIn();

    bool FormCloseQuery() override;
    void FormClose() override;

    /// Rows of the data-set table in sight when it sits above the graph: at least, and at most.
    static constexpr int kStackedTableMinRows = 3;
    static constexpr int kStackedTableRows = 5;

signals:
    /// SaveGraph wrote the graph to the file at path.
    void graphSaved(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The tools and the appearance commands are parts of the window kept in files of their own.
    friend class GraphAppearance;
    friend class GraphTools;
    friend struct WindowTestAccess;

    // Controls (documented names)
    QWidget* pnlDataSets = nullptr;
    QTableWidget* Grid2 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;  // "Toggle Graph Statistic"
    QToolButton* ToolButton2 = nullptr;  // "Toggle Line Cursor Statistic"
    QToolButton* ToolButton4 = nullptr;  // "Normal Cursor"
    QToolButton* ToolButton5 = nullptr;  // "Draw A Cross On Graph"
    QToolButton* ToolButton9 = nullptr;  // "Text"
    QToolButton* ToolButton15 = nullptr; // "Set Annotation Color"
    QAction* clearDivider = nullptr;     // the divider before "Clear"
    QToolButton* tbntClr = nullptr;      // "Clear", real-time window only
    QAction* tbntClrAction = nullptr;
    QPushButton* UndoZoom = nullptr;
    QCheckBox* chkSplit = nullptr;
    QPushButton* Button1 = nullptr;        // "Graph Option"
    QPushButton* btnChangeScale = nullptr; // "Y Axis"
    QPushButton* Button3 = nullptr;        // "Font"

    QWidget* pnlGraphStatistic = nullptr;
    QLineEdit* txtStartTime = nullptr;
    QWidget* pnlSamplingRate = nullptr;
    QComboBox* ComboBox1 = nullptr; // minutes
    QComboBox* ComboBox2 = nullptr; // seconds
    QLineEdit* txtDataNo = nullptr;
    QPushButton* Button2 = nullptr; // "Show MAX/MIN on Graph"

    QWidget* pnlGraph = nullptr;
    chart::Graph1* Graph1 = nullptr;
    QLabel* Panel12 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* pnlStatistic = nullptr;
    /// txtT1Max .. txtT4Max, and the MIN and AVG fields alike.
    std::array<QLineEdit*, 4> txtMax{};
    std::array<QLineEdit*, 4> txtMin{};
    std::array<QLineEdit*, 4> txtAvg{};

    /// Start colour of the annotation colour dialog: annoColor when the window was created.
    QColor annoDialogColor;

    /// Running extremes of the current recording, T1..T4.
    std::array<float, 4> liveMax{};
    std::array<float, 4> liveMin{};

    /// Handlers of the reading and marking tools, and of the appearance commands (children).
    GraphTools* tools = nullptr;
    GraphAppearance* appearance = nullptr;

    void FormCreate();
    void createToolBar();
    void createStatisticHeader();
    void createStatisticPanel();
    void createDataSetPanel();
    void keepToolRowWhole();
    /// Sizes Grid2's columns to their texts in the table's font and widens pnlDataSets to them.
    void fitDataSetTable();
    /// The data-set table beside the graph when the window is wide enough for both, otherwise
    /// above it, so that its columns never need sideways scrolling.
    void arrangeDataSets();
    /// Height of pnlDataSets showing its title, the table's header and `rows` rows.
    int stackedTableHeight(int rows) const;
    void emptyStatisticFields();
    /// The Clear button of the real-time window follows the recording.
    void followRecording();

    int m_sampleCount = 0;
    int m_dataSetsWidth = 0; // pixels pnlDataSets needs to show every column
};

} // namespace thermo4::ui
