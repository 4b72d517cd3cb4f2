#include "link/SerialMeterLink.h"

#include "link/SerialDownload.h"

namespace thermo4::link {

SerialMeterLink::SerialMeterLink(SerialPort& port, Clock& clock) : m_port(port), m_clock(clock) {}

bool SerialMeterLink::identify(ReplyBuffer& reply) {
    auto s = session();
    return IdentifySerial(s, reply);
}

bool SerialMeterLink::readLiveFrame(ReplyBuffer& reply) {
    auto s = session();
    return ReadLiveFrameSerial(s, reply);
}

core::LinkResult SerialMeterLink::download(core::MemoryImage& image, DownloadProgress* progress) {
    auto s = session();
    return DownloadOverSerial(s, image, progress);
}

bool SerialMeterLink::connectTo(const QString& device, ReplyBuffer& reply) {
    m_port.close();
    return m_port.open(device) && identify(reply);
}

std::optional<int> SerialMeterLink::search(const QStringList& ports, ReplyBuffer& reply,
                                           const SerialSearchProgress& progress) {
    auto s = session();
    return SearchSerialPorts(s, ports, reply, progress);
}

} // namespace thermo4::link
