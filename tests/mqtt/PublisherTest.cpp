#include "MqttTestSupport.h"
#include "SpyWait.h"
#include "link/MeterPoller.h"
#include "link/SimRig.h"
#include "mqtt/MqttPublisher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

#include <gtest/gtest.h>

namespace thermo4::mqtt {
namespace {

using test::kDeadline;
using test::Received;
using test::TestBroker;
using test::TestSubscriber;
using test::WaitForCount;

QString StatusText(const QSignalSpy& spy, int index) {
    return spy.at(index).at(0).toString();
}

auto PayloadIs(const char* text) {
    return [text](const Received& message) { return message.payload == text; };
}

/// The virtual meter on a manual clock with its readings pinned: 25.3 °C, over
/// range, no reading, 19.0 °C; poll() returns one decoded frame and its time.
struct HeldMeter : link::test::SimRig {
    link::MeterPoller poller{state, usbLink, clock};

    HeldMeter() {
        meter.setFixedCelsius(0, 25.3);
        meter.setProbe(1, sim::ChannelShow::OverRange);
        meter.setProbe(2, sim::ChannelShow::NoReading);
        meter.setFixedCelsius(3, 19.0);
    }
    QDateTime poll() {
        clock.advance(500);
        link::PollResult result = poller.tick();
        while (result.event != link::PollEvent::FrameDecoded) {
            clock.advance(500);
            result = poller.tick();
        }
        return result.time;
    }
};

class Publisher : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestBroker::program().isEmpty()) {
            GTEST_SKIP() << "the mosquitto broker is not installed (scripts/setup.sh installs it)";
        }
        ASSERT_TRUE(m_broker.start()) << m_broker.log().toStdString();
    }

    BrokerUrl url(const QString& base, const QString& host = QStringLiteral("127.0.0.1")) const {
        return *BrokerUrl::parse(QStringLiteral("mqtt://%1:%2/%3").arg(host).arg(m_broker.port()).arg(base),
                                 {}, nullptr);
    }

    /// A subscriber to base/#, then a publisher to base on host, connected.
    void startPublishing(const QString& base, PublisherOptions options = {},
                         const QString& host = QStringLiteral("127.0.0.1")) {
        m_subscriber = std::make_unique<TestSubscriber>(m_broker.port(), base + QStringLiteral("/#"));
        ASSERT_TRUE(m_subscriber->connect());
        m_publisher = std::make_unique<MqttPublisher>(url(base, host), options);
        m_status = std::make_unique<QSignalSpy>(m_publisher.get(), &MqttPublisher::statusMessage);
        ASSERT_TRUE(m_publisher->start());
        ASSERT_TRUE(WaitForCount(*m_status, 1));
        ASSERT_TRUE(m_publisher->isConnected()) << StatusText(*m_status, 0).toStdString();
    }

    /// What a subscriber arriving now finds on base/status.
    std::optional<Received> retainedStatus(const QString& base) {
        const QString topic = base + QStringLiteral("/status");
        TestSubscriber late(m_broker.port(), topic);
        if (!late.connect()) {
            return std::nullopt;
        }
        const auto found = late.waitFor(topic);
        return found ? std::optional(found->first) : std::nullopt;
    }

    TestBroker m_broker;
    std::unique_ptr<TestSubscriber> m_subscriber;
    std::unique_ptr<MqttPublisher> m_publisher;
    std::unique_ptr<QSignalSpy> m_status;
    HeldMeter m_meter;
};

