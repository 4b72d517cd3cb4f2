#include "support/ManualClock.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace thermo4::link {

ManualClock::ManualClock(QDateTime start)
    : m_base(start.isValid() ? std::move(start) : QDateTime(QDate(2024, 1, 1), QTime(12, 0, 0))) {}

QDateTime ManualClock::now() const {
    return m_base.addMSecs(m_tickMs - m_baseTick);
}

void ManualClock::delayWithMessages(int ms) {
    delayBusy(ms);
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

void ManualClock::delayBusy(int ms) {
    const std::int64_t wait = std::max(ms, 0);
    ++m_waitCount;
    m_waitedMs += wait;
    advance(wait + 1);
}

void ManualClock::advance(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    m_tickMs += ms;
    notify();
}

void ManualClock::setNow(const QDateTime& now) {
    m_base = now;
    m_baseTick = m_tickMs;
}

int ManualClock::addListener(Listener listener) {
    const int id = m_nextListenerId++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void ManualClock::removeListener(int id) {
    m_listeners.erase(id);
}

void ManualClock::notify() {
    // A listener may add or remove listeners: walk a snapshot of the ids and
    // skip any removed meanwhile.
    std::vector<int> ids;
    ids.reserve(m_listeners.size());
    for (const auto& entry : m_listeners) {
        ids.push_back(entry.first);
    }
    for (const int id : ids) {
        const auto it = m_listeners.find(id);
        if (it != m_listeners.end()) {
            const Listener listener = it->second;
            listener(m_tickMs);
        }
    }
}

} // namespace thermo4::link
