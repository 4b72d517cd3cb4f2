#pragma once

namespace thermo4::mqtt {

// The leaves of a publisher's topics, BASE/<leaf>.
inline constexpr char kLiveLeaf[] = "live";
inline constexpr char kRecordingLeaf[] = "recording";
inline constexpr char kStatusLeaf[] = "status";
inline constexpr char kAlarmLeaf[] = "alarm";
inline constexpr char kAlarmsLeaf[] = "alarms";

// The retained payloads of BASE/status: the publisher is connected, or it has
// stopped or lost its connection ("offline" is its last will too).
inline constexpr char kOnline[] = "online";
inline constexpr char kOffline[] = "offline";

} // namespace thermo4::mqtt
