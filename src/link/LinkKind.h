#pragma once

namespace thermo4::link {

/// Which link carries the conversation with the meter.
enum class LinkKind { None, Usb, Serial };

/// Pause before a serial link's port is opened again after a download (ms).
inline constexpr int kSerialSettleMs = 1000;

} // namespace thermo4::link
