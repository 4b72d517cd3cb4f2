#include "core/CommandFrame.h"
#include "core/MeterStatus.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

namespace thermo4::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

class SetupCommandsTest : public testing::Test {
protected:
    // A frame with parameters p1..p4, an optional data block, and the reply.
    std::optional<Bytes> send(char letter, std::array<std::uint8_t, 4> params = {}, const Bytes& block = {}) {
        core::CommandFrame f;
        f.setCommand(letter);
        for (int i = 0; i < 4; ++i)
            f.param(i + 1) = params[static_cast<std::size_t>(i)];
        meter.receiveCommand(f.span());
        if (!block.empty())
            meter.receiveBlock(block);
        return meter.takeReply();
    }
    static bool ok(const std::optional<Bytes>& r, std::size_t at = 2) {
        return r && (*r)[at] == 'O' && (*r)[at + 1] == 'K';
    }
    static Bytes clockBlock(std::array<std::uint8_t, 7> bcd, const char* marker = "rtc") {
        Bytes b(32, 0xAA);
        std::copy(bcd.begin(), bcd.end(), b.begin());
        std::memcpy(b.data() + 8, marker, 3);
        return b;
    }
    std::uint8_t eepromRead(std::uint32_t address) {
        const auto r =
            send('r', {std::uint8_t(address >> 16), std::uint8_t(address >> 8), std::uint8_t(address)});
        EXPECT_TRUE(r && (*r)[0] == 0x02 && (*r)[1] == 'r');
        return r ? (*r)[5] : 0;
    }
    bool eepromWrite(std::uint32_t address, std::uint8_t value) {
        const auto r = send(
            'W', {std::uint8_t(address >> 16), std::uint8_t(address >> 8), std::uint8_t(address), value});
        return r && (*r)[0] == 0x02 && (*r)[1] == 'W';
    }
    core::MeterStatus status() {
        const LiveFrame f = meter.liveFrame();
        core::MeterStatus s;
        core::DecodeStatus(std::span<const std::uint8_t, 64>(f), s);
        return s;
    }

    link::ManualClock clock{QDateTime(QDate(2024, 1, 1), QTime(12, 0, 0))};
    VirtualMeter meter{clock};
};

TEST_F(SetupCommandsTest, InformationReplyCarriesTheDefaultSettingsAndClock) {
    const auto r = send('X');
    ASSERT_TRUE(r);
    ASSERT_EQ(r->size(), 64u);
    EXPECT_TRUE(ok(r, 0));
    const Bytes expectedHeader{0, 0x00, 0xD4, 0xFF, 0xFC, 0, 0, 0x00, 0x0A, 0xFF, 0, 2};
    EXPECT_TRUE(std::equal(expectedHeader.begin(), expectedHeader.end(), r->begin() + 3));
    EXPECT_EQ((*r)[18], 0);   // type K
    EXPECT_EQ((*r)[30], 2);   // auto power-off "30 minutes"
    EXPECT_EQ((*r)[31], 105); // firmware 1.05
    const Bytes expectedClock{0x00, 0x00, 0x12, 0x01, 0x01};
    EXPECT_TRUE(std::equal(expectedClock.begin(), expectedClock.end(), r->begin() + 40));
    EXPECT_EQ((*r)[46], 0x24);
}

TEST_F(SetupCommandsTest, ClockCommandSetsTheMeterClockFromItsBlock) {
    EXPECT_FALSE(send('t')); // no answer before the block
    const auto r = send('t', {}, clockBlock({0x30, 0x05, 0x14, 0x09, 0x03, 0x55, 0x17}));
    EXPECT_TRUE(ok(r));
    clock.advance(90000);
    const auto info = send('X');
    ASSERT_TRUE(info);
    EXPECT_EQ((*info)[40], 0x00); // 14:07:00 on 9 March 2017
    EXPECT_EQ((*info)[41], 0x07);
    EXPECT_EQ((*info)[42], 0x14);
    EXPECT_EQ((*info)[43], 0x09);
    EXPECT_EQ((*info)[44], 0x03);
    EXPECT_EQ((*info)[46], 0x17);
    EXPECT_EQ(meter.meterNow(), QDateTime(QDate(2017, 3, 9), QTime(14, 7, 0)));

    const Bytes refused[] = {
        clockBlock({0x30, 0x05, 0x14, 0x09, 0x03, 0, 0x17}, "RTC"), // marker
        clockBlock({0x30, 0x05, 0x14, 0x09, 0x13, 0, 0x17}),        // month 13
        clockBlock({0x30, 0x05, 0x24, 0x09, 0x03, 0, 0x17}),        // hour 24
        clockBlock({0x3A, 0x05, 0x14, 0x09, 0x03, 0, 0x17}),        // not BCD
    };
    for (const Bytes& block : refused) {
        const auto no = send('t', {}, block);
        ASSERT_TRUE(no);
        EXPECT_FALSE(ok(no));
    }
    EXPECT_EQ(meter.meterNow(), QDateTime(QDate(2017, 3, 9), QTime(14, 7, 0)));
}

