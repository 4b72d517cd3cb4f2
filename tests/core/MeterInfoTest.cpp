#include "core/MeterInfo.h"

#include <gtest/gtest.h>

using namespace thermo4::core;

namespace {

using Reply = std::array<std::uint8_t, kMeterInfoSize>;

// An information reply: "OK", then the given bytes at their offsets.
Reply infoReply(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    Reply r{};
    r[0] = 'O';
    r[1] = 'K';
    for (const auto& [at, value] : bytes) {
        r[at] = value;
    }
    return r;
}

MeterInfo decodeInfo(const Reply& r) {
    const auto info = DecodeMeterInfo(r);
    EXPECT_TRUE(info);
    return info.value_or(MeterInfo{});
}

TEST(MeterInfo, EveryFieldFromItsBytes) {
    const Reply r =
        infoReply({{3, 1},     {4, 0x00},  {5, 0xD4},  {6, 0xFF},  {7, 0xFC}, {8, 0x01}, {9, 0x02},
                   {10, 0x00}, {11, 0x0A}, {12, 0xFF}, {13, 2},    {14, 5},   {18, 3},   {21, 0},
                   {22, 5},    {23, 0xF7}, {24, 0x80}, {25, 0x7F}, {30, 6},   {31, 105}, {40, 0x30},
                   {41, 0x05}, {42, 0x14}, {43, 0x09}, {44, 0x03}, {46, 0x17}});
    const MeterInfo info = decodeInfo(r);
    EXPECT_EQ(info.firmware, "1.05");
    EXPECT_EQ(info.meterTime, "03/09/2017   14:05:30");
    EXPECT_EQ(info.interval, "2:5");
    EXPECT_EQ(info.dataSets, "258");
    EXPECT_EQ(info.memoryAvailable, "32000");
    EXPECT_EQ(info.alarm, "ON");
    EXPECT_EQ(info.hi, "212");
    EXPECT_EQ(info.lo, "-4");
    EXPECT_EQ(info.t1t2, "OFF");
    EXPECT_EQ(info.thermoType, "T");
    EXPECT_EQ(info.autoOff, "8 hours");
    EXPECT_EQ(info.offsets, (std::array<QString, 4>{"5", "-9", "-128", "127"}));
    EXPECT_TRUE(info.serialNumber.isEmpty());

    const auto fields = info.fields();
    EXPECT_STREQ(fields[0].name, "firmware");
    EXPECT_EQ(fields[4].text, "32000");
    EXPECT_STREQ(fields[9].name, "type");
    EXPECT_EQ(fields[14].text, "127");
    EXPECT_STREQ(fields[15].name, "serial");
}

TEST(MeterInfo, MemoryAvailableTruncatesTowardZero) {
    const struct {
        std::uint32_t pointer;
        const char* text;
    } cases[] = {{2815, "32000"}, {258815, "0"}, {258816, "0"}, {258807, "1"}, {258824, "-1"}, {258814, "0"}};
    for (const auto& c : cases) {
        const Reply r = infoReply({{10, std::uint8_t(c.pointer >> 16)},
                                   {11, std::uint8_t(c.pointer >> 8)},
                                   {12, std::uint8_t(c.pointer)}});
        EXPECT_EQ(decodeInfo(r).memoryAvailable, c.text) << c.pointer;
    }
}

TEST(MeterInfo, CodesOutsideTheirTablesLeaveTheFieldEmpty) {
    const char* types[] = {"K", "J", "E", "T", "N", "R", "S"};
    const char* autoOff[] = {"OFF", "10 minutes", "30 minutes", "1 hour", "2 hours", "4 hours", "8 hours"};
    for (std::uint8_t code = 0; code < 7; ++code) {
        const MeterInfo info = decodeInfo(infoReply({{18, code}, {30, code}}));
        EXPECT_EQ(info.thermoType, types[code]);
        EXPECT_EQ(info.autoOff, autoOff[code]);
    }
    for (std::uint8_t code : {7, 8, 255}) {
        const MeterInfo info = decodeInfo(infoReply({{18, code}, {30, code}}));
        EXPECT_TRUE(info.thermoType.isEmpty()) << int{code};
        EXPECT_TRUE(info.autoOff.isEmpty()) << int{code};
    }
}

TEST(MeterInfo, ClockAndFirmwareTexts) {
    const MeterInfo info = decodeInfo(
        infoReply({{44, 0x05}, {43, 0x09}, {46, 0x17}, {42, 0x08}, {41, 0x30}, {40, 0x00}, {31, 0}}));
    EXPECT_EQ(info.meterTime, "05/09/2017   08:30:00");
    EXPECT_EQ(info.firmware, "0.00");
    // Bytes that are not BCD show as their hexadecimal digits.
    EXPECT_EQ(decodeInfo(infoReply({{44, 0x1A}, {40, 0xFF}})).meterTime, "1A/00/2000   00:00:FF");
    EXPECT_EQ(decodeInfo(infoReply({{31, 255}})).firmware, "2.55");
    EXPECT_EQ(DecodeMeterInfo(infoReply({{31, 105}}), u',')->firmware, "1,05");
}

TEST(MeterInfo, ShortOrUnacknowledgedRepliesGiveNothing) {
    Reply r = infoReply({});
    EXPECT_FALSE(DecodeMeterInfo(std::span(r).first(63)));
    r[1] = 'G';
    EXPECT_FALSE(DecodeMeterInfo(r));
}

} // namespace
