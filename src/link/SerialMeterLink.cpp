#include "link/SerialMeterLink.h"

#include "core/Commands.h"
#include "link/Clock.h"
#include "link/SerialDownload.h"

namespace thermo4::link {

SerialMeterLink::SerialMeterLink(SerialPort& port, Clock& clock) : m_port(port), m_clock(clock) {}

bool SerialMeterLink::identify(ReplyBuffer& reply) {
    auto s = exchange();
    const std::size_t got = IdentifySerialReply(s, reply);
    const bool identified = got >= core::kShortReplySize && core::ReplyHasModelCode(reply);
    m_invalidReply = got > 0 && !identified;
    return identified;
}

bool SerialMeterLink::readLiveFrame(ReplyBuffer& reply) {
    auto s = exchange();
    return ReadLiveFrameSerial(s, reply, &m_invalidReply);
}

core::LinkResult SerialMeterLink::download(core::MemoryImage& image, DownloadProgress* progress) {
    auto s = exchange();
    return DownloadOverSerial(s, image, progress);
}

bool SerialMeterLink::reconnectAfterDownload(ReplyBuffer& reply) {
    m_port.discardInput();
    m_clock.delayWithMessages(kSettleMs);
    return connectTo(m_device, reply);
}

bool SerialMeterLink::connectTo(const QString& device, ReplyBuffer& reply) {
    m_device = device;
    m_port.close();
    return m_port.open(device) && identify(reply);
}

std::optional<int> SerialMeterLink::search(const QStringList& ports, ReplyBuffer& reply,
                                           const SerialSearchProgress& progress) {
    auto s = exchange();
    const std::optional<int> found = SearchSerialPorts(s, ports, reply, progress);
    if (found)
        m_device = ports.at(*found);
    return found;
}

} // namespace thermo4::link
