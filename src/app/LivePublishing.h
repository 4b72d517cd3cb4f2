#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "mqtt/ReadingJson.h"

namespace thermo4::mqtt {
class MqttPublisher;
}
namespace thermo4::session {
class MeterSession;
}

namespace thermo4::ui {

class AlarmWatch;

/// The meter as the messages and the web page name it: its model, the link it is on (the USB
/// meter is the virtual one when simulated) and name() (its serial number, else its path), if any.
mqtt::MeterIdentity MeterIdentityOf(const session::MeterSession& session, bool simulated,
                                    const std::function<QString()>& name);

/// Hands the session's readings to the MQTT publisher: every valid live frame while
/// a meter is connected (whatever the link) to BASE/live, every recorded sample to
/// BASE/recording. The publisher only queues them for its network thread, so the
/// poll tick never waits for the network.
class LivePublishing : public QObject {
    Q_OBJECT
public:
    /// session and publisher must outlive this object; simulated: the USB meter is the virtual one.
    LivePublishing(session::MeterSession& session, mqtt::MqttPublisher& publisher, bool simulated,
                   QObject* parent = nullptr);

    /// Also each alarm's beginning and end (BASE/alarm) and the alarms on (BASE/alarms, retained).
    void publishAlarms(const AlarmWatch& alarms);
    /// Names the meter in the messages' "serial" (its serial number, else its path).
    void setMeterName(std::function<QString()> name);

signals:
    /// The publisher's connection lines (up, lost once per outage, back) for the status bar;
    /// connected says which.
    void notice(const QString& text, bool connected);

private:
    void updateMeter();

    session::MeterSession& m_session;
    std::function<QString()> m_meterName;
    mqtt::MqttPublisher& m_publisher;
    bool m_simulated;
};

} // namespace thermo4::ui
