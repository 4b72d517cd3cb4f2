#include "GraphToolsFixture.h"

#include "chart/GraphState.h"
#include "graph/GraphMarks.h"
#include "graph/StatisticsTable.h"
#include "graph/TfrmAnnoEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace thermo4::ui::test {
namespace {

using chart::AnnotationCross;
using chart::AnnotationText;

void clickAt(TfrmGraph& graph, QPoint pos) {
    QTest::mouseClick(graph.Graph1->plot(), Qt::LeftButton, Qt::NoModifier, pos);
}

/// Places a cross whose centre lands at `tip` with the cross tool, then goes back to `tool`.
void crossAt(TfrmGraph& graph, QPoint tip) {
    graph.ToolButton5->click();
    clickAt(graph, tip - ToolTipOffset(kCrossTool));
}

QPoint markPixel(const TfrmGraph& graph, int index) {
    const chart::Graph1& g = *graph.Graph1;
    return g.graphToPixel({g.graphAnnotationX(index), g.graphAnnotationY(index)}).toPoint();
}

TEST_F(GraphToolsTest, MarksGoToTheCursorTipOnlyInsideThePlottingArea) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    AppState& app = m_main->state();
    app.annoColor = 0x0000FF; // red, kept as 0x00BBGGRR
    const QRect area = axis0Area(graph);
    struct Case {
        const char* name;
        QToolButton* button;
        int tool;
        QPoint tip;
        bool placed;
    };
    const auto center = area.center();
    const Case cases[] = {
        {"normal, inside", graph.ToolButton4, kNormalTool, center, false},
        {"cross, inside", graph.ToolButton5, kCrossTool, center, true},
        {"cross, top-left corner", graph.ToolButton5, kCrossTool, area.topLeft(), true},
        {"cross, bottom-right corner", graph.ToolButton5, kCrossTool, area.bottomRight(), true},
        {"cross, right of it", graph.ToolButton5, kCrossTool, {area.right() + 1, center.y()}, false},
        {"cross, above it", graph.ToolButton5, kCrossTool, {center.x(), area.top() - 1}, false},
        {"text, inside", graph.ToolButton9, kTextTool, center, true},
        {"text, bottom-right corner", graph.ToolButton9, kTextTool, area.bottomRight(), true},
        {"text, below it", graph.ToolButton9, kTextTool, {center.x(), area.bottom() + 1}, false},
        {"text, left of it", graph.ToolButton9, kTextTool, {area.left() - 1, center.y()}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.button->click();
        ASSERT_EQ(app.clickTool, c.tool);
        const int before = app.annotationCount;
        OnModal<TfrmAnnoEdit> answer([](TfrmAnnoEdit& d) {
            d.Edit1->setText(QStringLiteral("door opened"));
            d.btnOK->click();
        });
        clickAt(graph, c.tip - ToolTipOffset(c.tool));
        EXPECT_EQ(answer.opened(), c.placed && c.tool == kTextTool ? 1 : 0);
        if (!c.placed) {
            EXPECT_EQ(app.annotationCount, before);
            continue;
        }
        const int index = before + 1;
        ASSERT_EQ(app.annotationCount, index);
        const chart::Graph1& g = *graph.Graph1;
        EXPECT_EQ(g.graphAnnotationType(index), c.tool == kCrossTool ? AnnotationCross : AnnotationText);
        EXPECT_EQ(g.graphAnnotationText(index), c.tool == kTextTool ? QStringLiteral("door opened") : QString());
        EXPECT_EQ(g.graphAnnotationColor(index), QColor(255, 0, 0));
        const QPoint at = markPixel(graph, index);
        EXPECT_LE((at - c.tip).manhattanLength(), 1) << at.x() << "," << at.y();
    }
    EXPECT_EQ(app.annotationCount, 3 + 5); // the first mark took index 4
}

TEST_F(GraphToolsTest, CancelledTextAddsNoMark) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    graph.ToolButton9->click();
    const int marks = graph.Graph1->graphAnnotationCount();
    OnModal<TfrmAnnoEdit> cancel([](TfrmAnnoEdit& d) {
        d.Edit1->setText(QStringLiteral("never"));
        d.btnCancel->click();
    });
    clickAt(graph, axis0Area(graph).center());
    EXPECT_EQ(cancel.opened(), 1);
    EXPECT_EQ(m_main->state().annotationCount, 3);
    EXPECT_EQ(graph.Graph1->graphAnnotationCount(), marks);
}

