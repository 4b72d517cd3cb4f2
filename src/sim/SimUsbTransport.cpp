#include "sim/SimUsbTransport.h"

#include "core/CommandFrame.h"
#include "sim/VirtualMeter.h"

#include <algorithm>
#include <unistd.h>
#include <utility>

namespace thermo4::sim {

namespace {
constexpr int kFailed = -1;
constexpr std::size_t kBlockSize = 32;
} // namespace

SimUsbTransport::SimUsbTransport(VirtualMeter& meter) : SimUsbTransport(std::vector<VirtualMeter*>{&meter}) {}

SimUsbTransport::SimUsbTransport(std::vector<VirtualMeter*> meters)
    : m_meters(std::move(meters)), m_meter(m_meters.front()) {}

SimUsbTransport::SimUsbTransport(const std::vector<std::unique_ptr<VirtualMeter>>& meters)
    : SimUsbTransport([&meters] {
          std::vector<VirtualMeter*> plain;
          for (const auto& meter : meters)
              plain.push_back(meter.get());
          return plain;
      }()) {}

QString SimUsbTransport::pathOf(std::size_t index) const {
    const std::string& path = m_meters[index]->usbPath();
    if (!path.empty())
        return QString::fromStdString(path);
    return QStringLiteral("virtual:%1:%2").arg(::getpid()).arg(index + 1);
}

std::vector<link::UsbMeterInfo> SimUsbTransport::list(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<link::UsbMeterInfo> meters;
    if (!m_plugged || vendorId != kVendorId || productId != kProductId)
        return meters;
    for (std::size_t i = 0; i < m_meters.size(); ++i)
        meters.push_back({pathOf(i), QString::fromStdString(m_meters[i]->serialNumber()),
                          QStringLiteral("0-%1").arg(i + 1)});
    return meters;
}

int SimUsbTransport::openMeter(std::size_t index) {
    m_open = false;
    m_meter = m_meters[index];
    const int limit = m_meter->faults().failOpensAfter;
    if (!m_plugged || (limit >= 0 && m_opens >= limit))
        return kFailed;
    ++m_opens;
    m_open = true;
    return 0;
}

int SimUsbTransport::openPath(const QString& path) {
    for (std::size_t i = 0; i < m_meters.size(); ++i) {
        if (pathOf(i) == path)
            return openMeter(i);
    }
    m_open = false;
    return kFailed;
}

int SimUsbTransport::open(std::uint16_t vendorId, std::uint16_t productId) {
    if (vendorId != kVendorId || productId != kProductId) {
        m_open = false;
        return kFailed;
    }
    return openMeter(0);
}

int SimUsbTransport::setTimeouts(int readMs, int writeMs) {
    const int limit = m_meter->faults().failTimeoutsAfter;
    if (!usable() || readMs < 0 || writeMs < 0 || (limit >= 0 && m_timeoutSettings >= limit))
        return kFailed;
    ++m_timeoutSettings;
    return 0;
}

int SimUsbTransport::writeCommand(std::span<const std::uint8_t> frame) {
    if (!usable() || frame.size() != core::CommandFrame::kSize)
        return kFailed;
    if (m_meter->faults().failWrites.find(static_cast<char>(frame[1])) != std::string::npos)
        return kFailed;
    m_meter->receiveCommand(frame);
    return 0;
}

int SimUsbTransport::writeBlock(std::span<const std::uint8_t> block) {
    if (!usable() || block.size() != kBlockSize)
        return kFailed;
    m_meter->receiveBlock(block);
    return 0;
}

int SimUsbTransport::finishWrite() {
    return usable() ? 0 : kFailed;
}

int SimUsbTransport::read(std::span<std::uint8_t> reply) {
    if (!usable())
        return kFailed;
    const auto answer = m_meter->takeReply();
    if (!answer)
        return kFailed; // the meter said nothing: the read times out
    std::fill(reply.begin(), reply.end(), std::uint8_t{0});
    std::copy_n(answer->begin(), std::min(answer->size(), reply.size()), reply.begin());
    ++m_reads;
    const int limit = m_meter->faults().unplugAfterReads;
    if (limit >= 0 && m_reads >= limit)
        m_plugged = false;
    return 0;
}

int SimUsbTransport::serialNumber(std::span<char> buffer) {
    if (!usable() || buffer.empty())
        return kFailed;
    const std::string& text = m_meter->serialNumber();
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.begin(), n, buffer.begin());
    buffer[n] = '\0';
    return 0;
}

int SimUsbTransport::close() {
    m_open = false;
    return 0;
}

} // namespace thermo4::sim
