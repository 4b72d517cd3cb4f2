#pragma once

#include "link/LinkState.h"
#include "link/MeterLink.h"

namespace thermo4::link {

/// The meter over USB: the MeterLink operations over a UsbTransport, with the
/// main window's USB frame, live-read sequence number and device identifiers
/// from a LinkState (the poll's identify shares them). The download reads its
/// blocks into that state's reply buffer.
class UsbMeterLink : public MeterLink {
public:
    UsbMeterLink(UsbTransport& transport, Clock& clock, LinkState& state);

    LinkKind kind() const override { return LinkKind::Usb; }
    /// IdentifyUsb with "K": true when the 32-byte read succeeded.
    bool identify(ReplyBuffer& reply) override;
    bool readLiveFrame(ReplyBuffer& reply) override;
    core::LinkResult download(core::MemoryImage& image, DownloadProgress* progress) override;

private:
    UsbSession session(ReplyBuffer& reply) {
        return UsbSession{m_transport,         m_clock, m_state.usbFrame,
                          m_state.usbSequence, reply,   m_state.usbVendorId,
                          m_state.usbProductId};
    }

    UsbTransport& m_transport;
    Clock& m_clock;
    LinkState& m_state;
};

} // namespace thermo4::link
