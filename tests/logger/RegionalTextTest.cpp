#include "files/RegionalText.h"

#include "core/TDateTime.h"

#include <QDate>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kBritish(QLocale::English, QLocale::UnitedKingdom);
const QLocale kJapanese(QLocale::Japanese, QLocale::Japan);

TEST(RegionalText, DatesReadInTheOrderOfTheShortFormat) {
    const int thisYear = QDate::currentDate().year();
    struct Case {
        QLocale locale;
        const char* text;
        QDate expected; // invalid: no date
    };
    const Case cases[] = {
        {kUs, "3/9/17", QDate(2017, 3, 9)},
        {kUs, " 3/9/2017 ", QDate(2017, 3, 9)},
        {kUs, "12/31/90", QDate(1990, 12, 31)},
        {kUs, "3/9", QDate(thisYear, 3, 9)},
        {kUs, "2/30/17", QDate()},
        {kUs, "13/1/17", QDate()},
        {kUs, "abc", QDate()},
        {kUs, "", QDate()},
        {kGerman, "09.03.17", QDate(2017, 3, 9)},
        {kBritish, "09/03/2017", QDate(2017, 3, 9)},
        {kJapanese, "2017/03/09", QDate(2017, 3, 9)},
        {QLocale::c(), "9 Mar 2017", QDate(2017, 3, 9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString() + " '" + c.text + "'");
        const auto date = ParseDate(QString::fromLatin1(c.text), c.locale);
        if (c.expected.isValid()) {
            ASSERT_TRUE(date.has_value());
            EXPECT_EQ(*date, c.expected);
        } else {
            EXPECT_FALSE(date.has_value());
        }
    }
}

TEST(RegionalText, TimesReadOnTheTwentyFourOrTwelveHourClock) {
    struct Case {
        QLocale locale;
        const char* text;
        QTime expected; // invalid: no time
    };
    const Case cases[] = {
        {QLocale::c(), "14:05:30", QTime(14, 5, 30)},
        {QLocale::c(), "14:05", QTime(14, 5)},
        {QLocale::c(), "7:5:3", QTime(7, 5, 3)},
        {QLocale::c(), "14:05:30.5", QTime(14, 5, 30, 500)},
        {kGerman, "14:05:30,25", QTime(14, 5, 30, 250)},
        {kUs, "2:05:30 PM", QTime(14, 5, 30)},
        {kUs, "12:00:00 AM", QTime(0, 0)},
        {kUs, "12:30:00 pm", QTime(12, 30)},
        {kUs, "13:00:00 PM", QTime()},
        {QLocale::c(), "25:00:00", QTime()},
        {QLocale::c(), "10:60:00", QTime()},
        {QLocale::c(), "10:00:61", QTime()},
        {QLocale::c(), "10", QTime()},
        {QLocale::c(), "", QTime()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString() + " '" + c.text + "'");
        const auto time = ParseTime(QString::fromLatin1(c.text), c.locale);
        if (c.expected.isValid()) {
            ASSERT_TRUE(time.has_value());
            EXPECT_EQ(*time, c.expected);
        } else {
            EXPECT_FALSE(time.has_value());
        }
    }
}

TEST(RegionalText, WrittenDatesAndTimesReadBackTheSame) {
    const double days = core::TDateTimeFromDateAndTime(QDate(2017, 3, 9), QTime(14, 5, 30));
    for (const QLocale& locale : {QLocale::c(), kUs, kGerman, kBritish, kJapanese}) {
        SCOPED_TRACE(locale.name().toStdString());
        const QString date = DateText(days, locale);
        const QString time = TimeText(days, locale);
        EXPECT_FALSE(time.contains(QLatin1String("UTC")));
        const auto back = ParseDateAndTime(date, time, locale);
        ASSERT_TRUE(back.has_value()) << date.toStdString() << " " << time.toStdString();
        EXPECT_DOUBLE_EQ(*back, days);
    }
    EXPECT_FALSE(ParseDateAndTime(QStringLiteral("3/9/17"), QStringLiteral("25:00:00"), kUs).has_value());
    EXPECT_FALSE(ParseDateAndTime(QStringLiteral("3/32/17"), QStringLiteral("10:00:00"), kUs).has_value());
}

TEST(RegionalText, NumbersUseTheDecimalSeparatorAndNoGroups) {
    struct Case {
        QLocale locale;
        const char* text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {kUs, "25.3", 25.3},       {kUs, " -5.2 ", -5.2},
        {kUs, "1200", 1200.0},     {kUs, "1,200.5", std::nullopt},
        {kUs, "OL", std::nullopt}, {kUs, "", std::nullopt},
        {kGerman, "25,3", 25.3},   {kGerman, "25.3", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString() + " '" + c.text + "'");
        const auto value = ParseNumber(QString::fromLatin1(c.text), c.locale);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.expected);
        }
    }
}

} // namespace
} // namespace thermo4::ui
