#pragma once

#include "alarm/AlarmRule.h"
#include "core/MeterStatus.h"

#include <QDateTime>

#include <array>
#include <optional>
#include <vector>

namespace thermo4::alarm {

/// Applies the alarm settings to every valid reading: a condition (above a high limit,
/// below a low one, "----" on a limited channel) that holds for the hold time without a
/// break begins an alarm; the reading back inside its limit by the hysteresis for the
/// hold time ends it. "OL" is above every high limit and inside every low one. Frames
/// that are not valid never reach it, so they neither break nor extend a hold. A lost
/// meter ends no alarm: it is an alarm of its own, which the next reading ends.
/// Pure and allocation-free per reading unless an event is written.
class AlarmMonitor {
public:
    explicit AlarmMonitor(const AlarmSettings& settings = {});

    const AlarmSettings& settings() const { return m_settings; }
    /// Takes new settings at time: an alarm whose limit is gone, changed or switched off
    /// ends (out gets its end); conditions on their way start their hold again.
    void setSettings(const AlarmSettings& settings, const QDateTime& time, std::vector<AlarmEvent>& out);

    /// A valid live reading at time; appends the alarms it begins and ends to out.
    void reading(const QDateTime& time, const core::MeterStatus& status, std::vector<AlarmEvent>& out);
    /// The meter stopped answering at time: begins "meter lost" (once) while any limit is set.
    void meterLost(const QDateTime& time, std::vector<AlarmEvent>& out);

    /// Whether the alarm of kind is on for channel (-1 with MeterLost).
    bool isOn(int channel, AlarmKind kind) const;
    /// Whether any alarm of channel is on.
    bool channelOn(int channel) const;
    /// The beginnings of the alarms on now, T1 to T4, then "meter lost".
    std::vector<AlarmEvent> active() const;

private:
    /// One alarm of one channel (high, low or no reading).
    struct Slot {
        bool on = false;
        /// A change (begin or end) is pending since sinceMs (ms since the epoch).
        bool pending = false;
        qint64 sinceMs = 0;
        AlarmEvent began;
    };
    static constexpr int kKinds = 3;

    Slot& slot(int channel, AlarmKind kind) { return m_slots[channel * kKinds + static_cast<int>(kind)]; }
    const Slot& slot(int channel, AlarmKind kind) const {
        return m_slots[channel * kKinds + static_cast<int>(kind)];
    }
    /// Advances one alarm: change says whether its begin (when off) or end (when on) condition holds.
    void step(Slot& s, bool change, const AlarmEvent& event, std::vector<AlarmEvent>& out);
    /// The reading's time in ms since the epoch, worked out once per reading and only when a
    /// hold needs it (a local time's offset costs about a microsecond each time).
    qint64 nowMs(const QDateTime& time);
    void clearPending();

    AlarmSettings m_settings;
    qint64 m_holdMs = 0;
    std::array<Slot, 4 * kKinds> m_slots{};
    /// What each channel showed last (for the end of an alarm whose limit is taken away).
    std::array<core::ChannelCondition, 4> m_lastCondition{};
    std::array<double, 4> m_lastValue{};
    bool m_lostOn = false;
    std::optional<qint64> m_nowMs;
    AlarmEvent m_lostBegan;
};

} // namespace thermo4::alarm
