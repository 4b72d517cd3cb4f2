#include "core/Bcd.h"
#include "core/TDateTime.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace thermo4::core;

namespace {

TEST(Bcd, DecodeEdges) {
    struct Row {
        std::uint8_t byte;
        std::optional<int> value;
    };
    for (const Row& r : {Row{0x00, 0}, Row{0x09, 9}, Row{0x0A, std::nullopt}, Row{0x10, 10}, Row{0x17, 17},
                         Row{0x59, 59}, Row{0x99, 99}, Row{0x9A, std::nullopt}, Row{0xA0, std::nullopt},
                         Row{0x6A, std::nullopt}, Row{0xFF, std::nullopt}}) {
        EXPECT_EQ(DecodeBcd(r.byte), r.value) << int{r.byte};
    }
    int valid = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (auto v = DecodeBcd(static_cast<std::uint8_t>(byte))) {
            ++valid;
            EXPECT_EQ(EncodeBcd(*v), byte);
        }
    }
    EXPECT_EQ(valid, 100);
    EXPECT_EQ(EncodeBcd(123), 0x23);
    EXPECT_EQ(EncodeBcd(-5), 0x00);
}

TEST(TDateTime, KnownDays) {
    struct Row {
        double days;
        QDateTime dateTime;
    };
    const Row rows[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {2.0, QDateTime(QDate(1900, 1, 1), QTime(0, 0))},
        {36526.5, QDateTime(QDate(2000, 1, 1), QTime(12, 0))},
        {42803.0 + (14 * 3600 + 5 * 60 + 30) / 86400.0, QDateTime(QDate(2017, 3, 9), QTime(14, 5, 30))},
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        {-700.5, QDateTime(QDate(1898, 1, 29), QTime(12, 0))},
        {45000.0 + 0.9999999999, QDateTime(QDate(2023, 3, 16), QTime(0, 0))}, // rounds into the next day
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DateTimeFromTDateTime(r.days), r.dateTime) << r.days;
        if (r.dateTime.time().msecsSinceStartOfDay() != 0 || std::floor(r.days) == r.days) {
            EXPECT_NEAR(TDateTimeFromDateTime(r.dateTime), r.days, 1e-9) << r.days;
        }
    }
    for (double bad : {std::nan(""), HUGE_VAL, 1e300, -1e300}) {
        EXPECT_FALSE(DateTimeFromTDateTime(bad).isValid()) << bad;
    }
    EXPECT_EQ(TDateTimeFromDateTime(QDateTime()), 0.0);
}

TEST(TDateTime, RoundTripToTheMillisecond) {
    const QDateTime first(QDate(1850, 6, 1), QTime(3, 4, 5, 678));
    // Steps of a prime number of ms cover many days and times of day, before and after day 0.
    for (qint64 step = 0; step < 2000; ++step) {
        const QDateTime t = first.addMSecs(step * 2'472'161'411LL);
        SCOPED_TRACE(t.toString(Qt::ISODateWithMs).toStdString());
        const double days = TDateTimeFromDateTime(t);
        const QDateTime back = DateTimeFromTDateTime(days);
        EXPECT_EQ(back.date(), t.date());
        EXPECT_EQ(back.time(), t.time());
    }
}

} // namespace
