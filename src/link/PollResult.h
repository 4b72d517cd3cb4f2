#pragma once

#include <QDateTime>

namespace thermo4::link {

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

} // namespace thermo4::link
