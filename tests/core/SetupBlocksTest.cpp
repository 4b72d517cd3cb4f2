#include "core/SetupBlocks.h"
#include "core/Calibration.h"

#include <gtest/gtest.h>

using namespace thermo4::core;

namespace {

using SetupFrame = std::array<std::uint8_t, 7>;

SetupBuffer filled(std::uint8_t value) {
    SetupBuffer b;
    b.fill(value);
    return b;
}

TEST(SetupBlocks, ClockBlockKeepsTheBytesItDoesNotSet) {
    SetupBuffer b = filled(0xEE);
    FillClockBlock(b, QDateTime(QDate(2017, 3, 9), QTime(14, 5, 30)));
    const std::array<std::uint8_t, 11> expected{0x30, 0x05, 0x14, 0x09, 0x03, 0xEE, 0x17, 0, 'r', 't', 'c'};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), b.begin()));
    EXPECT_TRUE(std::all_of(b.begin() + 11, b.end(), [](std::uint8_t v) { return v == 0xEE; }));
}

TEST(SetupBlocks, DefaultsBlockKeepsTheBytesItDoesNotSet) {
    SetupBuffer b = filled(0xEE);
    FillDefaultsBlock(b);
    const SetupBuffer expected{'A',  'L',  'L', 0, 0x00, 0xD4, 0xFF, 0xFC, 0,    0,    0x00,
                               0x0A, 0xFF, 0,   2, 0x14, 0xEE, 0xEE, 0,    0xEE, 0xEE, 0,
                               0,    0,    0,   0, 0xEE, 0xEE, 0xEE, 0xEE, 2,    0xEE};
    EXPECT_EQ(b, expected);
}

TEST(SetupBlocks, EepromFramesSplitTheAddressAndKeepWhatTheyDoNotSet) {
    CommandFrame frame;
    SetEepromWriteFrame(frame, 74565, 171);
    EXPECT_EQ(frame.bytes, (SetupFrame{0x02, 'W', 0x01, 0x23, 0x45, 0xAB, 0x03}));
    SetEepromReadFrame(frame, 74565);
    EXPECT_EQ(frame.bytes,
              (SetupFrame{0x02, 'r', 0x01, 0x23, 0x45, 0xAB, 0x03})); // byte 5 left from the write
    SetEepromAbortFrame(frame);
    EXPECT_EQ(frame.bytes, (SetupFrame{0x02, 'Q', 0x01, 0x23, 0x45, 0xAB, 0x03}));

    // Data keeps its low 8 bits; a negative address divides toward zero, byte by byte.
    SetEepromWriteFrame(frame, 2, 0x1FF);
    EXPECT_EQ(frame.bytes, (SetupFrame{0x02, 'W', 0, 0, 2, 0xFF, 0x03}));
    SetEepromReadFrame(frame, -1);
    EXPECT_EQ(frame.bytes, (SetupFrame{0x02, 'r', 0, 0, 0xFF, 0xFF, 0x03}));
    SetEepromReadFrame(frame, 0x1234567);
    EXPECT_EQ(frame.bytes, (SetupFrame{0x02, 'r', 0x23, 0x45, 0x67, 0xFF, 0x03}));
}

TEST(SetupBlocks, QuickRecordWritesHeaderRecordAndEndAddress) {
    const QDateTime now(QDate(2017, 3, 9), QTime(14, 5, 30));
    const struct {
        std::int32_t points, interval;
        std::int32_t endMarker;
        std::uint8_t minutes, seconds, countHigh, countLow;
    } cases[] = {
        {1, 125, 0x0B1A, 2, 5, 0, 1},
        {0, 2, 0x0B12, 0, 2, 0, 0},
        {300, 90, 0x0B12 + 2400, 1, 30, 1, 44},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        const auto w = QuickRecordBytes(c.points, c.interval, now);
        const std::int32_t last = c.endMarker + 1;
        const std::array<EepromByte, kQuickRecordWrites> expected{{
            {8, 0},
            {9, 1},
            {0x0B00, 0xA5},
            {0x0B01, 0x5A},
            {0x0B02, 0x14},
            {0x0B03, 0x17},
            {0x0B04, 0x03},
            {0x0B05, 0x09},
            {0x0B06, 0x14},
            {0x0B07, 0x05},
            {0x0B08, 0x30},
            {0x0B09, c.minutes},
            {0x0B0A, c.seconds},
            {0x0B0B, 8},
            {0x0B0C, c.countHigh},
            {0x0B0D, c.countLow},
            {0x0B0E, 0},
            {0x0B0F, 0},
            {0x0B10, 0},
            {0x0B11, 0},
            {c.endMarker, 0x5A},
            {last, 0xA5},
            {10, std::uint8_t(last >> 16)},
            {11, std::uint8_t(last >> 8)},
            {12, std::uint8_t(last)},
        }};
        EXPECT_EQ(w, expected);
    }
    const auto one = QuickRecordBytes(1, 2, now);
    EXPECT_EQ(one[22].value, 0x00);
    EXPECT_EQ(one[23].value, 0x0B);
    EXPECT_EQ(one[24].value, 0x1B);
}

TEST(Calibration, ThreeBytesAreTheUpperBytesOfASingle) {
    const struct {
        std::array<std::uint8_t, 3> bytes;
        const char* text;
    } cases[] = {
        {{0x00, 0x80, 0x3F}, "1.00000000"},  {{0x00, 0x00, 0x00}, "0.00000000"},
        {{0x00, 0x00, 0x80}, "0.00000000"}, // negative zero shows no sign
        {{0xCD, 0x4C, 0xBE}, "-0.20000076"}, {{0x20, 0x80, 0x3F}, "1.00097656"},
        {{0x00, 0x80, 0x7F}, "INF"},         {{0x00, 0x80, 0xFF}, "-INF"},
        {{0x00, 0xC0, 0x7F}, "NAN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CalibrationText(CalibrationValue(c.bytes)), c.text);
    }
    EXPECT_EQ(CalibrationText(1.0f, u','), "1,00000000");
    EXPECT_EQ(CalibrationText(1234.5678f), "1234.56774900"); // 1234.567749023… at 10 significant digits
    EXPECT_EQ(CalibrationText(4.294967296e10f), "4.294967296E+10");
    EXPECT_EQ(CalibrationText(1.5e9f), "1500000000.00000000");
}

TEST(Calibration, RepliesInOrder) {
    std::array<std::uint8_t, 32> y{}, z{};
    const std::array<std::uint8_t, 3> one{0x00, 0x80, 0x3F}, two{0x00, 0x00, 0x40};
    std::copy(one.begin(), one.end(), y.begin());      // T1 gain
    std::copy(two.begin(), two.end(), y.begin() + 21); // T4 external offset
    std::copy(two.begin(), two.end(), z.begin() + 9);  // T4 CJC offset
    const auto values = DecodeCalibration(y, z);
    ASSERT_TRUE(values);
    EXPECT_EQ(values->gain, (std::array<float, 4>{1.0f, 0, 0, 0}));
    EXPECT_EQ(values->externalOffset, (std::array<float, 4>{0, 0, 0, 2.0f}));
    EXPECT_EQ(values->cjcOffset, (std::array<float, 4>{0, 0, 0, 2.0f}));
    EXPECT_FALSE(DecodeCalibration(std::span(y).first(31), z));
}

} // namespace
