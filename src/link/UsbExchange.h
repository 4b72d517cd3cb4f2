#pragma once

#include "core/CommandFrame.h"
#include "link/Clock.h"
#include "link/UsbTransport.h"

#include <array>
#include <cstdint>

namespace thermo4::link {

inline constexpr std::uint16_t kUsbVendorId = 0x04D9;
inline constexpr std::uint16_t kUsbProductId = 0xE000;
/// Read and write time-outs (ms) every USB transaction passes to the transport.
inline constexpr int kUsbTimeoutMs = 100;

/// The reply buffer of the main window's transactions: the last identify reply
/// (32 bytes), download block (36 bytes) or live frame (64 bytes).
using ReplyBuffer = std::array<std::uint8_t, 64>;

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
