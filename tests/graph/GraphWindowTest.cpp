#include "GraphRig.h"

#include "chart/StatisticsTable.h"
#include "core/DataSetTable.h"
#include "core/GraphStatistics.h"
#include "graph/GraphSetup.h"
#include "support/WindowTestAccess.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

namespace thermo4::ui::test {
namespace {

using Kind = ScriptedPrompts::Kind;

class GraphWindowTest : public GraphRig {
protected:
    /// A graph window of another role (a file or table graph, or the data-logger window).
    TfrmGraph& addGraph(const QString& caption) {
        auto* graph = new TfrmGraph(*m_window, caption);
        m_window->addChild(graph);
        return *graph;
    }

    /// Two data sets: 3 points every 2 s from t0, then 10 points every 60 s one day later.
    void loadDataSets() {
        std::vector<core::DataSet> headers(2);
        headers[0] = {.startTime = m_t0, .intervalSeconds = 2, .pointCount = 3, .celsius = true};
        headers[1] = {.startTime = m_t0 + 1.0, .intervalSeconds = 60, .pointCount = 10, .celsius = true};
        std::vector<float> values;
        std::vector<double> times;
        for (const core::DataSet& set : headers) {
            for (int i = 0; i < set.pointCount; ++i) {
                for (int c = 0; c < 4; ++c) {
                    values.push_back(float(10 * c + i));
                    times.push_back(set.startTime + i * set.intervalSeconds * kSecond);
                }
            }
        }
        logger().dataSets = core::DataSetCollection(headers, values, times);
    }

