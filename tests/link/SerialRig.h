#pragma once

#include "core/Commands.h"
#include "link/SerialExchange.h"
#include "link/UsbExchange.h"
#include "sim/SimSerialPort.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <string>
#include <vector>

namespace thermo4::link::test {

/// The virtual meter behind an in-process serial port on a manual clock, with
/// the serial link's frame beside it.
struct SerialRig {
    static inline const QString kDevice = QStringLiteral("/dev/rfcomm0");

    ManualClock clock;
    sim::VirtualMeter meter{clock};
    sim::SimSerialPort port{clock};
    sim::SerialMeterLine& line = port.attach(kDevice, meter);
    core::CommandFrame frame = kInitialSerialFrame;
    ReplyBuffer reply{};

    /// open: the port starts open on kDevice.
    explicit SerialRig(bool open = true) {
        if (open) {
            port.open(kDevice);
        }
    }
    SerialExchange exchange() { return SerialExchange{port, clock, frame}; }
    std::string letters() const { return meter.receivedLetters(); }
    /// Holds every byte to 9600-baud line time.
    void pace() { port.setByteTimeUs(sim::SimSerialPort::kByteTime9600Us); }
};

/// Block reply n of memory as the meter sends it: 32 bytes, number, sum, 0x05.
inline std::vector<std::uint8_t> BlockReply(const sim::LoggerMemory& memory, int n) {
    const auto data = memory.block(n);
    std::vector<std::uint8_t> reply(data.begin(), data.end());
    reply.push_back(static_cast<std::uint8_t>(n >> 8));
    reply.push_back(static_cast<std::uint8_t>(n & 0xFF));
    reply.push_back(core::Checksum8(reply, 0, 31));
    reply.push_back(core::kBlockReplyMarker);
    return reply;
}

} // namespace thermo4::link::test
