#include "link/UsbMeterLink.h"

#include "core/Commands.h"
#include "link/TransportCall.h"
#include "link/UsbDownload.h"
#include "link/UsbTransactions.h"
#include "link/UsbTransport.h"

namespace thermo4::link {

UsbMeterLink::UsbMeterLink(UsbTransport& transport, Clock& clock) : m_transport(transport), m_clock(clock) {}

UsbExchange UsbMeterLink::exchange(ReplyBuffer& reply) {
    return UsbExchange{m_transport, m_clock, m_frame, m_sequence, reply, m_vendorId, m_productId};
}

bool UsbMeterLink::identify(ReplyBuffer& reply) {
    UsbExchange s = exchange(reply);
    return IdentifyUsb(s, core::kIdentify);
}

bool UsbMeterLink::readLiveFrame(ReplyBuffer& reply) {
    UsbExchange s = exchange(reply);
    return ReadLiveFrameUsb(s);
}

core::LinkResult UsbMeterLink::download(core::MemoryImage& image, DownloadProgress* progress) {
    UsbExchange s = exchange(m_blockReply);
    return DownloadOverUsb(s, image, progress);
}

core::LinkResult UsbMeterLink::pressKey(char letter) {
    m_keyFrame.setCommand(letter);
    m_keyFrame.param(1) = 0;
    m_keyFrame.param(2) = 0;
    return PanelTransaction(m_transport, m_keyFrame, m_vendorId, m_productId);
}

void UsbMeterLink::abortTransfer() {
    // The meter may be gone: then there is nothing left to tell it.
    CallTransport([&] {
        m_transport.finishWrite();
        m_frame.setCommand(core::kAbort);
        return m_transport.writeCommand(m_frame.span());
    });
}

} // namespace thermo4::link
