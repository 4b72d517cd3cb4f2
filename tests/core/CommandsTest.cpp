#include "core/Commands.h"
#include "core/LinkResult.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace thermo4::core;

namespace {

TEST(CommandCatalogue, EveryLetterConstantHasItsEntry) {
    struct Row {
        char letter;
        const char* name;
        std::size_t reply;
    };
    const Row rows[] = {
        {kIdentify, "identify", 32},
        {kLiveRead, "liveRead", 64},
        {kHold, "hold", 32},
        {kUnit, "unit", 32},
        {kMaxMinAvg, "maxMinAvg", 32},
        {kMaxMinAvgExit, "maxMinAvgExit", 32},
        {kRecord, "record", 32},
        {kRecall, "recall", 32},
        {kMemory, "memory", 32},
        {kBacklight, "backlight", 32},
        {kDownloadStart, "downloadStart", 36},
        {kDownloadNext, "downloadNext", 36},
        {kDownloadRetry, "downloadRetry", 36},
        {kRepeatBlock, "repeatBlock", 36},
        {kDownloadEnd, "downloadEnd", 0},
        {kAbort, "abort", 0},
        {kReadInfo, "readInfo", 64},
        {kSetClock, "setClock", 32},
        {kErase, "erase", 32},
        {kInterval, "interval", 32},
        {kDefaults, "defaults", 32},
        {kEepromWrite, "eepromWrite", 32},
        {kEepromRead, "eepromRead", 32},
        {kCalibration1, "calibration1", 32},
        {kCalibration2, "calibration2", 32},
    };
    const std::string expectedLetters = "KAHCMNERmBPprnqQXteIsWrYZ";
    std::string letters;
    for (const Row& r : rows) {
        letters += r.letter;
        const CommandInfo* info = FindCommand(r.name);
        ASSERT_NE(info, nullptr) << r.name;
        EXPECT_EQ(info->letter, r.letter) << r.name;
        EXPECT_EQ(info->replyLength, r.reply) << r.name;
    }
    EXPECT_EQ(letters, expectedLetters);
    EXPECT_EQ(FindCommand("nothing"), nullptr);

    std::set<std::string_view> names;
    for (const CommandInfo& info : CommandCatalogue()) {
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_FALSE(info.purpose.empty()) << info.name;
    }
    EXPECT_EQ(names.size(), std::size(rows) + 1); // 'A' also opens each resume attempt of a download
}

TEST(CommandCatalogue, SerialLinkCarriesOnlyTheLoggerAndLiveCommands) {
    std::string serial;
    for (const CommandInfo& info : CommandCatalogue()) {
        if (info.links & kSerialLink) {
            serial += info.letter;
        }
        // Only the clock and the defaults send a data block; both read 32 bytes with "OK" at 2.
        if (info.hasDataBlock) {
            EXPECT_TRUE(info.letter == kSetClock || info.letter == kDefaults) << info.name;
            EXPECT_EQ(info.check, ReplyCheck::OkAt2);
        }
        EXPECT_EQ(info.replyLength == 0, info.check == ReplyCheck::None) << info.name;
    }
    EXPECT_EQ(serial, "KAPpnqQ");
}

TEST(ReplyChecks, GoodAndBadReplies) {
    CommandFrame frame;
    frame.setCommand(kEepromRead);
    std::array<std::uint8_t, 64> good{};
    good[0] = 0x02;
    good[1] = 'r';
    good[2] = 'O';
    good[3] = 'K';
    good[23] = '4';
    good[24] = '1';
    good[25] = '8';
    good[28] = 'O';
    good[29] = 'K';
    good[30] = 'O';
    good[31] = 'K';
    good[35] = 5;
    good[63] = 0x03;
    for (std::size_t i = 0; i < 32; ++i) {
        good[34] = static_cast<std::uint8_t>(good[34] + good[i]);
    }

    struct Row {
        ReplyCheck check;
        std::size_t spoilAt; // a byte the check depends on
    };
    for (const Row& r :
         {Row{ReplyCheck::OkAt2, 3}, Row{ReplyCheck::OkAt28, 28}, Row{ReplyCheck::OkAt30, 31},
          Row{ReplyCheck::EchoFrame, 1}, Row{ReplyCheck::ModelCode, 25}, Row{ReplyCheck::FrameMarkers, 63},
          Row{ReplyCheck::BlockMarker, 35}, Row{ReplyCheck::BlockChecksum, 17}}) {
        SCOPED_TRACE(static_cast<int>(r.check));
        EXPECT_TRUE(ReplyIsGood(r.check, good, frame));
        auto bad = good;
        bad[r.spoilAt] ^= 0x01;
        EXPECT_FALSE(ReplyIsGood(r.check, bad, frame));
        // A reply too short to hold the checked bytes is never good.
        EXPECT_FALSE(ReplyIsGood(r.check, std::span(good).first(r.spoilAt), frame));
    }
    frame.setCommand(kEepromWrite);
    EXPECT_FALSE(ReplyEchoesFrame(good, frame));
    EXPECT_EQ(Checksum8(good, 1, 0), 0); // empty range
}

TEST(LinkResult, CodeBlocks) {
    EXPECT_EQ(PanelKeyResult::kOpen, 7002);
    EXPECT_EQ(PanelKeyResult::kLibraryError, 7007);
    EXPECT_EQ(EraseResult::kRead, 505);
    EXPECT_EQ(IntervalResult::kOpen, 600);
    EXPECT_TRUE(IntervalResult::isInvalidInput(IntervalResult::kZeroInterval));
    EXPECT_FALSE(IntervalResult::isInvalidInput(IntervalResult::kReplyCheck));
    EXPECT_EQ(CalibrationResult::kSecondOpen, CalibrationResult::kReplyCheck);
}

} // namespace
