#include "ChartTestUtil.h"

#include "chart/DaysTicker.h"
#include "chart/Graph1.h"

#include <QCoreApplication>
#include <QImage>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::chart::test {
namespace {

std::vector<int> rectOfEachSubset(const Graph1& g) {
    std::vector<int> out;
    for (int s = 0; s < g.subsets(); ++s) {
        QCPAxisRect* rect = g.graphOf(s)->keyAxis()->axisRect();
        int index = -1;
        for (int r = 0; r < g.axisRectCount(); ++r) {
            if (g.axisRect(r) == rect)
                index = r;
        }
        out.push_back(index);
    }
    return out;
}

TEST(Graph1ViewTest, AxesFollowMultiAxesSubsets) {
    struct Case {
        int subsets;
        std::vector<int> multiAxesSubsets;
        std::vector<int> expectedRects;
    };
    const Case cases[] = {
        {4, {1, 1, 1, 1}, {0, 1, 2, 3}}, // split view
        {4, {0, 0, 0, 0}, {0, 0, 0, 0}}, // single view
        {4, {}, {0, 0, 0, 0}},           // nothing set: single view
        {4, {2, 2}, {0, 0, 1, 1}},
        {3, {1, 0, 1}, {0, 1, 1}}, // an axis of 0 is skipped; the rest joins the last axis
        {1, {1, 1, 1, 1}, {0}},    // a one-curve graph from a split template
    };
    for (const Case& c : cases) {
        auto g = shownGraph();
        g->setSubsets(c.subsets);
        for (int a = 0; a < int(c.multiAxesSubsets.size()); ++a)
            g->setMultiAxesSubsets(a, c.multiAxesSubsets[a]);
        g->redraw();
        EXPECT_EQ(rectOfEachSubset(*g), c.expectedRects) << c.subsets;
        EXPECT_EQ(g->axisRectCount(), *std::max_element(c.expectedRects.begin(), c.expectedRects.end()) + 1);
    }
}

TEST(Graph1ViewTest, SplitViewHasFourAxesOfEqualHeight) {
    auto g = shownGraph();
    fillFourChannels(*g, 100);
    g->redraw();
    ASSERT_EQ(g->axisRectCount(), 4);
    const int height = g->axisRect(0)->rect().height();
    EXPECT_GT(height, 100);
    for (int r = 1; r < 4; ++r) {
        EXPECT_NEAR(g->axisRect(r)->rect().height(), height, 1) << r;
        EXPECT_EQ(g->axisRect(r)->rect().left(), g->axisRect(0)->rect().left()) << r;
        EXPECT_GT(g->axisRect(r)->rect().top(), g->axisRect(r - 1)->rect().bottom()) << r;
    }
    // Single view and back, as the Split check box does.
    g->setMultiAxesSubsets(-1, 0);
    g->setMultiAxesProportions(0, 1.0);
    g->redraw();
    ASSERT_EQ(g->axisRectCount(), 1);
    EXPECT_EQ(rectOfEachSubset(*g), (std::vector<int>{0, 0, 0, 0}));
    for (int a = 0; a < 4; ++a) {
        g->setMultiAxesSubsets(a, 1);
        g->setMultiAxesProportions(a, 0.25);
    }
    g->redraw();
    g->reinitAndReset();
    ASSERT_EQ(g->axisRectCount(), 4);
    for (int r = 1; r < 4; ++r)
        EXPECT_NEAR(g->axisRect(r)->rect().height(), g->axisRect(0)->rect().height(), 1);
}

TEST(Graph1ViewTest, ProportionsShareTheHeight) {
    auto g = shownGraph();
    g->setSubsets(2);
    g->setMultiAxesSubsets(0, 1);
    g->setMultiAxesSubsets(1, 1);
    g->setMultiAxesProportions(0, 0.75);
    g->setMultiAxesProportions(1, 0.25);
    g->redraw();
    ASSERT_EQ(g->axisRectCount(), 2);
    const double ratio = double(g->axisRect(0)->rect().height()) / g->axisRect(1)->rect().height();
    EXPECT_NEAR(ratio, 3.0, 0.05);
}

TEST(Graph1ViewTest, ManualScalesSetTheAxisRanges) {
    auto g = shownGraph();
    fillFourChannels(*g, 10);
    g->setWorkingAxis(2);
    g->setManualMinY(-20);
    g->setManualMaxY(100);
    g->setWorkingAxis(0);
    g->redraw();
    const QCPRange x = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    EXPECT_DOUBLE_EQ(x.lower, kT0);
    EXPECT_DOUBLE_EQ(x.upper, kT0 + 10 * kSecond);
    EXPECT_DOUBLE_EQ(g->axisRect(3)->axis(QCPAxis::atBottom)->range().upper, x.upper);
    EXPECT_DOUBLE_EQ(g->axisRect(0)->axis(QCPAxis::atLeft)->range().lower, -10);
    EXPECT_DOUBLE_EQ(g->axisRect(2)->axis(QCPAxis::atLeft)->range().lower, -20);
    EXPECT_DOUBLE_EQ(g->axisRect(2)->axis(QCPAxis::atLeft)->range().upper, 100);
    EXPECT_EQ(g->manualMaxY(), 50.0); // working axis 0 again
}

TEST(Graph1ViewTest, AutomaticScalesCoverTheData) {
    auto g = shownGraph();
    g->setPoints(3);
    const float ys[] = {10, 9999, 30};
    for (int p = 0; p < 3; ++p) {
        g->setXDataII(0, p, kT0 + p * kSecond);
        g->setYData(0, p, ys[p]);
    }
    g->redraw();
    const QCPRange y = g->axisRect(0)->axis(QCPAxis::atLeft)->range();
    EXPECT_LT(y.lower, 10.0);
    EXPECT_GT(y.upper, 30.0);
    EXPECT_LT(y.upper, 100.0); // the null value is not data
    const QCPRange x = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    EXPECT_DOUBLE_EQ(x.lower, kT0);
    EXPECT_DOUBLE_EQ(x.upper, kT0 + 2 * kSecond);
}

TEST(Graph1ViewTest, ZoomAndUndoRestoreTheRanges) {
    auto g = shownGraph();
    fillFourChannels(*g, 100);
    g->setAllowZooming(ZoomBoth);
    g->redraw();
    QSignalSpy zoomed(g.get(), &Graph1::onZoomIn);
    auto ranges = [&g] {
        std::vector<double> out;
        for (int r = 0; r < g->axisRectCount(); ++r) {
            for (auto type : {QCPAxis::atBottom, QCPAxis::atLeft}) {
                out.push_back(g->axisRect(r)->axis(type)->range().lower);
                out.push_back(g->axisRect(r)->axis(type)->range().upper);
            }
        }
        return out;
    };
    const auto original = ranges();
    const QRect area = g->axisRect(1)->rect();
    ASSERT_TRUE(g->zoomToPixelRect(QRect(area.left() + 100, area.top() + 20, 300, 60)));
    EXPECT_EQ(zoomed.count(), 1);
    EXPECT_TRUE(g->isZoomed());
    const auto first = ranges();
    EXPECT_NE(first, original);
    // The time axis zooms on every axis; the value axis only where the rectangle was drawn.
    EXPECT_GT(g->axisRect(0)->axis(QCPAxis::atBottom)->range().lower, kT0);
    EXPECT_DOUBLE_EQ(g->axisRect(0)->axis(QCPAxis::atLeft)->range().lower, -10);
    EXPECT_GT(g->axisRect(1)->axis(QCPAxis::atLeft)->range().lower, -10);

    ASSERT_TRUE(g->zoomToPixelRect(QRect(area.left() + 10, area.top() + 10, 50, 50)));
    EXPECT_NE(ranges(), first);
    g->undoZoomStep();
    EXPECT_EQ(ranges(), first);
    g->undoZoom();
    EXPECT_FALSE(g->isZoomed());
    EXPECT_EQ(ranges(), original);

    // A redraw while zoomed keeps the zoom; a change of layout ends it.
    g->zoomToPixelRect(QRect(area.left() + 10, area.top() + 10, 50, 50));
    g->redraw();
    EXPECT_TRUE(g->isZoomed());
    g->setMultiAxesSubsets(-1, 0);
    g->redraw();
    EXPECT_FALSE(g->isZoomed());
}

TEST(Graph1ViewTest, ZoomFollowsTheAllowedDirections) {
    struct Case {
        int mode;
        bool xChanges, yChanges;
    };
    for (const Case c : {Case{ZoomNone, false, false}, Case{ZoomHorizontal, true, false},
                         Case{ZoomVertical, false, true}, Case{ZoomBoth, true, true}}) {
        auto g = shownGraph();
        fillFourChannels(*g, 100);
        g->setAllowZooming(c.mode);
        g->redraw();
        QSignalSpy zoomed(g.get(), &Graph1::onZoomIn);
        const QCPRange x = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
        const QCPRange y = g->axisRect(0)->axis(QCPAxis::atLeft)->range();
        const QRect area = g->axisRect(0)->rect();
        g->zoomToPixelRect(QRect(area.left() + 50, area.top() + 10, 200, 40));
        EXPECT_EQ(g->axisRect(0)->axis(QCPAxis::atBottom)->range() != x, c.xChanges) << c.mode;
        EXPECT_EQ(g->axisRect(0)->axis(QCPAxis::atLeft)->range() != y, c.yChanges) << c.mode;
        EXPECT_EQ(zoomed.count(), c.mode == ZoomNone ? 0 : 1) << c.mode;
    }
}

TEST(Graph1ViewTest, ScrollBarPansTheZoomedTime) {
    auto g = shownGraph();
    fillFourChannels(*g, 100);
    g->setAllowZooming(ZoomHorizontal);
    g->setScrollingHorzZoom(true);
    g->redraw();
    const QRect area = g->axisRect(0)->rect();
    ASSERT_TRUE(g->zoomToPixelRect(QRect(area.left(), area.top(), area.width() / 4, 40)));
    auto* bar = g->findChild<QScrollBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
    const QCPRange before = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    bar->setValue(bar->maximum());
    const QCPRange after = g->axisRect(0)->axis(QCPAxis::atBottom)->range();
    EXPECT_NEAR(after.size(), before.size(), 1e-9);
    EXPECT_NEAR(after.upper, kT0 + 100 * kSecond, 2 * kSecond);
    g->undoZoom();
    EXPECT_FALSE(bar->isVisible());
}

TEST(Graph1ViewTest, PixelAndGraphValuesConvertBothWays) {
    auto g = shownGraph();
    fillFourChannels(*g, 100);
    g->setMultiAxesSubsets(-1, 0);
    g->redraw();
    const QRect area = g->plottingArea();
    EXPECT_EQ(area, g->axisRect(0)->rect());
    const QPointF topLeft = g->pixelToGraph(area.topLeft());
    EXPECT_NEAR(topLeft.x(), kT0, 1e-6);
    EXPECT_NEAR(topLeft.y(), 50.0, 0.2);
    const QPointF value(kT0 + 42 * kSecond, 17.5);
    const QPointF back = g->pixelToGraph(g->graphToPixel(value));
    EXPECT_NEAR(back.x(), value.x(), 1e-9);
    EXPECT_NEAR(back.y(), value.y(), 1e-9);
    EXPECT_EQ(g->axisAt(area.center()), 0);
    EXPECT_EQ(g->axisAt(QPointF(area.left() - 5, area.center().y())), -1);
}

TEST(Graph1ViewTest, PlottingAreaSpansEverySplitAxis) {
    auto g = shownGraph();
    fillFourChannels(*g, 10);
    g->redraw();
    const QRect area = g->plottingArea();
    EXPECT_EQ(area.top(), g->axisRect(0)->rect().top());
    EXPECT_EQ(area.bottom(), g->axisRect(3)->rect().bottom());
    EXPECT_EQ(g->axisAt(g->axisRect(2)->rect().center()), 2);
    // Y of a pixel in the third axis, read on that axis.
    const QPointF onThird = g->pixelToGraph(g->axisRect(2)->rect().topLeft(), 2);
    EXPECT_NEAR(onThird.y(), 50.0, 0.5);
}

TEST(Graph1ViewTest, LookSettingsReachTheDrawing) {
    auto g = shownGraph();
    fillFourChannels(*g, 10);
    g->setSubsetColor(1, QColor(0, 255, 255));
    g->setSubsetLineWidth(1, 3.0);
    g->setSubsetLabel(1, QStringLiteral("T2"));
    g->setGridStyle(GridDotted);
    g->setGraphForeColor(QColor(0, 128, 0));
    g->setGraphBackColor(Qt::black);
    g->setXAxisLabel(QStringLiteral("Time"));
    g->setWorkingAxis(3);
    g->setYAxisLabel(QStringLiteral("T4 °C"));
    g->redraw();
    EXPECT_EQ(g->graphOf(1)->pen().color(), QColor(0, 255, 255));
    EXPECT_EQ(g->graphOf(1)->pen().widthF(), 3.0);
    EXPECT_EQ(g->graphOf(1)->name(), QStringLiteral("T2"));
    QCPAxis* y = g->axisRect(3)->axis(QCPAxis::atLeft);
    EXPECT_EQ(y->label(), QStringLiteral("T4 °C"));
    EXPECT_EQ(y->grid()->pen().style(), Qt::DotLine);
    EXPECT_EQ(y->grid()->pen().color(), QColor(0, 128, 0));
    EXPECT_EQ(g->axisRect(0)->backgroundBrush().color(), QColor(Qt::black));
    EXPECT_EQ(g->axisRect(0)->axis(QCPAxis::atLeft)->label(), QString());
}

// The data-point label is black; on the black plotting area of the default look it gets a
// light backing, while a red mark stays as it is.
TEST(Graph1ViewTest, MarkInTheBackgroundColourGetsABacking) {
    for (const QColor ink : {QColor(Qt::black), QColor(Qt::red)}) {
        auto g = shownGraph();
        fillFourChannels(*g, 100);
        g->setMultiAxesSubsets(-1, 0);
        g->setGraphBackColor(Qt::black);
        g->setGridStyle(GridNone);
        g->setGraphAnnotationType(2, AnnotationCross);
        g->setGraphAnnotationX(2, kT0 + 50 * kSecond);
        g->setGraphAnnotationY(2, 45.0); // above every curve
        g->setGraphAnnotationColor(2, ink);
        g->redraw();
        const QImage image = g->plot()->toPixmap().toImage();
        const QPoint beside = g->graphToPixel(QPointF(kT0 + 50 * kSecond, 45.0)).toPoint() + QPoint(2, 3);
        const int lightness = image.pixelColor(beside).lightness();
        if (ink == QColor(Qt::black))
            EXPECT_GT(lightness, 150);
        else
            EXPECT_LT(lightness, 60);
    }
}

TEST(Graph1ViewTest, TimeAxisTicksAreWholeSeconds) {
    auto g = shownGraph();
    fillFourChannels(*g, 110); // the real-time window's 110 s
    g->redraw();
    g->plot()->replot();
    QCPAxisRect* timeRect = g->axisRect(3)->axis(QCPAxis::atBottom)->axisRect();
    const QVector<double> ticks = timeRect->axis(QCPAxis::atBottom)->tickVector();
    ASSERT_GE(ticks.size(), 3);
    const double step = std::round((ticks[1] - ticks[0]) * 86400.0);
    EXPECT_TRUE(step == 10 || step == 15 || step == 30) << step;
    for (double t : ticks)
        EXPECT_NEAR(std::fmod(std::round(t * 86400.0), step), 0.0, 1e-9);
}

TEST(Graph1ViewTest, DaysConvertToLocalDateTimes) {
    struct Case {
        double days;
        QDateTime expected;
    };
    const Case cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {kT0, QDateTime(QDate(2024, 3, 1), QTime(12, 0))},
        {kT0 + 1.5 * kSecond, QDateTime(QDate(2024, 3, 1), QTime(12, 0, 1, 500))},
        {-1.25, QDateTime(QDate(1899, 12, 28), QTime(18, 0))},
        {45352.9999999999, QDateTime(QDate(2024, 3, 2), QTime(0, 0))}, // rounds to the next midnight
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dateTimeFromDays(c.days), c.expected) << c.days;
        EXPECT_NEAR(daysFromDateTime(c.expected), std::round(c.days * 86400000.0) / 86400000.0, 1e-9)
            << c.days;
    }
    for (double beyond : {std::numeric_limits<double>::infinity(), 1e8, -1e8, 2e34, -2e34})
        EXPECT_FALSE(dateTimeFromDays(beyond).isValid()) << beyond;
    EXPECT_EQ(daysFromDateTime(QDateTime()), 0.0);
}

