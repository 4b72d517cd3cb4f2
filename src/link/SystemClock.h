#pragma once

#include "link/Clock.h"

#include <QElapsedTimer>
#include <QEventLoop>

namespace thermo4::link {

/// The real clock: a monotonic QElapsedTimer tick, the local date-time, and
/// waits that sleep in short steps (processing events, or all but user input,
/// for delayWithMessages and delayWithoutInput).
class SystemClock : public Clock {
public:
    SystemClock();

    std::int64_t tickMs() const override;
    QDateTime now() const override;
    void delayWithMessages(int ms) override;
    void delayBusy(int ms) override;
    void delayWithoutInput(int ms) override;

private:
    void delayProcessing(int ms, QEventLoop::ProcessEventsFlags flags);

    QElapsedTimer m_timer;
};

} // namespace thermo4::link
