#include "cli/AlarmOption.h"

#include "cli/CliSupport.h"
#include "cli/HeadlessPoll.h"
#include "mqtt/MqttPublisher.h"
#include "session/MeterSession.h"

#include <cmath>

namespace thermo4::cli {

namespace {

/// A decimal number from 0 to max written with "." whatever the locale; nothing otherwise.
std::optional<double> NumberIn(const QString& text, double max) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || value < 0.0 || value > max) {
        return std::nullopt;
    }
    return value;
}

constexpr double kMaxHoldSeconds = 86400.0;
constexpr double kMaxHysteresis = 100.0;

} // namespace

AlarmOption::AlarmOption()
    : m_alarm(
          QStringLiteral("alarm"),
          QStringLiteral("Watch a limit: Tn>X raises an alarm while channel n reads above X °C, Tn<X while "
                         "it reads below X (n from 1 to 4, X a decimal number). Give it once per limit; a "
                         "channel may have one of each. \"OL\" is above every high limit, and \"----\" on a "
                         "watched channel is an alarm of its own (no reading). Each beginning and end of an "
                         "alarm writes one line on stderr starting with ALARM or CLEAR, with the channel, "
                         "the condition and its limit, the value and the time."),
          QStringLiteral("LIMIT")),
      m_hold(
          QStringLiteral("alarm-for"),
          QStringLiteral("An alarm begins, and ends, only when its condition has held for SECONDS without a "
                         "break (default 0)."),
          QStringLiteral("SECONDS")),
      m_hysteresis(
          QStringLiteral("alarm-hysteresis"),
          QStringLiteral("An alarm ends when the reading is back inside its limit by DEG °C (default "
                         "0.5)."),
          QStringLiteral("DEG")),
      m_exitOnAlarm(
          QStringLiteral("exit-on-alarm"),
          QStringLiteral("End with exit status 3 right after the reading that began the first alarm.")) {}

void AlarmOption::addTo(QCommandLineParser& parser) const {
    parser.addOption(m_alarm);
    parser.addOption(m_hold);
    parser.addOption(m_hysteresis);
    parser.addOption(m_exitOnAlarm);
}

bool AlarmOption::read(const QCommandLineParser& parser) {
    alarm::AlarmSettings settings;
    for (const QString& limit : parser.values(m_alarm)) {
        QString error;
        if (!alarm::AddAlarmLimit(limit, settings, &error)) {
            PrintError(error);
            return false;
        }
    }
    const bool any = settings.any();
    for (const QCommandLineOption* option : {&m_hold, &m_hysteresis, &m_exitOnAlarm}) {
        if (!any && parser.isSet(*option)) {
            PrintError(QStringLiteral("--%1 goes with --alarm LIMIT").arg(option->names().first()));
            return false;
        }
    }
    // Each takes a decimal number from 0 to its maximum.
    const struct {
        const QCommandLineOption& option;
        double max;
        const char* unit;
        double& value;
    } numbers[] = {{m_hold, kMaxHoldSeconds, "seconds", settings.holdSeconds},
                   {m_hysteresis, kMaxHysteresis, "degrees", settings.hysteresis}};
    for (const auto& number : numbers) {
        if (!parser.isSet(number.option)) {
            continue;
        }
        const QString text = parser.value(number.option);
        const auto value = NumberIn(text, number.max);
        if (!value) {
            PrintError(QStringLiteral("--%1 wants %2 from 0 to %3, not \"%4\"")
                           .arg(number.option.names().first(), QLatin1String(number.unit))
                           .arg(number.max)
                           .arg(text));
            return false;
        }
        number.value = *value;
    }
    m_exit = parser.isSet(m_exitOnAlarm);
    m_monitor = alarm::AlarmMonitor(settings);
    return true;
}

void AlarmOption::attach(session::MeterSession& session, HeadlessPoll& poll, mqtt::MqttPublisher* publisher) {
    if (!m_monitor.settings().any()) {
        return;
    }
    m_publisher = publisher;
    if (m_publisher) {
        m_publisher->publishActiveAlarms({});
    }
    // The session goes before this option (it is made later), so the connection never outlives it.
    QObject::connect(&session, &session::MeterSession::reading, [this](const session::Reading& reading) {
        m_events.clear();
        m_monitor.reading(reading.time, reading.status, m_events);
        report(m_events);
    });
    if (m_exit) {
        poll.stopAfterReading = [this] { return m_began; };
    }
}

void AlarmOption::meterLost(const QDateTime& time) {
    m_events.clear();
    m_monitor.meterLost(time, m_events);
    report(m_events);
}

void AlarmOption::report(const std::vector<alarm::AlarmEvent>& events) {
    for (const alarm::AlarmEvent& event : events) {
        PrintErrorLine(alarm::AlarmEventLine(event));
        m_began = m_began || (event.on && event.kind != alarm::AlarmKind::MeterLost);
        if (m_publisher) {
            m_publisher->publishAlarm(event);
        }
    }
    if (m_publisher && !events.empty()) {
        m_publisher->publishActiveAlarms(m_monitor.active());
    }
}

} // namespace thermo4::cli