TEST_F(GraphToolsTest, ClearStartsTheNumberingAgain) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint center = axis0Area(graph).center();
    crossAt(graph, center);
    crossAt(graph, center + QPoint(30, 0));
    ASSERT_EQ(m_main->state().annotationCount, 5);
    m_prompts.queueAnswer(Answer::No); // "Save Real-Time Graph ?"
    graph.tbntClr->click();
    ASSERT_EQ(m_main->state().annotationCount, 3);
    for (int i = 0; i < 2; ++i) {
        crossAt(graph, center + QPoint(0, 20 * i));
        EXPECT_EQ(m_main->state().annotationCount, 4 + i);
        EXPECT_EQ(markPixel(graph, 4 + i), center + QPoint(0, 20 * i));
    }
}

TEST_F(GraphToolsTest, NewMarkNeverReplacesOneTheGraphShows) {
    TfrmGraph& graph = dataSetGraph();
    singleView(graph);
    // Marks 4 and 5 came with the graph (a file or the template) while the count is still 3.
    SetMark(*graph.Graph1, 4, AnnotationCross, {kT0 + 60 * kSecond, 30}, {}, Qt::red);
    SetMark(*graph.Graph1, 5, AnnotationText, {kT0 + 120 * kSecond, 40}, QStringLiteral("kept"), Qt::red);
    const chart::GraphState before = graph.Graph1->state();
    crossAt(graph, axis0Area(graph).center());
    EXPECT_EQ(m_main->state().annotationCount, 6);
    EXPECT_EQ(graph.Graph1->state().annotations[4], before.annotations[4]);
    EXPECT_EQ(graph.Graph1->state().annotations[5], before.annotations[5]);
    EXPECT_EQ(graph.Graph1->graphAnnotationType(6), AnnotationCross);
}

TEST_F(GraphToolsTest, DoubleClickHidesAMarkSingleClickKeepsIt) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint tip = axis0Area(graph).center();
    crossAt(graph, tip);
    graph.ToolButton4->click();
    clickAt(graph, tip);
    EXPECT_EQ(graph.Graph1->graphAnnotationType(4), AnnotationCross);
    QTest::mouseDClick(graph.Graph1->plot(), Qt::LeftButton, Qt::NoModifier, tip);
    EXPECT_EQ(graph.Graph1->graphAnnotationType(4), AnnotationText);
    EXPECT_EQ(graph.Graph1->graphAnnotationText(4), QString());
    EXPECT_EQ(m_main->state().annotationCount, 4);
}