    const double m_t0 = 45352.5; // 2024-03-01 12:00
};

struct TemplateCase {
    const char* name;
    /// Writes the template (or not) into the rig.
    std::function<void(GraphWindowTest&)> prepare;
    int informations;
    int errors;
    int axes;
    double yMin, yMax;
    bool toolsAllowed;
};

class TemplateTest : public GraphWindowTest, public ::testing::WithParamInterface<TemplateCase> {
public:
    void write(const std::function<void(chart::Graph1&)>& change) { writeTemplate(change); }
    QString templatePath() const { return m_services.paths.templateFile(); }
};

TEST_P(TemplateTest, RealTimeWindowTakesItsLookFromTheTemplate) {
    const TemplateCase& c = GetParam();
    c.prepare(*this);
    open();
    const QStringList infos = m_prompts.texts(Kind::Information);
    ASSERT_EQ(infos.size(), c.informations);
    if (c.informations > 0) {
        EXPECT_EQ(infos.first(), MissingTemplateMessage(templatePath()));
    }
    EXPECT_EQ(m_prompts.texts(Kind::Error).size(), c.errors);

    chart::Graph1& g = realTimeChart();
    EXPECT_EQ(g.axisRectCount(), c.axes);
    for (int axis = 0; axis < c.axes; ++axis) {
        g.setWorkingAxis(axis);
        EXPECT_DOUBLE_EQ(g.manualMinY(), c.yMin) << "axis " << axis;
        EXPECT_DOUBLE_EQ(g.manualMaxY(), c.yMax) << "axis " << axis;
    }
    EXPECT_EQ(widgets(realTime()).ToolButton5->isEnabled(), c.toolsAllowed);
    EXPECT_EQ(widgets(realTime()).ToolButton9->isEnabled(), c.toolsAllowed);
    EXPECT_EQ(widgets(realTime()).chkSplit->isChecked(), !c.toolsAllowed);
    // Whatever the template held, the real-time graph starts blank with 4 × 100 points.
    EXPECT_EQ(g.subsets(), 4);
    EXPECT_EQ(g.points(), 100);
    EXPECT_EQ(g.yData(3, 99), 9999.0f);
    EXPECT_DOUBLE_EQ(g.xDataII(0, 0), 0.0);
    EXPECT_DOUBLE_EQ(g.manualMinX(), now());
}

INSTANTIATE_TEST_SUITE_P(
    GraphSetup, TemplateTest,
    ::testing::Values(TemplateCase{"missing", [](GraphWindowTest&) {}, 1, 0, 4, -10.0, 50.0, false},
                      TemplateCase{"shipped",
                                   [](GraphWindowTest& t) { static_cast<TemplateTest&>(t).write({}); }, 0, 0,
                                   4, -20.0, 100.0, false},
                      TemplateCase{"singleView",
                                   [](GraphWindowTest& t) {
                                       static_cast<TemplateTest&>(t).write([](chart::Graph1& g) {
                                           g.setMultiAxesSubsets(-1, 0);
                                           g.setMultiAxesProportions(0, 1.0);
                                           g.setWorkingAxis(0);
                                           g.setManualMinY(0.0);
                                           g.setManualMaxY(30.0);
                                           g.setSubsets(4);
                                           g.setPoints(3);
                                           g.setYData(0, 1, 25.0f);
                                       });
                                   },
                                   0, 0, 1, 0.0, 30.0, true},
                      // A damaged template is reported and the built-in look is used.
                      TemplateCase{"corrupt",
                                   [](GraphWindowTest& t) {
                                       const QString path = static_cast<TemplateTest&>(t).templatePath();
                                       QDir().mkpath(QFileInfo(path).absolutePath());
                                       QFile file(path);
                                       file.open(QIODevice::WriteOnly);
                                       file.write(QByteArray("\x10\x00\x00\x00not a graph state", 21));
                                   },
                                   0, 1, 4, -10.0, 50.0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GraphWindowTest, ShippedTemplateGivesTheBuiltInLookWithoutTheMessage) {
    chart::Graph1 shipped;
    QString error;
    ASSERT_TRUE(chart::LoadGraphState(shipped, QStringLiteral(THERMO4_SHIPPED_TEMPLATE), &error))
        << error.toStdString();
    EXPECT_EQ(shipped.graphBackColor(), QColor(Qt::black));
    EXPECT_EQ(shipped.subsetLabel(3), QStringLiteral("T4"));
    EXPECT_EQ(shipped.subsetColor(1), QColor(0, 255, 255));
    EXPECT_EQ(shipped.multiAxesSubsets(3), 1);

    const QString target = m_services.paths.templateFile();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
    ASSERT_TRUE(QFile::copy(QStringLiteral(THERMO4_SHIPPED_TEMPLATE), target));
    open();
    EXPECT_TRUE(m_prompts.shown().isEmpty());
    EXPECT_EQ(realTimeChart().axisRectCount(), 4);
}

TEST_F(GraphWindowTest, ATemplateMissingFromADataFolderThatCannotBeWrittenSaysWhy) {
    // A plain file stands where the data folder should be.
    QFile blocker(m_services.paths.dataDir());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ASSERT_NE(m_services.paths.prepareDataDir(), QString());
    open();
    EXPECT_EQ(
        m_prompts.texts(Kind::Information),
        QStringList(QStringLiteral("The data folder %1 cannot be created: Not a directory, so it holds no "
                                   "graph template. The graph uses its default settings.")
                        .arg(m_services.paths.dataDir())));
}

TEST_F(GraphWindowTest, FillGraphStatisticsShowsExtremesAveragesAndRate) {
    writeTemplate();
    open();
    TfrmGraph& w = addGraph(QStringLiteral("run1.ghf"));
    w.SetupGraph(4, 100, -20, m_t0 + 600 * kSecond, m_t0, 10);
    chart::Graph1& g = *widgets(w).Graph1;
    for (int i = 0; i < 10; ++i) {
        for (int k = 0; k < 4; ++k)
            g.setXDataII(k, i, m_t0 + i * 60 * kSecond);
        g.setYData(0, i, 10.0f + float(i % 3)); // max 12 first at point 2, min 10 at point 0
        // 2500: the highest temperature; 2500.1 is none (over range) and counts for nothing.
        g.setYData(1, i, i == 4 ? 2500.0f : i == 5 ? 2500.1f : 1.0f);
        g.setYData(2, i, 9999.0f);                  // no reading at all
        g.setYData(3, i, i == 9 ? 9000.0f : -2.5f); // 9000: no reading
    }
    // A locale that groups thousands: 2500 still shows as "2500.0".
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    w.FillGraphStatistics();
    const QLocale locale;
    QLocale::setDefault(previous);
    const auto at = [&](int point) {
        return QLatin1Char('@') + core::DateTimeText(m_t0 + point * 60 * kSecond, locale);
    };
    EXPECT_EQ(widgets(w).txtStartTime->text(), core::DateTimeText(m_t0, locale));
    EXPECT_EQ(widgets(w).ComboBox1->currentText(), QStringLiteral("01"));
    EXPECT_EQ(widgets(w).ComboBox2->currentText(), QStringLiteral("00"));
    EXPECT_EQ(widgets(w).txtDataNo->text(), QStringLiteral("10"));
    const QString expected[4][3] = {
        {QStringLiteral("12.0") + at(2), QStringLiteral("10.0") + at(0), QStringLiteral("10.9")},
        {QStringLiteral("2500.0") + at(4), QStringLiteral("1.0") + at(0), QStringLiteral("278.7")},
        {QStringLiteral("OL"), QStringLiteral("OL"), QStringLiteral("****")},
        {QStringLiteral("-2.5") + at(0), QStringLiteral("-2.5") + at(0), QStringLiteral("-2.5")},
    };
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(widgets(w).txtMax[k]->text(), expected[k][0]) << "T" << k + 1;
        EXPECT_EQ(widgets(w).txtMin[k]->text(), expected[k][1]) << "T" << k + 1;
        EXPECT_EQ(widgets(w).txtAvg[k]->text(), expected[k][2]) << "T" << k + 1;
    }
}

TEST_F(GraphWindowTest, RateBoxesShowRatesBeyondTheirListAsAHint) {
    writeTemplate();
    open();
    TfrmGraph& w = addGraph(QStringLiteral("slow.ghf"));
    w.setRateBoxes(2 * 3600 + 5); // 120 min 5 s
    EXPECT_EQ(widgets(w).ComboBox1->currentIndex(), -1);
    EXPECT_EQ(widgets(w).ComboBox1->placeholderText(), QStringLiteral("120"));
    EXPECT_EQ(widgets(w).ComboBox2->currentText(), QStringLiteral("05"));
    w.setRateBoxes(61);
    EXPECT_EQ(widgets(w).ComboBox1->currentText(), QStringLiteral("01"));
    EXPECT_EQ(widgets(w).ComboBox2->currentText(), QStringLiteral("01"));
    EXPECT_EQ(w.rateBoxSeconds(), 61);
}

TEST_F(GraphWindowTest, ShowDataSetDrawsTheSliceOfTheChosenSet) {
    writeTemplate();
    open();
    loadDataSets();
    TfrmGraph& w = addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    w.place(0, 0, 1500, 800);
    QCoreApplication::processEvents();
    EXPECT_TRUE(widgets(w).pnlDataSets->isVisibleTo(&w));
    EXPECT_FALSE(widgets(realTime()).pnlDataSets->isVisibleTo(&realTime()));
    widgets(w).Grid2->setRowCount(3); // two sets and an empty row
    for (int set = 0; set < 2; ++set) {
        const auto row = core::DataSetTableRow(set + 1, logger().dataSets.header(set), QLocale());
        for (int c = 0; c < core::kDataSetTableColumns; ++c)
            widgets(w).Grid2->setItem(set, c, new QTableWidgetItem(row[std::size_t(c)]));
    }
    EXPECT_EQ(widgets(w).Grid2->horizontalHeaderItem(1)->text(), QStringLiteral("DATE"));
    // Every column holds its header and its texts on one line, and the panel shows them all.
    const QFontMetrics metrics(widgets(w).Grid2->font());
    int total = 0;
    for (int c = 0; c < core::kDataSetTableColumns; ++c) {
        int widest = widgets(w).Grid2->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < 2; ++r)
            widest = std::max(widest, metrics.horizontalAdvance(widgets(w).Grid2->item(r, c)->text()));
        EXPECT_GT(widgets(w).Grid2->columnWidth(c), widest - 1)
            << widgets(w).Grid2->horizontalHeaderItem(c)->text().toStdString();
        total += widgets(w).Grid2->columnWidth(c);
    }
    EXPECT_FALSE(widgets(w).Grid2->wordWrap());
    EXPECT_GE(widgets(w).pnlDataSets->width(), total);

    widgets(w).Grid2->selectRow(1);
    w.Grid2Click();
    const chart::Graph1& g = *widgets(w).Graph1;
    ASSERT_EQ(g.points(), 10);
    for (int i = 0; i < 10; ++i) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_DOUBLE_EQ(g.xDataII(k, i), m_t0 + 1.0 + i * 60 * kSecond);
            EXPECT_EQ(g.yData(k, i), float(10 * k + i));
        }
    }
    EXPECT_DOUBLE_EQ(g.manualMinX(), m_t0 + 1.0);
    EXPECT_DOUBLE_EQ(g.manualMaxX(), m_t0 + 1.0 + 600 * kSecond);
    EXPECT_EQ(widgets(w).ComboBox1->currentText(), QStringLiteral("01"));
    EXPECT_EQ(widgets(w).ComboBox2->currentText(), QStringLiteral("00"));
    EXPECT_EQ(widgets(w).txtDataNo->text(), QStringLiteral("10"));
    EXPECT_EQ(widgets(w).txtStartTime->text(), core::DateTimeText(m_t0 + 1.0, QLocale()));
    EXPECT_EQ(widgets(w).txtMax[3]->text(), QLocale().toString(39.0, 'f', 1) + QLatin1Char('@') +
                                                core::DateTimeText(m_t0 + 1.0 + 540 * kSecond, QLocale()));

