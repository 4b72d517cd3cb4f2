#include "DownloadFixtures.h"
#include "SimRig.h"

#include "link/DownloadBlocks.h"
#include "link/UsbDownload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace thermo4::link {
namespace {

using test::ExpectedImage;
using test::PatternMemory;
using test::RecordingProgress;
using test::Repeat;
using test::SimRig;

struct DownloadRig : SimRig {
    core::MemoryImage image;
    RecordingProgress progress;

    explicit DownloadRig(std::uint32_t endAddress) { meter.memory() = PatternMemory(endAddress); }
    core::LinkResult download() {
        auto s = exchange();
        return DownloadOverUsb(s, image, &progress);
    }
    std::vector<std::uint8_t> imageBytes() const { return {image.bytes().begin(), image.bytes().end()}; }
    std::vector<std::uint8_t> expected(int blocks) const { return ExpectedImage(meter.memory(), blocks); }
    /// Block number carried by the n-th frame the meter received (bytes 2, 3).
    int blockAsked(std::size_t n) const {
        const auto& f = meter.received().at(n).bytes;
        return f[2] * 256 + f[3];
    }
};

TEST(TransferSize, BelievesTheHeaderOnlyBetween256And262144Bytes) {
    struct Case {
        std::uint32_t endAddress;
        std::int32_t expected;
    };
    const Case cases[] = {
        {4082, 4096}, {255, 256},   {254, 262144},    {0, 262144},      {300, 320},
        {4095, 4096}, {4096, 4128}, {262143, 262144}, {262144, 262144}, {0xFFFFFF, 262144},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TransferSize(c.endAddress), c.expected) << "end address " << c.endAddress;
    }
}

TEST(DownloadOverUsb, CleanTransferAsksOneBlockAfterTheOther) {
    struct Case {
        std::uint32_t endAddress;
        int blocks;
    };
    for (const Case c : {Case{4082, 128}, Case{0, 8192}, Case{300000, 8192}, Case{255, 8}}) {
        DownloadRig rig(c.endAddress);
        ASSERT_EQ(rig.download(), core::DownloadResult::kOk) << c.endAddress;
        EXPECT_EQ(rig.image.size(), static_cast<std::size_t>(c.blocks) * 32) << c.endAddress;
        EXPECT_TRUE(rig.imageBytes() == rig.expected(c.blocks)) << c.endAddress;
        EXPECT_EQ(rig.letters(), "P" + Repeat("p", c.blocks - 1) + "q") << c.endAddress;
        EXPECT_EQ(rig.blockAsked(0), 1);
        EXPECT_EQ(rig.progress.totals, (std::vector<std::int32_t>{c.blocks * 32}));
        ASSERT_EQ(rig.progress.received.size(), static_cast<std::size_t>(c.blocks - 1));
        EXPECT_EQ(rig.progress.received.front(), 64);
        EXPECT_EQ(rig.progress.received.back(), c.blocks * 32);
        EXPECT_EQ(rig.progress.finishedCalls, 1);
        EXPECT_EQ(rig.clock.waitedMs(), 100) << "one wait before the first reply";
    }
}

TEST(DownloadOverUsb, AFailedReadIsRecoveredByRWithoutABlockTwice) {
    DownloadRig rig(255);
    rig.meter.faults().failBlockReads = {5};
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    EXPECT_EQ(rig.letters(), "Ppppp"
                             "r"
                             "pppp"
                             "q");
    EXPECT_TRUE(rig.imageBytes() == rig.expected(8));
    EXPECT_EQ(rig.clock.waitedMs(), 100 + 1000);
}

TEST(DownloadOverUsb, AStallAfterBlock10IsResumedByAAndTwoSeeksTo10) {
    DownloadRig rig(4082);
    rig.meter.faults().stallAfterBlock = 10;
    rig.usbLink.sequence() = 255; // left by the poll
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);

    const std::string mainPhase = "P" + Repeat("p", 9) + "p" + "r";
    EXPECT_EQ(rig.letters(), mainPhase + "APP" + Repeat("p", 118) + "q");
    const std::size_t a = mainPhase.size();
    EXPECT_EQ(rig.meter.received().at(a).bytes[5], 0) << "the sequence number goes on from the poll's";
    EXPECT_EQ(rig.blockAsked(a + 1), 10);
    EXPECT_EQ(rig.blockAsked(a + 2), 10);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(128));
    EXPECT_EQ(rig.progress.received.back(), 4096);
}