TEST_F(GraphToolsTest, ToolIsSharedUntilAWindowIsShown) {
    TfrmGraph& realTime = realTimeGraph();
    TfrmGraph& logger = dataSetGraph();
    singleView(realTime);
    singleView(logger);
    realTime.ToolButton5->click();
    EXPECT_EQ(realTime.Graph1->plot()->cursor().shape(), Qt::BitmapCursor);
    clickAt(logger, axis0Area(logger).center() - ToolTipOffset(kCrossTool));
    EXPECT_EQ(logger.Graph1->graphAnnotationType(4), AnnotationCross);
    realTime.ToolButton9->click();
    realTime.chkSplit->click(); // split view: back to the normal tool
    EXPECT_EQ(m_main->state().clickTool, kNormalTool);
    EXPECT_FALSE(realTime.ToolButton9->isEnabled());
    logger.ToolButton5->click();
    logger.hide();
    logger.show();
    EXPECT_EQ(m_main->state().clickTool, kNormalTool);
    EXPECT_TRUE(logger.ToolButton4->isChecked());
    EXPECT_EQ(logger.Graph1->plot()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GraphToolsTest, AnnotationColorRecoloursMarksAndIsKept) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint center = axis0Area(graph).center();
    crossAt(graph, center);
    crossAt(graph, center + QPoint(20, 0));
    m_prompts.queueColor(std::nullopt); // cancelled: nothing changes
    graph.ToolButton15->click();
    EXPECT_EQ(graph.Graph1->graphAnnotationColor(5), QColor(Qt::black));
    const QColor orange(255, 128, 0);
    m_prompts.queueColor(orange);
    graph.ToolButton15->click();
    for (int index = 0; index <= 5; ++index)
        EXPECT_EQ(graph.Graph1->graphAnnotationColor(index), orange) << index;
    EXPECT_EQ(m_main->state().annoColor, 0x0080FF);
    crossAt(graph, center + QPoint(40, 0));
    EXPECT_EQ(graph.Graph1->graphAnnotationColor(6), orange);

    closeMain();
    TfrmGraph& next = realTimeGraph();
    EXPECT_EQ(m_main->state().annoColor, 0x0080FF);
    EXPECT_EQ(next.annoDialogColor, orange);
    singleView(next);
    crossAt(next, axis0Area(next).center());
    EXPECT_EQ(next.Graph1->graphAnnotationColor(4), orange);
}

TEST_F(GraphToolsTest, StatisticsTableShowsTheThirtyTexts) {
    TfrmGraph& graph = dataSetGraph();
    graph.Button2->click();
    const chart::Graph1& g = *graph.Graph1;
    ASSERT_EQ(g.TARows(), 15);
    ASSERT_EQ(g.TAColumns(), 2);
    const QLineEdit* fields[] = {graph.txtMax[0], graph.txtMin[0], graph.txtAvg[0], graph.txtMax[1],
                                 graph.txtMin[1], graph.txtAvg[1], graph.txtMax[2], graph.txtMin[2],
                                 graph.txtAvg[2], graph.txtMax[3], graph.txtMin[3], graph.txtAvg[3]};
    const QStringList labels = {"Start Time:", "Sampling:", "Data No:", "T1 MAX:", "T1 MIN:",
                                "T1 AVG:",     "T2 MAX:",   "T2 MIN:",  "T2 AVG:", "T3 MAX:",
                                "T3 MIN:",     "T3 AVG:",   "T4 MAX:",  "T4 MIN:", "T4 AVG:"};
    for (int row = 0; row < 15; ++row) {
        EXPECT_EQ(g.TAText(row, 0), labels[row]) << row;
        EXPECT_EQ(g.TAColor(row, 1), QColor(255, 0, 0)) << row;
        if (row >= 3)
            EXPECT_EQ(g.TAText(row, 1), fields[row - 3]->text()) << row;
    }
    EXPECT_EQ(g.TAText(0, 1), graph.txtStartTime->text());
    EXPECT_EQ(g.TAText(1, 1), QStringLiteral("01:00"));
    EXPECT_EQ(g.TAText(2, 1), QStringLiteral("20"));
    EXPECT_EQ(g.TAText(9, 1), QStringLiteral("OL"));    // T3 had no reading
    EXPECT_EQ(g.TAText(11, 1), QStringLiteral("****")); // nor an average
    EXPECT_TRUE(g.TAText(12, 1).startsWith(QStringLiteral("100.0@")));
    EXPECT_TRUE(g.showTableAnnotation());
    EXPECT_EQ(g.TALocation(), chart::TableInsideAxis);
    EXPECT_EQ(QPoint(g.TAX(), g.TAY()), QPoint(550, 50));
    EXPECT_TRUE(g.TAMoveable());
    EXPECT_EQ(g.TABackColor(), chart::argb(129, 255, 255, 255));
    EXPECT_EQ(g.TABorder(), chart::BorderInset);
    EXPECT_EQ(g.TATextSize(), 60);

    graph.txtDataNo->setText(QStringLiteral("7")); // a snapshot: pressing again refreshes it
    graph.Button2->click();
    EXPECT_EQ(g.TAText(2, 1), QStringLiteral("7"));
}