    // The empty row and sets the collection does not hold change nothing.
    widgets(w).Grid2->selectRow(2);
    w.Grid2Click();
    w.ShowDataSet(2);
    w.ShowDataSet(-1);
    EXPECT_EQ(g.points(), 10);
    w.ShowDataSet(0);
    EXPECT_EQ(g.points(), 3);
    EXPECT_EQ(widgets(w).ComboBox2->currentText(), QStringLiteral("02"));
}

TEST_F(GraphWindowTest, ADataSetsStatisticsTableHasTheTextsOfTheWindowsFields) {
    writeTemplate();
    open();
    loadDataSets();
    TfrmGraph& w = addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    w.ShowDataSet(1);
    const chart::StatisticsTableValues values =
        chart::DataSetStatisticsValues(*widgets(w).Graph1, logger().dataSets.header(1), QLocale());
    EXPECT_EQ(values[0], widgets(w).txtStartTime->text());
    EXPECT_EQ(values[1],
              widgets(w).ComboBox1->currentText() + QLatin1Char(':') + widgets(w).ComboBox2->currentText());
    EXPECT_EQ(values[2], widgets(w).txtDataNo->text());
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(values[3 + 3 * k], widgets(w).txtMax[k]->text());
        EXPECT_EQ(values[4 + 3 * k], widgets(w).txtMin[k]->text());
        EXPECT_EQ(values[5 + 3 * k], widgets(w).txtAvg[k]->text());
    }
}

