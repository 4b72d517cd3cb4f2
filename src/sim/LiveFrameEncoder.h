#pragma once

#include "core/MeterStatus.h"
#include "sim/DisplayState.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace thermo4::sim {

inline constexpr std::size_t kLiveFrameSize = 64;
using LiveFrame = std::array<std::uint8_t, kLiveFrameSize>;

using core::kBacklightBit;
using core::kBacklightByte;

/// One row of four large digits as the LCD draws it: glyph indices left to right
/// (0–9 digits, 16 blank, 17 minus, 18 L), the minus icon and the decimal point.
struct LcdRow {
    std::array<std::uint8_t, 4> glyphs{16, 16, 16, 16};
    bool minus = false;
    bool point = false;
    bool operator==(const LcdRow&) const = default;
};

/// How the LCD shows a reading of `tenths` (tenths of a degree): one decimal below
/// 1000 degrees (" 25.3", "  0.5" with the minus icon for negatives), whole degrees
/// from 1000 on ("1234", rounded half away from zero); "OL" and "----" as glyphs.
LcdRow RowForReading(int tenths, ChannelShow show);

/// Lays out every byte of the 64-byte live frame for `state`: start/end bytes, unit
/// and mode bits, the readings (big-endian tenths in the current unit), the digits
/// through the segment tables (T2 and T4 stored right to left), icons, labels,
/// small digits, battery, and the serial checksum in byte 62.
LiveFrame EncodeLiveFrame(const DisplayState& state);

} // namespace thermo4::sim
