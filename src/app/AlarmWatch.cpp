#include "app/AlarmWatch.h"

#include "session/MeterSession.h"

#include <QSettings>

#include <cmath>

namespace thermo4::ui {

namespace {

constexpr char kGroup[] = "Alarms";

/// A stored number, or nothing when the key is absent or holds no finite number.
std::optional<double> readNumber(const QSettings& settings, const QString& key) {
    if (!settings.contains(key)) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

} // namespace

AlarmWatch::AlarmWatch(session::MeterSession& session, QObject* parent)
    : QObject(parent), m_session(session) {
    // The one place where readings reach the alarms: every reading the session announces, and the lost meter.
    connect(&session, &session::MeterSession::reading, this, [this](const session::Reading& reading) {
        m_monitor.reading(reading.time, reading.status, m_pending);
        announce();
    });
    connect(&session, &session::MeterSession::connectionChanged, this,
            [this](session::ConnectionChange change) {
                if (change == session::ConnectionChange::Lost) {
                    m_monitor.meterLost(m_session.now(), m_pending);
                    announce();
                }
            });
}

void AlarmWatch::setSettings(const alarm::AlarmSettings& settings) {
    m_monitor.setSettings(settings, m_session.now(), m_pending);
    announce();
    emit changed();
}

void AlarmWatch::announce() {
    if (m_pending.empty()) {
        return;
    }
    for (const alarm::AlarmEvent& event : m_pending) {
        m_events.push_back(event);
        emit alarmEvent(event);
    }
    m_pending.clear();
    emit changed();
}

void AlarmWatch::readSettings(QSettings& settings) {
    settings.beginGroup(QLatin1String(kGroup));
    alarm::AlarmSettings alarms;
    for (int channel = 0; channel < 4; ++channel) {
        alarm::ChannelLimits& limits = alarms.channel[static_cast<std::size_t>(channel)];
        const QString prefix = QStringLiteral("T%1").arg(channel + 1);
        limits.enabled = settings.value(prefix + QStringLiteral("On"), false).toBool();
        limits.high = readNumber(settings, prefix + QStringLiteral("High"));
        limits.low = readNumber(settings, prefix + QStringLiteral("Low"));
        // A pair that could never be inside both limits is not taken.
        if (limits.high && limits.low && *limits.low >= *limits.high) {
            limits = {};
        }
    }
    const auto hold = readNumber(settings, QStringLiteral("HoldSeconds"));
    alarms.holdSeconds = hold && *hold >= 0.0 ? *hold : 0.0;
    const auto hysteresis = readNumber(settings, QStringLiteral("Hysteresis"));
    alarms.hysteresis =
        hysteresis && *hysteresis >= 0.0 ? *hysteresis : alarm::AlarmSettings::kDefaultHysteresis;
    m_sound = settings.value(QStringLiteral("Sound"), true).toBool();
    settings.endGroup();
    setSettings(alarms);
}

void AlarmWatch::writeSettings(QSettings& settings) const {
    settings.beginGroup(QLatin1String(kGroup));
    const alarm::AlarmSettings& alarms = m_monitor.settings();
    for (int channel = 0; channel < 4; ++channel) {
        const alarm::ChannelLimits& limits = alarms.channel[static_cast<std::size_t>(channel)];
        const QString prefix = QStringLiteral("T%1").arg(channel + 1);
        settings.setValue(prefix + QStringLiteral("On"), limits.enabled);
        for (const auto& [key, value] :
             {std::pair{QStringLiteral("High"), limits.high}, std::pair{QStringLiteral("Low"), limits.low}}) {
            if (value) {
                settings.setValue(prefix + key, *value);
            } else {
                settings.remove(prefix + key);
            }
        }
    }
    settings.setValue(QStringLiteral("HoldSeconds"), alarms.holdSeconds);
    settings.setValue(QStringLiteral("Hysteresis"), alarms.hysteresis);
    settings.setValue(QStringLiteral("Sound"), m_sound);
    settings.endGroup();
}

} // namespace thermo4::ui
