#include "dashboard/MeterDashboard.h"

#include "web/WebServer.h"

namespace thermo4::dashboard {

MeterDashboard::MeterDashboard(mqtt::BrokerUrl broker, QObject* parent)
    : QObject(parent), m_board(broker.baseTopic) {
    const QStringList filters = MeterBoard::Filters(broker.baseTopic);
    m_subscriber = std::make_unique<mqtt::MqttSubscriber>(std::move(broker), filters);
    connect(m_subscriber.get(), &mqtt::MqttSubscriber::message, this,
            [this](const QString& topic, const QByteArray& payload, bool retained) {
                m_board.take(topic, payload, retained, QDateTime::currentDateTimeUtc());
            });
}

MeterDashboard::~MeterDashboard() = default;

void MeterDashboard::serveOn(web::WebServer& server) {
    server.addResource(QStringLiteral("/"), QStringLiteral(":/dashboard/index.html"));
    server.addResource(QStringLiteral("/dashboard.js"), QStringLiteral(":/dashboard/dashboard.js"));
    server.addResource(QStringLiteral("/dashboard.css"), QStringLiteral(":/dashboard/dashboard.css"));
    server.addJson(QStringLiteral("/api/meters"), [this](const QUrlQuery&) {
        return web::WebServer::Reply{m_board.json(QDateTime::currentDateTimeUtc())};
    });
}

bool MeterDashboard::start(QString* error) {
    return m_subscriber->start(error);
}

} // namespace thermo4::dashboard
