#include "MqttTestSupport.h"
#include "SpyWait.h"
#include "mqtt/MqttPublisher.h"
#include "mqtt/MqttSubscriber.h"

#include <QDeadlineTimer>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace thermo4::mqtt {
namespace {

using test::kDeadline;
using test::TestBroker;
using test::WaitForCount;

/// Waits until spy holds a message on topic, from index from on, that accept takes; its index or -1.
int WaitForMessage(QSignalSpy& spy, const QString& topic,
                   const std::function<bool(const QList<QVariant>&)>& accept, int from = 0,
                   const std::function<void()>& meanwhile = {}) {
    const QDeadlineTimer deadline(kDeadline);
    for (int seen = from;;) {
        for (; seen < spy.count(); ++seen) {
            if (spy.at(seen).at(0).toString() == topic && accept(spy.at(seen))) {
                return seen;
            }
        }
        if (deadline.hasExpired()) {
            return -1;
        }
        if (meanwhile) {
            meanwhile();
        }
        spy.wait(200);
    }
}

TEST(Subscriber, GetsRetainedAndNewMessagesAndSubscribesAgainAfterABrokerRestart) {
    if (TestBroker::program().isEmpty()) {
        GTEST_SKIP() << "the mosquitto broker is not installed (scripts/setup.sh installs it)";
    }
    TestBroker broker;
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    const auto url = [&](const QString& base) { return *BrokerUrl::parse(broker.url(base), {}, nullptr); };

    MqttPublisher publisher(url(QStringLiteral("lab/a")));
    QSignalSpy published(&publisher, &MqttPublisher::statusMessage);
    ASSERT_TRUE(publisher.start());
    ASSERT_TRUE(WaitForCount(published, 1) && publisher.isConnected());

    MqttSubscriber subscriber(url(QStringLiteral("lab")),
                              {QStringLiteral("lab/+/status"), QStringLiteral("lab/+/live")});
    QSignalSpy messages(&subscriber, &MqttSubscriber::message);
    QSignalSpy status(&subscriber, &MqttSubscriber::statusMessage);
    ASSERT_TRUE(subscriber.start());
    const auto retainedOnline = [](const QList<QVariant>& m) {
        return m.at(1).toByteArray() == "online" && m.at(2).toBool();
    };
    ASSERT_GE(WaitForMessage(messages, QStringLiteral("lab/a/status"), retainedOnline), 0)
        << "the status stored before the subscriber came";

    core::MeterStatus reading;
    reading.reading = {25.3F, 20.0F, 21.0F, 19.0F};
    const auto sendReading = [&] { publisher.publishLive(QDateTime::currentDateTime(), reading); };
    const auto newReading = [](const QList<QVariant>& m) {
        return m.at(1).toByteArray().contains(R"("T1":25.3)") && !m.at(2).toBool();
    };
    const int first = WaitForMessage(messages, QStringLiteral("lab/a/live"), newReading, 0, sendReading);
    ASSERT_GE(first, 0);

    broker.stop();
    ASSERT_TRUE(WaitForCount(status, 2));
    EXPECT_FALSE(status.at(1).at(1).toBool());
    EXPECT_TRUE(status.at(1).at(0).toString().contains(QStringLiteral("nothing new arrives")))
        << status.at(1).at(0).toString().toStdString();
    ASSERT_TRUE(broker.start(broker.port())) << broker.log().toStdString();
    ASSERT_TRUE(WaitForCount(status, 3));
    EXPECT_TRUE(status.at(2).at(0).toString().contains(QStringLiteral("again")))
        << status.at(2).at(0).toString().toStdString();
    const int restarted = static_cast<int>(messages.count());
    EXPECT_GE(WaitForMessage(messages, QStringLiteral("lab/a/live"), newReading, restarted, sendReading), 0)
        << "subscribed again on the new connection";
}

} // namespace
} // namespace thermo4::mqtt