TEST_F(GraphWindowTest, DataSetWithoutPointsShowsAnEmptyGraph) {
    writeTemplate();
    open();
    logger().dataSets =
        core::DataSetCollection({{.startTime = m_t0, .intervalSeconds = 5, .pointCount = 0}}, {}, {});
    TfrmGraph& w = addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    w.ShowDataSet(0);
    EXPECT_EQ(widgets(w).Graph1->points(), 0);
    EXPECT_EQ(widgets(w).txtDataNo->text(), QStringLiteral("0"));
    EXPECT_EQ(widgets(w).txtAvg[0]->text(), QStringLiteral("****"));
}

TEST_F(GraphWindowTest, AGraphWindowMadeSmallKeepsItsToolsAndFieldsWhole) {
    open();
    for (TfrmGraph* w : {&realTime(), &addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption))}) {
        w->place(0, 0, 200, 150);
        QCoreApplication::processEvents();
        const std::string caption = w->windowTitle().toStdString();
        // "Font", the last tool, stays on the tool bar and does not move into an overflow menu.
        EXPECT_TRUE(widgets(*w).Button3->isVisible()) << caption;
        EXPECT_LE(widgets(*w).Button3->geometry().right(), widgets(*w).ToolBar1->width()) << caption;
        for (QLineEdit* field : {widgets(*w).txtMax[0], widgets(*w).txtMin[3], widgets(*w).txtAvg[3]})
            EXPECT_GE(field->height(), field->minimumSizeHint().height()) << caption;
        EXPECT_GE(widgets(*w).Graph1->height(), widgets(*w).Graph1->minimumHeight()) << caption;
        EXPECT_GE(widgets(*w).Graph1->width(), widgets(*w).Graph1->minimumWidth()) << caption;
        EXPECT_GT(widgets(*w).Graph1->minimumHeight(), 0) << caption;
    }
}

