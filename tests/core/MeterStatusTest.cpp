#include "core/MeterStatus.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace thermo4::core;

namespace {

using Frame = std::array<std::uint8_t, kStatusFrameSize>;

Frame emptyFrame() {
    Frame f{};
    f[0] = 0x02;
    f[63] = 0x03;
    return f;
}

MeterStatus decodeFrame(const Frame& f) {
    MeterStatus s;
    DecodeStatus(f, s);
    return s;
}

// Seven-segment patterns written as the segments they light, independent of
// either table's bit order.
enum Seg : unsigned { a = 1, b = 2, c = 4, d = 8, e = 16, f = 32, g = 64 };

struct GlyphShape {
    std::uint8_t glyph;
    unsigned segments;
};
// clang-format off
constexpr std::array<GlyphShape, 18> kShapes{{
    {0, a | b | c | d | e | f}, {1, b | c}, {2, a | b | g | e | d}, {3, a | b | g | c | d}, {4, f | g | b | c},
    {5, a | f | g | c | d}, {6, a | f | g | e | c | d}, {7, a | f | b | c}, {8, a | b | c | d | e | f | g},
    {9, a | b | c | d | f | g}, {10, a | b | c | e | f | g} /* A */, {11, c | d | e | f | g} /* b */,
    {12, a | d | e | f} /* C */, {13, b | c | d | e | g} /* d */, {14, a | d | e | f | g} /* E */,
    {15, a | e | f | g} /* F */, {17, g} /* minus */, {18, d | e | f} /* L */,
}};
// clang-format on

// Table A: bit 0 a, 1 f, 2 b, 3 g, 4 e, 5 c, 6 d. Table B: bit 7 a, 6 f, 5 b, 4 g, 3 e, 2 c, 1 d.
std::uint8_t encode(unsigned segments, const std::array<int, 7>& bitOf) {
    std::uint8_t code = 0;
    for (int s = 0; s < 7; ++s) {
        if (segments & (1u << s)) {
            code |= static_cast<std::uint8_t>(1u << bitOf[static_cast<std::size_t>(s)]);
        }
    }
    return code;
}
//                                    a  b  c  d  e  f  g
constexpr std::array<int, 7> kBitsA{0, 2, 5, 6, 4, 1, 3};
constexpr std::array<int, 7> kBitsB{7, 5, 2, 1, 3, 6, 4};

TEST(SegmentTables, DigitsAndLettersMatchTheirSegments) {
    for (const GlyphShape& shape : kShapes) {
        SCOPED_TRACE(int{shape.glyph});
        const std::uint8_t codeA = encode(shape.segments, kBitsA);
        const std::uint8_t codeB = encode(shape.segments, kBitsB);
        EXPECT_EQ(GlyphFromTableA(codeA), shape.glyph);
        EXPECT_EQ(GlyphFromTableB(codeB), shape.glyph);
        EXPECT_EQ(TableACodeForGlyph(shape.glyph), codeA);
        EXPECT_EQ(TableBCodeForGlyph(shape.glyph), codeB);
    }
}

TEST(SegmentTables, GlyphsBeyondTheLetters) {
    // Their shapes are fixed by the bitmaps only: checked against the meter's codes.
    const std::array<std::array<std::uint8_t, 3>, 4> rows{
        {{0x78, 0x1E, 19}, {0x18, 0x18, 20}, {0x5A, 0x5A, 21}, {0x38, 0x6E, 22}}};
    for (const auto& [codeA, codeB, glyph] : rows) {
        EXPECT_EQ(GlyphFromTableA(codeA), glyph);
        EXPECT_EQ(GlyphFromTableB(codeB), glyph);
    }
    EXPECT_EQ(GlyphFromTableA(0x3E), 23);
    EXPECT_EQ(GlyphFromTableA(0x20), 24);
    EXPECT_EQ(TableBCodeForGlyph(23), 0); // table B cannot show 23: blank
}

TEST(SegmentTables, EveryByteDecodesAndRoundTrips) {
    int shownA = 0;
    int shownB = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const auto code = static_cast<std::uint8_t>(byte);
        const std::uint8_t glyphA = GlyphFromTableA(code);
        const std::uint8_t glyphB = GlyphFromTableB(code);
        ASSERT_LT(glyphA, kGlyphCount);
        ASSERT_LT(glyphB, kGlyphCount);
        // The element bit never changes the glyph.
        EXPECT_EQ(glyphA, GlyphFromTableA(code ^ 0x80));
        EXPECT_EQ(glyphB, GlyphFromTableB(code ^ 0x01));
        if (glyphA != kGlyphBlank) {
            ++shownA;
            EXPECT_EQ(TableACodeForGlyph(glyphA), code & 0x7F) << byte;
        }
        if (glyphB != kGlyphBlank) {
            ++shownB;
            EXPECT_EQ(TableBCodeForGlyph(glyphB), code & 0xFE) << byte;
        }
    }
    EXPECT_EQ(shownA, 2 * 24);
    EXPECT_EQ(shownB, 2 * 22);
}

