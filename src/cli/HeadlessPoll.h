#pragma once

#include "core/MeterStatus.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace thermo4::link {
class Clock;
}
namespace thermo4::session {
class MeterSession;
}

namespace thermo4::cli {

/// First line of the live CSV.
inline constexpr char kLiveCsvHeader[] = "time,T1,T2,T3,T4";

/// One CSV line: the time as YYYY-MM-DDTHH:MM:SS.mmm, then T1 to T4 in °C with one
/// decimal ("." whatever the locale), or "OL" / "----" as the channel state says.
QString LiveCsvLine(const QDateTime& time, const core::MeterStatus& status);

/// How a headless poll run ends.
enum class HeadlessPollEnd {
    /// The requested number of lines was printed.
    SamplesDone,
    /// Nothing answered the identify for noReadingLimitMs.
    NoMeter,
    /// The meter answered, but its replies were not valid live frames for noReadingLimitMs.
    InvalidFrames,
    /// The meter answered (or gave readings) and then stayed silent for noReadingLimitMs.
    MeterStopped,
    /// printLine refused a line (its output failed).
    OutputFailed,
    /// stopAfterReading asked to end after a reading.
    Stopped,
};

/// The session's poll without a window: a tick every periodMs on the clock, one line
/// per reading the session announces, until samples lines (0: no limit), until
/// printLine returns false, or until no valid reading has come for noReadingLimitMs,
/// whatever the meter answered meanwhile (unless meterSilent is set). Whoever else wants the readings
/// (publishing, alarms) listens to the session.
struct HeadlessPoll {
    int samples = 0;
    int periodMs = 500;
    int noReadingLimitMs = 5000;
    /// Asked after each printed line: true ends the run (Stopped).
    std::function<bool()> stopAfterReading;
    /// Waits between ticks process events, for a server that runs beside the poll.
    bool processEvents = false;
    /// When set, no valid reading for noReadingLimitMs calls it (once until a reading comes
    /// again) and the run goes on, as the meter may come back; unset, the run ends.
    std::function<void()> meterSilent;

    HeadlessPollEnd run(session::MeterSession& session, link::Clock& clock,
                        const std::function<bool(const QString&)>& printLine) const;
};

} // namespace thermo4::cli
