#include "link/SystemClock.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <thread>

namespace thermo4::link {

namespace {
// Longest single sleep inside a wait (ms): short enough that a wait ends within
// a millisecond or two of its time, long enough not to spin a core.
constexpr std::int64_t kSleepStepMs = 2;
} // namespace

SystemClock::SystemClock() {
    m_timer.start();
}

std::int64_t SystemClock::tickMs() const {
    return m_timer.elapsed();
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

void SystemClock::delayWithMessages(int ms) {
    const std::int64_t start = tickMs();
    while (tickMs() - start <= ms) {
        const std::int64_t left = ms - (tickMs() - start) + 1;
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents,
                                            static_cast<int>(std::max<std::int64_t>(left, 1)));
        }
        if (tickMs() - start <= ms) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(std::clamp<std::int64_t>(left, 1, kSleepStepMs)));
        }
    }
}

void SystemClock::delayBusy(int ms) {
    const std::int64_t start = tickMs();
    while (tickMs() - start <= ms) {
        const std::int64_t left = ms - (tickMs() - start) + 1;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::clamp<std::int64_t>(left, 1, kSleepStepMs)));
    }
}

} // namespace thermo4::link
