#include "core/SetupInput.h"

#include <gtest/gtest.h>

using namespace thermo4::core;

namespace {

TEST(SetupInput, IntervalBoundsAndTheirBcdBytes) {
    const struct {
        const char* minutes;
        const char* seconds;
        LinkResult code;
        std::uint8_t p1, p2;
    } cases[] = {
        {"00", "00", IntervalResult::kZeroInterval, 0, 0},
        {"0", "0", IntervalResult::kZeroInterval, 0, 0},
        {"00", "01", kLinkOk, 0x00, 0x01},
        {"60", "60", kLinkOk, 0x60, 0x60}, // the bound is 60, not 59
        {"59", "59", kLinkOk, 0x59, 0x59},
        {"61", "00", IntervalResult::kOutOfRange, 0, 0},
        {"00", "61", IntervalResult::kOutOfRange, 0, 0},
        {"99", "99", IntervalResult::kOutOfRange, 0, 0},
        {"5", "3", kLinkOk, 0x05, 0x03},
        {" 7", "30 ", kLinkOk, 0x07, 0x30},
        {"", "02", IntervalResult::kInvalidMinutes, 0, 0},
        {"1_", "02", IntervalResult::kInvalidMinutes, 0, 0},
        {"02", "x", IntervalResult::kInvalidSeconds, 0, 0},
        {"ab", "x", IntervalResult::kInvalidSeconds, 0, 0}, // the last code noted
        // Numbers a two-digit field cannot hold are refused, not wrapped into a byte.
        {"256", "00", IntervalResult::kInvalidMinutes, 0, 0},
        {"005", "00", IntervalResult::kInvalidMinutes, 0, 0},
        {"-1", "10", IntervalResult::kInvalidMinutes, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.minutes << "\":\"" << c.seconds << '"');
        const IntervalEntry entry =
            CheckIntervalEntry(QString::fromLatin1(c.minutes), QString::fromLatin1(c.seconds));
        EXPECT_EQ(entry.code, c.code);
        EXPECT_EQ(entry.valid(), c.code == kLinkOk);
        EXPECT_TRUE(entry.valid() || IntervalResult::isInvalidInput(entry.code));
        EXPECT_EQ(entry.minutesBcd, c.p1);
        EXPECT_EQ(entry.secondsBcd, c.p2);
    }
}

TEST(SetupInput, WholeNumbers) {
    EXPECT_EQ(ReadWholeNumber("74565", 0, kMaxEepromAddress), 74565);
    EXPECT_EQ(ReadWholeNumber(" +12 ", 0, 100), 12);
    EXPECT_EQ(ReadWholeNumber("-5", -10, 0), -5);
    for (const char* bad : {"", "-", "1.5", "0x10", "12a", "1 2", "99999999999", "-2147483649"}) {
        EXPECT_FALSE(ReadWholeNumber(bad, INT32_MIN, INT32_MAX)) << bad;
    }
    EXPECT_FALSE(ReadWholeNumber("101", 0, 100));
    EXPECT_FALSE(ReadWholeNumber("-1", 0, 100));
}

TEST(SetupInput, ServiceFieldsAreCheckedBeforeAnythingIsSent) {
    const struct {
        ServiceEntry entry;
        QString refusal;
        std::int32_t first, second;
    } cases[] = {
        {CheckEepromWrite("8737", "74565", "171"), {}, 74565, 171},
        {CheckEepromWrite("", "74565", "171"), "Password error !!", 0, 0},
        {CheckEepromWrite("8738", "x", "171"), "Password error !!", 0, 0}, // the code comes first
        {CheckEepromWrite("8737", "x", "171"), "x is not valid.\n", 0, 0},
        {CheckEepromWrite("8737", "16777216", "1"), "16777216 is not valid.\n", 0, 0},
        {CheckEepromWrite("8737", "2", "256"), "256 is not valid.\n", 0, 0},
        {CheckEepromWrite("8737", "2", "-1"), "-1 is not valid.\n", 0, 0},
        {CheckEepromRead("16777215"), {}, 16777215, 0},
        {CheckEepromRead("1e3"), "1e3 is not valid.\n", 0, 0},
        {CheckQuickRecord("1", "125"), {}, 1, 125},
        {CheckQuickRecord("0", "0"), {}, 0, 0},
        {CheckQuickRecord("31997", "15359"), {}, 31997, 15359},
        {CheckQuickRecord("31998", "2"), "31998 is not valid.\n", 0, 0},
        {CheckQuickRecord("1", "15360"), "15360 is not valid.\n", 0, 0},
        {CheckQuickRecord("one", "2"), "one is not valid.\n", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.refusal.toStdString());
        EXPECT_EQ(c.entry.refusal, c.refusal);
        EXPECT_EQ(c.entry.accepted(), c.refusal.isEmpty());
        EXPECT_EQ(c.entry.first, c.first);
        EXPECT_EQ(c.entry.second, c.second);
    }
}

} // namespace
