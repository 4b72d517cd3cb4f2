#include "graph/GraphRig.h"
#include "graph/RealTimeRecording.h"
#include "mqtt/MqttPublisher.h"
#include "mqtt/MqttTestSupport.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSettings>
#include <QSignalSpy>

namespace thermo4::ui::test {
namespace {

using mqtt::test::Received;
using mqtt::test::TestBroker;
using mqtt::test::TestSubscriber;

class UnattendedTest : public GraphRig {
protected:
    void SetUp() override {
        GraphRig::SetUp();
        writeTemplate();
    }

    /// The main window publishing through publisher, its meter connected.
    void openPublishing(mqtt::MqttPublisher& publisher) {
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->publishTo(publisher);
        m_window->show();
        m_window->session().stopPolling();
        tick();
        ASSERT_TRUE(m_window->session().connected());
    }
};

TEST_F(UnattendedTest, RecordStartsAtTheFirstConnectionAtTheSavedRateWithoutAClick) {
    for (const bool record : {false, true}) {
        SCOPED_TRACE(record ? "--record" : "without --record");
        QSettings(m_services.settingsFile, QSettings::IniFormat).setValue(QStringLiteral("RealTimeRate"), 3);
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->setRecordOnConnect(record);
        m_window->show();
        m_window->session().stopPolling();
        EXPECT_FALSE(recording().recording());
        tick();
        ASSERT_TRUE(m_window->session().connected());
        EXPECT_EQ(recording().recording(), record);
        tick(30);
        if (record) {
            EXPECT_EQ(realTimeChart().points(), RealTimeRecording::kMaxSamples);
            EXPECT_EQ(realTime().rateBoxSeconds(), 3);
            EXPECT_GE(sampleCount(), 4);
            EXPECT_LE(sampleCount(), 6);
            EXPECT_NEAR((realTimeChart().xDataII(0, 1) - realTimeChart().xDataII(0, 0)) / kSecond, 3.0, 1e-3);
            EXPECT_FALSE(enabled("btnRun"));
            EXPECT_TRUE(enabled("btnStop"));
            // Stopped by the user, it is not started again by the next connection.
            m_window->btnStopClick();
            m_usb->setPlugged(false);
            tick(4);
            m_usb->setPlugged(true);
            tick(2);
            EXPECT_TRUE(m_window->session().connected());
            EXPECT_FALSE(recording().recording());
        } else {
            EXPECT_EQ(sampleCount(), 0);
        }
        EXPECT_TRUE(m_prompts.shown().isEmpty());
        m_prompts.queueAnswer(Answer::No); // the unsaved samples, when the window closes
        m_window.reset();
        m_prompts.clear();
    }
}

TEST_F(UnattendedTest, LiveReadingsAndRecordedSamplesGoToARealBroker) {
    if (TestBroker::program().isEmpty())
        GTEST_SKIP() << "the mosquitto broker is not installed (scripts/setup.sh installs it)";
    TestBroker broker;
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    TestSubscriber subscriber(broker.port(), QStringLiteral("gui/#"));
    ASSERT_TRUE(subscriber.connect());
    QString error;
    const auto url = mqtt::BrokerUrl::parse(broker.url(QStringLiteral("gui")), {}, &error);
    ASSERT_TRUE(url) << error.toStdString();
    mqtt::MqttPublisher publisher(*url);
    ASSERT_TRUE(publisher.start(&error)) << error.toStdString();
    m_meter->setProbe(1, sim::ChannelShow::OverRange);
    ASSERT_NO_FATAL_FAILURE(openPublishing(publisher));
    ASSERT_TRUE(subscriber.waitFor(QStringLiteral("gui/status"),
                                   [](const Received& m) { return m.payload == "online"; }));
    tick(); // a frame while connected to the broker
    const auto live = subscriber.waitFor(QStringLiteral("gui/live"));
    ASSERT_TRUE(live);
    const QJsonObject reading = QJsonDocument::fromJson(live->first.payload).object();
    EXPECT_EQ(reading.value("T1").toDouble(), 20.0);
    EXPECT_EQ(reading.value("T2").toString(), QStringLiteral("OL"));
    EXPECT_EQ(reading.value("link").toString(), QStringLiteral("usb"));
    EXPECT_FALSE(reading.contains("sample"));

    ASSERT_EQ(runFor(QStringLiteral("3")), 1);
    tickUntilSamples(3);
    ASSERT_EQ(sampleCount(), 3);
    for (int n = 1; n <= 3; ++n) {
        const auto sample = subscriber.waitFor(QStringLiteral("gui/recording"), [n](const Received& m) {
            return QJsonDocument::fromJson(m.payload).object().value("sample").toInt() == n;
        });
        ASSERT_TRUE(sample) << "sample " << n;
        const QJsonObject object = QJsonDocument::fromJson(sample->first.payload).object();
        const QDateTime time = QDateTime::fromString(object.value("time").toString(), Qt::ISODateWithMs);
        EXPECT_NEAR(core::TDateTimeFromDateTime(time), realTimeChart().xDataII(0, n - 1), 1e-3 * kSecond);
        EXPECT_EQ(object.value("T4").toDouble(), 23.0);
    }
    // The publisher's connection line reached the status bar.
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_window->statusText(0).contains(QStringLiteral("gui")))
        << m_window->statusText(0).toStdString();
    m_prompts.queueAnswer(Answer::No);
    m_window.reset();
}

TEST_F(UnattendedTest, TheBrokersStateStaysInTheStatusBarFromTheFirstFailedAttemptOn) {
    if (TestBroker::program().isEmpty())
        GTEST_SKIP() << "the mosquitto broker is not installed (scripts/setup.sh installs it)";
    const int port = mqtt::test::FreePort();
    const auto url =
        mqtt::BrokerUrl::parse(QStringLiteral("mqtt://127.0.0.1:%1/gui2").arg(port), {}, nullptr);
    ASSERT_TRUE(url);
    mqtt::PublisherOptions options;
    options.reconnectMaxS = 1;
    mqtt::MqttPublisher publisher(*url, options);
    QSignalSpy status(&publisher, &mqtt::MqttPublisher::statusMessage);
    const auto waitForLines = [&status](int count) {
        const QDeadlineTimer deadline(mqtt::test::kDeadline);
        while (status.count() < count && !deadline.hasExpired())
            status.wait(static_cast<int>(deadline.remainingTime()));
        return status.count() >= count;
    };
    ASSERT_TRUE(publisher.start());
    // The first line comes before the window is there, as it may behind the splash.
    ASSERT_TRUE(waitForLines(1));
    ASSERT_NO_FATAL_FAILURE(openPublishing(publisher));
    auto* panel = m_window->findChild<QLabel*>(QStringLiteral("StatusPanelMqtt"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text(), QStringLiteral("MQTT: no connection"));
    EXPECT_TRUE(panel->toolTip().contains(QStringLiteral("Connection refused")))
        << panel->toolTip().toStdString();

    TestBroker broker;
    ASSERT_TRUE(broker.start(port)) << broker.log().toStdString();
    ASSERT_TRUE(waitForLines(2));
    EXPECT_EQ(panel->text(), QStringLiteral("MQTT: connected"));
    EXPECT_EQ(m_window->statusText(0), QStringLiteral("MQTT: connected to %1").arg(url->displayName()));
    m_window.reset();
}

} // namespace
} // namespace thermo4::ui::test