TEST_F(GraphWindowTest, SplitSwitchesBetweenFourEqualAxesAndOne) {
    writeTemplate();
    open();
    TfrmGraph& w = realTime();
    chart::Graph1& g = *widgets(w).Graph1;
    shared().clickTool = 2;
    for (bool split : {false, true, false, true}) {
        widgets(w).chkSplit->setChecked(split);
        w.chkSplitClick();
        g.plot()->replot();
        ASSERT_EQ(g.axisRectCount(), split ? 4 : 1);
        EXPECT_EQ(widgets(w).ToolButton5->isEnabled(), !split);
        EXPECT_EQ(widgets(w).ToolButton9->isEnabled(), !split);
        for (int r = 1; r < g.axisRectCount(); ++r)
            EXPECT_NEAR(g.axisRect(r)->rect().height(), g.axisRect(0)->rect().height(), 1);
    }
    EXPECT_EQ(shared().clickTool, -99);
    EXPECT_TRUE(widgets(w).ToolButton4->isChecked());
}

TEST_F(GraphWindowTest, ClosingAFileGraphForgetsUnsavedLoggerData) {
    writeTemplate();
    open();
    TfrmGraph& loggerGraph = addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    TfrmGraph& file = addGraph(QStringLiteral("a.ghf"));
    logger().loggerUnsaved = true;
    EXPECT_TRUE(file.closeWindow());
    EXPECT_FALSE(logger().loggerUnsaved);
    EXPECT_TRUE(loggerGraph.closeWindow());
    EXPECT_TRUE(m_prompts.shown().isEmpty());
    EXPECT_FALSE(loggerWindow());
}

TEST_F(GraphWindowTest, DataLoggerWindowAsksBeforeItsDataAreLost) {
    writeTemplate();
    open();
    TfrmGraph& loggerGraph = addGraph(QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    logger().loggerUnsaved = true;
    m_prompts.queueAnswer(Answer::Cancel);
    EXPECT_FALSE(loggerGraph.closeWindow());
    EXPECT_TRUE(logger().loggerUnsaved);
    m_prompts.queueAnswer(Answer::No);
    EXPECT_TRUE(loggerGraph.closeWindow());
    EXPECT_EQ(m_prompts.texts(Kind::Question), QStringList(2, QStringLiteral("Save DataLogger Data ?")));
    EXPECT_FALSE(logger().loggerUnsaved);
}

} // namespace
} // namespace thermo4::ui::test
