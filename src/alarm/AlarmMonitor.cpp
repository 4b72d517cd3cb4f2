#include "alarm/AlarmMonitor.h"

#include <cmath>

namespace thermo4::alarm {

namespace {

/// Readings come in tenths of a degree (°F ones converted to °C): a reading that shows
/// the limit itself has not crossed it, whatever the float's last bits say.
constexpr double kTolerance = 0.005;

qint64 holdMsOf(double seconds) {
    return std::isfinite(seconds) && seconds > 0.0 ? static_cast<qint64>(std::llround(seconds * 1000.0)) : 0;
}

} // namespace

AlarmMonitor::AlarmMonitor(const AlarmSettings& settings)
    : m_settings(settings), m_holdMs(holdMsOf(settings.holdSeconds)) {
    m_lastCondition.fill(core::ChannelCondition::Reading);
    m_lastValue.fill(0.0);
}

void AlarmMonitor::setSettings(const AlarmSettings& settings, const QDateTime& time,
                               std::vector<AlarmEvent>& out) {
    for (int channel = 0; channel < 4; ++channel) {
        const ChannelLimits& before = m_settings.channel[static_cast<std::size_t>(channel)];
        const ChannelLimits& after = settings.channel[static_cast<std::size_t>(channel)];
        const bool keep[kKinds] = {
            after.enabled && after.high && before.high == after.high,
            after.enabled && after.low && before.low == after.low,
            after.limited(),
        };
        for (int kind = 0; kind < kKinds; ++kind) {
            Slot& s = slot(channel, static_cast<AlarmKind>(kind));
            if (s.on && !keep[kind]) {
                AlarmEvent end = s.began;
                end.time = time;
                end.condition = m_lastCondition[static_cast<std::size_t>(channel)];
                end.value = m_lastValue[static_cast<std::size_t>(channel)];
                end.on = false;
                s.on = false;
                out.push_back(end);
            }
        }
    }
    m_settings = settings;
    m_holdMs = holdMsOf(settings.holdSeconds);
    if (m_lostOn && !m_settings.any()) {
        AlarmEvent end = m_lostBegan;
        end.time = time;
        end.on = false;
        m_lostOn = false;
        out.push_back(end);
    }
    clearPending();
}

qint64 AlarmMonitor::nowMs(const QDateTime& time) {
    if (!m_nowMs) {
        m_nowMs = time.toMSecsSinceEpoch();
    }
    return *m_nowMs;
}

void AlarmMonitor::step(Slot& s, bool change, const AlarmEvent& event, std::vector<AlarmEvent>& out) {
    if (!change) {
        s.pending = false;
        return;
    }
    if (m_holdMs > 0) {
        const qint64 now = nowMs(event.time);
        if (!s.pending) {
            s.pending = true;
            s.sinceMs = now;
        }
        if (now - s.sinceMs < m_holdMs) {
            return;
        }
    }
    s.pending = false;
    s.on = !s.on;
    out.push_back(event);
    out.back().on = s.on;
    if (s.on) {
        s.began = out.back();
    }
}

void AlarmMonitor::reading(const QDateTime& time, const core::MeterStatus& status,
                           std::vector<AlarmEvent>& out) {
    m_nowMs.reset();
    if (m_lostOn) {
        AlarmEvent end = m_lostBegan;
        end.time = time;
        end.on = false;
        m_lostOn = false;
        out.push_back(end);
    }
    const double hysteresis =
        std::isfinite(m_settings.hysteresis) ? std::max(m_settings.hysteresis, 0.0) : 0.0;
    for (int channel = 0; channel < 4; ++channel) {
        const auto index = static_cast<std::size_t>(channel);
        const core::ChannelCondition condition = core::ChannelConditionOf(status.channelState, channel);
        const double value = status.reading[index];
        m_lastCondition[index] = condition;
        m_lastValue[index] = value;
        const ChannelLimits& limits = m_settings.channel[index];
        if (!limits.limited()) {
            continue;
        }
        const bool isReading = condition == core::ChannelCondition::Reading;
        AlarmEvent event;
        event.time = time;
        event.channel = channel;
        event.condition = condition;
        event.value = value;
        if (limits.high) {
            const double limit = *limits.high;
            Slot& s = slot(channel, AlarmKind::High);
            const bool change = s.on ? isReading && value <= limit - hysteresis + kTolerance
                                     : condition == core::ChannelCondition::OverRange ||
                                           (isReading && value > limit + kTolerance);
            event.kind = AlarmKind::High;
            event.limit = limit;
            step(s, change, event, out);
        }
        if (limits.low) {
            const double limit = *limits.low;
            Slot& s = slot(channel, AlarmKind::Low);
            const bool change = s.on ? condition == core::ChannelCondition::OverRange ||
                                           (isReading && value >= limit + hysteresis - kTolerance)
                                     : isReading && value < limit - kTolerance;
            event.kind = AlarmKind::Low;
            event.limit = limit;
            step(s, change, event, out);
        }
        Slot& s = slot(channel, AlarmKind::NoReading);
        const bool noReading = condition == core::ChannelCondition::NoReading;
        event.kind = AlarmKind::NoReading;
        event.limit = 0.0;
        step(s, s.on ? !noReading : noReading, event, out);
    }
}

void AlarmMonitor::meterLost(const QDateTime& time, std::vector<AlarmEvent>& out) {
    // Whatever was on its way when the meter went is unknown: holds start again.
    clearPending();
    if (m_lostOn || !m_settings.any()) {
        return;
    }
    m_lostOn = true;
    m_lostBegan = AlarmEvent{};
    m_lostBegan.time = time;
    m_lostBegan.kind = AlarmKind::MeterLost;
    m_lostBegan.on = true;
    out.push_back(m_lostBegan);
}

bool AlarmMonitor::isOn(int channel, AlarmKind kind) const {
    if (kind == AlarmKind::MeterLost) {
        return m_lostOn;
    }
    return channel >= 0 && channel < 4 && slot(channel, kind).on;
}

bool AlarmMonitor::channelOn(int channel) const {
    return isOn(channel, AlarmKind::High) || isOn(channel, AlarmKind::Low) ||
           isOn(channel, AlarmKind::NoReading);
}

std::vector<AlarmEvent> AlarmMonitor::active() const {
    std::vector<AlarmEvent> on;
    for (const Slot& s : m_slots) {
        if (s.on) {
            on.push_back(s.began);
        }
    }
    if (m_lostOn) {
        on.push_back(m_lostBegan);
    }
    return on;
}

void AlarmMonitor::clearPending() {
    for (Slot& s : m_slots) {
        s.pending = false;
    }
}

} // namespace thermo4::alarm
