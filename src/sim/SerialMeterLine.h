#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace thermo4::sim {

class VirtualMeter;

/// The virtual meter's end of a serial line: finds the 7-byte command frames in
/// the bytes the host sends (however they are split, skipping stray bytes) and
/// returns what the meter sends back for them.
class SerialMeterLine {
public:
    /// Changes a reply before it goes on the line (letter: the command answered).
    using ReplyFilter = std::function<void(char letter, std::vector<std::uint8_t>& reply)>;

    explicit SerialMeterLine(VirtualMeter& meter);

    /// Bytes from the host; returns the meter's replies to every command they
    /// complete, in order (empty when none is answered).
    std::vector<std::uint8_t> receive(std::span<const std::uint8_t> bytes);

    void setReplyFilter(ReplyFilter filter) { m_filter = std::move(filter); }
    VirtualMeter& meter() { return m_meter; }

private:
    VirtualMeter& m_meter;
    std::vector<std::uint8_t> m_pending;
    ReplyFilter m_filter;
};

} // namespace thermo4::sim
