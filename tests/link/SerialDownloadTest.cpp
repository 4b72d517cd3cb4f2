#include "DownloadFixtures.h"
#include "SerialRig.h"

#include "link/SerialDownload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace thermo4::link {
namespace {

using test::BlockReply;
using test::ExpectedImage;
using test::PatternMemory;
using test::RecordingProgress;
using test::Repeat;

/// A serial download of a pattern memory (4096 bytes unless said otherwise).
struct SerialDownloadRig : test::SerialRig {
    core::MemoryImage image;
    RecordingProgress progress;

    explicit SerialDownloadRig(std::uint32_t endAddress = 4082) {
        meter.memory() = PatternMemory(endAddress);
    }
    core::LinkResult download() {
        auto s = exchange();
        return DownloadOverSerial(s, image, &progress);
    }
    std::vector<std::uint8_t> imageBytes() const { return {image.bytes().begin(), image.bytes().end()}; }
    std::vector<std::uint8_t> expected(int blocks) const { return ExpectedImage(meter.memory(), blocks); }
    /// Changes the meter's reply to the n-th command it answers with a block.
    void onBlockReply(int nth, std::function<void(std::vector<std::uint8_t>&)> change) {
        line.setReplyFilter([count = 0, nth, change](char letter, std::vector<std::uint8_t>& reply) mutable {
            if ((letter == 'P' || letter == 'p' || letter == 'n') && ++count == nth) {
                change(reply);
            }
        });
    }
};

const std::string kClean128 = "P" + Repeat("p", 128) + "Q";

TEST(DownloadOverSerial, CleanTransferOnAPacedLine) {
    // Paced, every block trickles in byte by byte: the first wait must hold out
    // for the whole block, not give up when the first bytes are there.
    for (const bool paced : {false, true}) {
        SerialDownloadRig rig;
        if (paced) {
            rig.pace();
        }
        ASSERT_EQ(rig.download(), core::DownloadResult::kOk) << paced;
        EXPECT_TRUE(rig.imageBytes() == rig.expected(128)) << paced;
        EXPECT_EQ(rig.letters(), kClean128) << paced;
        EXPECT_EQ(rig.progress.totals, (std::vector<std::int32_t>{4096}));
        ASSERT_EQ(rig.progress.received.size(), 127u);
        EXPECT_EQ(rig.progress.received.back(), 4096);
        EXPECT_EQ(rig.progress.finishedCalls, 1);
    }
}

TEST(DownloadOverSerial, PacedTransferTakesTheLineTimeOfItsBytes) {
    SerialDownloadRig rig(255); // 8 blocks
    rig.pace();
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    // 8 exchanges of 7 + 36 bytes at 1.042 ms a byte (44.8 ms, over by the first
    // whole millisecond); the reply to the last "p" is not awaited.
    EXPECT_EQ(rig.clock.tickMs(), 8 * 45);
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 8) + "Q");
}

TEST(DownloadOverSerial, ARefusedBlockIsAskedForAgainAndTheImageIsAsIfClean) {
    struct Case {
        const char* name;
        void (*spoil)(std::vector<std::uint8_t>&);
        std::int64_t atLeastMs; // a partial reply is given up only after 1.5 s
    };
    const Case cases[] = {
        {"wrong sum", [](std::vector<std::uint8_t>& r) { ++r[34]; }, 0},
        {"cut short", [](std::vector<std::uint8_t>& r) { r.resize(20); }, 1501},
        {"four bytes too many", [](std::vector<std::uint8_t>& r) { r.resize(40, 0x77); }, -1},
    };
    for (const Case& c : cases) {
        SerialDownloadRig rig;
        rig.onBlockReply(7, c.spoil);
        ASSERT_EQ(rig.download(), core::DownloadResult::kOk) << c.name;
        EXPECT_TRUE(rig.imageBytes() == rig.expected(128)) << c.name;
        if (c.atLeastMs < 0) {
            EXPECT_EQ(rig.letters(), kClean128) << c.name << ": the extra bytes go with the read";
            continue;
        }
        EXPECT_EQ(rig.letters(), "P" + Repeat("p", 6) + "n" + Repeat("p", 122) + "Q") << c.name;
        EXPECT_GE(rig.clock.tickMs(), c.atLeastMs) << c.name;
        EXPECT_LT(rig.clock.tickMs(), c.atLeastMs + 100) << c.name;
    }
}

