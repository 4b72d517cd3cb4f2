#include "core/MeterStatus.h"
#include "core/NumberText.h"

namespace thermo4::core {

namespace {

struct SegmentEntry {
    std::uint8_t code;
    std::uint8_t glyph;
};

// Table A: bit 0 a, 1 f, 2 b, 3 g, 4 e, 5 c, 6 d; bit 7 belongs to a panel element.
constexpr std::array<SegmentEntry, 24> kTableA{{
    {0x77, 0},  {0x24, 1},  {0x5D, 2},  {0x6D, 3},  {0x2E, 4},  {0x6B, 5},  {0x7B, 6},  {0x27, 7},
    {0x7F, 8},  {0x6F, 9},  {0x3F, 10}, {0x7A, 11}, {0x53, 12}, {0x7C, 13}, {0x5B, 14}, {0x1B, 15},
    {0x08, 17}, {0x52, 18}, {0x78, 19}, {0x18, 20}, {0x5A, 21}, {0x38, 22}, {0x3E, 23}, {0x20, 24},
}};

// Table B: bit 7 a, 6 f, 5 b, 4 g, 3 e, 2 c, 1 d; bit 0 belongs to a panel element.
constexpr std::array<SegmentEntry, 22> kTableB{{
    {0xEE, 0},  {0x24, 1},  {0xBA, 2},  {0xB6, 3},  {0x74, 4},  {0xD6, 5},  {0xDE, 6},  {0xE4, 7},
    {0xFE, 8},  {0xF6, 9},  {0xFC, 10}, {0x5E, 11}, {0xCA, 12}, {0x3E, 13}, {0xDA, 14}, {0xD8, 15},
    {0x10, 17}, {0x4A, 18}, {0x1E, 19}, {0x18, 20}, {0x5A, 21}, {0x6E, 22},
}};

template <std::size_t N> std::uint8_t glyphOf(const std::array<SegmentEntry, N>& table, std::uint8_t code) {
    for (const SegmentEntry& e : table) {
        if (e.code == code) {
            return e.glyph;
        }
    }
    return kGlyphBlank;
}

template <std::size_t N> std::uint8_t codeOf(const std::array<SegmentEntry, N>& table, std::uint8_t glyph) {
    for (const SegmentEntry& e : table) {
        if (e.glyph == glyph) {
            return e.code;
        }
    }
    return 0;
}

constexpr bool bit(std::uint8_t byte, int n) {
    return ((byte >> n) & 1) != 0;
}

} // namespace

int ReadingFromBytes(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((high << 8) | low));
}

std::uint8_t GlyphFromTableA(std::uint8_t code) {
    return glyphOf(kTableA, code & 0x7F);
}
std::uint8_t GlyphFromTableB(std::uint8_t code) {
    return glyphOf(kTableB, code & 0xFE);
}
std::uint8_t TableACodeForGlyph(std::uint8_t glyph) {
    return codeOf(kTableA, glyph);
}
std::uint8_t TableBCodeForGlyph(std::uint8_t glyph) {
    return codeOf(kTableB, glyph);
}