TEST_F(SetupCommandsTest, IntervalCommandTakesMinutesAndSecondsInBcd) {
    const struct {
        std::uint8_t minutes, seconds;
        bool accepted;
        int intervalS;
    } cases[] = {{0x01, 0x30, true, 90},    {0x00, 0x01, true, 1},     {0x60, 0x60, true, 3660},
                 {0x00, 0x00, false, 3660}, {0x1A, 0x00, false, 3660}, {0x59, 0x59, true, 3599}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << int(c.minutes) << ":" << int(c.seconds));
        EXPECT_EQ(ok(send('I', {c.minutes, c.seconds})), c.accepted);
        EXPECT_EQ(meter.memory().intervalSeconds(), c.intervalS);
    }
    const auto info = send('X');
    EXPECT_EQ((*info)[13], 59);
    EXPECT_EQ((*info)[14], 59);
}

TEST_F(SetupCommandsTest, EraseAndDefaultsEmptyTheMemory) {
    LoggedDataSet set;
    set.start = clock.now();
    set.samples.resize(3);
    ASSERT_TRUE(meter.memory().append(set));
    ASSERT_TRUE(eepromWrite(LoggerMemory::kTypeAt, 3));
    EXPECT_TRUE(ok(send('e')));
    EXPECT_EQ(meter.memory().dataSetCount(), 0);
    EXPECT_EQ(meter.memory().endAddress(), 0xAFFu);
    EXPECT_EQ(meter.memory().thermocoupleType(), 3); // settings survive an erase

    ASSERT_TRUE(meter.memory().append(set));
    Bytes defaults(32, 0x77); // unset bytes carry whatever was in the buffer
    const Bytes fields{'A', 'L', 'L', 0, 0x00, 0xD4, 0xFF, 0xFC, 0, 0, 0x00, 0x0A, 0xFF, 0, 2, 0x14};
    std::copy(fields.begin(), fields.end(), defaults.begin());
    defaults[18] = 0;
    defaults[21] = 0;
    std::fill(defaults.begin() + 22, defaults.begin() + 26, 0);
    defaults[30] = 2;
    EXPECT_TRUE(ok(send('s', {}, defaults)));
    EXPECT_EQ(meter.memory().dataSetCount(), 0);
    EXPECT_EQ(meter.memory().endAddress(), 0xAFFu);
    EXPECT_EQ(meter.memory().thermocoupleType(), 0);
    EXPECT_EQ(meter.memory().byteAt(16), 0x00); // not taken from the block
    EXPECT_EQ(meter.memory().byteAt(31), 105);

    defaults[0] = 'X';
    EXPECT_FALSE(ok(send('s', {}, defaults)));
}

TEST_F(SetupCommandsTest, EepromBytesAreTheMemoryAndSettings) {
    EXPECT_TRUE(eepromWrite(74565, 0xAB));
    EXPECT_EQ(eepromRead(74565), 0xAB);
    EXPECT_EQ(eepromRead(74566), 0xFF); // never written: erased memory
    EXPECT_EQ(eepromRead(9), 0);        // data-set count, low byte

    EXPECT_FALSE(status().imgblutooth);
    ASSERT_TRUE(eepromWrite(LoggerMemory::kBluetoothAt, 1));
    EXPECT_TRUE(status().imgblutooth);

    // Alarm on with the default limits 212 °F and −4 °F.
    meter.setFixedCelsius(0, 120.0);
    meter.setFixedCelsius(1, -30.0);
    EXPECT_FALSE(status().imgAlarm);
    ASSERT_TRUE(eepromWrite(LoggerMemory::kAlarmAt, 1));
    const core::MeterStatus s = status();
    EXPECT_TRUE(s.imgAlarm);
    EXPECT_TRUE(s.lblHi);
    EXPECT_TRUE(s.lblLO);
}

