#include "SimRig.h"

#include "link/LinkGuard.h"
#include "link/MeterPoller.h"
#include "sim/LiveFrameEncoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::link {
namespace {

using test::SimRig;

/// The rig with a poller; tick() runs one poll tick and then lets 500 ms pass.
struct PollRig : SimRig {
    MeterPoller poller{state, usbLink, clock};

    PollResult tick() {
        const PollResult result = poller.tick();
        clock.advance(500);
        return result;
    }
    void connect() { ASSERT_EQ(tick().event, PollEvent::Connected); }
};

TEST(MeterPoller, IdentifiesOverUsbThenReadsFromTheNextTick) {
    PollRig rig;
    rig.meter.setFixedCelsius(0, 25.3);

    const PollResult first = rig.tick();
    EXPECT_EQ(first.event, PollEvent::Connected);
    EXPECT_TRUE(rig.state.connected());
    EXPECT_TRUE(rig.state.usbLink());
    EXPECT_FALSE(rig.state.serialLink());
    EXPECT_EQ(rig.letters(), "K") << "a meter identified in a tick is first read at the next";

    const PollResult second = rig.tick();
    EXPECT_EQ(second.event, PollEvent::FrameDecoded);
    EXPECT_TRUE(second.refreshPanel);
    EXPECT_EQ(rig.letters(), "KA");
    EXPECT_NEAR(rig.state.meterStatus.reading[0], 25.3, 0.05);
    EXPECT_FALSE(rig.state.pollBusy);
}

TEST(MeterPoller, AnotherModelCodeNeverConnects) {
    for (const char* model : {"419", "41", "", "814"}) {
        PollRig rig;
        rig.meter.setModel(model);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(rig.tick().event, PollEvent::IdentifyFailed) << model;
        }
        EXPECT_FALSE(rig.state.connected()) << model;
        EXPECT_EQ(rig.letters(), "KKKKK") << model;
    }
}

TEST(MeterPoller, ThreeFailedReadsInARowEndTheConnection) {
    struct Case {
        const char* name;
        std::set<int> failingReads; // numbers of the "A" commands
        std::vector<PollEvent> expected;
        bool connectedAfter;
    };
    const auto F = PollEvent::ReadFailed;
    const auto D = PollEvent::FrameDecoded;
    const auto L = PollEvent::ConnectionLost;
    const Case cases[] = {
        {"two then a good one", {1, 2}, {F, F, D}, true},
        {"three in a row", {1, 2, 3}, {F, F, L}, false},
        {"two, good, two: never three in a row", {1, 2, 4, 5}, {F, F, D, F, F, D}, true},
        {"good, then three", {2, 3, 4}, {D, F, F, L}, false},
    };
    for (const Case& c : cases) {
        PollRig rig;
        rig.connect();
        rig.meter.faults().failLiveReads = c.failingReads;
        rig.state.meterStatus.recBlink = true;
        rig.state.meterStatus.statsBlink = true;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(rig.tick().event, c.expected[i]) << c.name << ", tick " << i;
        }
        EXPECT_EQ(rig.state.connected(), c.connectedAfter) << c.name;
        if (!c.connectedAfter) {
            EXPECT_FALSE(rig.state.usbLink()) << c.name;
            EXPECT_EQ(rig.state.lostFrames, 0) << c.name;
            EXPECT_FALSE(rig.state.meterStatus.recBlink) << c.name << ": nothing keeps blinking";
            EXPECT_FALSE(rig.state.meterStatus.statsBlink) << c.name;
            EXPECT_EQ(rig.tick().event, PollEvent::Connected) << c.name << ": the poll finds the meter again";
        }
    }
}

