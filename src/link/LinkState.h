#pragma once

#include "core/CommandFrame.h"
#include "core/MeterStatus.h"
#include "link/UsbSession.h"

#include <cstdint>

namespace thermo4::link {

/// The connection fields of the process-wide state: which link is live, the
/// lost-read count, the poll's busy flag, the main window's frame, sequence
/// number and reply buffer, the seconds bookkeeping of the sampling period, and
/// the last decoded live frame. AppState embeds one; the CLI holds its own.
struct LinkState {
    bool connected = false;
    bool usbLink = false;
    bool serialLink = false;
    /// Consecutive failed live reads.
    int lostFrames = 0;
    /// Failed reads in a row that end a connection.
    int lostFrameLimit = 3;
    /// Set for the whole of a poll tick.
    bool pollBusy = false;
    std::uint16_t usbVendorId = kUsbVendorId;
    std::uint16_t usbProductId = kUsbProductId;
    /// Frame of the main window's USB transactions (identify, live read, download, abort).
    core::CommandFrame usbFrame;
    /// Written into byte 5 of every live-read frame, incremented first (wraps at 255).
    std::uint8_t usbSequence = 0;
    /// Last identify reply or live frame (or download block).
    ReplyBuffer reply{};
    /// Changes of the clock's seconds field seen by the poll since the last sample.
    int secondTicks = 0;
    /// Seconds field of the clock at the previous poll tick.
    std::uint16_t lastSecond = 0;
    core::MeterStatus meterStatus;

    /// A USB session over this state's frame, sequence number, reply buffer and identifiers.
    UsbSession usbSession(UsbTransport& transport, Clock& clock) {
        return UsbSession{transport, clock, usbFrame, usbSequence, reply, usbVendorId, usbProductId};
    }

    /// The link-state side of a lost or dropped connection: no link, no lost
    /// reads counted, and no recording or statistics icon left blinking.
    void clearConnection() {
        connected = false;
        usbLink = false;
        serialLink = false;
        lostFrames = 0;
        meterStatus.recBlink = false;
        meterStatus.statsBlink = false;
    }
};

} // namespace thermo4::link