TEST_F(Publisher, HeldReadingsGoOutAsJsonBetweenARetainedOnlineAndOffline) {
    ASSERT_NO_FATAL_FAILURE(startPublishing(QStringLiteral("lab/m1")));
    MqttPublisher& publisher = *m_publisher;
    TestSubscriber& subscriber = *m_subscriber;
    QSignalSpy& status = *m_status;
    EXPECT_TRUE(StatusText(status, 0) == QStringLiteral("MQTT: connected to %1").arg(m_broker.url("lab/m1")))
        << StatusText(status, 0).toStdString();
    EXPECT_TRUE(status.at(0).at(1).toBool());
    ASSERT_TRUE(subscriber.waitFor(QStringLiteral("lab/m1/status"), PayloadIs("online")));
    const auto online = retainedStatus(QStringLiteral("lab/m1"));
    ASSERT_TRUE(online);
    EXPECT_EQ(online->payload, "online");
    EXPECT_TRUE(online->retained);

    HeldMeter& meter = m_meter;
    publisher.setMeter({QStringLiteral("418"), QStringLiteral("VM0001"), LinkName::Simulated});
    const QDateTime time = meter.poll();
    ASSERT_TRUE(publisher.publishLive(time, meter.state.meterStatus));
    const auto live = subscriber.waitFor(QStringLiteral("lab/m1/live"));
    ASSERT_TRUE(live);
    const QJsonObject object = QJsonDocument::fromJson(live->first.payload).object();
    const QString timeText = object.value("time").toString();
    EXPECT_EQ(QDateTime::fromString(timeText, Qt::ISODateWithMs), time) << timeText.toStdString();
    EXPECT_EQ(live->first.payload.toStdString(),
              R"({"time":")" + timeText.toStdString() +
                  R"(","unit":"C","T1":25.3,"T2":"OL","T3":"----","T4":19.0,"model":"418","serial":"VM0001",)"
                  R"("link":"simulated"})");

    ASSERT_TRUE(publisher.publishRecording(12, meter.poll(), meter.state.meterStatus));
    const auto recorded = subscriber.waitFor(QStringLiteral("lab/m1/recording"));
    ASSERT_TRUE(recorded);
    const QJsonObject sample = QJsonDocument::fromJson(recorded->first.payload).object();
    EXPECT_EQ(sample.value("sample").toInt(-1), 12);
    EXPECT_EQ(sample.value("T1").toDouble(), 25.3);
    EXPECT_EQ(sample.value("T2").toString(), "OL");

    publisher.stop();
    EXPECT_TRUE(subscriber.waitFor(QStringLiteral("lab/m1/status"), PayloadIs("offline"), recorded->second));
    const auto offline = retainedStatus(QStringLiteral("lab/m1"));
    ASSERT_TRUE(offline);
    EXPECT_EQ(offline->payload, "offline");
    EXPECT_TRUE(offline->retained);
    EXPECT_EQ(status.count(), 1) << "no outage to report";
    EXPECT_EQ(publisher.droppedCount(), 0U);
}

TEST_F(Publisher, GoesOnThroughABrokerRestartAndSaysSoOnce) {
    PublisherOptions options;
    options.reconnectMaxS = 1;
    ASSERT_NO_FATAL_FAILURE(startPublishing(QStringLiteral("lab/m2"), options));
    MqttPublisher& publisher = *m_publisher;
    TestSubscriber& subscriber = *m_subscriber;
    QSignalSpy& status = *m_status;
    HeldMeter& meter = m_meter;
    ASSERT_TRUE(publisher.publishLive(meter.poll(), meter.state.meterStatus));
    ASSERT_TRUE(subscriber.waitFor(QStringLiteral("lab/m2/live")));

    m_broker.stop();
    ASSERT_TRUE(WaitForCount(status, 2));
    EXPECT_FALSE(status.at(1).at(1).toBool());
    EXPECT_TRUE(StatusText(status, 1).contains(QStringLiteral("no connection to")))
        << StatusText(status, 1).toStdString();
    EXPECT_FALSE(publisher.isConnected());
    // The poll goes on: every reading while the broker is away is dropped at once.
    for (int i = 0; i < 50; ++i) {
        EXPECT_FALSE(publisher.publishLive(meter.poll(), meter.state.meterStatus));
    }
    EXPECT_EQ(publisher.droppedCount(), 50U);

    const int beforeRestart = static_cast<int>(subscriber.received().size());
    ASSERT_TRUE(m_broker.start(m_broker.port())) << m_broker.log().toStdString();
    ASSERT_TRUE(WaitForCount(status, 3));
    EXPECT_TRUE(status.at(2).at(1).toBool());
    EXPECT_TRUE(StatusText(status, 2).contains(QStringLiteral("again")))
        << StatusText(status, 2).toStdString();
    ASSERT_TRUE(subscriber.waitForSubscriptions(2));
    EXPECT_TRUE(subscriber.waitFor(QStringLiteral("lab/m2/status"), PayloadIs("online"), beforeRestart))
        << "the new broker holds the retained status again";

    meter.meter.setFixedCelsius(0, -40.5);
    ASSERT_TRUE(publisher.publishLive(meter.poll(), meter.state.meterStatus));
    EXPECT_TRUE(subscriber.waitFor(QStringLiteral("lab/m2/live"), [](const Received& message) {
        return message.payload.contains(R"("T1":-40.5)");
    }));
    QCoreApplication::processEvents();
    EXPECT_EQ(status.count(), 3) << "one line for the outage, one for the return";
}

