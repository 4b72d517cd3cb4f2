#include "GraphToolsFixture.h"

#include "formats/RegionalText.h"
#include "graph/GraphMarks.h"
#include "graph/GraphTools.h"
#include "graph/TfrmAnnoEdit.h"
#include "support/WindowTestAccess.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace thermo4::ui::test {
namespace {

using chart::AnnotationCross;
using chart::AnnotationText;

void clickAt(TfrmGraph& graph, QPoint pos) {
    QTest::mouseClick(widgets(graph).Graph1->plot(), Qt::LeftButton, Qt::NoModifier, pos);
}

/// Places a cross with the cross tool so that its centre lands at `tip`.
void crossAt(TfrmGraph& graph, QPoint tip) {
    widgets(graph).ToolButton5->click();
    clickAt(graph, tip - ToolTipOffset(kCrossTool));
}

QPoint markPixel(const TfrmGraph& graph, int index) {
    const chart::Graph1& g = *widgets(graph).Graph1;
    return g.graphToPixel({g.graphAnnotationX(index), g.graphAnnotationY(index)}).toPoint();
}

TEST_F(GraphToolsTest, MarksGoToTheCursorTipOnlyInsideThePlottingArea) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    GraphShared& state = shared();
    state.annoColor = 0x0000FF; // red, kept as 0x00BBGGRR
    const QRect area = axis0Area(graph);
    const QPoint center = area.center();
    struct Case {
        QToolButton* button;
        QPoint tip;
        bool ok; // OK in the text dialog
        bool placed;
    };
    QToolButton* const normal = widgets(graph).ToolButton4;
    QToolButton* const cross = widgets(graph).ToolButton5;
    QToolButton* const text = widgets(graph).ToolButton9;
    const Case cases[] = {
        {normal, center, true, false},
        {cross, center, true, true},
        {cross, area.topLeft(), true, true},
        {cross, area.bottomRight(), true, true},
        {cross, {area.right() + 1, center.y()}, true, false},
        {cross, {center.x(), area.top() - 1}, true, false},
        {text, center, true, true},
        {text, area.bottomRight(), true, true},
        {text, center, false, false}, // Cancel
        {text, {center.x(), area.bottom() + 1}, true, false},
        {text, {area.left() - 1, center.y()}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.button->toolTip().toStdString() << " at " << c.tip.x() << ","
                                        << c.tip.y() << (c.ok ? "" : ", cancelled"));
        c.button->click();
        const int tool = state.clickTool;
        const int before = state.annotationCount;
        const int annotations = widgets(graph).Graph1->graphAnnotationCount();
        OnModal<TfrmAnnoEdit> answer([&](TfrmAnnoEdit& d) {
            widgets(d).Edit1->setText(QStringLiteral("door opened"));
            (c.ok ? widgets(d).btnOK : widgets(d).btnCancel)->click();
        });
        clickAt(graph, c.tip - ToolTipOffset(tool));
        const bool inside = c.placed || !c.ok;
        EXPECT_EQ(answer.opened(), tool == kTextTool && inside ? 1 : 0);
        if (!c.placed) {
            EXPECT_EQ(state.annotationCount, before);
            EXPECT_EQ(widgets(graph).Graph1->graphAnnotationCount(), annotations);
            continue;
        }
        const int index = before + 1;
        ASSERT_EQ(state.annotationCount, index);
        const chart::Graph1& g = *widgets(graph).Graph1;
        EXPECT_EQ(g.graphAnnotationType(index), tool == kCrossTool ? AnnotationCross : AnnotationText);
        EXPECT_EQ(g.graphAnnotationText(index),
                  tool == kTextTool ? QStringLiteral("door opened") : QString());
        EXPECT_EQ(g.graphAnnotationColor(index), QColor(255, 0, 0));
        EXPECT_LE((markPixel(graph, index) - c.tip).manhattanLength(), 1);
    }
    EXPECT_EQ(state.annotationCount, 3 + 5); // the first mark took index 4
}

