#pragma once

#include <array>
#include <cstdint>

namespace thermo4::link {

/// Where either link puts a reply: the last identify reply (32 bytes), download
/// block (36 bytes) or live frame (64 bytes).
using ReplyBuffer = std::array<std::uint8_t, 64>;

} // namespace thermo4::link
