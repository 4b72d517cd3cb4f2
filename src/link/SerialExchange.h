#pragma once

#include "core/CommandFrame.h"
#include "link/Clock.h"
#include "link/SerialPort.h"

namespace thermo4::link {

/// The serial link's frame as it starts: 02 4B 00 00 00 00 03. Its parameter
/// bytes are never set on this link.
inline constexpr core::CommandFrame kInitialSerialFrame{
    {core::CommandFrame::kStart, 'K', 0, 0, 0, 0, core::CommandFrame::kEnd}};

/// What a serial-link transaction works with: the port, the clock, and the
/// link's one command frame, which lives as long as the link.
struct SerialExchange {
    SerialPort& port;
    Clock& clock;
    core::CommandFrame& frame;
};

} // namespace thermo4::link
