#pragma once

#include "MqttTestSupport.h"

#include <QDeadlineTimer>
#include <QSignalSpy>

namespace thermo4::mqtt::test {

/// Waits (at most kDeadline) until spy holds count signals.
inline bool WaitForCount(QSignalSpy& spy, int count) {
    const QDeadlineTimer deadline(kDeadline);
    while (spy.count() < count && !deadline.hasExpired()) {
        spy.wait(static_cast<int>(deadline.remainingTime()));
    }
    return spy.count() >= count;
}

} // namespace thermo4::mqtt::test
