#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace thermo4::session {
class MeterSession;
}
namespace thermo4::web {
class LiveFeed;
}

namespace thermo4::ui {

class AlarmWatch;

/// Hands the live web page what the window knows: the session's readings and connection, whether
/// a real-time recording runs, and the alarms on as the alarm watch has them.
class LiveWebFeed : public QObject {
    Q_OBJECT
public:
    /// session, feed and alarms must outlive this object; simulated: the USB meter is the virtual one.
    LiveWebFeed(session::MeterSession& session, web::LiveFeed& feed, const AlarmWatch& alarms, bool simulated,
                QObject* parent = nullptr);

    /// Names the meter in the readings' "serial" (its serial number, else its path).
    void setMeterName(std::function<QString()> name);

private:
    void updateMeter();

    session::MeterSession& m_session;
    web::LiveFeed& m_feed;
    std::function<QString()> m_meterName;
    bool m_simulated;
};

} // namespace thermo4::ui
