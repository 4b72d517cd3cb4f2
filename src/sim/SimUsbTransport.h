#pragma once

#include "link/UsbTransport.h"

#include <memory>
#include <vector>

namespace thermo4::sim {

class VirtualMeter;

/// Virtual meters plugged in as USB devices (0x04D9:0xE000), in process:
/// writes deliver frames and blocks to the open meter, a read serves its
/// pending reply cut or zero-padded to the read length, and fails when the meter
/// answers nothing. Unplugged, every operation fails. Each meter is listed at
/// its usbPath(), or, without one, at a path of this process's own
/// ("virtual:<pid>:<n>", so unnamed meters of two programs are two meters), on
/// bus 0 port n; open() opens the first one.
class SimUsbTransport : public link::UsbTransport {
public:
    static constexpr std::uint16_t kVendorId = 0x04D9;
    static constexpr std::uint16_t kProductId = 0xE000;

    explicit SimUsbTransport(VirtualMeter& meter);
    /// Several meters on one bus, in this order; none may be null, and there is at least one.
    explicit SimUsbTransport(std::vector<VirtualMeter*> meters);
    explicit SimUsbTransport(const std::vector<std::unique_ptr<VirtualMeter>>& meters);

    void setPlugged(bool plugged) { m_plugged = plugged; }
    bool plugged() const { return m_plugged; }
    bool isOpen() const { return m_open; }
    /// Successful opens and reads so far.
    int openCount() const { return m_opens; }
    int readCount() const { return m_reads; }

    std::vector<link::UsbMeterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override;
    int openPath(const QString& path) override;
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
    QString pathOf(std::size_t index) const;
    int openMeter(std::size_t index);

    std::vector<VirtualMeter*> m_meters;
    /// The meter open (or last open); the first one before any open.
    VirtualMeter* m_meter;
    bool m_plugged = true;
    bool m_open = false;
    int m_opens = 0;
    int m_timeoutSettings = 0;
    int m_reads = 0;
};

} // namespace thermo4::sim