TEST_F(Publisher, AlarmsGoOutOnceEachAndTheRetainedListSurvivesABrokerRestart) {
    PublisherOptions options;
    options.reconnectMaxS = 1;
    ASSERT_NO_FATAL_FAILURE(startPublishing(QStringLiteral("lab/m6"), options));
    MqttPublisher& publisher = *m_publisher;
    publisher.setMeter({QStringLiteral("418"), QStringLiteral("VM0001"), LinkName::Simulated});
    const QDateTime time(QDate(2026, 3, 1), QTime(9, 0, 0, 500), Qt::OffsetFromUTC, 3600);
    alarm::AlarmEvent high;
    high.time = time;
    high.channel = 0;
    high.kind = alarm::AlarmKind::High;
    high.limit = 300.0;
    high.condition = core::ChannelCondition::OverRange;
    alarm::AlarmEvent lost;
    lost.time = time.addSecs(5);
    lost.on = false;

    ASSERT_TRUE(publisher.publishAlarm(high));
    publisher.publishActiveAlarms({high});
    ASSERT_TRUE(publisher.publishAlarm(lost));
    const auto alarm = m_subscriber->waitFor(QStringLiteral("lab/m6/alarm"));
    ASSERT_TRUE(alarm);
    EXPECT_FALSE(alarm->first.retained);
    const std::string highJson =
        R"({"time":"2026-03-01T09:00:00.500+01:00","channel":"T1","kind":"high","limit":300,"value":"OL",)"
        R"("state":"on","model":"418","serial":"VM0001","link":"simulated"})";
    EXPECT_EQ(alarm->first.payload.toStdString(), highJson);
    const auto second = m_subscriber->waitFor(QStringLiteral("lab/m6/alarm"), {}, alarm->second + 1);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->first.payload.toStdString(),
              R"({"time":"2026-03-01T09:00:05.500+01:00","channel":null,"kind":"meter lost","limit":null,)"
              R"("value":null,"state":"off","model":"418","serial":"VM0001","link":"simulated"})");

    // A broker that comes back empty gets the list again from the publisher.
    m_broker.stop();
    ASSERT_TRUE(WaitForCount(*m_status, 2));
    ASSERT_TRUE(m_broker.start(m_broker.port())) << m_broker.log().toStdString();
    ASSERT_TRUE(WaitForCount(*m_status, 3));
    const QString topic = QStringLiteral("lab/m6/alarms");
    // The publisher sends the list again just after it is back; a subscriber that came first would
    // get it as a live message, so one subscriber sees it arrive and a later one must find it retained.
    TestSubscriber first(m_broker.port(), topic);
    ASSERT_TRUE(first.connect());
    ASSERT_TRUE(first.waitFor(topic));
    TestSubscriber late(m_broker.port(), topic);
    ASSERT_TRUE(late.connect());
    const auto list = late.waitFor(topic);
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->first.retained);
    EXPECT_EQ(list->first.payload.toStdString(), "[" + highJson + "]");

    publisher.publishActiveAlarms({});
    EXPECT_TRUE(late.waitFor(topic, PayloadIs("[]"), list->second + 1));
}

TEST_F(Publisher, LocalhostReachesTheBrokerOnWhicheverOfItsAddressesItListens) {
    // The broker listens on 127.0.0.1 only; on a normal host localhost is ::1 first.
    ASSERT_NO_FATAL_FAILURE(startPublishing(QStringLiteral("lab/m5"), {}, QStringLiteral("localhost")));
    ASSERT_TRUE(m_publisher->publishLive(m_meter.poll(), m_meter.state.meterStatus));
    EXPECT_TRUE(m_subscriber->waitFor(QStringLiteral("lab/m5/live")));
}

TEST_F(Publisher, ABrokerThatNeverAnswersIsNamedWithinTheConnectTimeoutAndItsFirstAnswerIsAConnection) {
    // The system takes the connection for the frozen broker, which answers nothing.
    m_broker.pause();
    PublisherOptions options;
    options.connectTimeoutS = 1;
    options.reconnectMaxS = 1;
    MqttPublisher publisher(url(QStringLiteral("lab/m6")), options);
    QSignalSpy status(&publisher, &MqttPublisher::statusMessage);
    ASSERT_TRUE(publisher.start());
    ASSERT_TRUE(WaitForCount(status, 1));
    EXPECT_FALSE(status.at(0).at(1).toBool());
    EXPECT_EQ(StatusText(status, 0),
              QStringLiteral("MQTT: no connection to %1 (the broker at 127.0.0.1:%2 did not "
                             "answer within 1 s); readings are dropped until it is back")
                  .arg(m_broker.url(QStringLiteral("lab/m6")))
                  .arg(m_broker.port()));
    EXPECT_FALSE(publisher.publishLive(m_meter.poll(), m_meter.state.meterStatus));

    m_broker.resume();
    ASSERT_TRUE(WaitForCount(status, 2));
    EXPECT_TRUE(status.at(1).at(1).toBool());
    // The first connection is not a return.
    EXPECT_EQ(StatusText(status, 1), QStringLiteral("MQTT: connected to %1").arg(m_broker.url("lab/m6")));
    EXPECT_EQ(publisher.lastStatus().text, StatusText(status, 1));
}

