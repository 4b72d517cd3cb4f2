#pragma once

#include "link/LinkState.h"

#include <QDateTime>

namespace thermo4::link {

class Clock;
class LinkGuard;
class MeterLink;

/// What one poll tick did; the caller does the window work that goes with it.
enum class PollEvent {
    /// Another transaction holds the link (LinkGuard busy): the tick did nothing.
    LinkBusy,
    /// A meter answered the identify with the model code: run OnConnection.
    Connected,
    /// No meter, or one with another model code: nothing changes.
    IdentifyFailed,
    /// A valid live frame was decoded into meterStatus.
    FrameDecoded,
    /// The read succeeded but byte 0 or byte 63 was wrong: the frame was ignored.
    FrameDropped,
    /// The live read failed; lostFrames counts it, the connection stays.
    ReadFailed,
    /// The live read failed for the lostFrameLimit-th time in a row: the link
    /// state is already cleared; run OffConnection.
    ConnectionLost,
};

/// The outcome of MeterPoller::tick.
struct PollResult {
    PollEvent event = PollEvent::IdentifyFailed;
    /// The tick's date-time (taken at its start): the time of a sample.
    QDateTime time;
    /// FrameDecoded only: some byte of 40 to 59 differed from 0xFF, so the panel should redraw.
    bool refreshPanel = false;
    /// ReadFailed and ConnectionLost only: a reply came but was not a valid live frame.
    bool invalidReply = false;
};

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
