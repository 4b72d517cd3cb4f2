#include "formats/RegionalText.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace thermo4::formats {
namespace {

using test::kGerman;
using test::kUs;

TEST(RegionalText, DatesTimesAndNumbersReadAsTheLocaleWritesThem) {
    const std::tuple<QLocale, const char*, QDate> dates[] = {
        {kUs, "3/9/17", QDate(2017, 3, 9)},
        {kUs, " 3/9/2017 ", QDate(2017, 3, 9)},
        {kUs, "12/31/90", QDate(1990, 12, 31)},
        {kUs, "2/30/17", QDate()},
        {kUs, "abc", QDate()},
        {kGerman, "09.03.17", QDate(2017, 3, 9)},
        {QLocale(QLocale::Japanese, QLocale::Japan), "2017/03/09", QDate(2017, 3, 9)},
        {QLocale::c(), "9 Mar 2017", QDate(2017, 3, 9)}};
    for (const auto& [locale, text, expected] : dates)
        EXPECT_EQ(ParseDate(QString::fromLatin1(text), locale).value_or(QDate()), expected) << text;

    const std::tuple<QLocale, const char*, QTime> times[] = {{QLocale::c(), "14:05:30", QTime(14, 5, 30)},
                                                             {QLocale::c(), "7:5", QTime(7, 5)},
                                                             {kGerman, "14:05:30,25", QTime(14, 5, 30, 250)},
                                                             {kUs, "2:05:30 PM", QTime(14, 5, 30)},
                                                             {kUs, "12:00:00 AM", QTime(0, 0)},
                                                             {kUs, "13:00:00 PM", QTime()},
                                                             {QLocale::c(), "25:00:00", QTime()},
                                                             {QLocale::c(), "10:60:00", QTime()},
                                                             {QLocale::c(), "", QTime()}};
    for (const auto& [locale, text, expected] : times)
        EXPECT_EQ(ParseTime(QString::fromLatin1(text), locale).value_or(QTime()), expected) << text;

    const std::tuple<QLocale, const char*, double> numbers[] = {{kUs, " -5.2 ", -5.2},
                                                                {kUs, "1,200.5", -1},
                                                                {kUs, "OL", -1},
                                                                {kGerman, "25,3", 25.3},
                                                                {kGerman, "25.3", -1}};
    for (const auto& [locale, text, expected] : numbers)
        EXPECT_DOUBLE_EQ(ParseNumber(QString::fromLatin1(text), locale).value_or(-1), expected) << text;

    // What the program writes, it reads back.
    const double days = 42803.58715277778; // 2017-03-09 14:05:30
    for (const QLocale& locale : {QLocale::c(), kUs, kGerman, QLocale(QLocale::Japanese, QLocale::Japan)}) {
        const auto back = ParseDateAndTime(DateText(days, locale), TimeText(days, locale), locale);
        EXPECT_NEAR(back.value_or(0), days, 1e-9) << locale.name().toStdString();
    }
}

} // namespace
} // namespace thermo4::formats
