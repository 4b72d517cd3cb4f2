#include "sim/LiveFrameEncoder.h"
#include "core/MeterStatus.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace thermo4::sim {
namespace {

using core::MeterStatus;

MeterStatus decode(const DisplayState& state) {
    const LiveFrame frame = EncodeLiveFrame(state);
    MeterStatus status;
    core::DecodeStatus(std::span<const std::uint8_t, 64>(frame), status);
    return status;
}

struct ReadingCase {
    const char* name;
    int tenths;
    ChannelShow show;
    bool fahrenheit;
    std::array<std::uint8_t, 4> glyphs;
    bool minus;
    bool point;
    float celsius; // what the decoder gives back
};

// Glyphs: 0–9 digits, 16 blank, 17 minus, 18 L.
const ReadingCase kReadingCases[] = {
    {"25.3", 253, ChannelShow::Reading, false, {16, 2, 5, 3}, false, true, 25.3f},
    {"-5.2", -52, ChannelShow::Reading, false, {16, 16, 5, 2}, true, true, -5.2f},
    {"0.5", 5, ChannelShow::Reading, false, {16, 16, 0, 5}, false, true, 0.5f},
    {"-0.1", -1, ChannelShow::Reading, false, {16, 16, 0, 1}, true, true, -0.1f},
    {"zero", 0, ChannelShow::Reading, false, {16, 16, 0, 0}, false, true, 0.0f},
    {"999.9", 9999, ChannelShow::Reading, false, {9, 9, 9, 9}, false, true, 999.9f},
    {"-200.0", -2000, ChannelShow::Reading, false, {2, 0, 0, 0}, true, true, -200.0f},
    {"1000 without decimals", 10000, ChannelShow::Reading, false, {1, 0, 0, 0}, false, false, 1000.0f},
    {"1234.5 rounds to 1235", 12345, ChannelShow::Reading, false, {1, 2, 3, 5}, false, false, 1234.5f},
    {"1372.0", 13720, ChannelShow::Reading, false, {1, 3, 7, 2}, false, false, 1372.0f},
    {"-3276.8", -32768, ChannelShow::Reading, false, {3, 2, 7, 7}, true, false, -3276.8f},
    {"3276.7", 32767, ChannelShow::Reading, false, {3, 2, 7, 7}, false, false, 3276.7f},
    {"100.0 F", 1000, ChannelShow::Reading, true, {1, 0, 0, 0}, false, true, 37.7777f},
    {"-40.0 F", -400, ChannelShow::Reading, true, {16, 4, 0, 0}, true, true, -40.0f},
    {"2501 F", 25010, ChannelShow::Reading, true, {2, 5, 0, 1}, false, false, 1371.6666f},
    {"OL", 0, ChannelShow::OverRange, false, {16, 0, 18, 16}, false, false, 0.0f},
    {"----", 0, ChannelShow::NoReading, true, {17, 17, 17, 17}, false, false, -17.7777f},
};

struct RowFlags {
    bool minus;
    bool point;
};

RowFlags rowFlags(const MeterStatus& s, int ch) {
    switch (ch) {
    case 0:
        return {s.T1_minus, s.T1_P};
    case 1:
        return {s.T2_minus, s.T2_P};
    case 2:
        return {s.T3_minus, s.T3_P};
    default:
        return {s.T4_minus, s.T4_P};
    }
}

// Every case on every channel: T1/T3 go through table A, T2/T4 through table B
// stored right to left, and each row has its own sign and point bits.
TEST(LiveFrameEncoder, ReadingsRoundTripThroughTheDecoderOnEveryChannel) {
    for (const ReadingCase& c : kReadingCases) {
        for (int ch = 0; ch < 4; ++ch) {
            SCOPED_TRACE(testing::Message() << c.name << " on T" << ch + 1);
            DisplayState state;
            state.fahrenheit = c.fahrenheit;
            state.tenths = {111, 222, 333, 444};
            state.tenths[static_cast<std::size_t>(ch)] = c.tenths;
            state.show[static_cast<std::size_t>(ch)] = c.show;
            const MeterStatus s = decode(state);

            EXPECT_EQ(s.digit[static_cast<std::size_t>(ch)], c.glyphs);
            EXPECT_EQ(RowForReading(c.tenths, c.show).glyphs, c.glyphs);
            EXPECT_EQ(rowFlags(s, ch).minus, c.minus);
            EXPECT_EQ(rowFlags(s, ch).point, c.point);
            if (c.show == ChannelShow::Reading) {
                EXPECT_NEAR(s.reading[static_cast<std::size_t>(ch)], c.celsius, 0.001);
            }
            EXPECT_EQ(s.unitFahrenheit, c.fahrenheit);
            const bool ol = c.show == ChannelShow::OverRange;
            const bool none = c.show == ChannelShow::NoReading;
            EXPECT_EQ(s.channelState, (ol ? 1 << ch : 0) | (none ? 1 << (ch + 4) : 0));
            // The other channels are untouched: 11.1 shows as " 11.1" etc.
            for (int other = 0; other < 4; ++other) {
                if (other == ch)
                    continue;
                const auto o = static_cast<std::size_t>(other);
                const std::uint8_t d = static_cast<std::uint8_t>(other + 1);
                EXPECT_EQ(s.digit[o], (std::array<std::uint8_t, 4>{16, d, d, d}));
            }
        }
    }
}

TEST(LiveFrameEncoder, FrameBytesAroundTheDisplay) {
    DisplayState state;
    state.backlight = true;
    const LiveFrame f = EncodeLiveFrame(state);
    EXPECT_EQ(f[0], 0x02);
    EXPECT_EQ(f[63], 0x03);
    unsigned sum = 0;
    for (std::size_t i = 1; i <= 61; ++i)
        sum += f[i];
    EXPECT_EQ(f[62], sum & 0xFF);
    EXPECT_EQ(f[kBacklightByte] & kBacklightBit, kBacklightBit);
    state.backlight = false;
    EXPECT_EQ(EncodeLiveFrame(state)[kBacklightByte] & kBacklightBit, 0);
}

TEST(LiveFrameEncoder, UnitIconsFollowTheUnitOnEveryRow) {
    for (const bool fahrenheit : {false, true}) {
        DisplayState state;
        state.fahrenheit = fahrenheit;
        const MeterStatus s = decode(state);
        for (const bool c : {s.imgT1C, s.imgT2C, s.imgT3C, s.imgT4C})
            EXPECT_EQ(c, !fahrenheit);
        for (const bool f : {s.imgT1F, s.imgT2F, s.imgT3F, s.imgT4F})
            EXPECT_EQ(f, fahrenheit);
        EXPECT_TRUE(s.lblT1 && s.lblT2 && s.lblT3 && s.lblT4);
    }
}

struct FlagCase {
    const char* name;
    std::function<void(DisplayState&)> set;
    std::vector<bool MeterStatus::*> lit;
    std::function<void(MeterStatus&)> alsoExpect; // fields besides element flags
    std::vector<bool MeterStatus::*> unlit{};
};

// Each state change lights (or puts out) exactly the listed elements and nothing else.
TEST(LiveFrameEncoder, EachFlagLightsExactlyItsElements) {
    const FlagCase cases[] = {
        {"hold", [](DisplayState& s) { s.hold = true; }, {&MeterStatus::imgHOLD}, nullptr},
        {"max", [](DisplayState& s) { s.statsLabel = StatsLabel::Max; }, {&MeterStatus::lblMAX}, nullptr},
        {"min", [](DisplayState& s) { s.statsLabel = StatsLabel::Min; }, {&MeterStatus::lblMIN}, nullptr},
        {"avg", [](DisplayState& s) { s.statsLabel = StatsLabel::Avg; }, {&MeterStatus::lblAVG}, nullptr},
        {"stats blinking",
         [](DisplayState& s) {
             s.statsLabel = StatsLabel::All;
             s.statsMode = s.statsBlink = true;
         },
         {&MeterStatus::lblMAX, &MeterStatus::lblMIN, &MeterStatus::lblAVG},
         [](MeterStatus& m) { m.statsMode = m.statsBlink = true; }},
        {"recording",
         [](DisplayState& s) { s.recording = s.recBlink = s.recIcon = true; },
         {&MeterStatus::imgREC},
         [](MeterStatus& m) { m.meterRecording = m.recBlink = true; }},
        {"full", [](DisplayState& s) { s.full = true; }, {&MeterStatus::imgFULL}, nullptr},
        {"recall", [](DisplayState& s) { s.recall = true; }, {&MeterStatus::imgRecall}, nullptr},
        {"mem", [](DisplayState& s) { s.mem = true; }, {&MeterStatus::imgMEM}, nullptr},
        {"alarm",
         [](DisplayState& s) { s.alarm = s.alarmHi = s.alarmLo = true; },
         {&MeterStatus::imgAlarm, &MeterStatus::lblHi, &MeterStatus::lblLO},
         nullptr},
        {"bluetooth", [](DisplayState& s) { s.bluetooth = true; }, {&MeterStatus::imgblutooth}, nullptr},
        {"difference", [](DisplayState& s) { s.difference = true; }, {&MeterStatus::lblT1_T2}, nullptr},
        {"type J",
         [](DisplayState& s) { s.thermocoupleType = 1; },
         {&MeterStatus::imgJ},
         [](MeterStatus& m) { m.thermocoupleType = 1; },
         {&MeterStatus::imgK}},
        {"type T",
         [](DisplayState& s) { s.thermocoupleType = 3; },
         {&MeterStatus::imgT},
         [](MeterStatus& m) { m.thermocoupleType = 3; },
         {&MeterStatus::imgK}},
        {"type S: no letter icon",
         [](DisplayState& s) { s.thermocoupleType = 6; },
         {},
         [](MeterStatus& m) { m.thermocoupleType = 6; },
         {&MeterStatus::imgK}},
        {"battery 0",
         [](DisplayState& s) { s.batteryLevel = 0; },
         {&MeterStatus::imgBat0},
         nullptr,
         {&MeterStatus::imgBat3}},
        {"battery 1",
         [](DisplayState& s) { s.batteryLevel = 1; },
         {&MeterStatus::imgBat1},
         nullptr,
         {&MeterStatus::imgBat3}},
        {"battery 2",
         [](DisplayState& s) { s.batteryLevel = 2; },
         {&MeterStatus::imgBat2},
         nullptr,
         {&MeterStatus::imgBat3}},
        {"no battery icon",
         [](DisplayState& s) { s.batteryLevel = -1; },
         {},
         nullptr,
         {&MeterStatus::imgBat3}},
    };
    DisplayState base;
    base.autoOff = false;
    const MeterStatus baseline = decode(base);
    for (const FlagCase& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayState state = base;
        c.set(state);
        MeterStatus expected = baseline;
        for (bool MeterStatus::*member : c.lit) {
            EXPECT_FALSE(baseline.*member);
            expected.*member = true;
        }
        for (bool MeterStatus::*member : c.unlit) {
            EXPECT_TRUE(baseline.*member);
            expected.*member = false;
        }
        if (c.alsoExpect)
            c.alsoExpect(expected);
        EXPECT_EQ(decode(state), expected);
    }
    DisplayState autoOff = base;
    autoOff.autoOff = true;
    EXPECT_TRUE(decode(autoOff).imgAutoOff);
    EXPECT_FALSE(baseline.imgAutoOff);
}

TEST(LiveFrameEncoder, SmallDigitsGoThroughTableB) {
    // Glyphs 23 and 24 have no table-B code and come back blank.
    const std::array<std::uint8_t, 2> cases[] = {{0, 9}, {21, 22}, {5, 16}, {17, 18}, {23, 24}};
    for (const auto& glyphs : cases) {
        DisplayState state;
        state.smallGlyphs = glyphs;
        state.recall = true;
        state.fahrenheit = true; // the icon bits share the digit bytes
        const MeterStatus s = decode(state);
        const auto blankIfUnknown = [](std::uint8_t g) { return g > 22 ? std::uint8_t{16} : g; };
        EXPECT_EQ(s.smallDigit[0], blankIfUnknown(glyphs[0]));
        EXPECT_EQ(s.smallDigit[1], blankIfUnknown(glyphs[1]));
        EXPECT_TRUE(s.imgRecall);
        EXPECT_TRUE(s.imgT1F);
    }
}

} // namespace
} // namespace thermo4::sim