TEST(MeterPoller, AFrameWithAWrongStartOrEndByteCountsAsReadButIsIgnored) {
    sim::DisplayState display;
    display.tenths = {123, 0, 0, 0};
    const sim::LiveFrame good = sim::EncodeLiveFrame(display);
    sim::LiveFrame badStart = good;
    badStart[0] = 0x00;
    sim::LiveFrame badEnd = good;
    badEnd[63] = 0x02;

    PollRig rig;
    rig.connect();
    rig.meter.setLiveFrames({badStart, badEnd, good});
    rig.meter.faults().failLiveReads = {1, 2};
    EXPECT_EQ(rig.tick().event, PollEvent::ReadFailed);
    EXPECT_EQ(rig.tick().event, PollEvent::ReadFailed);
    EXPECT_EQ(rig.state.lostFrames, 2);
    EXPECT_EQ(rig.tick().event, PollEvent::FrameDropped);
    EXPECT_EQ(rig.state.lostFrames, 0);
    EXPECT_EQ(rig.tick().event, PollEvent::FrameDropped);
    EXPECT_EQ(rig.state.meterStatus.reading[0], 0.0F) << "a dropped frame is not decoded";
    EXPECT_EQ(rig.tick().event, PollEvent::FrameDecoded);
    EXPECT_NEAR(rig.state.meterStatus.reading[0], 12.3, 0.05);
    EXPECT_TRUE(rig.state.connected());
}

TEST(MeterPoller, AFrameWithoutSegmentsUpdatesTheStatusButNotThePanel) {
    sim::DisplayState display;
    display.tenths = {-52, 0, 0, 0};
    sim::LiveFrame blank = sim::EncodeLiveFrame(display);
    std::fill(blank.begin() + 40, blank.begin() + 60, std::uint8_t{0xFF});
    sim::LiveFrame oneSegment = blank;
    oneSegment[59] = 0xFE;

    PollRig rig;
    rig.connect();
    rig.meter.setLiveFrames({blank, oneSegment});
    const PollResult first = rig.tick();
    EXPECT_EQ(first.event, PollEvent::FrameDecoded);
    EXPECT_FALSE(first.refreshPanel);
    EXPECT_NEAR(rig.state.meterStatus.reading[0], -5.2, 0.05);
    EXPECT_TRUE(rig.tick().refreshPanel);
}

TEST(MeterPoller, StaysOffTheLinkWhileTheGuardIsHeld) {
    PollRig rig;
    LinkGuard guard;
    rig.poller.setLinkGuard(&guard);
    {
        auto hold = guard.hold();
        EXPECT_EQ(rig.tick().event, PollEvent::LinkBusy);
        EXPECT_EQ(rig.letters(), "");
    }
    EXPECT_EQ(rig.tick().event, PollEvent::Connected);
}

TEST(MeterPoller, PollBusyIsSetOnlyWhileTheTickRuns) {
    SimRig rig;
    test::ReportingTransport usb(rig.usb);
    std::vector<bool> busyAtOpen;
    usb.onOpen = [&] { busyAtOpen.push_back(rig.state.pollBusy); };
    UsbMeterLink usbLink(usb, rig.clock);
    MeterPoller poller(rig.state, usbLink, rig.clock);
    poller.tick();
    poller.tick();
    EXPECT_EQ(busyAtOpen, (std::vector<bool>{true, true}));
    EXPECT_FALSE(rig.state.pollBusy);
}

/// A link that answers every live read with one fixed frame.
class FixedFrameLink : public MeterLink {
public:
    explicit FixedFrameLink(const sim::LiveFrame& frame) : m_frame(frame) {}
    LinkKind kind() const override { return LinkKind::Serial; }
    bool identify(ReplyBuffer&) override { return false; }
    bool readLiveFrame(ReplyBuffer& reply) override {
        ++reads;
        std::copy(m_frame.begin(), m_frame.end(), reply.begin());
        return true;
    }
    core::LinkResult download(core::MemoryImage&, DownloadProgress*) override { return -1; }
    int reads = 0;

private:
    sim::LiveFrame m_frame;
};

TEST(MeterPoller, TheSerialLinkReadsOverItsOwnLink) {
    PollRig rig;
    FixedFrameLink serial(sim::EncodeLiveFrame(sim::DisplayState{}));
    rig.state.setCurrent(&serial);
    EXPECT_TRUE(rig.state.serialLink());
    EXPECT_EQ(rig.tick().event, PollEvent::FrameDecoded);
    EXPECT_EQ(serial.reads, 1);
    EXPECT_EQ(rig.letters(), "") << "the USB link stays untouched";
}

} // namespace
} // namespace thermo4::link