TEST(DownloadOverSerial, TheSameBlocksFromTheMeterFaultsOfAScenario) {
    SerialDownloadRig rig;
    rig.meter.faults().badChecksumBlocks = {7};
    rig.meter.faults().cutShortBlocks = {9};
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(128));
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 6) + "n" + "pp" + "n" + Repeat("p", 120) + "Q");
}

TEST(DownloadOverSerial, ABlockOutOfOrderIsRefusedNotAppended) {
    SerialDownloadRig rig;
    // The meter's reply to the request for block 5 carries block 6; "n" brings 5.
    const sim::LoggerMemory memory = rig.meter.memory();
    rig.onBlockReply(5, [&memory](std::vector<std::uint8_t>& r) { r = BlockReply(memory, 6); });
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(128));
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 4) + "n" + Repeat("p", 124) + "Q");
}

TEST(DownloadOverSerial, AMeterThatSkippedABlockGivesUpInsteadOfShiftingTheImage) {
    SerialDownloadRig rig;
    // Block 5 is lost and counted as sent: the meter never offers it again.
    rig.meter.faults().failBlockReads = {5};
    rig.meter.faults().resendFailedBlockOnRetry = true;
    EXPECT_EQ(rig.download(), core::DownloadResult::kIncomplete);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(4));
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 4) + "p" + Repeat("n", 21) + "qQ");
}

TEST(DownloadOverSerial, MoreThan20RefusalsInARowEndWithqThenQ) {
    SerialDownloadRig rig;
    rig.line.setReplyFilter([](char letter, std::vector<std::uint8_t>& r) {
        if (letter != 'P') {
            ++r[34];
        }
    });
    EXPECT_EQ(rig.download(), core::DownloadResult::kIncomplete);
    EXPECT_EQ(rig.letters(), "Pp" + Repeat("n", 21) + "qQ");
    EXPECT_TRUE(rig.imageBytes() == rig.expected(1));
    EXPECT_EQ(rig.progress.finishedCalls, 1);
}

TEST(DownloadOverSerial, NoAnswerAtAllIsCode9AfterThreeRequests3sApart) {
    SerialDownloadRig rig;
    rig.line.setReplyFilter([](char, std::vector<std::uint8_t>& r) { r.clear(); });
    EXPECT_EQ(rig.download(), core::DownloadResult::kNoFirstBlock);
    EXPECT_EQ(rig.letters(), "PPP");
    EXPECT_EQ(rig.clock.tickMs(), 9000);
    EXPECT_TRUE(rig.image.isEmpty());
    EXPECT_TRUE(rig.progress.totals.empty());
    EXPECT_EQ(rig.progress.finishedCalls, 1);
}

TEST(DownloadOverSerial, AFirstBlockThatIsWrongIsAskedForWithPAgain) {
    struct Case {
        const char* name;
        void (*spoil)(std::vector<std::uint8_t>&);
    };
    const Case cases[] = {
        {"sum", [](std::vector<std::uint8_t>& r) { ++r[34]; }},
        {"end marker", [](std::vector<std::uint8_t>& r) { r[35] = 0; }},
        {"block number", [](std::vector<std::uint8_t>& r) { r[33] = 2; }},
        {"short", [](std::vector<std::uint8_t>& r) { r.resize(35); }},
    };
    for (const Case& c : cases) {
        SerialDownloadRig rig;
        rig.onBlockReply(1, c.spoil);
        ASSERT_EQ(rig.download(), core::DownloadResult::kOk) << c.name;
        EXPECT_EQ(rig.letters(), "P" + kClean128) << c.name;
        EXPECT_TRUE(rig.imageBytes() == rig.expected(128)) << c.name;
    }
}

