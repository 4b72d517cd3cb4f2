#include "sim/LiveFrameEncoder.h"

#include "core/MeterStatus.h"

#include <cstdlib>

namespace thermo4::sim {

namespace {

using core::TableACodeForGlyph;
using core::TableBCodeForGlyph;
constexpr std::uint8_t kBlank = core::kGlyphBlank;
constexpr std::uint8_t kMinusGlyph = core::kGlyphMinus;
constexpr std::uint8_t kLGlyph = core::kGlyphL;

std::uint8_t bit(bool on, int n) {
    return on ? static_cast<std::uint8_t>(1u << n) : 0;
}

// Right-aligned digits of value, at least minDigits of them (leading zeros
// only up to that count), blanks in front.
std::array<std::uint8_t, 4> rightAligned(int value, int minDigits) {
    std::array<std::uint8_t, 4> glyphs{kBlank, kBlank, kBlank, kBlank};
    for (int pos = 3, n = 0; pos >= 0; --pos, ++n) {
        if (value == 0 && n >= minDigits)
            break;
        glyphs[static_cast<std::size_t>(pos)] = static_cast<std::uint8_t>(value % 10);
        value /= 10;
    }
    return glyphs;
}

} // namespace

LcdRow RowForReading(int tenths, ChannelShow show) {
    LcdRow row;
    if (show == ChannelShow::OverRange) {
        row.glyphs = {kBlank, 0, kLGlyph, kBlank};
        return row;
    }
    if (show == ChannelShow::NoReading) {
        row.glyphs = {kMinusGlyph, kMinusGlyph, kMinusGlyph, kMinusGlyph};
        return row;
    }
    const int magnitude = std::abs(tenths);
    row.minus = tenths < 0;
    if (magnitude < 10000) {
        row.glyphs = rightAligned(magnitude, 2); // "0.5", never ".5"
        row.point = true;
    } else {
        row.glyphs = rightAligned((magnitude + 5) / 10, 1); // 32768 tenths → 3277
    }
    return row;
}

LiveFrame EncodeLiveFrame(const DisplayState& s) {
    LiveFrame f{};
    f[0] = 0x02;
    f[1] = 'A';
    f[2] = bit(s.fahrenheit, 7);
    f[3] = static_cast<std::uint8_t>(bit(s.recording, 3) | bit(s.recBlink, 4) | bit(s.statsBlink, 6));
    f[4] = bit(s.statsMode, 3);
    f[5] = s.thermocoupleType;
    std::uint8_t channelState = 0;
    for (int ch = 0; ch < 4; ++ch) {
        const auto i = static_cast<std::size_t>(ch);
        channelState |= bit(s.show[i] == ChannelShow::OverRange, ch);
        channelState |= bit(s.show[i] == ChannelShow::NoReading, ch + 4);
        const auto raw = static_cast<std::uint16_t>(static_cast<std::int16_t>(s.tenths[i]));
        f[9 + 2 * i] = static_cast<std::uint8_t>(raw >> 8);
        f[10 + 2 * i] = static_cast<std::uint8_t>(raw & 0xFF);
    }
    f[6] = channelState;
    f[kBacklightByte] = s.backlight ? kBacklightBit : 0;

    const bool c = !s.fahrenheit;
    const bool fh = s.fahrenheit;
    std::array<LcdRow, 4> rows;
    for (std::size_t ch = 0; ch < 4; ++ch)
        rows[ch] = RowForReading(s.tenths[ch], s.show[ch]);

    // Small digits: left in byte 39 (with Recall), right in byte 38 (with the T1 °F icon).
    f[38] = static_cast<std::uint8_t>(TableBCodeForGlyph(s.smallGlyphs[1]) | bit(fh, 0));
    f[39] = static_cast<std::uint8_t>(TableBCodeForGlyph(s.smallGlyphs[0]) | bit(s.recall, 0));
    f[40] = static_cast<std::uint8_t>(bit(s.mem, 5) | bit(s.statsLabel == StatsLabel::Avg, 4) |
                                      bit(s.statsLabel == StatsLabel::Min, 3) |
                                      bit(s.statsLabel == StatsLabel::Max, 2) | bit(s.hold, 1));
    if (s.statsLabel == StatsLabel::All)
        f[40] |= 0x1C;
    const std::uint8_t type = s.thermocoupleType;
    f[41] = static_cast<std::uint8_t>(bit(true, 7) | bit(type == 0, 4) | bit(type == 1, 3) |
                                      bit(type == 2, 2) | bit(type == 3, 1) | bit(true, 0));

    // T1: bytes 42..45 left to right, table A, icons in bit 7.
    const LcdRow& t1 = rows[0];
    f[42] = static_cast<std::uint8_t>(TableACodeForGlyph(t1.glyphs[0]) | bit(true, 7)); // "T1"
    f[43] = static_cast<std::uint8_t>(TableACodeForGlyph(t1.glyphs[1]) | bit(t1.minus, 7));
    f[44] = static_cast<std::uint8_t>(TableACodeForGlyph(t1.glyphs[2]) | bit(t1.point, 7));
    f[45] = static_cast<std::uint8_t>(TableACodeForGlyph(t1.glyphs[3]) | bit(c, 7));

    // T2: bytes 49..46 hold digits 1..4 (stored right to left), table B, icons in bit 0.
    const LcdRow& t2 = rows[1];
    f[49] = TableBCodeForGlyph(t2.glyphs[0]);
    f[48] = static_cast<std::uint8_t>(TableBCodeForGlyph(t2.glyphs[1]) | bit(c, 0));
    f[47] = static_cast<std::uint8_t>(TableBCodeForGlyph(t2.glyphs[2]) | bit(t2.point, 0));
    f[46] = static_cast<std::uint8_t>(TableBCodeForGlyph(t2.glyphs[3]) | bit(fh, 0));

    const LcdRow& t3 = rows[2];
    const LcdRow& t4 = rows[3];
    f[50] = static_cast<std::uint8_t>(bit(t2.minus, 6) | bit(s.bluetooth, 4) | bit(true, 3) |
                                      bit(t3.minus, 2) | bit(s.difference, 1));

    // T3: bytes 51..54 left to right, table A.
    f[51] = static_cast<std::uint8_t>(TableACodeForGlyph(t3.glyphs[0]) | bit(s.autoOff, 7));
    f[52] = static_cast<std::uint8_t>(TableACodeForGlyph(t3.glyphs[1]) | bit(true, 7)); // "T4"
    f[53] = TableACodeForGlyph(t3.glyphs[2]);
    f[54] = static_cast<std::uint8_t>(TableACodeForGlyph(t3.glyphs[3]) | bit(t3.point, 7));

    f[55] = static_cast<std::uint8_t>(bit(fh, 4) | bit(c, 3) | bit(fh, 2) | bit(c, 1) | bit(s.full, 0));

    // T4: bytes 59..56 hold digits 1..4, table B.
    f[59] = TableBCodeForGlyph(t4.glyphs[0]);
    f[58] = TableBCodeForGlyph(t4.glyphs[1]);
    f[57] = static_cast<std::uint8_t>(TableBCodeForGlyph(t4.glyphs[2]) | bit(t4.point, 0));
    f[56] = static_cast<std::uint8_t>(TableBCodeForGlyph(t4.glyphs[3]) | bit(s.recIcon, 0));

    const int bat = s.batteryLevel;
    f[60] =
        static_cast<std::uint8_t>(bit(t4.minus, 7) | bit(bat == 0, 6) | bit(bat == 3, 5) | bit(bat == 2, 4) |
                                  bit(bat == 1, 3) | bit(s.alarm, 2) | bit(s.alarmHi, 1) | bit(s.alarmLo, 0));

    unsigned sum = 0;
    for (std::size_t i = 1; i <= 61; ++i)
        sum += f[i];
    f[62] = static_cast<std::uint8_t>(sum & 0xFF);
    f[63] = 0x03;
    return f;
}

} // namespace thermo4::sim
