#include "dashboard/MeterBoard.h"
#include "mqtt/ReadingJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace thermo4::dashboard {
namespace {

/// A reading as thermo4 publishes it: 25.3 °C, over range, no reading, 19.0 °C.
QByteArray heldReading() {
    core::MeterStatus status;
    status.reading = {25.3F, 0, 0, 19.0F};
    status.channelState = 0x02 | 0x40; // T2 over range, T3 no reading
    return mqtt::ReadingJson(QDateTime(QDate(2026, 12, 10), QTime(9, 30)), status, mqtt::MeterIdentity{});
}

alarm::AlarmEvent highOnT1(bool on) {
    alarm::AlarmEvent event;
    event.time = QDateTime(QDate(2026, 12, 10), QTime(9, 31));
    event.channel = 0;
    event.kind = alarm::AlarmKind::High;
    event.limit = 25.0;
    event.condition = core::ChannelCondition::Reading;
    event.value = 25.3;
    event.on = on;
    return event;
}

struct Message {
    QString topic;
    QByteArray payload;
    bool retained = false;
};

/// The board's JSON in short: name:state:T1,T2,T3,T4:age:alarms per meter, "|" between meters.
std::string summary(const QByteArray& json) {
    std::string out;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).object().value("meters").toArray()) {
        const QJsonObject meter = value.toObject();
        const QJsonObject reading = meter.value("reading").toObject();
        QStringList channels;
        for (const char* channel : {"T1", "T2", "T3", "T4"}) {
            const QJsonValue v = reading.value(QLatin1String(channel));
            channels.append(v.isDouble() ? QString::number(v.toDouble()) : v.toString());
        }
        QStringList alarms;
        for (const QJsonValue& alarm : meter.value("alarms").toArray()) {
            alarms.append(alarm.toObject().value("channel").toString() + QLatin1Char(' ') +
                          alarm.toObject().value("kind").toString());
        }
        const QJsonValue age = meter.value("ageS");
        out += (out.empty() ? "" : "|") + meter.value("name").toString().toStdString() + ':' +
               meter.value("state").toString().toStdString() + ':' +
               (meter.value("reading").isNull() ? std::string("-") : channels.join(',').toStdString()) + ':' +
               (age.isNull() ? std::string("-") : QString::number(age.toDouble()).toStdString()) + ':' +
               alarms.join(',').toStdString();
    }
    return out;
}

TEST(MeterBoard, TilesFollowTheMessagesOfEachMeter) {
    const QByteArray reading = heldReading();
    const QByteArray alarmOn = mqtt::AlarmJson(highOnT1(true), {});
    const QByteArray alarmOff = mqtt::AlarmJson(highOnT1(false), {});
    const QByteArray alarmList = mqtt::AlarmListJson({highOnT1(true)}, {});
    struct Case {
        const char* what;
        std::vector<Message> messages;
        std::string tiles;
    };
    const Case cases[] = {
        {"a reading makes a tile, online",
         {{"lab/oven-north/live", reading}},
         "oven-north:online:25.3,OL,----,19:2.5:"},
        {"the last will keeps the readings and their age",
         {{"lab/oven-north/status", "online"},
          {"lab/oven-north/live", reading},
          {"lab/oven-north/status", "offline"}},
         "oven-north:offline:25.3,OL,----,19:2.5:"},
        {"retained status and alarm list of a meter seen before the board started",
         {{"lab/b/status", "offline"}, {"lab/a/status", "online"}, {"lab/a/alarms", alarmList}},
         "a:online:-:-:T1 high|b:offline:-:-:"},
        {"an alarm begins once and ends",
         {{"lab/a/alarm", alarmOn},
          {"lab/a/alarm", alarmOn},
          {"lab/b/alarm", alarmOn},
          {"lab/b/alarm", alarmOff}},
         "a:unknown:-:-:T1 high|b:unknown:-:-:"},
        {"a new list replaces the alarms on",
         {{"lab/a/alarms", alarmList}, {"lab/a/alarms", "[]"}},
         "a:unknown:-:-:"},
        {"bad payloads and foreign topics make no tile",
         {{"lab/a/live", "{\"T1\":"},
          {"lab/a/live", R"({"T1":1,"T2":2,"T3":3})"},
          {"lab/a/live", R"({"T1":"hot","T2":2,"T3":3,"T4":4})"},
          {"lab/a/live", "[1,2,3,4]"},
          {"lab/a/status", "maybe"},
          {"lab/a/status", ""},
          {"lab/a/alarms", R"([{"channel":"T1"}])"},
          {"lab/a/alarm", "null"},
          {"lab/a/recording", reading},
          {"lab/a/b/live", reading},
          {"lab//live", reading},
          {"lab2/a/live", reading},
          {"other/lab/a/live", reading}},
         ""},
        {"a retained reading is an old one: the meter stays offline, the age counts from its time",
         {{"lab/a/status", "offline"}, {"lab/a/live", reading, true}},
         "a:offline:25.3,OL,----,19:1802.5:"},
        {"a bad reading keeps the last good one",
         {{"lab/a/live", reading}, {"lab/a/live", R"({"T1":1e999,"T2":2,"T3":3,"T4":4})"}},
         "a:online:25.3,OL,----,19:2.5:"},
    };
    const QDateTime arrived(QDate(2026, 12, 10), QTime(10, 0));
    for (const Case& c : cases) {
        MeterBoard board(QStringLiteral("lab"));
        for (const Message& message : c.messages) {
            board.take(message.topic, message.payload, message.retained, arrived);
        }
        EXPECT_EQ(summary(board.json(arrived.addMSecs(2500))), c.tiles) << c.what;
    }
}

TEST(MeterBoard, StopsAddingMetersWhenFull) {
    MeterBoard board(QStringLiteral("lab"));
    const QDateTime now = QDateTime::currentDateTime();
    for (int i = 0; i < MeterBoard::kMaxMeters; ++i) {
        ASSERT_TRUE(board.take(QStringLiteral("lab/m%1/status").arg(i), "online", true, now));
    }
    EXPECT_FALSE(board.take(QStringLiteral("lab/one-more/status"), "online", true, now));
    EXPECT_TRUE(board.take(QStringLiteral("lab/m0/status"), "offline", false, now));
    EXPECT_EQ(board.tiles().size(), static_cast<std::size_t>(MeterBoard::kMaxMeters));
    EXPECT_EQ(board.tiles().at(QStringLiteral("m0")).presence, Presence::Offline);
}

} // namespace
} // namespace thermo4::dashboard
