#include "core/NumberText.h"
#include "core/GraphStatistics.h"
#include "core/MeterStatus.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

namespace thermo4::core {
namespace {

// Locales that group thousands: by ",", by ".", by a no-break space and by an apostrophe.
const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kSwiss(QLocale::German, QLocale::Switzerland);

struct NumberCase {
    double value;
    int decimals;
    const char* dot;   // en_US and de_CH
    const char* comma; // de_DE and fr_FR
};

constexpr NumberCase kCases[] = {
    {1234.5, 1, "1234.5", "1234,5"},
    {1234.5, 3, "1234.500", "1234,500"},
    {-1838.2, 1, "-1838.2", "-1838,2"},
    {-1000.0, 1, "-1000.0", "-1000,0"},
    {999.95, 1, "1000.0", "1000,0"}, // rounds up into four digits
    {3276.7, 1, "3276.7", "3276,7"},
    {123456.0, 2, "123456.00", "123456,00"},
    {25.3, 1, "25.3", "25,3"},
    {-5.2, 1, "-5.2", "-5,2"},
    {-0.04, 1, "0.0", "0,0"}, // no minus on a value that shows as zero
    {-0.4, 0, "0", "0"},
    {-0.05, 1, "-0.1", "-0,1"},
};

TEST(NumberText, FixedNotationNeverGroupsThousands) {
    for (const NumberCase& c : kCases) {
        const QString dot = QLatin1String(c.dot);
        const QString comma = QLatin1String(c.comma);
        EXPECT_EQ(FixedText(c.value, c.decimals, kUs), dot) << c.value;
        EXPECT_EQ(FixedText(c.value, c.decimals, kSwiss), dot) << c.value;
        EXPECT_EQ(FixedText(c.value, c.decimals, kGerman), comma) << c.value;
        EXPECT_EQ(FixedText(c.value, c.decimals, kFrench), comma) << c.value;
        EXPECT_EQ(FixedText(c.value, c.decimals, u","), comma) << c.value;
    }
}

TEST(NumberText, StatisticsAndReadingsOfFourDigitsShowWithoutSeparator) {
    const double t = TDateTimeFromDateAndTime(QDate(2024, 3, 9), QTime(14, 5, 6));
    struct Case {
        const QLocale& locale;
        const char* max;
        const char* average;
        const char* reading;
        const char* highest; // the highest temperature as an extreme
    };
    for (const Case& c : {Case{kUs, "1234.5@", "1234.500", "-1838.2", "2500.0"},
                          Case{kGerman, "1234,5@", "1234,500", "-1838,2", "2500,0"},
                          Case{kFrench, "1234,5@", "1234,500", "-1838,2", "2500,0"}}) {
        const QString extreme = ExtremeText(1234.5f, t, c.locale);
        EXPECT_EQ(extreme, QLatin1String(c.max) + DateTimeText(t, c.locale)) << extreme.toStdString();
        EXPECT_EQ(ExtremeText(2500.0f, t, c.locale).section(QLatin1Char('@'), 0, 0),
                  QLatin1String(c.highest));
        EXPECT_EQ(AverageText(2469.0, 2, 3, c.locale), QLatin1String(c.average));
        EXPECT_EQ(ChannelDisplayText(0x00, 1, -1838.2, c.locale), QLatin1String(c.reading));
    }
}

} // namespace
} // namespace thermo4::core
