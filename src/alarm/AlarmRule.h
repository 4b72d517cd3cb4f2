#pragma once

#include "core/MeterStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace thermo4::alarm {

/// What an alarm is about.
enum class AlarmKind { High, Low, NoReading, MeterLost };

/// The limits of one channel, °C.
struct ChannelLimits {
    /// The channel's alarms are switched on (limits may be kept while off).
    bool enabled = false;
    std::optional<double> high;
    std::optional<double> low;

    bool limited() const { return enabled && (high || low); }
    bool operator==(const ChannelLimits&) const = default;
};

/// The limits of T1 to T4 with the hold time and hysteresis shared by all channels.
struct AlarmSettings {
    static constexpr double kDefaultHysteresis = 0.5;

    std::array<ChannelLimits, 4> channel{};
    /// How long a condition must hold without a break before an alarm begins or ends, s.
    double holdSeconds = 0.0;
    /// How far back inside its limit a reading must be for its alarm to end, °C.
    double hysteresis = kDefaultHysteresis;

    /// Any channel has a limit switched on.
    bool any() const;
    bool operator==(const AlarmSettings&) const = default;
};

/// One beginning or end of an alarm.
struct AlarmEvent {
    QDateTime time;
    /// 0..3 for T1..T4; -1 for "meter lost".
    int channel = -1;
    AlarmKind kind = AlarmKind::MeterLost;
    /// The limit crossed, °C; 0 for "no reading" and "meter lost", which have none.
    double limit = 0.0;
    /// What the channel showed then: a reading (value, °C), "OL" or "----".
    core::ChannelCondition condition = core::ChannelCondition::NoReading;
    double value = 0.0;
    /// true: the alarm begins; false: it ends.
    bool on = true;

    bool hasLimit() const { return kind == AlarmKind::High || kind == AlarmKind::Low; }
    bool operator==(const AlarmEvent&) const = default;
};

/// "high", "low", "no reading", "meter lost".
QString AlarmKindText(AlarmKind kind);
/// "T1".."T4"; empty for -1.
QString AlarmChannelText(int channel);
/// A limit, °C, with one decimal or as many as it has up to three: "300.0", "-0.25".
QString AlarmLimitText(double limit);
/// The condition with its limit in °C: "T1 > 300.0", "T2 < -5.5", "T3 no reading", "meter lost".
QString AlarmConditionText(const AlarmEvent& event);
/// The value an event saw: "301.2", "OL", "----"; empty for "meter lost".
QString AlarmValueText(const AlarmEvent& event);
/// The text mark an event leaves on a graph: its condition when it begins ("T1 > 300.0"),
/// "T1 back" (or "meter back") when it ends.
QString AlarmMarkText(const AlarmEvent& event);

/// One report line: "ALARM T1 > 300.0 value 301.2 at 2026-03-01T09:00:00.500",
/// "CLEAR T3 no reading value 6.0 at …", "ALARM meter lost at …" (local time).
QString AlarmEventLine(const AlarmEvent& event);

/// The events as CSV: "time,channel,kind,limit,value,state", then one line per event
/// (local time with milliseconds, °C with "." as separator, limit empty where there is
/// none, state "on" or "off").
QByteArray AlarmEventsCsv(const std::vector<AlarmEvent>& events);

/// Adds one limit written as Tn>X or Tn<X (X a decimal number, °C) to settings and
/// switches its channel on. On a malformed limit, a second limit of the same kind, or a low
/// limit not below the high one, returns false with the reason in error and leaves
/// settings unchanged.
bool AddAlarmLimit(const QString& text, AlarmSettings& settings, QString* error);

} // namespace thermo4::alarm
