#include "formats/GraphText.h"

#include "TestFiles.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

#include <limits>

namespace thermo4::formats {
namespace {

using test::kGerman;
using test::kUs;

TEST(GraphText, ReadingsBeyondTheLimitsAreOLOthersHaveOneDecimalAndNoGroupSeparator) {
    const std::tuple<double, const char*, const char*> cases[] = {
        {2500.0, "2500.0", "2500,0"},
        {2500.1, "OL", "OL"},
        {2500.04, "OL", "OL"}, // the value decides, not its rounded text
        {-328.0, "-328.0", "-328,0"},
        {-328.1, "OL", "OL"},
        {double(2500.1f), "OL", "OL"},
        {double(-328.1f), "OL", "OL"},
        {9999.0, "OL", "OL"},  // the chart's null value
        {3276.7, "OL", "OL"},  // over range as the meter stores it
        {-1838.2, "OL", "OL"}, // no probe
        {std::numeric_limits<double>::quiet_NaN(), "OL", "OL"},
        {1234.56, "1234.6", "1234,6"},
        {-0.04, "0.0", "0,0"},
        {-0.05, "-0.1", "-0,1"},
        {25.3, "25.3", "25,3"},
    };
    for (const auto& [value, dot, comma] : cases) {
        EXPECT_EQ(GraphTextValue(value, QStringLiteral(".")), QLatin1String(dot)) << value;
        EXPECT_EQ(GraphTextValue(value, QStringLiteral(",")), QLatin1String(comma)) << value;
    }
}

TEST(GraphText, ALineIsDateTimeAndFourReadingsInTheLocalesFormats) {
    const double x = core::TDateTimeFromDateAndTime(QDate(2017, 3, 9), QTime(14, 5, 30));
    const std::array<double, 4> y{1500.25, -12.5, 9999.0, 2500.0};
    EXPECT_EQ(GraphTextLine(x, y, QLatin1Char('\t'), kGerman),
              QStringLiteral("09.03.17\t14:05:30\t1500,3\t-12,5\tOL\t2500,0"));
    EXPECT_EQ(GraphTextLine(x, y, QLatin1Char(','), kUs),
              QStringLiteral("3/9/17,2:05:30 PM,1500.3,-12.5,OL,2500.0"));
}

TEST(GraphText, ATableLineEndsEveryCellWithTheSeparator) {
    EXPECT_EQ(TableTextLine({"3/9/17", "", "OL"}, QLatin1Char('\t')), QStringLiteral("3/9/17\t\tOL\t"));
    EXPECT_EQ(TableTextLine({}, QLatin1Char(',')), QString());
}

} // namespace
} // namespace thermo4::formats
