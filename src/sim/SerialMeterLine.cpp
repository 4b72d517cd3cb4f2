#include "sim/SerialMeterLine.h"

#include "core/CommandFrame.h"
#include "sim/VirtualMeter.h"

namespace thermo4::sim {

SerialMeterLine::SerialMeterLine(VirtualMeter& meter) : m_meter(meter) {}

std::vector<std::uint8_t> SerialMeterLine::receive(std::span<const std::uint8_t> bytes) {
    using core::CommandFrame;
    m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    std::vector<std::uint8_t> out;
    std::size_t at = 0;
    while (m_pending.size() - at >= CommandFrame::kSize) {
        if (m_pending[at] != CommandFrame::kStart ||
            m_pending[at + CommandFrame::kSize - 1] != CommandFrame::kEnd) {
            ++at; // not the start of a frame: the meter skips the byte
            continue;
        }
        const auto frame = std::span(m_pending).subspan(at, CommandFrame::kSize);
        at += CommandFrame::kSize;
        m_meter.receiveCommand(frame);
        if (auto reply = m_meter.takeReply()) {
            if (m_filter) {
                m_filter(static_cast<char>(frame[1]), *reply);
            }
            out.insert(out.end(), reply->begin(), reply->end());
        }
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(at));
    return out;
}

} // namespace thermo4::sim
