#include "ChartTestUtil.h"

#include "chart/Graph1.h"

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::chart::test {
namespace {

TEST(Graph1DataTest, FreshControlHasOneSubsetOfFourBlankPoints) {
    Graph1 g;
    EXPECT_EQ(g.subsets(), 1);
    EXPECT_EQ(g.points(), 4);
    EXPECT_EQ(g.xDataII(0, 3), 0.0);
    EXPECT_EQ(g.yData(0, 3), 9999.0f);
    EXPECT_TRUE(g.showLegend());
    EXPECT_EQ(g.allowZooming(), int(ZoomNone));
    EXPECT_FALSE(g.allowDataHotSpots());
    EXPECT_FALSE(g.allowGraphHotSpots());
    EXPECT_TRUE(plotted(g, 0).empty());
}

TEST(Graph1DataTest, TheNullValueAndReadingsThatAreNoTemperatureAreGapsButReadBack) {
    Graph1 g;
    // The null value; a channel without a probe in °C and °F; over range; the limits and past them.
    const std::vector<float> ys = {1, 9999, -1838.2f, -3276.8f, 3276.7f, 2500, 2500.1f, -328, -328.1f};
    g.setPoints(int(ys.size()));
    for (int p = 0; p < g.points(); ++p) {
        g.setXDataII(0, p, kT0 + p * kSecond);
        g.setYData(0, p, ys[std::size_t(p)]);
    }
    g.redraw();
    const auto data = plotted(g, 0);
    ASSERT_EQ(data.size(), ys.size());
    for (std::size_t p = 0; p < ys.size(); ++p) {
        const bool temperature = p == 0 || ys[p] == 2500 || ys[p] == -328;
        EXPECT_EQ(std::isnan(data[p].second), !temperature) << ys[p];
        EXPECT_EQ(g.yData(0, int(p)), ys[p]);
    }
}

TEST(Graph1DataTest, ChangedNullValueTakesEffect) {
    Graph1 g;
    g.setPoints(2);
    g.setXDataII(0, 0, kT0);
    g.setYData(0, 0, -1.0f);
    g.setXDataII(0, 1, kT0 + kSecond);
    g.setYData(0, 1, 25.0f);
    g.setNullDataValueY(-1.0);
    g.redraw();
    const auto data = plotted(g, 0);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_TRUE(std::isnan(data[0].second));
    EXPECT_EQ(data[1].second, 25.0);
}

TEST(Graph1DataTest, PointsNeverWrittenAreNotPlotted) {
    Graph1 g;
    g.setPoints(2000);
    g.setXDataII(-1, 0, 0.0);
    g.setYData(-1, 0, 9999.0f);
    for (int p = 0; p < 3; ++p) {
        g.setXDataII(0, p, kT0 + p * kSecond);
        g.setYData(0, p, 20.0f + p);
    }
    g.redraw();
    EXPECT_EQ(plotted(g, 0).size(), 3u);
}

TEST(Graph1DataTest, WholeArrayWriteWithSubsetMinusOneFillsEveryCell) {
    Graph1 g;
    g.setSubsets(4);
    g.setPoints(10);
    g.setYData(2, 4, 12.0f);
    g.setXDataII(-1, 2, kT0);
    g.setYDataII(-1, 2, 9999.0);
    for (int s = 0; s < 4; ++s) {
        for (int p = 0; p < 10; ++p) {
            ASSERT_EQ(g.xDataII(s, p), kT0);
            ASSERT_EQ(g.yData(s, p), 9999.0f);
        }
    }
}

TEST(Graph1DataTest, WholeArraysFollowTheSubsetByPointOrder) {
    struct Case {
        bool subsetByPoint;
        int subset, point; // where element 1 of the array lands
    };
    for (const Case c : {Case{false, 1, 0}, Case{true, 0, 1}}) {
        Graph1 g;
        g.setSubsets(2);
        g.setPoints(3);
        g.setSubsetByPoint(c.subsetByPoint);
        const std::vector<double> xs = {10, 11, 12, 13, 14, 15, 16 /* one too many: dropped */};
        const std::vector<float> ys = {0, 1, 2, 3, 4, 5};
        g.setXDataII(xs);
        g.setYData(ys);
        EXPECT_EQ(g.xDataII(c.subset, c.point), 11.0) << c.subsetByPoint;
        EXPECT_EQ(g.yData(c.subset, c.point), 1.0f) << c.subsetByPoint;
        EXPECT_EQ(g.xDataII(1, 2), 15.0) << c.subsetByPoint; // the last cell either way
    }
}

TEST(Graph1DataTest, WritesOutsideTheGraphAreIgnored) {
    Graph1 g;
    g.setSubsets(2);
    g.setPoints(3);
    const QByteArray before = g.storeState();
    g.setXDataII(2, 0, 1.0);
    g.setYData(0, 3, 1.0f);
    g.setYData(-2, 0, 1.0f);
    g.setXDataII(0, -1, 1.0);
    EXPECT_EQ(g.storeState(), before);
    EXPECT_EQ(g.xDataII(5, 5), 0.0);
    EXPECT_EQ(g.yData(-3, 0), 9999.0f);
    EXPECT_FALSE(g.setPoints(-1));
    EXPECT_FALSE(g.setPoints(kMaxPoints + 1));
    EXPECT_FALSE(g.setSubsets(kMaxSubsets + 1));
    EXPECT_EQ(g.points(), 3);
    EXPECT_EQ(g.subsets(), 2);
}

TEST(Graph1DataTest, ShrinkingPointsKeepsTheFirstOnes) {
    Graph1 g;
    g.setPoints(2000);
    for (int p = 0; p < 5; ++p) {
        g.setXDataII(0, p, kT0 + p * kSecond);
        g.setYData(0, p, float(p));
    }
    g.redraw();
    ASSERT_EQ(plotted(g, 0).size(), 5u);
    g.setPoints(3);
    g.redraw();
    EXPECT_EQ(plotted(g, 0).size(), 3u);
    EXPECT_EQ(g.yData(0, 2), 2.0f);
    EXPECT_EQ(g.xDataII(0, 2), kT0 + 2 * kSecond);
}

// The real-time path appends one point per redraw; the plotted result must equal what a full
// rebuild of the same cells gives, including gaps, rewrites of earlier points and late X values.
TEST(Graph1DataTest, IncrementalRedrawsMatchAFullRebuild) {
    constexpr int kPoints = 60;
    auto value = [](int s, int p) { return (p % 11 == 5 && s == 1) ? 9999.0f : float(s * 10 + p * 0.5); };
    Graph1 live;
    live.setSubsets(4);
    live.setPoints(kPoints + 10);
    live.setXDataII(-1, 0, 0.0);
    live.setYData(-1, 0, 9999.0f);
    for (int p = 0; p < kPoints; ++p) {
        for (int s = 0; s < 4; ++s) {
            live.setXDataII(s, p, kT0 + p * kSecond);
            live.setYData(s, p, value(s, p));
        }
        if (p == 30) // a correction of an earlier point
            live.setYData(2, 10, -5.0f);
        if (p == 40) // an earlier point moved after later ones were drawn
            live.setXDataII(3, 35, kT0 + 35.5 * kSecond);
        if (p % 3 != 2) // not every write is followed by a redraw
            live.redraw();
    }
    live.redraw();

    Graph1 whole;
    whole.setSubsets(4);
    whole.setPoints(kPoints + 10);
    for (int p = 0; p < kPoints; ++p) {
        for (int s = 0; s < 4; ++s) {
            whole.setXDataII(s, p, kT0 + p * kSecond);
            whole.setYData(s, p, value(s, p));
        }
    }
    whole.setYData(2, 10, -5.0f);
    whole.setXDataII(3, 35, kT0 + 35.5 * kSecond);
    whole.reinitAndReset();
    for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(plotted(live, s).size(), std::size_t(kPoints)) << s;
        EXPECT_TRUE(samePlotted(plotted(live, s), plotted(whole, s))) << "subset " << s;
    }
    EXPECT_EQ(plotted(live, 2)[10].second, -5.0);
}

TEST(Graph1DataTest, AppendPointGrowsTheGraph) {
    Graph1 g;
    g.setSubsets(4);
    g.setPoints(0);
    const float first[] = {1, 2, 3, 4};
    const float second[] = {5, 6}; // missing channels become null
    g.appendPoint(kT0, first);
    g.appendPoint(kT0 + kSecond, second);
    g.redraw();
    EXPECT_EQ(g.points(), 2);
    EXPECT_EQ(g.yData(3, 0), 4.0f);
    EXPECT_EQ(g.yData(1, 1), 6.0f);
    EXPECT_EQ(g.yData(3, 1), 9999.0f);
    EXPECT_EQ(g.xDataII(2, 1), kT0 + kSecond);
    EXPECT_EQ(plotted(g, 0).size(), 2u);
    EXPECT_TRUE(std::isnan(plotted(g, 3)[1].second));
}

TEST(Graph1DataTest, LineGapThresholdBreaksLongGaps) {
    Graph1 g;
    g.setPoints(3);
    const double xs[] = {kT0, kT0 + kSecond, kT0 + 100 * kSecond};
    for (int p = 0; p < 3; ++p) {
        g.setXDataII(0, p, xs[p]);
        g.setYData(0, p, 20.0f);
    }
    g.setLineGapThreshold(10 * kSecond);
    g.redraw();
    const auto data = plotted(g, 0);
    ASSERT_EQ(data.size(), 4u); // a NaN between the second and the third point
    EXPECT_TRUE(std::isnan(data[2].second));
    EXPECT_GT(data[2].first, xs[1]);
    EXPECT_LT(data[2].first, xs[2]);
    g.setLineGapThreshold(1e20);
    g.redraw();
    EXPECT_EQ(plotted(g, 0).size(), 3u);
}

TEST(Graph1DataTest, NonFiniteXIsNotPlotted) {
    Graph1 g;
    g.setPoints(3);
    for (int p = 0; p < 3; ++p) {
        g.setXDataII(0, p, kT0 + p * kSecond);
        g.setYData(0, p, 1.0f);
    }
    g.setXDataII(0, 1, std::numeric_limits<double>::quiet_NaN());
    g.redraw();
    EXPECT_EQ(plotted(g, 0).size(), 2u);
}

} // namespace
} // namespace thermo4::chart::test
