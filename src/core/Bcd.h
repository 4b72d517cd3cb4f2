#pragma once

#include <cstdint>
#include <optional>

namespace thermo4::core {

/// Two decimal digits, tens in the high nibble (0x17 is 17); nothing when a
/// nibble is above 9.
constexpr std::optional<int> DecodeBcd(std::uint8_t byte) {
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9) {
        return std::nullopt;
    }
    return high * 10 + low;
}

/// value 0..99 as two BCD digits; values outside that range are taken modulo 100
/// (negative ones as 0).
constexpr std::uint8_t EncodeBcd(int value) {
    if (value < 0) {
        value = 0;
    }
    value %= 100;
    return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
}

} // namespace thermo4::core
