#include "web/LiveFeed.h"
#include "web/WebServer.h"
#include "web/WebTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace thermo4::web {
namespace {

using test::Fetch;
using test::StreamClient;

const QDateTime kStart(QDate(2024, 3, 1), QTime(9, 0), QTimeZone(3600));

core::MeterStatus Celsius(float t1) {
    core::MeterStatus status;
    status.reading = {t1, 20.0F, 0.0F, 0.0F};
    status.channelState = 1U << 2 | 1U << (3 + 4); // T3 "OL", T4 "----"
    return status;
}

QJsonArray Readings(const QByteArray& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << json.left(200).constData();
    return document.array();
}

TEST(LiveFeed, HoldsTheLastHourOfReadingsAndNoMoreThanItsCapacity) {
    LiveFeed feed;
    EXPECT_EQ(feed.historyJson(60), "[]");
    // One reading a minute for 90 minutes: the hour before the latest stays.
    for (int minute = 0; minute <= 90; ++minute) {
        feed.addReading(kStart.addSecs(60 * minute), Celsius(static_cast<float>(minute)));
    }
    const QJsonArray hour = Readings(feed.historyJson(60));
    ASSERT_EQ(hour.size(), 61);
    EXPECT_EQ(hour.first()[QStringLiteral("T1")].toDouble(), 30.0);
    EXPECT_EQ(hour.last()[QStringLiteral("T1")].toDouble(), 90.0);
    EXPECT_EQ(hour.last()[QStringLiteral("T3")].toString(), QStringLiteral("OL"));
    EXPECT_EQ(hour.last()[QStringLiteral("T4")].toString(), QStringLiteral("----"));
    EXPECT_EQ(Readings(feed.historyJson(10)).size(), 11);
    EXPECT_EQ(QJsonDocument::fromJson(feed.liveJson()).object(), hour.last().toObject());

    // Readings far faster than the poll (or a clock that stands still) cannot grow it past its bound.
    const QDateTime later = kStart.addSecs(3 * 3600);
    for (std::size_t i = 0; i < LiveFeed::kHistoryCapacity + 500; ++i) {
        feed.addReading(later.addMSecs(static_cast<qint64>(i / 8)), Celsius(1.0F));
    }
    EXPECT_EQ(feed.historySize(), LiveFeed::kHistoryCapacity);
}

class LiveFeedServed : public ::testing::Test {
protected:
    void SetUp() override {
        QString error;
        ASSERT_TRUE(m_server.listen(HttpAddress{}, &error)) << error.toStdString();
        m_feed.serveOn(m_server);
        mqtt::MeterIdentity meter;
        meter.serial = QStringLiteral("SIM0001");
        meter.link = mqtt::LinkName::Simulated;
        m_feed.setMeter(meter);
    }
    quint16 port() const { return m_server.port(); }

    WebServer m_server;
    LiveFeed m_feed;
};

TEST_F(LiveFeedServed, AnswersThePageTheApiAndRefusesABadHistoryWindow) {
    EXPECT_EQ(Fetch(port(), QStringLiteral("/api/live")).status, 503);
    m_feed.addReading(kStart, Celsius(25.3F));
    m_feed.addReading(kStart.addSecs(1), Celsius(25.4F));

    const auto live = Fetch(port(), QStringLiteral("/api/live"));
    EXPECT_EQ(live.status, 200);
    EXPECT_EQ(live.body,
              R"({"time":"2024-03-01T09:00:01.000+01:00","unit":"C","T1":25.4,"T2":20.0,"T3":"OL",)"
              R"("T4":"----","model":"418","serial":"SIM0001","link":"simulated"})");
    EXPECT_EQ(Readings(Fetch(port(), QStringLiteral("/api/history?minutes=1")).body).size(), 2);
    EXPECT_EQ(Readings(Fetch(port(), QStringLiteral("/api/history")).body).size(), 2);
    for (const char* bad : {"0", "61", "ten", "", "1.5"}) {
        const auto refused = Fetch(port(), QStringLiteral("/api/history?minutes=") + QLatin1String(bad));
        EXPECT_EQ(refused.status, 400) << bad;
        EXPECT_TRUE(refused.body.startsWith("minutes must be a whole number from 1 to 60")) << bad;
    }
    const auto status = QJsonDocument::fromJson(Fetch(port(), QStringLiteral("/api/status")).body).object();
    EXPECT_EQ(status[QStringLiteral("meter")].toString(), QStringLiteral("connected"));
    EXPECT_EQ(status[QStringLiteral("serial")].toString(), QStringLiteral("SIM0001"));
    EXPECT_GE(status[QStringLiteral("ageMs")].toInt(-1), 0);

    for (const char* file : {"/", "/live.js", "/live.css"}) {
        const auto page = Fetch(port(), QString::fromLatin1(file));
        EXPECT_EQ(page.status, 200) << file;
        EXPECT_FALSE(page.body.isEmpty()) << file;
    }
    EXPECT_TRUE(Fetch(port(), QStringLiteral("/")).body.contains("aria-live"));
}

TEST_F(LiveFeedServed, TheStreamWelcomesWithTheLatestStateThenCarriesReadingsAndStatusChanges) {
    m_feed.addReading(kStart, Celsius(25.3F));
    StreamClient client(port(), "/api/events");
    ASSERT_TRUE(client.waitFor("event: reading\ndata: {\"time\":\"2024-03-01T09:00:00.000+01:00\""));
    EXPECT_TRUE(
        client.received.contains("event: status\ndata: {\"meter\":\"connected\",\"recording\":false"));

    m_feed.addReading(kStart.addSecs(1), Celsius(-3.0F));
    EXPECT_TRUE(client.waitFor("\"T1\":-3.0,"));
    m_feed.setRecording(true);
    EXPECT_TRUE(client.waitFor("\"recording\":true"));
    alarm::AlarmEvent high;
    high.time = kStart.addSecs(1);
    high.channel = 0;
    high.kind = alarm::AlarmKind::High;
    high.limit = 25.0;
    high.condition = core::ChannelCondition::Reading;
    high.value = 25.3;
    m_feed.setAlarms({high});
    EXPECT_TRUE(client.waitFor("\"alarms\":[{\"time\":\"2024-03-01T09:00:01.000+01:00\",\"channel\":\"T1\","
                               "\"kind\":\"high\",\"limit\":25"));
    m_feed.setMeterState(LiveFeed::MeterState::Lost);
    EXPECT_TRUE(client.waitFor("event: status\ndata: {\"meter\":\"lost\""));
    // A status that did not change is not sent again.
    const qsizetype before = client.received.count("event: status");
    m_feed.setMeterState(LiveFeed::MeterState::Lost);
    m_feed.setRecording(true);
    m_feed.addReading(kStart.addSecs(2), Celsius(1.0F));
    ASSERT_TRUE(client.waitFor("\"T1\":1.0,"));
    // The reading brings the meter back: exactly one status more.
    ASSERT_TRUE(client.waitFor("event: status\ndata: {\"meter\":\"connected\""));
    EXPECT_EQ(client.received.count("event: status"), before + 1);
}

} // namespace
} // namespace thermo4::web