TEST_F(GraphToolsTest, ClearStartsTheNumberingAgainButAMarkNeverReplacesAnother) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint center = axis0Area(graph).center();
    crossAt(graph, center);
    crossAt(graph, center + QPoint(30, 0));
    ASSERT_EQ(shared().annotationCount, 5);
    m_prompts.queueAnswer(Answer::No); // "Save Real-Time Graph ?"
    widgets(graph).tbntClr->click();
    ASSERT_EQ(shared().annotationCount, 3);
    for (int i = 0; i < 2; ++i) {
        crossAt(graph, center + QPoint(0, 20 * i));
        EXPECT_EQ(shared().annotationCount, 4 + i);
        EXPECT_EQ(markPixel(graph, 4 + i), center + QPoint(0, 20 * i));
    }
    // Marks 6 and 7 came with the graph (a file or the template) while the count is at 5.
    SetMark(*widgets(graph).Graph1, 6, AnnotationCross,
            widgets(graph).Graph1->pixelToGraph(center - QPoint(40, 0)), {}, Qt::red);
    SetMark(*widgets(graph).Graph1, 7, AnnotationText, widgets(graph).Graph1->pixelToGraph(center),
            QStringLiteral("kept"), Qt::red);
    const auto before = widgets(graph).Graph1->state().annotations;
    crossAt(graph, center + QPoint(0, 40));
    EXPECT_EQ(shared().annotationCount, 8);
    EXPECT_EQ(widgets(graph).Graph1->state().annotations[6], before[6]);
    EXPECT_EQ(widgets(graph).Graph1->state().annotations[7], before[7]);
}

TEST_F(GraphToolsTest, DoubleClickHidesAMarkSingleClickKeepsIt) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint tip = axis0Area(graph).center();
    crossAt(graph, tip);
    widgets(graph).ToolButton4->click();
    clickAt(graph, tip);
    EXPECT_EQ(widgets(graph).Graph1->graphAnnotationType(4), AnnotationCross);
    QTest::mouseDClick(widgets(graph).Graph1->plot(), Qt::LeftButton, Qt::NoModifier, tip);
    EXPECT_EQ(widgets(graph).Graph1->graphAnnotationType(4), AnnotationText);
    EXPECT_EQ(widgets(graph).Graph1->graphAnnotationText(4), QString());
}