TEST(DownloadOverUsb, AMeterThatResendsTheFailedBlockOnRIsRepositionedNotShifted) {
    DownloadRig rig(255);
    rig.meter.faults().failBlockReads = {5};
    rig.meter.faults().resendFailedBlockOnRetry = true;
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    // The "p" after "r" brings block 6 where 5 is due: not appended; the resume
    // repositions at block 4 and reads 5 to 8.
    EXPECT_EQ(rig.letters(), "Ppppp"
                             "r"
                             "p"
                             "APP"
                             "pppp"
                             "q");
    EXPECT_EQ(rig.blockAsked(8), 4);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(8));
}

TEST(DownloadOverUsb, FailureBeforeTheFirstReplyLeavesTheImageEmpty) {
    struct Case {
        const char* name;
        void (*setUp)(SimRig&);
        core::LinkResult expected;
        const char* letters;
    };
    const Case cases[] = {
        {"no meter", [](SimRig& r) { r.usb.setPlugged(false); }, core::DownloadResult::kOpen, ""},
        {"time-outs", [](SimRig& r) { r.meter.faults().failTimeoutsAfter = 0; },
         core::DownloadResult::kTimeouts, ""},
        {"write P", [](SimRig& r) { r.meter.faults().failWrites = "P"; }, core::DownloadResult::kWriteStart,
         ""},
        {"read", [](SimRig& r) { r.meter.faults().failBlockReads = {1}; }, core::DownloadResult::kReadFirst,
         "P"},
        {"byte 35", [](SimRig& r) { r.meter.faults().badTrailerBlocks = {1}; },
         core::DownloadResult::kBadMarker, "P"},
    };
    for (const Case& c : cases) {
        DownloadRig rig(4082);
        c.setUp(rig);
        EXPECT_EQ(rig.download(), c.expected) << c.name;
        EXPECT_TRUE(rig.image.isEmpty()) << c.name;
        EXPECT_EQ(rig.letters(), c.letters) << c.name << ": no resume is tried";
        EXPECT_TRUE(rig.progress.totals.empty()) << c.name;
        EXPECT_EQ(rig.progress.finishedCalls, 1) << c.name;
    }
}

TEST(DownloadOverUsb, AThrowingTransportIsAFailedRead) {
    DownloadRig rig(4082);
    test::ReportingTransport usb(rig.usb);
    usb.throwOnRead = true;
    UsbMeterLink link(usb, rig.clock);
    auto s = link.exchange(rig.state.reply);
    EXPECT_EQ(DownloadOverUsb(s, rig.image, nullptr), core::DownloadResult::kReadFirst);
    EXPECT_TRUE(rig.image.isEmpty());
}

TEST(DownloadOverUsb, FiveResumeAttemptsWithoutABlockReturnTheLastCode) {
    struct Case {
        const char* name;
        void (*setUp)(sim::MeterFaults&);
        core::LinkResult expected;
        std::string resumeLetters; // after the first block or the main phase
    };
    const std::string mainTo10 = "P" + Repeat("p", 9) + "p" + "r";
    const Case cases[] = {
        {"no block after 10", [](sim::MeterFaults& f) { f.deadAfterBlock = 10; },
         core::DownloadResult::kResumeRead, mainTo10 + Repeat("APPp", 5)},
        {"seek answers another block",
         [](sim::MeterFaults& f) {
             f.deadAfterBlock = 10;
             f.seekAnswersWrongBlock = true;
         },
         core::DownloadResult::kResumeSeek, mainTo10 + Repeat("APP", 5)},
        // A failed "p" write closes the device, so the next "A" cannot go out.
        {"p never written", [](sim::MeterFaults& f) { f.failWrites = "p"; },
         core::DownloadResult::kResumeWrite, "P" + Repeat("PP", 5)},
    };
    for (const Case& c : cases) {
        DownloadRig rig(4082);
        c.setUp(rig.meter.faults());
        EXPECT_EQ(rig.download(), c.expected) << c.name;
        EXPECT_EQ(rig.letters(), c.resumeLetters) << c.name;
        const std::size_t held = c.expected == core::DownloadResult::kResumeWrite ? 1 : 10;
        EXPECT_EQ(rig.image.size(), held * 32) << c.name << ": the blocks before the failure stay";
    }
}

