#pragma once

#include "core/MeterStatus.h"
#include "link/MeterLink.h"

#include <cstdint>

namespace thermo4::link {

/// The poll's side of the connection: the live link (one pointer, so no
/// impossible combination of flags can exist), the lost-read count, the poll's
/// busy flag, the reply buffer and the last decoded live frame. MeterSession holds one; the CLI holds its
/// own.
struct LinkState {
    /// A meter answered the identify with the model code and the link is live.
    bool connected() const { return m_current != nullptr; }
    /// The live link is USB.
    bool usbLink() const { return link() == LinkKind::Usb; }
    /// The live link is the serial port.
    bool serialLink() const { return link() == LinkKind::Serial; }
    LinkKind link() const { return m_current ? m_current->kind() : LinkKind::None; }
    /// The live link; null while no meter is connected.
    MeterLink* current() const { return m_current; }
    void setCurrent(MeterLink* link) { m_current = link; }

    /// Consecutive failed live reads.
    int lostFrames = 0;
    /// Failed reads in a row that end a connection.
    int lostFrameLimit = 3;
    /// Set for the whole of a poll tick.
    bool pollBusy = false;
    /// Last identify reply or live frame.
    ReplyBuffer reply{};
    core::MeterStatus meterStatus;

    /// The link-state side of a lost or dropped connection: no link, no lost
    /// reads counted, and no recording or statistics icon left blinking.
    void clearConnection() {
        m_current = nullptr;
        lostFrames = 0;
        meterStatus.recBlink = false;
        meterStatus.statsBlink = false;
    }

private:
    MeterLink* m_current = nullptr;
};

} // namespace thermo4::link