TEST_F(GraphToolsTest, ReadOutShowsTheValueOfTheAxisUnderTheMouse) {
    TfrmGraph& graph = dataSetGraph(); // split view: T2's axis has its own scale
    const chart::Graph1& g = *graph.Graph1;
    const double x = kT0 + 300 * kSecond;
    const QPoint onT2 = g.graphToPixel({x, 40.0}, 1).toPoint();
    ASSERT_EQ(g.axisAt(onT2), 1);
    QTest::mouseMove(g.plot(), onT2);
    const QStringList parts = graph.Panel12->text().split(QLatin1Char('@'));
    ASSERT_EQ(parts.size(), 2) << graph.Panel12->text().toStdString();
    EXPECT_NEAR(QLocale().toDouble(parts[0]), 40.0, 0.6);
    EXPECT_EQ(parts[1], TimeText(g.pixelToGraph(onT2, 1).x(), QLocale()));
    const QString shown = graph.Panel12->text();
    QTest::mouseMove(g.plot(), QPoint(2, 2)); // outside every axis: the text stays
    EXPECT_EQ(graph.Panel12->text(), shown);
}

TEST_F(GraphToolsTest, DataPointLabelMovesWithoutAddingMarks) {
    TfrmGraph& graph = dataSetGraph();
    singleView(graph);
    chart::Graph1& g = *graph.Graph1;
    g.setAllowDataHotSpots(true); // as the customization dialog or a template turns them on
    for (int point : {5, 12}) {
        clickAt(graph, g.graphToPixel({g.xDataII(0, point), double(g.yData(0, point))}).toPoint());
        EXPECT_EQ(g.graphAnnotationType(kDataPointLabel), AnnotationCross);
        EXPECT_EQ(g.graphAnnotationColor(kDataPointLabel), QColor(Qt::black));
        EXPECT_EQ(g.graphAnnotationX(kDataPointLabel), kT0 + point * 60 * kSecond);
        EXPECT_EQ(g.graphAnnotationY(kDataPointLabel), 20.0 + point);
        EXPECT_EQ(g.graphAnnotationText(kDataPointLabel),
                  TimeText(g.xDataII(0, point), QLocale()) + QLatin1Char('\r') +
                      QLocale().toString(20.0 + point, 'f', 1));
    }
    EXPECT_EQ(m_main->state().annotationCount, 3);
}

TEST_F(GraphToolsTest, SwitchesShowAndHideTheStatisticsAndLineCursors) {
    TfrmGraph& graph = realTimeGraph();
    graph.ToolButton1->click();
    EXPECT_FALSE(graph.pnlGraphStatistic->isVisible());
    graph.ToolButton2->click();
    EXPECT_FALSE(graph.pnlStatistic->isVisible());
    EXPECT_FALSE(graph.Graph1->showVertLineAnnotations());
    graph.ToolButton1->click();
    graph.ToolButton2->click();
    EXPECT_TRUE(graph.pnlGraphStatistic->isVisible());
    EXPECT_TRUE(graph.pnlStatistic->isVisible());
    EXPECT_TRUE(graph.Graph1->showVertLineAnnotations());
    EXPECT_EQ(graph.Panel12->mapTo(&graph, QPoint()), graph.Graph1->mapTo(&graph, QPoint()));
}

TEST_F(GraphToolsTest, GraphHotSpotHintsAtDeleting) {
    TfrmGraph& graph = realTimeGraph();
    graph.Graph1->setAllowGraphHotSpots(true);
    EXPECT_TRUE(graph.Graph1->toolTip().isEmpty());
    clickAt(graph, axis0Area(graph).center());
    EXPECT_EQ(graph.Graph1->toolTip(), QLatin1String(GraphTools::kDeleteHint));
}

} // namespace
} // namespace thermo4::ui::test