TEST_F(GraphToolsTest, ToolIsSharedUntilAWindowIsShown) {
    TfrmGraph& realTime = realTimeGraph();
    TfrmGraph& logger = dataSetGraph();
    singleView(realTime);
    singleView(logger);
    widgets(realTime).ToolButton5->click();
    EXPECT_EQ(widgets(realTime).Graph1->plot()->cursor().shape(), Qt::BitmapCursor);
    clickAt(logger, axis0Area(logger).center() - ToolTipOffset(kCrossTool));
    EXPECT_EQ(widgets(logger).Graph1->graphAnnotationType(4), AnnotationCross); // numbering shared too
    widgets(realTime).ToolButton9->click();
    widgets(realTime).chkSplit->click(); // split view: back to the normal tool
    EXPECT_EQ(shared().clickTool, kNormalTool);
    widgets(logger).ToolButton5->click();
    logger.hide();
    logger.show();
    EXPECT_EQ(shared().clickTool, kNormalTool);
    EXPECT_TRUE(widgets(logger).ToolButton4->isChecked());
    EXPECT_EQ(widgets(logger).Graph1->plot()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GraphToolsTest, AnnotationColorRecoloursMarksAndIsKept) {
    TfrmGraph& graph = realTimeGraph();
    singleView(graph);
    const QPoint center = axis0Area(graph).center();
    crossAt(graph, center);
    crossAt(graph, center + QPoint(20, 0));
    m_prompts.queueColor(std::nullopt); // cancelled: nothing changes
    widgets(graph).ToolButton15->click();
    EXPECT_EQ(widgets(graph).Graph1->graphAnnotationColor(5), QColor(Qt::black));
    const QColor orange(255, 128, 0);
    m_prompts.queueColor(orange);
    widgets(graph).ToolButton15->click();
    for (int index = 0; index <= 5; ++index)
        EXPECT_EQ(widgets(graph).Graph1->graphAnnotationColor(index), orange) << index;
    EXPECT_EQ(shared().annoColor, 0x0080FF);
    crossAt(graph, center + QPoint(40, 0));
    EXPECT_EQ(widgets(graph).Graph1->graphAnnotationColor(6), orange);

    closeMain();                       // the settings are written...
    TfrmGraph& next = realTimeGraph(); // ...and read by the next start
    EXPECT_EQ(widgets(next).annoDialogColor, orange);
    singleView(next);
    crossAt(next, axis0Area(next).center());
    EXPECT_EQ(widgets(next).Graph1->graphAnnotationColor(4), orange);
}

TEST_F(GraphToolsTest, StatisticsTableShowsTheThirtyTexts) {
    TfrmGraph& graph = dataSetGraph();
    widgets(graph).Button2->click();
    const chart::Graph1& g = *widgets(graph).Graph1;
    ASSERT_EQ(QPoint(g.TARows(), g.TAColumns()), QPoint(15, 2));
    QStringList values = {widgets(graph).txtStartTime->text(), QStringLiteral("01:00"), QStringLiteral("20")};
    for (std::size_t k = 0; k < 4; ++k)
        values << widgets(graph).txtMax[k]->text() << widgets(graph).txtMin[k]->text()
               << widgets(graph).txtAvg[k]->text();
    const QStringList labels = {
        "Start Time:", "Sampling:", "Data No:", "T1 MAX:", "T1 MIN:", "T1 AVG:", "T2 MAX:", "T2 MIN:",
        "T2 AVG:",     "T3 MAX:",   "T3 MIN:",  "T3 AVG:", "T4 MAX:", "T4 MIN:", "T4 AVG:"};
    for (int row = 0; row < 15; ++row) {
        EXPECT_EQ(g.TAText(row, 0), labels[row]);
        EXPECT_EQ(g.TAText(row, 1), values[row]) << row;
        EXPECT_EQ(g.TAColor(row, 1), QColor(255, 0, 0)) << row;
    }
    EXPECT_EQ(values.mid(9, 3), QStringList({"OL", "OL", "****"})); // T3 had no reading
    EXPECT_TRUE(values[12].startsWith(QStringLiteral("100.0@")));
    EXPECT_TRUE(g.showTableAnnotation() && g.TAMoveable());
    EXPECT_EQ(g.TALocation(), chart::TableInsideAxis);
    EXPECT_EQ(QPoint(g.TAX(), g.TAY()), QPoint(550, 50));
    EXPECT_EQ(g.TABackColor(), chart::argb(129, 255, 255, 255));
    EXPECT_EQ(QPoint(g.TABorder(), g.TATextSize()), QPoint(chart::BorderInset, 60));
    widgets(graph).txtDataNo->setText(QStringLiteral("7")); // a snapshot: pressing again refreshes it
    widgets(graph).Button2->click();
    EXPECT_EQ(g.TAText(2, 1), QStringLiteral("7"));
}

TEST_F(GraphToolsTest, ReadOutShowsTheValueOfTheAxisUnderTheMouse) {
    TfrmGraph& graph = dataSetGraph(); // split view: T2's axis has its own scale
    const chart::Graph1& g = *widgets(graph).Graph1;
    const QPoint onT2 = g.graphToPixel({kT0 + 300 * kSecond, 40.0}, 1).toPoint();
    ASSERT_EQ(g.axisAt(onT2), 1);
    QTest::mouseMove(g.plot(), onT2);
    const QStringList parts = widgets(graph).Panel12->text().split(QLatin1Char('@'));
    ASSERT_EQ(parts.size(), 2) << widgets(graph).Panel12->text().toStdString();
    const double perPixel = 120.0 / g.axisRect(1)->rect().height(); // −20 to 100 °C
    EXPECT_NEAR(QLocale().toDouble(parts[0]), 40.0, perPixel);
    EXPECT_EQ(parts[1], formats::TimeText(g.pixelToGraph(onT2, 1).x(), QLocale()));
}

TEST_F(GraphToolsTest, ReadOutIsEmptiedOffThePlottingAreaWhenTheMouseLeavesAndOnClear) {
    const std::function<void(TfrmGraph&)> ways[] = {
        [](TfrmGraph& graph) {
            QTest::mouseMove(widgets(graph).Graph1->plot(), QPoint(2, 2));
        }, // outside every axis
        [](TfrmGraph& graph) {
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(widgets(graph).Graph1->plot(), &leave);
        },
        [this](TfrmGraph& graph) {
            m_prompts.queueAnswer(Answer::No); // "Save Real-Time Graph ?"
            widgets(graph).tbntClr->click();
        },
    };
    TfrmGraph& graph = realTimeGraph();
    int step = 0;
    for (const auto& way : ways) {
        QTest::mouseMove(widgets(graph).Graph1->plot(), axis0Area(graph).center() + QPoint(++step, 0));
        ASSERT_TRUE(widgets(graph).Panel12->text().contains(QLatin1Char('@')));
        way(graph);
        EXPECT_EQ(widgets(graph).Panel12->text(), QString());
    }
}

TEST_F(GraphToolsTest, DataPointLabelMovesWithoutAddingMarks) {
    TfrmGraph& graph = dataSetGraph();
    singleView(graph);
    chart::Graph1& g = *widgets(graph).Graph1;
    g.setAllowDataHotSpots(true); // as the customization dialog or a template turns them on
    for (int point : {5, 12}) {
        clickAt(graph, g.graphToPixel({g.xDataII(0, point), double(g.yData(0, point))}).toPoint());
        EXPECT_EQ(g.graphAnnotationType(kDataPointLabel), AnnotationCross);
        EXPECT_EQ(g.graphAnnotationColor(kDataPointLabel), QColor(Qt::black));
        EXPECT_EQ(QPointF(g.graphAnnotationX(kDataPointLabel), g.graphAnnotationY(kDataPointLabel)),
                  QPointF(kT0 + point * 60 * kSecond, 20.0 + point));
        EXPECT_EQ(g.graphAnnotationText(kDataPointLabel), formats::TimeText(g.xDataII(0, point), QLocale()) +
                                                              QLatin1Char('\r') +
                                                              QLocale().toString(20.0 + point, 'f', 1));
    }
    EXPECT_EQ(shared().annotationCount, 3);
}

TEST_F(GraphToolsTest, SwitchesAndHotSpotHint) {
    TfrmGraph& graph = realTimeGraph();
    for (const bool down : {false, true}) {
        widgets(graph).ToolButton1->click();
        widgets(graph).ToolButton2->click();
        EXPECT_EQ(widgets(graph).pnlGraphStatistic->isVisible(), down);
        EXPECT_EQ(widgets(graph).pnlStatistic->isVisible(), down);
        EXPECT_EQ(widgets(graph).Graph1->showVertLineAnnotations(), down);
    }
    // The read-out has its own opaque strip at the graph's top-left corner, clear of the chart.
    const QRect readOut(widgets(graph).Panel12->mapTo(&graph, QPoint()), widgets(graph).Panel12->size());
    const QRect chart(widgets(graph).Graph1->mapTo(&graph, QPoint()), widgets(graph).Graph1->size());
    EXPECT_FALSE(readOut.intersects(chart));
    EXPECT_EQ(readOut.bottomLeft() + QPoint(0, 1), chart.topLeft());
    EXPECT_TRUE(widgets(graph).Panel12->autoFillBackground());
    widgets(graph).Graph1->setAllowGraphHotSpots(true);
    clickAt(graph, axis0Area(graph).center());
    EXPECT_EQ(widgets(graph).Graph1->toolTip(), QLatin1String(GraphTools::kDeleteHint));
}

} // namespace
} // namespace thermo4::ui::test