/// The tick labels of every curve axis's value axis, one pixel position each, top down.
std::vector<std::vector<double>> valueLabelPositions(const Graph1& g) {
    std::vector<std::vector<double>> out;
    for (int r = 0; r < g.axisRectCount(); ++r) {
        const QCPAxis* axis = g.axisRect(r)->axis(QCPAxis::atLeft);
        std::vector<double> pixels;
        for (const double tick : axis->tickVector())
            pixels.push_back(axis->coordToPixel(tick));
        std::sort(pixels.begin(), pixels.end());
        out.push_back(pixels);
    }
    return out;
}

TEST(Graph1ViewTest, ValueAxisLabelsStayApartOnShortAxes) {
    struct Case {
        QSize widget;
        QSize picture; // drawn through pngBytes when not empty
        bool split;
        int axes;     // shown: a split view too low for three labels an axis shows one axis
        int minTicks; // per axis
    };
    const Case cases[] = {
        {{1200, 800}, {}, true, 4, 7}, // tall enough for every 10°
        {{1200, 800}, {}, false, 1, 7},
        {{400, 260}, {}, true, 1, 3}, // a small window
        {{400, 160}, {}, false, 1, 2},
        {{1200, 800}, {400, 260}, true, 1, 3}, // a small picture of a large window
        {{400, 260}, {1600, 1200}, true, 4, 7},
    };
    for (const Case& c : cases) {
        auto g = shownGraph(c.widget.width(), c.widget.height());
        fillFourChannels(*g, 50); // Y from -10 to 50
        if (!c.split)
            g->setMultiAxesSubsets(-1, 0);
        g->redraw();
        g->plot()->replot();
        if (!c.picture.isEmpty()) {
            ASSERT_FALSE(g->pngBytes(c.picture.width(), c.picture.height()).isEmpty());
        }
        const double labelHeight =
            QFontMetricsF(g->axisRect(0)->axis(QCPAxis::atLeft)->tickLabelFont()).height();
        const auto axes = valueLabelPositions(*g);
        ASSERT_EQ(int(axes.size()), c.axes) << c.widget.width() << "x" << c.widget.height();
        for (const std::vector<double>& labels : axes) {
            EXPECT_GE(int(labels.size()), c.minTicks) << c.widget.width() << "x" << c.widget.height();
            for (std::size_t i = 1; i < labels.size(); ++i)
                EXPECT_GE(labels[i] - labels[i - 1], labelHeight)
                    << c.widget.width() << "x" << c.widget.height() << " picture " << c.picture.width();
        }
    }
}

