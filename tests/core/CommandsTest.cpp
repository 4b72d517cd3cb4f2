#include "core/Commands.h"

#include <gtest/gtest.h>

#include <string>

using namespace thermo4::core;

namespace {

TEST(CommandCatalogue, LettersLinksAndReplies) {
    std::string letters;
    std::string serial;
    for (const CommandInfo& info : CommandCatalogue()) {
        letters += info.letter;
        serial += (info.links & kSerialLink) ? std::string(1, info.letter) : "";
        EXPECT_EQ(FindCommand(info.name), &info) << info.name; // names are unique
        EXPECT_EQ(info.replyLength == 0, info.check == ReplyCheck::None) << info.name;
        // Only the clock and the defaults send a data block.
        EXPECT_EQ(info.hasDataBlock, info.letter == kSetClock || info.letter == kDefaults) << info.name;
    }
    const std::string constants{
        kIdentify,    kLiveRead,    kLiveRead,   kHold,         kUnit,          kMaxMinAvg,    kMaxMinAvgExit,
        kRecord,      kRecall,      kMemory,     kBacklight,    kDownloadStart, kDownloadNext, kDownloadRetry,
        kRepeatBlock, kDownloadEnd, kAbort,      kReadInfo,     kSetClock,      kErase,        kInterval,
        kDefaults,    kEepromWrite, kEepromRead, kCalibration1, kCalibration2};
    EXPECT_EQ(letters, "KAAHCMNERmBPprnqQXteIsWrYZ");
    EXPECT_EQ(constants, letters);
    EXPECT_EQ(serial, "KAPpnqQ");
    EXPECT_EQ(FindCommand("liveRead")->replyLength, 64u);
    EXPECT_EQ(FindCommand("downloadResumeRead")->replyLength, 32u);
    EXPECT_EQ(FindCommand("eepromRead")->check, ReplyCheck::EchoFrame);
    EXPECT_EQ(FindCommand("downloadRetry")->replyLength, 36u);
}

TEST(ReplyChecks, EachCheckLooksAtItsOwnBytes) {
    CommandFrame frame;
    frame.setCommand(kEepromRead);
    std::array<std::uint8_t, 64> good{0x02, 'r', 'O', 'K'};
    good[23] = '4', good[24] = '1', good[25] = '8';
    good[28] = 'O', good[29] = 'K', good[30] = 'O', good[31] = 'K';
    good[35] = 5;
    good[63] = 0x03;
    good[34] = Checksum8(good, 0, 31);

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
    EXPECT_EQ(Checksum8(std::array<std::uint8_t, 3>{0xFF, 0x02, 0x07}, 0, 1), 0x01);
}

} // namespace
