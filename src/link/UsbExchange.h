#pragma once

#include "core/CommandFrame.h"
#include "link/Clock.h"
#include "link/ReplyBuffer.h"
#include "link/UsbTransport.h"

#include <cstdint>

namespace thermo4::link {

/// Read and write time-outs (ms) every USB transaction passes to the transport.
inline constexpr int kUsbTimeoutMs = 100;

/// What a main-window USB transaction works with. The frame, the live-read
/// sequence number and the reply buffer belong to the caller and outlive the
/// transaction: bytes a command does not set keep what the previous one left.
struct UsbExchange {
    UsbTransport& transport;
    Clock& clock;
    core::CommandFrame& frame;
    std::uint8_t& sequence;
    ReplyBuffer& reply;
    std::uint16_t vendorId = kUsbVendorId;
    std::uint16_t productId = kUsbProductId;
};

} // namespace thermo4::link