void DecodeStatus(std::span<const std::uint8_t, kStatusFrameSize> f, MeterStatus& out) {
    MeterStatus s;
    s.backlight = (f[kBacklightByte] & kBacklightBit) != 0;

    // T1 (bytes 42..45) and T3 (51..54): table A, left to right; bit 7 a panel element.
    for (int d = 0; d < 4; ++d) {
        s.digit[0][d] = GlyphFromTableA(f[42 + d]);
        s.digit[2][d] = GlyphFromTableA(f[51 + d]);
    }
    s.lblT1 = bit(f[42], 7);
    s.T1_minus = bit(f[43], 7);
    s.T1_P = bit(f[44], 7);
    s.imgT1C = bit(f[45], 7);
    s.imgAutoOff = bit(f[51], 7);
    s.lblT4 = bit(f[52], 7);
    s.T3_P = bit(f[54], 7);

    s.thermocoupleType = f[5];

    // T2 (bytes 46..49) and T4 (56..59): table B, stored right to left; bit 0 a panel element.
    for (int d = 0; d < 4; ++d) {
        s.digit[1][d] = GlyphFromTableB(f[49 - d]);
        s.digit[3][d] = GlyphFromTableB(f[59 - d]);
    }
    s.imgT2F = bit(f[46], 0);
    s.T2_P = bit(f[47], 0);
    s.imgT2C = bit(f[48], 0);
    s.imgREC = bit(f[56], 0);
    s.T4_P = bit(f[57], 0);

    s.smallDigit[0] = GlyphFromTableB(f[39]);
    s.smallDigit[1] = GlyphFromTableB(f[38]);
    s.imgRecall = bit(f[39], 0);
    s.imgT1F = bit(f[38], 0);

    s.imgMEM = bit(f[40], 5);
    s.lblAVG = bit(f[40], 4);
    s.lblMIN = bit(f[40], 3);
    s.lblMAX = bit(f[40], 2);
    s.imgHOLD = bit(f[40], 1);

    s.lblT2 = bit(f[41], 7);
    s.imgK = bit(f[41], 4);
    s.imgJ = bit(f[41], 3);
    s.imgE = bit(f[41], 2);
    s.imgT = bit(f[41], 1);
    s.imgType = bit(f[41], 0);

    s.T2_minus = bit(f[50], 6);
    s.imgblutooth = bit(f[50], 4);
    s.lblT3 = bit(f[50], 3);
    s.T3_minus = bit(f[50], 2);
    s.lblT1_T2 = bit(f[50], 1);

    s.imgT3F = bit(f[55], 4);
    s.imgT3C = bit(f[55], 3);
    s.imgT4F = bit(f[55], 2);
    s.imgT4C = bit(f[55], 1);
    s.imgFULL = bit(f[55], 0);

    s.T4_minus = bit(f[60], 7);
    s.imgBat0 = bit(f[60], 6);
    s.imgBat3 = bit(f[60], 5);
    s.imgBat2 = bit(f[60], 4);
    s.imgBat1 = bit(f[60], 3);
    s.imgAlarm = bit(f[60], 2);
    s.lblHi = bit(f[60], 1);
    s.lblLO = bit(f[60], 0);

    // Readings in tenths of a degree; each step is rounded to single precision
    // like the meter's own software does, so °F frames give the same °C floats.
    s.unitFahrenheit = bit(f[2], 7);
    for (int ch = 0; ch < 4; ++ch) {
        float v = static_cast<float>(ReadingFromBytes(f[9 + 2 * ch], f[10 + 2 * ch]) * 0.1);
        if (s.unitFahrenheit) {
            v = static_cast<float>((static_cast<double>(v) - 32.0) * 5.0 * (1.0 / 9.0));
        }
        s.reading[ch] = v;
    }

    s.meterRecording = bit(f[3], 3);
    s.recBlink = bit(f[3], 4);
    s.statsBlink = bit(f[3], 6);
    s.statsMode = bit(f[4], 3);
    s.channelState = f[6];

    out = s;
}

ChannelCondition ChannelConditionOf(std::uint8_t channelState, int channel) {
    if (channel < 0 || channel > 3) {
        return ChannelCondition::NoReading;
    }
    if (bit(channelState, channel)) {
        return ChannelCondition::OverRange;
    }
    if (bit(channelState, channel + 4)) {
        return ChannelCondition::NoReading;
    }
    return ChannelCondition::Reading;
}

QString ChannelDisplayText(std::uint8_t channelState, int channel, double value, const QLocale& locale) {
    switch (ChannelConditionOf(channelState, channel)) {
    case ChannelCondition::OverRange:
        return QStringLiteral("OL");
    case ChannelCondition::NoReading:
        return QStringLiteral("----");
    case ChannelCondition::Reading:
        break;
    }
    return FixedText(value, 1, locale);
}

} // namespace thermo4::core