TEST_F(SetupCommandsTest, CalibrationRepliesPackThreeBytesPerValue) {
    const auto y = send('Y');
    const auto z = send('Z');
    ASSERT_TRUE(y && z);
    EXPECT_TRUE(ok(y, 28));
    EXPECT_TRUE(ok(z, 30));
    EXPECT_EQ((*y)[0], 0x00); // gain 1.0: 00 80 3F
    EXPECT_EQ((*y)[1], 0x80);
    EXPECT_EQ((*y)[2], 0x3F);
    const auto value = [](const Bytes& r, std::size_t i) {
        const std::uint32_t bits = std::uint32_t{r[3 * i]} << 8 | std::uint32_t{r[3 * i + 1]} << 16 |
                                   std::uint32_t{r[3 * i + 2]} << 24;
        return std::bit_cast<float>(bits);
    };
    EXPECT_NEAR(value(*y, 1), 1.0012, 1e-4);
    EXPECT_NEAR(value(*y, 6), -0.2, 1e-4);
    EXPECT_NEAR(value(*z, 3), 0.2, 1e-4);
}

TEST_F(SetupCommandsTest, InformationReplySharesTheOffsetsOfALoadedMemoryHeader) {
    std::vector<std::uint8_t> image(LoggerMemory::kFirstRecord, 0x00);
    for (std::size_t i = 0; i < LoggerMemory::kSettingsEnd; ++i)
        image[i] = static_cast<std::uint8_t>(0x40 + i);
    meter.memory() = LoggerMemory::fromImage(image);
    const auto r = send('X');
    ASSERT_TRUE(r);
    EXPECT_TRUE(ok(r, 0));
    EXPECT_TRUE(std::equal(image.begin() + 2, image.begin() + 32, r->begin() + 2));
}

TEST_F(SetupCommandsTest, RefusedCommandsLackTheirAcknowledgementAndDoNothing) {
    meter.faults().refuseReplies = {{'W', 1}, {'e', 1}, {'t', 1}, {'X', 1}, {'Y', -1}};
    LoggedDataSet set;
    set.start = clock.now();
    set.samples.resize(2);
    ASSERT_TRUE(meter.memory().append(set));

    EXPECT_FALSE(eepromWrite(100, 7));
    EXPECT_EQ(meter.memory().byteAt(100), 0);
    EXPECT_TRUE(eepromWrite(100, 7)); // the one refusal is used up
    EXPECT_EQ(meter.memory().byteAt(100), 7);

    EXPECT_FALSE(ok(send('e')));
    EXPECT_EQ(meter.memory().dataSetCount(), 1);
    EXPECT_TRUE(ok(send('e')));
    EXPECT_EQ(meter.memory().dataSetCount(), 0);

    const QDateTime before = meter.meterNow();
    EXPECT_FALSE(ok(send('t', {}, clockBlock({0x30, 0x05, 0x14, 0x09, 0x03, 0, 0x17}))));
    EXPECT_EQ(meter.meterNow(), before);

    const auto info = send('X');
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size(), 64u);
    EXPECT_FALSE(ok(info, 0));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(ok(send('Y'), 28));
    EXPECT_TRUE(ok(send('Z'), 30));
}

TEST_F(SetupCommandsTest, LetterRIsARetryInsideADownloadAndAnEepromReadOutside) {
    ASSERT_TRUE(send('P', {0, 1}));
    const auto retry = send('r', {0, 1});
    ASSERT_TRUE(retry);
    EXPECT_EQ(retry->size(), 36u);
    send('q');
    const auto read = send('r', {0, 0, 9});
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 32u);
    EXPECT_EQ((*read)[1], 'r');
}

} // namespace
} // namespace thermo4::sim
