#pragma once

#include "link/LinkState.h"
#include "link/PollResult.h"

namespace thermo4::link {

class Clock;
class LinkGuard;
class MeterLink;

/// The poll tick without its window work: identify over USB while not
/// connected (the USB link then becomes current), otherwise read the live frame over the current link, check
/// it, decode it into meterStatus and count lost reads.
class MeterPoller {
public:
    /// usb is the link the poll identifies over while no meter is connected.
    MeterPoller(LinkState& state, MeterLink& usb, Clock& clock);

    /// While guard is busy, a tick does nothing and returns LinkBusy.
    void setLinkGuard(LinkGuard* guard) { m_guard = guard; }

    /// One tick.
    PollResult tick();

    /// The live read over the current link; false without a link.
    bool readLiveFrame();

    LinkState& state() { return m_state; }

private:
    LinkState& m_state;
    MeterLink& m_usb;
    Clock& m_clock;
    LinkGuard* m_guard = nullptr;
};

} // namespace thermo4::link
