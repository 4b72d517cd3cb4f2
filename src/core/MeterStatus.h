#pragma once

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <span>

namespace thermo4::core {

inline constexpr std::size_t kStatusFrameSize = 64;

// Glyph indices of the LCD bitmaps: 0 to 9 are the digits, then these.
inline constexpr std::uint8_t kGlyphBlank = 16;
inline constexpr std::uint8_t kGlyphMinus = 17;
inline constexpr std::uint8_t kGlyphL = 18;
/// Number of large (and of small) glyph bitmaps.
inline constexpr int kGlyphCount = 25;
/// The LCD's backlight travels in byte 7, bit 0 of the live frame.
inline constexpr std::size_t kBacklightByte = 7;
inline constexpr std::uint8_t kBacklightBit = 0x01;

/// Thermocouple type codes, as the live frame and a data set's header carry them.
enum class ThermocoupleType : std::uint8_t { K, J, E, T, N, R, S };

/// The decoded 64-byte live frame: readings, digit glyphs, icon and mode flags.
/// The per-element flags are named after the panel element they drive.
struct MeterStatus {
    /// T1 to T4 in °C, whatever unit the meter shows.
    std::array<float, 4> reading{};
    bool unitFahrenheit = false;
    /// The LCD's backlight is on.
    bool backlight = false;
    bool meterRecording = false;
    bool recBlink = false;
    bool statsBlink = false;
    bool statsMode = false;
    /// Raw type code (see ThermocoupleType); the panel spells out N, R and S only.
    std::uint8_t thermocoupleType = 0;
    /// Bit n: channel n+1 over range ("OL"); bit n+4: channel n+1 has no reading ("----").
    std::uint8_t channelState = 0;
    /// Large-glyph index per channel (0..3 = T1..T4) and digit (0..3, left to right).
    std::array<std::array<std::uint8_t, 4>, 4> digit{};
    /// Small-glyph index: [0] left digit, [1] right digit.
    std::array<std::uint8_t, 2> smallDigit{};

    // T1 row (bit 7 of bytes 42..45) and T3 row (bit 7 of bytes 51, 52, 54).
    bool lblT1 = false;
    bool T1_minus = false;
    bool T1_P = false;
    bool imgT1C = false;
    bool imgAutoOff = false;
    bool lblT4 = false;
    bool T3_P = false;
    // T2 row (bit 0 of bytes 46..48) and T4 row (bit 0 of bytes 56, 57).
    bool imgT2F = false;
    bool T2_P = false;
    bool imgT2C = false;
    bool imgREC = false;
    bool T4_P = false;
    // Bit 0 of the small digits (bytes 38, 39).
    bool imgT1F = false;
    bool imgRecall = false;
    // Byte 40.
    bool imgMEM = false;
    bool lblAVG = false;
    bool lblMIN = false;
    bool lblMAX = false;
    bool imgHOLD = false;
    // Byte 41.
    bool lblT2 = false;
    bool imgK = false;
    bool imgJ = false;
    bool imgE = false;
    bool imgT = false;
    bool imgType = false;
    // Byte 50.
    bool T2_minus = false;
    bool imgblutooth = false;
    bool lblT3 = false;
    bool T3_minus = false;
    bool lblT1_T2 = false;
    // Byte 55.
    bool imgT3F = false;
    bool imgT3C = false;
    bool imgT4F = false;
    bool imgT4C = false;
    bool imgFULL = false;
    // Byte 60.
    bool T4_minus = false;
    bool imgBat0 = false;
    bool imgBat3 = false;
    bool imgBat2 = false;
    bool imgBat1 = false;
    bool imgAlarm = false;
    bool lblHi = false;
    bool lblLO = false;

    bool operator==(const MeterStatus&) const = default;
};

/// Overwrites out completely from a live frame. Accepts any byte values; does
/// not look at the start and end bytes (the caller checked them).
void DecodeStatus(std::span<const std::uint8_t, kStatusFrameSize> frame, MeterStatus& out);

/// Two's-complement value of high × 256 + low: 0xFF 0xFE gives −2.
int ReadingFromBytes(std::uint8_t high, std::uint8_t low);

/// Table A (digits of T1 and T3): bit 7 of code is ignored; unknown codes give kGlyphBlank.
std::uint8_t GlyphFromTableA(std::uint8_t code);
/// Table B (digits of T2 and T4, small digits): bit 0 of code is ignored; unknown codes give kGlyphBlank.
std::uint8_t GlyphFromTableB(std::uint8_t code);
/// Segment code (bit 7 clear) showing glyph through table A; 0 (all segments off,
/// blank) for kGlyphBlank and for glyphs the table cannot show.
std::uint8_t TableACodeForGlyph(std::uint8_t glyph);
/// Segment code (bit 0 clear) showing glyph through table B; 0 for blank and unknown glyphs.
std::uint8_t TableBCodeForGlyph(std::uint8_t glyph);

/// What a channel shows, from channelState: over range wins over no reading.
enum class ChannelCondition { Reading, OverRange, NoReading };
ChannelCondition ChannelConditionOf(std::uint8_t channelState, int channel);

/// "OL", "----", or value in fixed notation with one decimal in locale.
QString ChannelDisplayText(std::uint8_t channelState, int channel, double value,
                           const QLocale& locale = QLocale());

} // namespace thermo4::core
