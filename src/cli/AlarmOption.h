#pragma once

#include "alarm/AlarmMonitor.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

namespace thermo4::session {
class MeterSession;
}
namespace thermo4::mqtt {
class MqttPublisher;
}

namespace thermo4::cli {

/// The alarm options of a polling command (--alarm Tn>X|Tn<X, --alarm-for,
/// --alarm-hysteresis, --exit-on-alarm): checks them before anything starts, then
/// runs every printed reading through the alarm rule, writes one ALARM or CLEAR
/// line on stderr per beginning and end, and hands them to the MQTT publisher.
struct HeadlessPoll;

class AlarmOption {
public:
    AlarmOption();

    void addTo(QCommandLineParser& parser) const;
    /// The options that may be given more than once.
    QStringList repeatable() const { return {m_alarm.names().first()}; }
    /// Takes the limits; on a bad one prints why and returns false.
    bool read(const QCommandLineParser& parser);
    /// With limits given: watches every reading the session announces (after the listeners
    /// attached before, such as publishing); publisher, when there is one, gets the events;
    /// with --exit-on-alarm, poll ends after the reading that began the first alarm.
    void attach(session::MeterSession& session, HeadlessPoll& poll, mqtt::MqttPublisher* publisher);
    /// The poll ended because the meter stopped answering.
    void meterLost(const QDateTime& time);
    /// The alarms on now (their beginnings).
    std::vector<alarm::AlarmEvent> active() const { return m_monitor.active(); }
    /// --exit-on-alarm stopped the poll.
    bool alarmBegan() const { return m_began; }

private:
    void report(const std::vector<alarm::AlarmEvent>& events);

    QCommandLineOption m_alarm;
    QCommandLineOption m_hold;
    QCommandLineOption m_hysteresis;
    QCommandLineOption m_exitOnAlarm;
    alarm::AlarmMonitor m_monitor;
    bool m_exit = false;
    bool m_began = false;
    mqtt::MqttPublisher* m_publisher = nullptr;
    std::vector<alarm::AlarmEvent> m_events;
};

} // namespace thermo4::cli
