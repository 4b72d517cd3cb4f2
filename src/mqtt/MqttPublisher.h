#pragma once

#include "core/MeterStatus.h"
#include "mqtt/BrokerUrl.h"
#include "mqtt/MqttClient.h"
#include "mqtt/ReadingJson.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <cstdint>

struct mosquitto;

namespace thermo4::mqtt {

/// Tuning of a publisher's connection, and its own limit.
struct PublisherOptions : ClientOptions {
    /// Messages handed over and not yet acknowledged by the broker beyond which
    /// readings are dropped instead of queued.
    int maxPending = 100;
};

/// Publishes live readings and recorded samples to an MQTT broker as JSON
/// (BASE/live, BASE/recording) and the program's presence as a retained
/// "online"/"offline" (BASE/status, "offline" also as the last will).
/// The publish calls only queue for the network thread and return at once: while
/// the broker is away readings are dropped, the client reconnects with back-off,
/// and statusMessage says so once per outage. stop() publishes the retained
/// "offline" before it disconnects (the last will says the same when the broker
/// did not take it).
class MqttPublisher : public MqttClient {
    Q_OBJECT
public:
    explicit MqttPublisher(BrokerUrl broker, PublisherOptions options = {}, QObject* parent = nullptr);
    /// Calls stop().
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    /// The meter the following readings come from (sent with each reading).
    void setMeter(const MeterIdentity& meter) { m_meter = meter; }
    const MeterIdentity& meter() const { return m_meter; }

    /// A valid live reading at time → BASE/live, QoS 1. False when it was
    /// dropped (not connected, or too many messages unacknowledged).
    bool publishLive(const QDateTime& time, const core::MeterStatus& status);
    /// Sample number sample of a running real-time recording → BASE/recording, QoS 1.
    bool publishRecording(int sample, const QDateTime& time, const core::MeterStatus& status);

    /// The beginning or end of an alarm → BASE/alarm, QoS 1, not retained. False when
    /// it was dropped, as a reading would be.
    bool publishAlarm(const alarm::AlarmEvent& event);
    /// The alarms on now → BASE/alarms, QoS 1, retained, so that a subscriber that comes
    /// later knows them. Kept and published again on every connection, so an outage
    /// loses no change of the list.
    void publishActiveAlarms(const std::vector<alarm::AlarmEvent>& active);

    /// Readings dropped since start().
    std::uint64_t droppedCount() const { return m_dropped.load(); }

protected:
    int prepare(mosquitto* client) override;
    void connected(mosquitto* client) override;
    void beforeDisconnect(mosquitto* client) override;
    QString outageConsequence() const override;

private:
    bool publish(const QByteArray& topic, const QByteArray& payload, bool retain = false);
    static void onPublish(mosquitto* client, void* self, int mid);

    const QByteArray m_statusTopic;
    const QByteArray m_liveTopic;
    const QByteArray m_recordingTopic;
    const QByteArray m_alarmTopic;
    const QByteArray m_alarmsTopic;
    /// The last list of alarms on (guarded by stateMutex()); empty until the first.
    QByteArray m_activeAlarms;
    MeterIdentity m_meter;

    const int m_maxPending;
    std::atomic<int> m_pending{0};
    std::atomic<std::uint64_t> m_dropped{0};
};

} // namespace thermo4::mqtt
