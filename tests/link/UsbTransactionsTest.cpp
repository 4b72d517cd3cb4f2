#include "SimRig.h"

#include "core/LinkResult.h"
#include "link/UsbTransactions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace thermo4::link {
namespace {

using test::ReportingTransport;
using test::SimRig;
using test::Step;

TEST(IdentifyUsb, ReadsTheModelCodeAndKeepsTheFrameParameters) {
    SimRig rig;
    rig.meter.setModel("419");
    rig.usbLink.frame().bytes = {0x02, 'A', 9, 8, 7, 6, 0x03};
    auto exchange = rig.exchange();

    ASSERT_TRUE(IdentifyUsb(exchange, 'K'));
    EXPECT_EQ(rig.letters(), "K");
    EXPECT_EQ(rig.meter.received().at(0).bytes, (std::vector<std::uint8_t>{0x02, 'K', 9, 8, 7, 6, 0x03}));
    EXPECT_EQ(std::string(rig.state.reply.begin() + 23, rig.state.reply.begin() + 26), "419");
    EXPECT_FALSE(rig.usb.isOpen()) << "identify closes the device";
}

TEST(IdentifyUsb, FailsWithoutAMeterOrWithoutAReply) {
    SimRig rig;
    auto exchange = rig.exchange();
    rig.usb.setPlugged(false);
    EXPECT_FALSE(IdentifyUsb(exchange, 'K'));
    rig.usb.setPlugged(true);
    EXPECT_FALSE(IdentifyUsb(exchange, '?')) << "a letter the meter ignores gets no reply";
    EXPECT_FALSE(rig.usb.isOpen());
}

TEST(ReadLiveFrameUsb, CountsTheSequenceInByteFiveAndWrapsAfter255) {
    SimRig rig;
    rig.usbLink.frame().bytes = {0x02, 'P', 0x01, 0x2C, 0x55, 0, 0x03}; // left by a download
    rig.usbLink.sequence() = 253;
    auto exchange = rig.exchange();
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ReadLiveFrameUsb(exchange));
    }
    ASSERT_EQ(rig.letters(), "AAAA");
    const std::vector<std::uint8_t> expectedSequence{254, 255, 0, 1};
    for (std::size_t i = 0; i < expectedSequence.size(); ++i) {
        const auto& frame = rig.meter.received()[i].bytes;
        EXPECT_EQ(frame[5], expectedSequence[i]) << "read " << i;
        EXPECT_EQ((std::vector<std::uint8_t>(frame.begin() + 2, frame.begin() + 5)),
                  (std::vector<std::uint8_t>{0x01, 0x2C, 0x55}))
            << "bytes 2 to 4 keep what the last command left";
    }
    EXPECT_EQ(rig.usbLink.sequence(), 1);
    EXPECT_EQ(rig.state.reply[0], 0x02);
    EXPECT_EQ(rig.state.reply[63], 0x03);
    EXPECT_FALSE(rig.usb.isOpen());
}

TEST(ReadLiveFrameUsb, AFailedReadLeavesAClearedReplyAndAFailedOpenSendsNothing) {
    SimRig rig;
    rig.meter.faults().failLiveReads = {1};
    rig.state.reply.fill(0xAA);
    auto exchange = rig.exchange();
    EXPECT_FALSE(ReadLiveFrameUsb(exchange));
    EXPECT_TRUE(std::all_of(rig.state.reply.begin(), rig.state.reply.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(rig.usbLink.sequence(), 1);

    rig.usb.setPlugged(false);
    EXPECT_FALSE(ReadLiveFrameUsb(exchange));
    EXPECT_EQ(rig.letters(), "A");
    EXPECT_EQ(rig.usbLink.sequence(), 1) << "no frame went out, so no number was used";
}

TEST(PanelTransaction, CodeNamesTheStepThatFailed) {
    struct Case {
        const char* name;
        std::set<Step> failing;
        bool throwOnRead;
        bool spoilAcknowledge;
        core::LinkResult expected;
    };
    const Case cases[] = {
        {"every step works", {}, false, false, core::kLinkOk},
        {"open", {Step::Open}, false, false, core::PanelKeyResult::kOpen},
        {"time-outs", {Step::Timeouts}, false, false, core::PanelKeyResult::kTimeouts},
        {"write", {Step::Write}, false, false, core::PanelKeyResult::kWriteCommand},
        {"open and write: the later step wins",
         {Step::Open, Step::Write},
         false,
         false,
         core::PanelKeyResult::kWriteCommand},
        {"open and time-outs", {Step::Open, Step::Timeouts}, false, false, core::PanelKeyResult::kTimeouts},
        {"read beats every earlier step",
         {Step::Open, Step::Write, Step::Read},
         false,
         false,
         core::PanelKeyResult::kRead},
        {"no OK in bytes 2, 3", {}, false, true, core::PanelKeyResult::kReplyCheck},
        {"no OK beats an earlier failure", {Step::Open}, false, true, core::PanelKeyResult::kReplyCheck},
        {"the library raises an error", {}, true, false, core::PanelKeyResult::kLibraryError},
    };
    for (const Case& c : cases) {
        SimRig rig;
        ReportingTransport usb(rig.usb);
        usb.failing = c.failing;
        usb.throwOnRead = c.throwOnRead;
        usb.spoilAcknowledge = c.spoilAcknowledge;
        const core::CommandFrame frame{{0x02, 'H', 0, 0, 0, 0, 0x03}};
        EXPECT_EQ(PanelTransaction(usb, frame), c.expected) << c.name;
        EXPECT_EQ(rig.letters(), "H") << c.name << ": every step still runs";
        EXPECT_TRUE(rig.usb.isOpen()) << c.name << ": the panel leaves the device open";
    }
}

TEST(PanelTransaction, NoMeterAttachedFailsAtTheRead) {
    SimRig rig;
    rig.usb.setPlugged(false);
    const core::CommandFrame frame{{0x02, 'C', 0, 0, 0, 0, 0x03}};
    EXPECT_EQ(PanelTransaction(rig.usb, frame), core::PanelKeyResult::kRead);
    EXPECT_EQ(rig.letters(), "");
}

TEST(PollTransactions, ATransportThatThrowsReportsFailureAndClosesTheDevice) {
    SimRig rig;
    ReportingTransport usb(rig.usb);
    usb.throwOnRead = true;
    UsbMeterLink link(usb, rig.clock);
    auto exchange = link.exchange(rig.state.reply);
    EXPECT_FALSE(IdentifyUsb(exchange, 'K'));
    EXPECT_FALSE(rig.usb.isOpen());
    EXPECT_FALSE(ReadLiveFrameUsb(exchange));
    EXPECT_FALSE(rig.usb.isOpen());
}

} // namespace
} // namespace thermo4::link
