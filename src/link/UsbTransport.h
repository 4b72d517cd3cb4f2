#pragma once

#include "link/UsbMeterInfo.h"

#include <QString>

#include <cstdint>
#include <span>
#include <vector>

namespace thermo4::link {

/// The USB operations the meter transactions use, in the order they call them:
/// open, set time-outs, write a 7-byte command frame, finish the write, (write a
/// 32-byte data block, finish the write), read a reply of fixed length, close.
/// Every operation returns 0 on success and non-zero on failure, like the
/// meter's USB library did. Implementations: HidUsbTransport (a real meter over
/// hidraw) and the virtual meter's in-process transport.
class UsbTransport {
public:
    virtual ~UsbTransport() = default;

    /// The attached meters with these identifiers, in the order the system lists them.
    virtual std::vector<UsbMeterInfo> list(std::uint16_t /*vendorId*/, std::uint16_t /*productId*/) {
        return {};
    }
    /// Opens the meter at path (a path list() gave) instead of the first one.
    virtual int openPath(const QString& /*path*/) { return -1; }
    /// Opens the first attached meter with these identifiers.
    virtual int open(std::uint16_t vendorId, std::uint16_t productId) = 0;
    /// Both values in ms; every caller passes 100, 100.
    virtual int setTimeouts(int readMs, int writeMs) = 0;
    /// frame.size() is always 7.
    virtual int writeCommand(std::span<const std::uint8_t> frame) = 0;
    /// block.size() is always 32; follows a command.
    virtual int writeBlock(std::span<const std::uint8_t> block) = 0;
    /// Called after a command or data block is written, before the reply is read.
    virtual int finishWrite() = 0;
    /// Reads exactly reply.size() bytes (32, 36 or 64) into reply.
    virtual int read(std::span<std::uint8_t> reply) = 0;
    /// The device's serial-number text, zero-terminated within buffer.
    virtual int serialNumber(std::span<char> buffer) = 0;
    virtual int close() = 0;
};

} // namespace thermo4::link
