#pragma once

#include "mqtt/MqttClient.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct mosquitto_message;

namespace thermo4::mqtt {

/// Receives the messages of a list of topic filters from an MQTT broker and hands
/// each to the owner's thread as the signal message. It subscribes again on every
/// connection, so after a broker restart the retained messages arrive anew.
class MqttSubscriber : public MqttClient {
    Q_OBJECT
public:
    MqttSubscriber(BrokerUrl broker, const QStringList& filters, ClientOptions options = {},
                   QObject* parent = nullptr);
    /// Calls stop().
    ~MqttSubscriber() override;
    MqttSubscriber(const MqttSubscriber&) = delete;
    MqttSubscriber& operator=(const MqttSubscriber&) = delete;

signals:
    /// One message as the broker delivered it (QoS 1); retained: it was stored
    /// before this subscription, not published just now.
    void message(const QString& topic, const QByteArray& payload, bool retained);

protected:
    int prepare(mosquitto* client) override;
    void connected(mosquitto* client) override;
    QString outageConsequence() const override;

private:
    static void onMessage(mosquitto* client, void* self, const mosquitto_message* message);

    /// The topic filters as the library takes them.
    QList<QByteArray> m_filterBytes;
};

} // namespace thermo4::mqtt