TEST(DecodeStatus, RowsOfT2AndT4AreStoredRightToLeft) {
    Frame f = emptyFrame();
    // T1 "1234" left to right in 42..45, T3 "5678" in 51..54.
    for (int i = 0; i < 4; ++i) {
        f[42 + i] = TableACodeForGlyph(static_cast<std::uint8_t>(1 + i));
        f[51 + i] = TableACodeForGlyph(static_cast<std::uint8_t>(5 + i));
    }
    // T2 shows "9012": leftmost digit in byte 49. T4 shows "3456": leftmost in 59.
    const std::array<std::uint8_t, 4> t2{9, 0, 1, 2};
    const std::array<std::uint8_t, 4> t4{3, 4, 5, 6};
    for (int i = 0; i < 4; ++i) {
        f[49 - i] = TableBCodeForGlyph(t2[i]);
        f[59 - i] = TableBCodeForGlyph(t4[i]);
    }
    f[39] = TableBCodeForGlyph(7); // left small digit
    f[38] = TableBCodeForGlyph(8); // right small digit
    const MeterStatus s = decodeFrame(f);
    EXPECT_EQ(s.digit[0], (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(s.digit[1], t2);
    EXPECT_EQ(s.digit[2], (std::array<std::uint8_t, 4>{5, 6, 7, 8}));
    EXPECT_EQ(s.digit[3], t4);
    EXPECT_EQ(s.smallDigit, (std::array<std::uint8_t, 2>{7, 8}));
}

TEST(DecodeStatus, ElementBitsBesideTheDigitsKeepTheGlyph) {
    Frame f = emptyFrame();
    f[42] = 0xF7; // glyph 0 with the T1 label
    f[46] = 0x25; // glyph 1 with the T2 °F icon
    const MeterStatus s = decodeFrame(f);
    EXPECT_EQ(s.digit[0][0], 0);
    EXPECT_TRUE(s.lblT1);
    EXPECT_EQ(s.digit[1][3], 1);
    EXPECT_TRUE(s.imgT2F);
}

struct FlagBit {
    int byte;
    int bit;
    bool MeterStatus::*flag;
    const char* name;
};

#define FLAG(byte, bit, name)                                                                                \
    FlagBit {                                                                                                \
        byte, bit, &MeterStatus::name, #name                                                                 \
    }
const std::array kFlags{
    FLAG(38, 0, imgT1F),        FLAG(39, 0, imgRecall),   FLAG(40, 5, imgMEM),    FLAG(40, 4, lblAVG),
    FLAG(40, 3, lblMIN),        FLAG(40, 2, lblMAX),      FLAG(40, 1, imgHOLD),   FLAG(41, 7, lblT2),
    FLAG(41, 4, imgK),          FLAG(41, 3, imgJ),        FLAG(41, 2, imgE),      FLAG(41, 1, imgT),
    FLAG(41, 0, imgType),       FLAG(42, 7, lblT1),       FLAG(43, 7, T1_minus),  FLAG(44, 7, T1_P),
    FLAG(45, 7, imgT1C),        FLAG(46, 0, imgT2F),      FLAG(47, 0, T2_P),      FLAG(48, 0, imgT2C),
    FLAG(50, 6, T2_minus),      FLAG(50, 4, imgblutooth), FLAG(50, 3, lblT3),     FLAG(50, 2, T3_minus),
    FLAG(50, 1, lblT1_T2),      FLAG(51, 7, imgAutoOff),  FLAG(52, 7, lblT4),     FLAG(54, 7, T3_P),
    FLAG(55, 4, imgT3F),        FLAG(55, 3, imgT3C),      FLAG(55, 2, imgT4F),    FLAG(55, 1, imgT4C),
    FLAG(55, 0, imgFULL),       FLAG(56, 0, imgREC),      FLAG(57, 0, T4_P),      FLAG(60, 7, T4_minus),
    FLAG(60, 6, imgBat0),       FLAG(60, 5, imgBat3),     FLAG(60, 4, imgBat2),   FLAG(60, 3, imgBat1),
    FLAG(60, 2, imgAlarm),      FLAG(60, 1, lblHi),       FLAG(60, 0, lblLO),     FLAG(2, 7, unitFahrenheit),
    FLAG(3, 3, meterRecording), FLAG(3, 4, recBlink),     FLAG(3, 6, statsBlink), FLAG(4, 3, statsMode),
};
#undef FLAG

TEST(DecodeStatus, EachFlagComesFromItsOwnBit) {
    for (const FlagBit& under : kFlags) {
        SCOPED_TRACE(under.name);
        Frame f = emptyFrame();
        f[static_cast<std::size_t>(under.byte)] = static_cast<std::uint8_t>(1u << under.bit);
        const MeterStatus s = decodeFrame(f);
        for (const FlagBit& other : kFlags) {
            EXPECT_EQ(s.*(other.flag), &other == &under) << other.name;
        }
        // A lone element bit lights no digit.
        for (const auto& row : s.digit) {
            EXPECT_EQ(row, (std::array<std::uint8_t, 4>{16, 16, 16, 16}));
        }
    }
}

TEST(DecodeStatus, ReadingsInCelsiusAndFahrenheit) {
    struct Row {
        std::uint8_t high, low;
        bool fahrenheit;
        float celsius;
    };
    const Row rows[] = {
        {0xFF, 0x38, false, -20.0f},   {0x03, 0xE8, false, 100.0f},  {0x03, 0xE8, true, 37.777779f},
        {0x01, 0x40, true, 0.0f}, // 32.0 °F
        {0x80, 0x00, false, -3276.8f}, {0x7F, 0xFF, false, 3276.7f}, {0xFF, 0xFE, false, -0.2f},
    };
    for (const Row& r : rows) {
        Frame f = emptyFrame();
        f[2] = r.fahrenheit ? 0x80 : 0x00;
        for (int ch = 0; ch < 4; ++ch) {
            f[static_cast<std::size_t>(9 + 2 * ch)] = r.high;
            f[static_cast<std::size_t>(10 + 2 * ch)] = r.low;
        }
        const MeterStatus s = decodeFrame(f);
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_FLOAT_EQ(s.reading[static_cast<std::size_t>(ch)], r.celsius)
                << int{r.high} << ' ' << int{r.low};
        }
    }
}

TEST(DecodeStatus, FahrenheitConversionStartsFromTheSingleReading) {
    // The °F reading is first rounded to float, then converted: the result must
    // match that path bit for bit, not a conversion of the exact tenths.
    int differing = 0;
    for (int raw = -2000; raw <= 20000; ++raw) {
        Frame f = emptyFrame();
        f[2] = 0x80;
        const auto u = static_cast<std::uint16_t>(raw);
        f[11] = static_cast<std::uint8_t>(u >> 8); // T2
        f[12] = static_cast<std::uint8_t>(u);
        const double reading = static_cast<float>(raw * 0.1);
        const auto stepped = static_cast<float>((reading - 32.0) * 5.0 * (1.0 / 9.0));
        const auto direct = static_cast<float>((raw * 0.1 - 32.0) * 5.0 * (1.0 / 9.0));
        differing += stepped != direct;
        ASSERT_EQ(decodeFrame(f).reading[1], stepped) << raw;
    }
    EXPECT_GT(differing, 0); // the range holds values where the two paths part
}

TEST(ChannelDisplay, OverRangeWinsOverNoReading) {
    EXPECT_EQ(ChannelDisplayText(0x00, 0, 21.5, QLocale::c()), QStringLiteral("21.5"));
    EXPECT_EQ(ChannelDisplayText(0x11, 0, 21.5, QLocale::c()), QStringLiteral("OL"));
    EXPECT_EQ(ChannelDisplayText(0x80, 3, 21.5, QLocale::c()), QStringLiteral("----"));
    EXPECT_EQ(ChannelDisplayText(0x84, 2, 21.5, QLocale::c()), QStringLiteral("OL"));
    EXPECT_EQ(ChannelDisplayText(0x40, 3, -3.26, QLocale(QLocale::German)), QStringLiteral("-3,3"));
}

} // namespace