TEST(DownloadOverSerial, AStallMidTransferEndsWithQAndCode3) {
    SerialDownloadRig rig;
    rig.meter.faults().stallAfterBlock = 10;
    EXPECT_EQ(rig.download(), core::DownloadResult::kIncomplete);
    // After block 10, "p" is sent ten times 5 s apart, then 5 s without progress.
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 9) + Repeat("p", 10) + "Q");
    EXPECT_TRUE(rig.imageBytes() == rig.expected(10));
    EXPECT_EQ(rig.clock.tickMs(), 10 * 5000 + 5000);
}

TEST(DownloadOverSerial, ACancelDuringAStallEndsTheWaitAndTheTransferWithQ) {
    SerialDownloadRig rig;
    rig.meter.faults().stallAfterBlock = 10;
    // Cancel comes 1 s into the 5 s wait for the answer to the third "p".
    std::int64_t cancelAt = -1;
    std::int32_t shownWhileWaiting = 0;
    rig.clock.addListener([&rig, &cancelAt, &shownWhileWaiting](std::int64_t tick) {
        if (cancelAt < 0 && rig.progress.waits.size() == 2) {
            cancelAt = tick + 1000;
            shownWhileWaiting = rig.progress.received.back();
        }
        rig.progress.cancel = cancelAt >= 0 && tick >= cancelAt;
    });
    EXPECT_EQ(rig.download(), core::DownloadResult::kCancelled);
    EXPECT_EQ(rig.progress.waits, (std::vector<std::string>{"2/10", "3/10"}));
    EXPECT_EQ(shownWhileWaiting, 10 * 32) << "the blocks held are shown while the next is awaited";
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 9) + Repeat("p", 3) + "Q");
    EXPECT_LE(rig.clock.tickMs(), cancelAt + 100) << "within the wait, not at its end";
    EXPECT_TRUE(rig.imageBytes() == rig.expected(10));
    EXPECT_EQ(rig.progress.finishedCalls, 1);

    // A meter that never sends the first block is waited for as well, and can be left.
    SerialDownloadRig silent;
    silent.line.setReplyFilter([](char, std::vector<std::uint8_t>& r) { r.clear(); });
    silent.progress.cancelAtWait = 1;
    EXPECT_EQ(silent.download(), core::DownloadResult::kCancelled);
    EXPECT_EQ(silent.progress.waits, std::vector<std::string>{"2/3"});
    EXPECT_EQ(silent.letters(), "PQ");
}

TEST(DownloadOverSerial, APortThatGoesAwayEndsTheTransferAtOnce) {
    SerialDownloadRig rig;
    rig.meter.faults().stallAfterBlock = 10;
    rig.clock.addListener([&rig](std::int64_t tick) {
        if (tick >= 1000) {
            rig.port.detach(test::SerialRig::kDevice);
        }
    });
    EXPECT_EQ(rig.download(), core::DownloadResult::kIncomplete);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(10));
    EXPECT_LT(rig.clock.tickMs(), 5001) << "no 55 s of requests into a closed port";
}

TEST(DownloadOverSerial, Only260WaitingBytesAreReadAtOnce) {
    SerialDownloadRig rig;
    // 300 stray bytes behind block 3: one read takes block 3 and 224 of them,
    // the other 76 stand in front of block 4, which is refused and asked for again.
    rig.onBlockReply(3, [](std::vector<std::uint8_t>& r) { r.resize(36 + 300, 0x11); });
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    EXPECT_EQ(rig.letters(), "Ppppn" + Repeat("p", 125) + "Q");
    EXPECT_TRUE(rig.imageBytes() == rig.expected(128));
}

TEST(DownloadOverSerial, TransferSizeFollowsTheHeader) {
    struct Case {
        std::uint32_t endAddress;
        int blocks;
    };
    for (const Case c : {Case{255, 8}, Case{4082, 128}, Case{0, 8192}}) {
        SerialDownloadRig rig(c.endAddress);
        ASSERT_EQ(rig.download(), core::DownloadResult::kOk) << c.endAddress;
        EXPECT_EQ(rig.image.size(), static_cast<std::size_t>(c.blocks) * 32) << c.endAddress;
    }
}

} // namespace
} // namespace thermo4::link
