#include "dashboard/MeterDashboard.h"

namespace thermo4::dashboard {

MeterDashboard::MeterDashboard(mqtt::BrokerUrl broker, QObject* parent)
    : QObject(parent), m_board(broker.baseTopic) {
    const QStringList filters = MeterBoard::Filters(broker.baseTopic);
    m_subscriber = std::make_unique<mqtt::MqttSubscriber>(std::move(broker), filters);
    connect(m_subscriber.get(), &mqtt::MqttSubscriber::message, this,
            [this](const QString& topic, const QByteArray& payload) {
                m_board.take(topic, payload, QDateTime::currentDateTimeUtc());
            });
}

MeterDashboard::~MeterDashboard() = default;

bool MeterDashboard::start(QString* error) {
    return m_subscriber->start(error);
}

} // namespace thermo4::dashboard
