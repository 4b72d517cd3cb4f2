#include "mqtt/ReadingJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <limits>

namespace thermo4::mqtt {
namespace {

// Bit n: channel n+1 over range; bit n+4: no reading.
constexpr std::uint8_t kOverRange(int channel) {
    return static_cast<std::uint8_t>(1U << channel);
}
constexpr std::uint8_t kNoReading(int channel) {
    return static_cast<std::uint8_t>(1U << (channel + 4));
}

TEST(ReadingJson, ChannelsAreNumbersWithOneDecimalOrTheirDisplayText) {
    struct Case {
        std::array<float, 4> reading;
        std::uint8_t channelState;
        const char* channels;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {{25.3F, 0, 0, 19.0F}, kOverRange(1) | kNoReading(2), R"("T1":25.3,"T2":"OL","T3":"----","T4":19.0)"},
        {{-200.0F, -0.04F, 1372.06F, 37.7778F}, 0, R"("T1":-200.0,"T2":0.0,"T3":1372.1,"T4":37.8)"},
        // Over range wins over no reading; a reading that is not a number is no reading.
        {{1, 2, 3, nan},
         kOverRange(0) | kNoReading(0) | kNoReading(3) | kNoReading(1) | kOverRange(2),
         R"("T1":"OL","T2":"----","T3":"OL","T4":"----")"},
        {{0, 0, 0, nan}, 0, R"("T1":0.0,"T2":0.0,"T3":0.0,"T4":"----")"},
    };
    const QDateTime time(QDate(2024, 3, 1), QTime(9, 30, 0, 250), QTimeZone(3600));
    for (const Case& c : cases) {
        core::MeterStatus status;
        status.reading = c.reading;
        status.channelState = c.channelState;
        const QByteArray json = ReadingJson(time, status, MeterIdentity{});
        EXPECT_EQ(json.toStdString(), std::string(R"({"time":"2024-03-01T09:30:00.250+01:00","unit":"C",)") +
                                          c.channels + R"(,"model":"418","serial":null,"link":"usb"})");
        EXPECT_FALSE(QJsonDocument::fromJson(json).isNull()) << json.toStdString();
    }
}

TEST(ReadingJson, TimeCarriesMillisecondsAndItsOffset) {
    struct Case {
        QDateTime time;
        const char* text;
    };
    const Case cases[] = {
        {QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999), QTimeZone(-12600)),
         "2024-12-31T23:59:59.999-03:30"},
        {QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6), QTimeZone::utc()), "2024-01-02T03:04:05.006+00:00"},
        {QDateTime(QDate(2024, 6, 1), QTime(0, 0), QTimeZone(5 * 3600 + 45 * 60)),
         "2024-06-01T00:00:00.000+05:45"},
    };
    for (const Case& c : cases) {
        const QJsonObject object = QJsonDocument::fromJson(ReadingJson(c.time, {}, {})).object();
        const QString text = object.value(QStringLiteral("time")).toString();
        EXPECT_EQ(text.toStdString(), c.text);
        EXPECT_EQ(QDateTime::fromString(text, Qt::ISODateWithMs), c.time) << "the same instant reads back";
    }
    EXPECT_TRUE(QJsonDocument::fromJson(ReadingJson(QDateTime(), {}, {})).object().value("time").isNull());
}

TEST(ReadingJson, MeterIdentityAndSampleNumber) {
    const QDateTime time(QDate(2024, 3, 1), QTime(9, 30), QTimeZone::utc());
    struct Case {
        MeterIdentity meter;
        std::optional<int> sample;
        const char* tail;
    };
    const Case cases[] = {
        {{QStringLiteral("418"), QStringLiteral("VM0001"), LinkName::Simulated},
         17,
         R"("model":"418","serial":"VM0001","link":"simulated","sample":17})"},
        {{QStringLiteral("418"), {}, LinkName::Serial},
         std::nullopt,
         R"("model":"418","serial":null,"link":"serial"})"},
        // A serial number from a device is text from outside: quoted safely.
        {{QStringLiteral("418"), QStringLiteral("A\"B\\C\n\x01"), LinkName::Usb},
         0,
         R"("model":"418","serial":"A\"B\\C\u000a\u0001","link":"usb","sample":0})"},
    };
    for (const Case& c : cases) {
        const QByteArray json = ReadingJson(time, {}, c.meter, c.sample);
        EXPECT_TRUE(json.endsWith(c.tail)) << json.toStdString();
        const QJsonObject object = QJsonDocument::fromJson(json).object();
        EXPECT_EQ(object.value("serial").toString(), c.meter.serial);
    }
}

} // namespace
} // namespace thermo4::mqtt