TEST(DownloadOverUsb, ACancelWhileTheMeterIsWaitedForEndsTheTransferWithq) {
    DownloadRig rig(4082);
    rig.meter.faults().deadAfterBlock = 10;
    rig.progress.cancelAtWait = 2;
    EXPECT_EQ(rig.download(), core::DownloadResult::kCancelled);
    EXPECT_EQ(rig.progress.waits, (std::vector<std::string>{"1/5", "2/5"}));
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 10) + "r" + "APPp" + "q");
    EXPECT_TRUE(rig.imageBytes() == rig.expected(10));
    EXPECT_EQ(rig.progress.finishedCalls, 1);
}

TEST(DownloadOverUsb, AResumeThatDeliversABlockStartsTheCountAgain) {
    DownloadRig rig(4082);
    // "r" cannot go out, so block 5's failure ends the main phase; six more
    // failures in the resume would exhaust five attempts if none were reset.
    rig.meter.faults().failWrites = "r";
    rig.meter.faults().failBlockReads = {5, 7, 9, 11, 13, 15, 17};
    ASSERT_EQ(rig.download(), core::DownloadResult::kOk);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(128));
    const std::string letters = rig.letters();
    EXPECT_EQ(std::count(letters.begin(), letters.end(), 'A'), 6);
    EXPECT_EQ(letters.back(), 'q');
}

TEST(DownloadOverUsb, AFailedEndWriteAfterEveryBlockIsCode125) {
    DownloadRig rig(255);
    rig.meter.faults().failWrites = "q";
    EXPECT_EQ(rig.download(), core::DownloadResult::kEndWriteFailed);
    EXPECT_TRUE(rig.imageBytes() == rig.expected(8));
    EXPECT_EQ(rig.letters(), "P" + Repeat("p", 7)) << "no resume: everything arrived";
}

TEST(SeekBlockUsb, CodesNameTheFailedStep) {
    struct Case {
        const char* name;
        void (*setUp)(SimRig&);
        core::LinkResult expected;
    };
    const Case cases[] = {
        {"answered", [](SimRig&) {}, core::DownloadResult::kOk},
        {"no meter", [](SimRig& r) { r.usb.setPlugged(false); }, core::DownloadResult::kOpen},
        {"time-outs", [](SimRig& r) { r.meter.faults().failTimeoutsAfter = 0; },
         core::DownloadResult::kTimeouts},
        {"write", [](SimRig& r) { r.meter.faults().failWrites = "P"; }, core::DownloadResult::kWriteStart},
        {"read", [](SimRig& r) { r.meter.faults().failBlockReads = {300}; },
         core::DownloadResult::kReadFirst},
        {"byte 35", [](SimRig& r) { r.meter.faults().badTrailerBlocks = {300}; },
         core::DownloadResult::kBadMarker},
        {"other block", [](SimRig& r) { r.meter.faults().seekAnswersWrongBlock = true; },
         core::DownloadResult::kWrongBlock},
    };
    for (const Case& c : cases) {
        DownloadRig rig(0);
        c.setUp(rig);
        auto s = rig.exchange();
        EXPECT_EQ(SeekBlockUsb(s, 300), c.expected) << c.name;
        if (c.expected == core::DownloadResult::kOk) {
            EXPECT_EQ(rig.blockAsked(0), 300);
            EXPECT_EQ(rig.state.reply[32], 1);
            EXPECT_EQ(rig.state.reply[33], 44);
            EXPECT_EQ(rig.clock.waitedMs(), 300);
        }
    }
}

} // namespace
} // namespace thermo4::link