TEST_F(Publisher, ABrokerThatStopsAnsweringGetsNoMoreThanTheUnacknowledgedLimit) {
    PublisherOptions options;
    options.maxPending = 5;
    ASSERT_NO_FATAL_FAILURE(startPublishing(QStringLiteral("lab/m3"), options));
    MqttPublisher& publisher = *m_publisher;
    const QDateTime time = m_meter.poll();

    // The connection stays up but nothing is acknowledged any more.
    m_broker.pause();
    int sent = 0;
    for (int i = 0; i < 1000; ++i) {
        sent += publisher.publishLive(time, m_meter.state.meterStatus) ? 1 : 0;
    }
    EXPECT_GE(sent, options.maxPending - 1) << "the retained \"online\" may still count";
    EXPECT_LE(sent, options.maxPending);
    EXPECT_EQ(publisher.droppedCount(), static_cast<std::uint64_t>(1000 - sent));

    m_broker.resume();
    EXPECT_TRUE(m_subscriber->waitFor(QStringLiteral("lab/m3/live"), {}, sent - 1)) << "the kept ones arrive";
}

TEST(PublisherTls, TrustsTheSystemsAuthoritiesAcrossARestartAndSaysWhyOtherwise) {
    if (TestBroker::program().isEmpty()) {
        GTEST_SKIP() << "the mosquitto broker is not installed (scripts/setup.sh installs it)";
    }
    QTemporaryDir certificates;
    ASSERT_TRUE(test::MakeTestCertificates(certificates.path())) << "openssl (scripts/setup.sh installs it)";
    const int tlsPort = test::FreePort();
    TestBroker broker(QStringLiteral("listener %1 127.0.0.1\ncertfile %2/server.pem\nkeyfile %2/server.key\n")
                          .arg(tlsPort)
                          .arg(certificates.path()));
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    TestSubscriber subscriber(broker.port(), QStringLiteral("lab/tls/#"));
    ASSERT_TRUE(subscriber.connect());
    const auto url =
        BrokerUrl::parse(QStringLiteral("mqtts://localhost:%1/lab/tls").arg(tlsPort), {}, nullptr);
    ASSERT_TRUE(url);
    HeldMeter meter;

    // The system's store as OpenSSL finds it: here only the test authority.
    QTemporaryDir noFolder;
    qputenv("SSL_CERT_DIR", noFolder.path().toUtf8());
    qputenv("SSL_CERT_FILE", certificates.filePath(QStringLiteral("ca.pem")).toUtf8());
    {
        PublisherOptions options;
        options.reconnectMaxS = 1;
        MqttPublisher publisher(*url, options);
        QSignalSpy status(&publisher, &MqttPublisher::statusMessage);
        ASSERT_TRUE(publisher.start());
        ASSERT_TRUE(WaitForCount(status, 1));
        ASSERT_TRUE(publisher.isConnected()) << StatusText(status, 0).toStdString();
        ASSERT_TRUE(publisher.publishLive(meter.poll(), meter.state.meterStatus));
        ASSERT_TRUE(subscriber.waitFor(QStringLiteral("lab/tls/live")));

        broker.stop();
        ASSERT_TRUE(WaitForCount(status, 2));
        ASSERT_TRUE(broker.start(broker.port())) << broker.log().toStdString();
        ASSERT_TRUE(WaitForCount(status, 3)) << "reconnects over TLS";
        EXPECT_TRUE(status.at(2).at(1).toBool()) << StatusText(status, 2).toStdString();
        ASSERT_TRUE(subscriber.waitForSubscriptions(2));
        meter.meter.setFixedCelsius(0, 88.8);
        ASSERT_TRUE(publisher.publishLive(meter.poll(), meter.state.meterStatus));
        EXPECT_TRUE(subscriber.waitFor(QStringLiteral("lab/tls/live"),
                                       [](const Received& m) { return m.payload.contains(R"("T1":88.8)"); }));
    }

    qunsetenv("SSL_CERT_FILE");
    MqttPublisher untrusting(*url);
    QSignalSpy status(&untrusting, &MqttPublisher::statusMessage);
    ASSERT_TRUE(untrusting.start());
    ASSERT_TRUE(WaitForCount(status, 1));
    EXPECT_FALSE(status.at(0).at(1).toBool());
    EXPECT_TRUE(StatusText(status, 0).contains(QStringLiteral("certificate verify failed")))
        << StatusText(status, 0).toStdString();
    EXPECT_FALSE(untrusting.publishLive(meter.poll(), meter.state.meterStatus));
    qunsetenv("SSL_CERT_DIR");
}

} // namespace
} // namespace thermo4::mqtt

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
