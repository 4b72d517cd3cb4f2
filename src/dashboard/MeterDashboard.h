#pragma once

#include "dashboard/MeterBoard.h"
#include "mqtt/MqttSubscriber.h"

#include <QObject>

#include <memory>

namespace thermo4::web {
class WebServer;
}

namespace thermo4::dashboard {

/// The dashboard's running part: subscribes to every meter under the broker's base
/// topic, keeps the board of them up to date on the owner's thread, and serves it:
///   /            the page (its script and style beside it), a tile per meter
///   /api/meters  the board as JSON (MeterBoard::json)
class MeterDashboard : public QObject {
    Q_OBJECT
public:
    explicit MeterDashboard(mqtt::BrokerUrl broker, QObject* parent = nullptr);
    ~MeterDashboard() override;

    /// Starts subscribing in the background; false with the reason in error when the
    /// client cannot be set up (a broker away is only a status line).
    bool start(QString* error);

    /// Adds the page and /api/meters to server.
    void serveOn(web::WebServer& server);

    const MeterBoard& board() const { return m_board; }
    /// The subscriber, for its status lines.
    mqtt::MqttSubscriber& subscriber() { return *m_subscriber; }

private:
    MeterBoard m_board;
    std::unique_ptr<mqtt::MqttSubscriber> m_subscriber;
};

} // namespace thermo4::dashboard
