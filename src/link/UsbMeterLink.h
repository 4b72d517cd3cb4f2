#pragma once

#include "core/CommandFrame.h"
#include "link/MeterLink.h"
#include "link/UsbExchange.h"

#include <cstdint>

namespace thermo4::link {

class Clock;
class UsbTransport;

/// The meter over USB: identify, live read and the logger download, with the
/// frame and live-read sequence number of the main window's USB transactions
/// (bytes a command does not set keep what the previous one left).
class UsbMeterLink : public MeterLink {
public:
    UsbMeterLink(UsbTransport& transport, Clock& clock);

    LinkKind kind() const override { return LinkKind::Usb; }
    bool identify(ReplyBuffer& reply) override;
    bool readLiveFrame(ReplyBuffer& reply) override;
    core::LinkResult download(core::MemoryImage& image, DownloadProgress* progress) override;

    /// A panel key: its letter in the key frame (parameters 1 and 2 cleared, the
    /// other bytes as the previous key left them), one attempt; the PanelTransaction code.
    core::LinkResult pressKey(char letter);

    /// Tells the meter a failed transfer is off: finishes the write, then sends
    /// "Q" in this link's frame. Results are ignored.
    void abortTransfer();

    /// One exchange of commands and replies over this link's frame and sequence number, replying into reply.
    UsbExchange exchange(ReplyBuffer& reply);
    UsbTransport& transport() { return m_transport; }
    Clock& clock() { return m_clock; }
    /// The frame as the last command left it.
    core::CommandFrame& frame() { return m_frame; }
    /// Written into byte 5 of every live-read frame, incremented first (wraps at 255).
    std::uint8_t& sequence() { return m_sequence; }
    std::uint16_t vendorId() const { return m_vendorId; }
    std::uint16_t productId() const { return m_productId; }

private:
    UsbTransport& m_transport;
    Clock& m_clock;
    core::CommandFrame m_frame;
    std::uint8_t m_sequence = 0;
    /// The panel keys' own frame.
    core::CommandFrame m_keyFrame;
    /// The download's block replies.
    ReplyBuffer m_blockReply{};
    std::uint16_t m_vendorId = kUsbVendorId;
    std::uint16_t m_productId = kUsbProductId;
};

} // namespace thermo4::link
