#pragma once

#include "link/UsbTransport.h"

namespace thermo4::link {

/// No USB at all: a meter chosen on a serial port is never looked for on USB.
class NoUsbTransport : public UsbTransport {
public:
    int open(std::uint16_t, std::uint16_t) override { return -1; }
    int setTimeouts(int, int) override { return -1; }
    int writeCommand(std::span<const std::uint8_t>) override { return -1; }
    int writeBlock(std::span<const std::uint8_t>) override { return -1; }
    int finishWrite() override { return -1; }
    int read(std::span<std::uint8_t>) override { return -1; }
    int serialNumber(std::span<char>) override { return -1; }
    int close() override { return 0; }
};

} // namespace thermo4::link
