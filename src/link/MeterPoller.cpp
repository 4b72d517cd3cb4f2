#include "link/MeterPoller.h"

#include "core/Commands.h"
#include "link/Clock.h"
#include "link/LinkGuard.h"
#include "link/MeterLink.h"

#include <algorithm>
#include <span>

namespace thermo4::link {

namespace {
// Bytes 40 to 59 of a live frame: all 0xFF means the meter sent no display
// segments, and the panel keeps its picture.
constexpr std::size_t kSegmentsFirst = 40;
constexpr std::size_t kSegmentsLast = 59;

/// Clears the busy flag however the tick ends.
class BusyFlag {
public:
    explicit BusyFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = false; }
    BusyFlag(const BusyFlag&) = delete;
    BusyFlag& operator=(const BusyFlag&) = delete;

private:
    bool& m_flag;
};
} // namespace

MeterPoller::MeterPoller(LinkState& state, MeterLink& usb, Clock& clock)
    : m_state(state), m_usb(usb), m_clock(clock) {}

bool MeterPoller::readLiveFrame() {
    MeterLink* link = m_state.current();
    return link != nullptr && link->readLiveFrame(m_state.reply);
}

PollResult MeterPoller::tick() {
    PollResult result;
    if (m_guard != nullptr && m_guard->busy()) {
        result.event = PollEvent::LinkBusy;
        return result;
    }
    BusyFlag busy(m_state.pollBusy);

    result.time = m_clock.now();

    if (!m_state.connected()) {
        if (m_usb.identify(m_state.reply) && core::ReplyHasModelCode(m_state.reply)) {
            m_state.setCurrent(&m_usb);
            result.event = PollEvent::Connected;
        } else {
            result.event = PollEvent::IdentifyFailed;
        }
        return result;
    }

    if (!readLiveFrame()) {
        const MeterLink* link = m_state.current();
        result.invalidReply = link != nullptr && link->replyWasInvalid();
        ++m_state.lostFrames;
        if (m_state.lostFrames >= m_state.lostFrameLimit) {
            m_state.clearConnection();
            result.event = PollEvent::ConnectionLost;
        } else {
            result.event = PollEvent::ReadFailed;
        }
        return result;
    }
    m_state.lostFrames = 0;
    if (!core::LiveFrameMarkersOk(m_state.reply)) {
        result.event = PollEvent::FrameDropped;
        return result;
    }
    const auto segments =
        std::span(m_state.reply).subspan(kSegmentsFirst, kSegmentsLast - kSegmentsFirst + 1);
    result.refreshPanel =
        std::any_of(segments.begin(), segments.end(), [](std::uint8_t b) { return b != 0xFF; });
    core::DecodeStatus(m_state.reply, m_state.meterStatus);
    result.event = PollEvent::FrameDecoded;
    return result;
}

} // namespace thermo4::link