TEST(Graph1ViewTest, ASplitViewTooLowForThreeLabelsAnAxisShowsOneAxisUntilItFits) {
    auto g = shownGraph(900, 240);
    fillFourChannels(*g, 50);
    g->redraw();
    g->plot()->replot();
    EXPECT_TRUE(g->compactView());
    ASSERT_EQ(g->axisRectCount(), 1);
    EXPECT_EQ(rectOfEachSubset(*g), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(g->multiAxesSubsets(3), 1) << "the split view stays chosen";
    g->resize(900, 700);
    QCoreApplication::processEvents();
    g->plot()->replot();
    EXPECT_FALSE(g->compactView());
    ASSERT_EQ(g->axisRectCount(), 4);
    for (const std::vector<double>& labels : valueLabelPositions(*g))
        EXPECT_GE(int(labels.size()), Graph1::kMinAxisLabels);
}

TEST(Graph1ViewTest, SavesPngPdfAndPrints) {
    auto g = shownGraph();
    fillFourChannels(*g, 50);
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("graph.png"));
    ASSERT_TRUE(g->savePng(png, 600, 400));
    const QImage image(png);
    EXPECT_EQ(image.size(), QSize(600, 400));
    // The first curve's colour appears somewhere in the picture.
    bool found = false;
    for (int y = 0; y < image.height() && !found; ++y) {
        for (int x = 0; x < image.width() && !found; ++x)
            found = image.pixelColor(x, y) == g->subsetColor(0);
    }
    EXPECT_TRUE(found);

    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    ASSERT_TRUE(g->savePdf(pdf, 600, 400));
    EXPECT_GT(QFileInfo(pdf).size(), 1000);

    QPrinter printer(QPrinter::HighResolution);
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    g->print(printer);
    EXPECT_GT(QFileInfo(printed).size(), 1000);
}

} // namespace
} // namespace thermo4::chart::test
