#include "link/UsbMeterLink.h"

#include "core/Commands.h"
#include "link/UsbDownload.h"
#include "link/UsbTransactions.h"

namespace thermo4::link {

UsbMeterLink::UsbMeterLink(UsbTransport& transport, Clock& clock, LinkState& state)
    : m_transport(transport), m_clock(clock), m_state(state) {}

bool UsbMeterLink::identify(ReplyBuffer& reply) {
    auto s = session(reply);
    return IdentifyUsb(s, core::kIdentify);
}

bool UsbMeterLink::readLiveFrame(ReplyBuffer& reply) {
    auto s = session(reply);
    return ReadLiveFrameUsb(s);
}

core::LinkResult UsbMeterLink::download(core::MemoryImage& image, DownloadProgress* progress) {
    auto s = session(m_state.reply);
    return DownloadOverUsb(s, image, progress);
}

} // namespace thermo4::link
