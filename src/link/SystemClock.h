#pragma once

#include "link/Clock.h"

#include <QElapsedTimer>

namespace thermo4::link {

/// The real clock: a monotonic QElapsedTimer tick, the local date-time, and
/// waits that sleep in short steps (processing events for delayWithMessages).
class SystemClock : public Clock {
public:
    SystemClock();

    std::int64_t tickMs() const override;
    QDateTime now() const override;
    void delayWithMessages(int ms) override;
    void delayBusy(int ms) override;

    QElapsedTimer m_timer;
};

} // namespace thermo4::link
