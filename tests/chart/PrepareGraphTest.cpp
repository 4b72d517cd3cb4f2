#include "chart/PrepareGraph.h"
#include "ChartTestUtil.h"
#include "chart/DefaultLook.h"
#include "chart/StatisticsTable.h"
#include "core/DataSet.h"
#include "core/GraphStatistics.h"

#include <gtest/gtest.h>

namespace thermo4::chart::test {
namespace {

/// Two data sets: 3 samples every 2 s from kT0, then 5 samples every 60 s a day later, with
/// readings of four digits and beyond the limits (3276.7 over range, −1838.2 no probe).
core::DataSetCollection TwoSets() {
    std::vector<core::DataSet> headers(2);
    headers[0] = {.startTime = kT0, .intervalSeconds = 2, .pointCount = 3, .celsius = true};
    headers[1] = {.startTime = kT0 + 1.0, .intervalSeconds = 60, .pointCount = 5, .celsius = false};
    const float second[5][4] = {{1234.5f, 20.0f, -1838.2f, 5.0f},
                                {1500.0f, 21.0f, -1838.2f, 3276.7f},
                                {1000.0f, 22.0f, -1838.2f, 5.0f},
                                {999.9f, 23.0f, -1838.2f, 5.0f},
                                {1100.0f, 24.0f, -1838.2f, 5.0f}};
    std::vector<float> values;
    std::vector<double> times;
    for (int set = 0; set < 2; ++set) {
        const core::DataSet& h = headers[std::size_t(set)];
        for (int i = 0; i < h.pointCount; ++i) {
            for (int c = 0; c < 4; ++c) {
                values.push_back(set == 0 ? float(10 * c + i) : second[i][c]);
                times.push_back(h.startTime + i * h.intervalSeconds * kSecond);
            }
        }
    }
    return core::DataSetCollection(headers, values, times);
}

TEST(PrepareGraph, ADataSetGetsItsSliceRangesAndTheBuiltInLook) {
    const core::DataSetCollection sets = TwoSets();
    Graph1 g;
    ASSERT_TRUE(PrepareDataSetGraph(g, sets, 1, true));
    EXPECT_EQ(g.subsets(), 4);
    ASSERT_EQ(g.points(), 5);
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_DOUBLE_EQ(g.xDataII(k, i), kT0 + 1.0 + i * 60 * kSecond);
            EXPECT_EQ(g.yData(k, i), sets.valuesOf(1)[std::size_t(4 * i + k)]);
        }
    }
    EXPECT_EQ(g.manualScaleControlX(), ScaleManual);
    EXPECT_DOUBLE_EQ(g.manualMinX(), kT0 + 1.0);
    EXPECT_DOUBLE_EQ(g.manualMaxX(), kT0 + 1.0 + 5 * 60 * kSecond);
    for (int axis = 0; axis < 4; ++axis) {
        g.setWorkingAxis(axis);
        EXPECT_EQ(g.manualMinY(), kDataSetYMin);
        EXPECT_EQ(g.manualMaxY(), kDataSetYMax);
        EXPECT_EQ(g.multiAxesProportions(axis), 0.25);
    }
    EXPECT_EQ(g.subsetLabel(3), QStringLiteral("T4"));
    EXPECT_EQ(g.graphBackColor(), QColor(Qt::black));

    // A smaller set afterwards leaves nothing of the larger one.
    ASSERT_TRUE(PrepareDataSetGraph(g, sets, 0, true));
    EXPECT_EQ(g.points(), 3);
    EXPECT_EQ(g.yData(3, 2), 32.0f);
}

TEST(PrepareGraph, AnIndexOutsideTheCollectionLeavesTheControlAsItWas) {
    const core::DataSetCollection sets = TwoSets();
    Graph1 g;
    ASSERT_TRUE(PrepareDataSetGraph(g, sets, 0, true));
    const QByteArray before = g.storeState();
    for (int k : {-1, 2, 1000})
        EXPECT_FALSE(PrepareDataSetGraph(g, sets, k, true)) << k;
    EXPECT_EQ(g.storeState(), before);
}

TEST(PrepareGraph, WithoutTheBuiltInLookTheTemplatesLookStays) {
    Graph1 g;
    g.setSubsets(kGraphChannels);
    ApplyDefaultLook(g, kGraphChannels, 500.0f, 0.0f);
    g.setMainTitle(QStringLiteral("Kiln"));
    g.setGraphBackColor(Qt::white);
    ASSERT_TRUE(PrepareDataSetGraph(g, TwoSets(), 1, false));
    EXPECT_EQ(g.mainTitle(), QStringLiteral("Kiln"));
    EXPECT_EQ(g.graphBackColor(), QColor(Qt::white));
    g.setWorkingAxis(2);
    EXPECT_EQ(g.manualMaxY(), 500.0);
    EXPECT_EQ(g.points(), 5);
}

TEST(PrepareGraph, StatisticsTableOfADataSetShowsItsHeaderAndTheFieldTexts) {
    const core::DataSetCollection sets = TwoSets();
    Graph1 g;
    ASSERT_TRUE(PrepareDataSetGraph(g, sets, 1, true));
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const StatisticsTableValues values = DataSetStatisticsValues(g, sets.header(1), us);
    const auto at = [&](int point) {
        return QLatin1Char('@') + core::DateTimeText(kT0 + 1.0 + point * 60 * kSecond, us);
    };
    EXPECT_EQ(values[0], core::DateTimeText(kT0 + 1.0, us));
    EXPECT_EQ(values[1], QStringLiteral("01:00"));
    EXPECT_EQ(values[2], QStringLiteral("5"));
    // Four-digit readings have no group separator. T3 has no probe (−1838.2) and T4's 3276.7 is
    // over range: no temperature, they count for nothing.
    EXPECT_EQ(values[3], QStringLiteral("1500.0") + at(1));
    EXPECT_EQ(values[4], QStringLiteral("999.9") + at(3));
    EXPECT_EQ(values[5], QStringLiteral("1166.9"));
    EXPECT_EQ(values[9], QStringLiteral("OL"));
    EXPECT_EQ(values[10], QStringLiteral("OL"));
    EXPECT_EQ(values[11], QStringLiteral("****"));
    EXPECT_EQ(values[12], QStringLiteral("5.0") + at(0));
    EXPECT_EQ(values[14], QStringLiteral("5.0"));

    ShowStatisticsTable(g, values);
    EXPECT_EQ(g.TARows(), kStatisticsTableRows);
    EXPECT_EQ(g.TAText(3, 0), QStringLiteral("T1 MAX:"));
    EXPECT_EQ(g.TAText(3, 1), values[3]);
}

} // namespace
} // namespace thermo4::chart::test
