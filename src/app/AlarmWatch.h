#pragma once

#include "alarm/AlarmMonitor.h"

#include <QObject>

#include <vector>

class QSettings;

namespace thermo4::session {
class MeterSession;
}

namespace thermo4::ui {

/// Runs every valid reading of the session through the alarm rule, whatever the link and
/// whatever window is open, and announces each beginning and end. Keeps this run's events
/// for the events window. The limits, hold time, hysteresis and the sound switch are kept
/// in the settings (group "Alarms").
class AlarmWatch : public QObject {
    Q_OBJECT
public:
    /// session must outlive the watch.
    explicit AlarmWatch(session::MeterSession& session, QObject* parent = nullptr);

    const alarm::AlarmSettings& settings() const { return m_monitor.settings(); }
    /// Takes new limits now: alarms whose limit went away or changed end.
    void setSettings(const alarm::AlarmSettings& settings);
    const alarm::AlarmMonitor& monitor() const { return m_monitor; }
    /// Beginnings and ends since the program started, oldest first.
    const std::vector<alarm::AlarmEvent>& events() const { return m_events; }

    /// A short sound at each beginning and end.
    bool soundOn() const { return m_sound; }
    void setSoundOn(bool on) { m_sound = on; }

    void readSettings(QSettings& settings);
    void writeSettings(QSettings& settings) const;

signals:
    /// One beginning or end.
    void alarmEvent(const thermo4::alarm::AlarmEvent& event);
    /// The limits or the alarms on changed (after the events of one reading).
    void changed();

private:
    void announce();

    session::MeterSession& m_session;
    alarm::AlarmMonitor m_monitor;
    std::vector<alarm::AlarmEvent> m_pending;
    std::vector<alarm::AlarmEvent> m_events;
    bool m_sound = true;
};

} // namespace thermo4::ui
