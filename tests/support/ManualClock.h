#pragma once

#include "link/Clock.h"

#include <functional>
#include <map>

namespace thermo4::link {

/// A clock that moves only when told: advance(ms) or a wait. Tests, benchmarks
/// and the virtual meter share one, so stalls and retries run in microseconds
/// and always the same way. A wait of ms advances the time by ms + 1, the first
/// tick at which more than ms have passed, as a wait on a real tick counter ends.
class ManualClock : public Clock {
public:
    /// Called after every change of the time with the new tick (ms).
    using Listener = std::function<void(std::int64_t tickMs)>;

    /// Starts at tick 0 and at the given local date-time (default 2024-01-01 12:00:00).
    explicit ManualClock(QDateTime start = {});

    std::int64_t tickMs() const override { return m_tickMs; }
    /// The start date-time plus the ticks advanced since it was last set.
    QDateTime now() const override;
    /// Advances by ms + 1, then processes pending events once (if an application exists).
    void delayWithMessages(int ms) override;
    /// Advances by ms + 1 without processing events.
    void delayBusy(int ms) override;

    /// Moves the tick and now() forward by ms (negative values count as 0).
    void advance(std::int64_t ms);
    /// Sets now() without moving the tick; later advances move on from it.
    void setNow(const QDateTime& now);

    /// Registers a listener; returns an id for removeListener.
    int addListener(Listener listener);
    void removeListener(int id);

    /// Number of waits (delayWithMessages, delayBusy) so far and the ms they asked for.
    int waitCount() const { return m_waitCount; }
    std::int64_t waitedMs() const { return m_waitedMs; }

private:
    void notify();

    std::int64_t m_tickMs = 0;
    QDateTime m_base;
    std::int64_t m_baseTick = 0;
    std::map<int, Listener> m_listeners;
    int m_nextListenerId = 1;
    int m_waitCount = 0;
    std::int64_t m_waitedMs = 0;
};

} // namespace thermo4::link
