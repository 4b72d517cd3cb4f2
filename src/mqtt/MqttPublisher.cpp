#include "mqtt/MqttPublisher.h"

#include "mqtt/Topics.h"

#include <mosquitto.h>

#include <cstring>

namespace thermo4::mqtt {

namespace {

constexpr int kQosAtLeastOnce = 1;

int messageSize(const QByteArray& bytes) {
    return static_cast<int>(bytes.size());
}

} // namespace

MqttPublisher::MqttPublisher(BrokerUrl broker, PublisherOptions options, QObject* parent)
    : MqttClient(std::move(broker), options, parent),
      m_statusTopic(this->broker().topic(QLatin1String(kStatusLeaf)).toUtf8()),
      m_liveTopic(this->broker().topic(QLatin1String(kLiveLeaf)).toUtf8()),
      m_recordingTopic(this->broker().topic(QLatin1String(kRecordingLeaf)).toUtf8()),
      m_alarmTopic(this->broker().topic(QLatin1String(kAlarmLeaf)).toUtf8()),
      m_alarmsTopic(this->broker().topic(QLatin1String(kAlarmsLeaf)).toUtf8()),
      m_maxPending(options.maxPending) {}

MqttPublisher::~MqttPublisher() {
    stop();
}

int MqttPublisher::prepare(mosquitto* client) {
    mosquitto_publish_callback_set(client, &MqttPublisher::onPublish);
    return mosquitto_will_set(client, m_statusTopic.constData(), static_cast<int>(std::strlen(kOffline)),
                              kOffline, kQosAtLeastOnce, true);
}

void MqttPublisher::connected(mosquitto* client) {
    // Whatever was unacknowledged before is the library's to resend now.
    m_pending = 0;
    if (mosquitto_publish(client, nullptr, m_statusTopic.constData(), static_cast<int>(std::strlen(kOnline)),
                          kOnline, kQosAtLeastOnce, true) == MOSQ_ERR_SUCCESS) {
        ++m_pending;
    }
    if (!m_activeAlarms.isEmpty() &&
        mosquitto_publish(client, nullptr, m_alarmsTopic.constData(), messageSize(m_activeAlarms),
                          m_activeAlarms.constData(), kQosAtLeastOnce, true) == MOSQ_ERR_SUCCESS) {
        ++m_pending;
    }
}

void MqttPublisher::beforeDisconnect(mosquitto* client) {
    // QoS 0 goes out ahead of the DISCONNECT queued next; should the
    // connection fail before, the broker sends the will, which says the same.
    mosquitto_publish(client, nullptr, m_statusTopic.constData(), static_cast<int>(std::strlen(kOffline)),
                      kOffline, 0, true);
}

QString MqttPublisher::outageConsequence() const {
    return QStringLiteral("readings are dropped until it is back");
}

bool MqttPublisher::publishLive(const QDateTime& time, const core::MeterStatus& status) {
    deliverStatus();
    if (client() == nullptr || !isConnected()) {
        ++m_dropped;
        return false;
    }
    return publish(m_liveTopic, ReadingJson(time, status, m_meter));
}

bool MqttPublisher::publishRecording(int sample, const QDateTime& time, const core::MeterStatus& status) {
    deliverStatus();
    if (client() == nullptr || !isConnected()) {
        ++m_dropped;
        return false;
    }
    return publish(m_recordingTopic, ReadingJson(time, status, m_meter, sample));
}

bool MqttPublisher::publishAlarm(const alarm::AlarmEvent& event) {
    deliverStatus();
    if (client() == nullptr || !isConnected()) {
        ++m_dropped;
        return false;
    }
    return publish(m_alarmTopic, AlarmJson(event, m_meter));
}

void MqttPublisher::publishActiveAlarms(const std::vector<alarm::AlarmEvent>& active) {
    const QByteArray payload = AlarmListJson(active, m_meter);
    {
        std::lock_guard lock(stateMutex());
        m_activeAlarms = payload;
    }
    if (client() != nullptr && isConnected()) {
        publish(m_alarmsTopic, payload, true);
    }
}

bool MqttPublisher::publish(const QByteArray& topic, const QByteArray& payload, bool retain) {
    if (m_pending.fetch_add(1) >= m_maxPending) {
        --m_pending;
        ++m_dropped;
        return false;
    }
    const int rc = mosquitto_publish(client(), nullptr, topic.constData(), messageSize(payload),
                                     payload.constData(), kQosAtLeastOnce, retain);
    if (rc != MOSQ_ERR_SUCCESS) {
        --m_pending;
        ++m_dropped;
        return false;
    }
    return true;
}

void MqttPublisher::onPublish(mosquitto* /*client*/, void* self, int /*mid*/) {
    auto& pending = static_cast<MqttPublisher*>(from(self))->m_pending;
    int now = pending.load();
    while (now > 0 && !pending.compare_exchange_weak(now, now - 1)) {
    }
}

} // namespace thermo4::mqtt
