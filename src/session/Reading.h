#pragma once

#include "core/MeterStatus.h"

#include <QDateTime>

namespace thermo4::session {

/// One valid live frame as the session announces it: the recording, the journal, the
/// panel, the alarms and the network publishers all take their readings from this.
struct Reading {
    /// The poll tick's date-time, taken at its start.
    QDateTime time;
    core::MeterStatus status;
    /// Some byte of the frame's display segments (40 to 59) differed from 0xFF: the panel redraws.
    bool carriesSegments = false;
};

} // namespace thermo4::session
