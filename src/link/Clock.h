#pragma once

#include <QDateTime>
#include <cstdint>

namespace thermo4::link {

/// Time as the meter transactions and the poll see it: a millisecond tick, the
/// wall-clock date-time, and the two waits. SystemClock is the real one;
/// ManualClock advances only when told (or when a wait asks it to), so a test
/// or benchmark can run a 5-second stall in microseconds, deterministically.
class Clock {
public:
    virtual ~Clock() = default;

    /// Monotonic milliseconds since an arbitrary origin.
    virtual std::int64_t tickMs() const = 0;
    /// Local date-time now.
    virtual QDateTime now() const = 0;
    /// Waits until more than ms milliseconds have passed, processing pending
    /// window messages meanwhile.
    virtual void delayWithMessages(int ms) = 0;
    /// Waits until more than ms milliseconds have passed without processing messages.
    virtual void delayBusy(int ms) = 0;
};

} // namespace thermo4::link
