#pragma once

#include "link/UsbTransport.h"

namespace thermo4::sim {

class VirtualMeter;

/// The virtual meter plugged in as a USB device (0x04D9:0xE000), in process:
/// writes deliver frames and blocks to the meter, a read serves the meter's
/// pending reply cut or zero-padded to the read length, and fails when the meter
/// answers nothing. Unplugged, every operation fails.
class SimUsbTransport : public link::UsbTransport {
public:
    static constexpr std::uint16_t kVendorId = 0x04D9;
    static constexpr std::uint16_t kProductId = 0xE000;

    explicit SimUsbTransport(VirtualMeter& meter);

    void setPlugged(bool plugged) { m_plugged = plugged; }
    bool plugged() const { return m_plugged; }
    bool isOpen() const { return m_open; }
    /// Successful opens and reads so far.
    int openCount() const { return m_opens; }
    int readCount() const { return m_reads; }

    int open(std::uint16_t vendorId, std::uint16_t productId) override;
    int setTimeouts(int readMs, int writeMs) override;
    int writeCommand(std::span<const std::uint8_t> frame) override;
    int writeBlock(std::span<const std::uint8_t> block) override;
    int finishWrite() override;
    int read(std::span<std::uint8_t> reply) override;
    int serialNumber(std::span<char> buffer) override;
    int close() override;

private:
    bool usable() const { return m_plugged && m_open; }

    VirtualMeter& m_meter;
    bool m_plugged = true;
    bool m_open = false;
    int m_opens = 0;
    int m_timeoutSettings = 0;
    int m_reads = 0;
};

} // namespace thermo4::sim
