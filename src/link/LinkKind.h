#pragma once

namespace thermo4::link {

/// Which link carries the conversation with the meter.
enum class LinkKind { None, Usb, Serial };

} // namespace thermo4::link
