#include "mqtt/MqttSubscriber.h"

#include <mosquitto.h>

#include <QMetaObject>

#include <vector>

namespace thermo4::mqtt {

MqttSubscriber::MqttSubscriber(BrokerUrl broker, const QStringList& filters, ClientOptions options,
                               QObject* parent)
    : MqttClient(std::move(broker), options, parent) {
    for (const QString& filter : filters) {
        m_filterBytes.append(filter.toUtf8());
    }
}

MqttSubscriber::~MqttSubscriber() {
    stop();
}

int MqttSubscriber::prepare(mosquitto* client) {
    mosquitto_message_callback_set(client, &MqttSubscriber::onMessage);
    return MOSQ_ERR_SUCCESS;
}

void MqttSubscriber::connected(mosquitto* client) {
    // A clean session forgets the subscriptions with the connection.
    std::vector<char*> filters;
    filters.reserve(static_cast<std::size_t>(m_filterBytes.size()));
    for (QByteArray& filter : m_filterBytes) {
        filters.push_back(filter.data());
    }
    if (!filters.empty()) {
        mosquitto_subscribe_multiple(client, nullptr, static_cast<int>(filters.size()), filters.data(), 1, 0,
                                     nullptr);
    }
}

QString MqttSubscriber::outageConsequence() const {
    return QStringLiteral("nothing new arrives until it is back");
}

void MqttSubscriber::onMessage(mosquitto* /*client*/, void* self, const mosquitto_message* message) {
    auto* subscriber = static_cast<MqttSubscriber*>(from(self));
    const QString topic = QString::fromUtf8(message->topic);
    const QByteArray payload(static_cast<const char*>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    QMetaObject::invokeMethod(
        subscriber,
        [subscriber, topic, payload, retained] { emit subscriber->message(topic, payload, retained); },
        Qt::QueuedConnection);
}

} // namespace thermo4::mqtt
