#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace thermo4::core {

/// The 7-byte command sent to the meter: 0x02, a command letter, four
/// parameter bytes, 0x03. Each sender keeps one frame for the life of the
/// program and sets only the bytes its command uses; the others keep what the
/// previous command of that sender left there.
struct CommandFrame {
    static constexpr std::size_t kSize = 7;
    static constexpr std::uint8_t kStart = 0x02;
    static constexpr std::uint8_t kEnd = 0x03;

    std::array<std::uint8_t, kSize> bytes{kStart, 0, 0, 0, 0, 0, kEnd};

    /// Sets bytes 0, 1 and 6 (start, letter, end); parameters are left alone.
    void setCommand(char letter) {
        bytes[0] = kStart;
        bytes[1] = static_cast<std::uint8_t>(letter);
        bytes[6] = kEnd;
    }
    char letter() const { return static_cast<char>(bytes[1]); }
    /// Parameter n is 1..4 (frame bytes 2..5).
    std::uint8_t& param(int n) { return bytes[static_cast<std::size_t>(n + 1)]; }
    std::uint8_t param(int n) const { return bytes[static_cast<std::size_t>(n + 1)]; }

    std::span<const std::uint8_t> span() const { return bytes; }
    bool operator==(const CommandFrame&) const = default;
};

} // namespace thermo4::core
