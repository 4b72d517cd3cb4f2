#include "core/GraphStatistics.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace thermo4::core {
namespace {

constexpr double kT0 = 45000.5; // a day in 2023, noon
constexpr double kSecond = 1.0 / kSecondsPerDay;

/// Four channels of n points every `step` seconds from kT0; channel 0 gets the given values.
struct Graph {
    std::vector<std::vector<double>> x;
    std::vector<std::vector<float>> y;

    explicit Graph(const std::vector<float>& t1, double step = 2.0) : x(4), y(4, t1) {
        for (auto& column : x) {
            for (std::size_t i = 0; i < t1.size(); ++i)
                column.push_back(kT0 + double(i) * step * kSecond);
        }
    }
    GraphStatistics stats() const { return ComputeGraphStatistics(x, y, int(y[0].size())); }
};

struct ExtremeCase {
    const char* name;
    std::vector<float> values;
    float max;
    int maxAt; // point index of the maximum's time, -1: none
    float min;
    int minAt;
    int count;
    double sum;
};

class ExtremesTest : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(ExtremesTest, MaxMinAndSumFollowTheLimits) {
    const ExtremeCase& c = GetParam();
    const Graph g(c.values);
    const ChannelStatistics s = g.stats().channels[0];
    EXPECT_FLOAT_EQ(s.max, c.max);
    EXPECT_DOUBLE_EQ(s.maxTime, c.maxAt < 0 ? 0.0 : g.x[0][std::size_t(c.maxAt)]);
    EXPECT_FLOAT_EQ(s.min, c.min);
    EXPECT_DOUBLE_EQ(s.minTime, c.minAt < 0 ? 0.0 : g.x[0][std::size_t(c.minAt)]);
    EXPECT_EQ(s.count, c.count);
    EXPECT_NEAR(s.sum, c.sum, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(
    GraphStatistics, ExtremesTest,
    ::testing::Values(
        // −328 and 2500 are temperatures; a reading beyond them counts for nothing.
        ExtremeCase{"limits", {-328.0f, 2500.0f, 10.0f}, 2500.0f, 1, -328.0f, 0, 3, 2182.0},
        ExtremeCase{"beyondLimits", {-328.1f, 10.0f, 2500.1f}, 10.0f, 1, 10.0f, 1, 1, 10.0},
        // The logger's marks for a channel without a probe (°F, °C), over range, the null value.
        ExtremeCase{"noProbe", {-3276.8f, -1838.2f, 3276.7f, 9999.0f}, kMaxStart, -1, kMinStart, -1, 0, 0.0},
        ExtremeCase{"gapsBetween", {-1838.2f, 20.0f, 9999.0f, 21.0f}, 21.0f, 3, 20.0f, 1, 2, 41.0},
        ExtremeCase{"notANumber", {std::numeric_limits<float>::quiet_NaN(), 5.0f}, 5.0f, 1, 5.0f, 1, 1, 5.0},
        // The first of equal extremes keeps its time.
        ExtremeCase{"ties", {5.0f, 7.0f, 7.0f, 3.0f, 3.0f}, 7.0f, 1, 3.0f, 3, 5, 25.0},
        ExtremeCase{"noReading", {9999.0f, 9999.0f}, kMaxStart, -1, kMinStart, -1, 0, 0.0},
        ExtremeCase{"negative", {-5.5f, -12.25f, -1.0f}, -1.0f, 2, -12.25f, 1, 3, -18.75}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphStatistics, AChannelWithoutAProbeShowsOverRangeAndNoAverage) {
    const QLocale c = QLocale::c();
    // A downloaded °C data set: the logger's −3276.8 °F became −1838.2 °C.
    const Graph g({-1838.2f, -1838.2f, -1838.2f});
    const ChannelStatistics s = g.stats().channels[0];
    EXPECT_EQ(ExtremeText(s.max, s.maxTime, c), QStringLiteral("OL"));
    EXPECT_EQ(ExtremeText(s.min, s.minTime, c), QStringLiteral("OL"));
    EXPECT_EQ(AverageText(s.sum, s.count, 1, c), QStringLiteral("****"));
    EXPECT_EQ(ExtremeText(2500.0f, g.x[0][1], c), QStringLiteral("2500.0@") + DateTimeText(g.x[0][1], c));
    EXPECT_EQ(ExtremeText(kMaxStart, 0.0, c), QStringLiteral("OL"));
    EXPECT_EQ(ExtremeText(kMinStart, 0.0, c), QStringLiteral("OL"));
    EXPECT_EQ(AverageText(10.0, 4, 3, c), QStringLiteral("2.500"));
    EXPECT_EQ(AverageText(-7.0, 2, 1, c), QStringLiteral("-3.5"));
}

TEST(GraphStatistics, TextsUseTheLocale) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(AverageText(5.0, 2, 1, german), QStringLiteral("2,5"));
    const double t = TDateTimeFromDateAndTime(QDate(2024, 3, 9), QTime(14, 5, 6));
    const QString text = ExtremeText(-1.5f, t, german);
    EXPECT_TRUE(text.startsWith(QStringLiteral("-1,5@"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("14:05:06"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("09.03.24"))) << text.toStdString();
}

TEST(GraphStatistics, RateIsTheMeanStepRoundedToSeconds) {
    struct Case {
        std::size_t points;
        double step; // s
        int rate;
    };
    for (const Case c : {Case{10, 60.0, 60}, Case{2, 2.4, 2}, Case{2, 2.5, 3}, Case{3, 3725.0, 3725},
                         Case{1, 60.0, 0}, Case{5, 0.0, 0}}) {
        const Graph g(std::vector<float>(c.points, 20.0f), c.step);
        const GraphStatistics s = g.stats();
        EXPECT_EQ(s.rateSeconds, c.rate) << c.points << " points every " << c.step << " s";
        EXPECT_EQ(s.points, int(c.points));
        EXPECT_DOUBLE_EQ(s.startTime, kT0);
    }
}

TEST(GraphStatistics, BlankLastPointGivesABoundedRate) {
    // A graph whose last point never received data has X 0 there: a step of minus 120 years.
    Graph g({20.0f, 21.0f, 9999.0f});
    g.x[0][2] = 0.0;
    EXPECT_EQ(g.stats().rateSeconds, -int(std::trunc(kT0 / 2 * kSecondsPerDay - 0.5)));
    g.x[0][1] = 1e300;
    g.x[0][2] = -1e300;
    EXPECT_EQ(g.stats().rateSeconds, -std::numeric_limits<int>::max());
}

TEST(GraphStatistics, MissingSubsetsAndShortColumnsCountAsNoReading) {
    const std::vector<std::vector<double>> x{{kT0, kT0 + kSecond}};
    const std::vector<std::vector<float>> y{{1.0f, 2.0f}, {4.0f}};
    const GraphStatistics s = ComputeGraphStatistics(x, y, 2);
    EXPECT_EQ(s.channels[0].count, 2);
    EXPECT_EQ(s.channels[1].count, 1);
    EXPECT_DOUBLE_EQ(s.channels[1].maxTime, 0.0); // no X column for T2
    EXPECT_EQ(s.channels[2].count, 0);
    EXPECT_FLOAT_EQ(s.channels[3].max, kMaxStart);
    EXPECT_EQ(ComputeGraphStatistics({}, {}, 0).rateSeconds, 0);
}

TEST(GraphStatistics, LongSeriesAverageKeepsItsDecimal) {
    // Summed in single precision, 65535 readings of 123.4 average to 123.5.
    const Graph g(std::vector<float>(65535, 123.4f), 1.0);
    const ChannelStatistics s = g.stats().channels[0];
    EXPECT_EQ(AverageText(s.sum, s.count, 1, QLocale::c()), QStringLiteral("123.4"));
}

} // namespace
} // namespace thermo4::core
