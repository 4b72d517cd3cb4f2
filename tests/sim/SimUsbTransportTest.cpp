#include "sim/SimUsbTransport.h"
#include "core/CommandFrame.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <functional>

namespace thermo4::sim {
namespace {

class SimUsbTransportTest : public testing::Test {
protected:
    int open() { return usb.open(SimUsbTransport::kVendorId, SimUsbTransport::kProductId); }
    int write(char letter) {
        core::CommandFrame f;
        f.setCommand(letter);
        return usb.writeCommand(f.span());
    }
    int read(std::size_t n) {
        buffer.assign(n, 0xEE);
        return usb.read(buffer);
    }

    link::ManualClock clock;
    VirtualMeter meter{clock};
    SimUsbTransport usb{meter};
    std::vector<std::uint8_t> buffer;
};

TEST_F(SimUsbTransportTest, ReadServesTheReplyAtTheCallersLength) {
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(usb.setTimeouts(100, 100), 0);
    const LiveFrame expected = meter.liveFrame();
    ASSERT_EQ(write('A'), 0);
    ASSERT_EQ(usb.finishWrite(), 0);
    ASSERT_EQ(read(32), 0); // the download's dropped "A": cut to 32 bytes
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), expected.begin()));
    EXPECT_NE(read(32), 0); // a reply is served once

    ASSERT_EQ(write('K'), 0);
    ASSERT_EQ(read(64), 0); // a 32-byte reply read as 64: zero-padded
    EXPECT_EQ(buffer[25], '8');
    EXPECT_TRUE(std::all_of(buffer.begin() + 32, buffer.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(usb.readCount(), 2);
}

TEST_F(SimUsbTransportTest, NothingWorksUnpluggedOrUnopened) {
    EXPECT_NE(write('K'), 0); // not opened
    usb.setPlugged(false);
    EXPECT_NE(open(), 0);
    EXPECT_NE(usb.setTimeouts(100, 100), 0);
    EXPECT_NE(write('K'), 0);
    EXPECT_NE(usb.finishWrite(), 0);
    EXPECT_NE(read(32), 0);
    std::array<char, 32> serial{};
    EXPECT_NE(usb.serialNumber(serial), 0);
    EXPECT_TRUE(meter.received().empty());

    usb.setPlugged(true);
    EXPECT_NE(usb.open(0x1234, SimUsbTransport::kProductId), 0); // another device
    ASSERT_EQ(open(), 0);
    ASSERT_EQ(usb.serialNumber(serial), 0);
    EXPECT_STREQ(serial.data(), meter.serialNumber().c_str());
    std::array<char, 3> tiny{'x', 'x', 'x'};
    ASSERT_EQ(usb.serialNumber(tiny), 0); // cut, still zero-terminated
    EXPECT_EQ(tiny[2], '\0');
    EXPECT_NE(usb.writeCommand(std::vector<std::uint8_t>(6, 0x02)), 0); // not a 7-byte frame
    EXPECT_NE(usb.writeBlock(std::vector<std::uint8_t>(31, 0)), 0);
    EXPECT_EQ(usb.writeBlock(std::vector<std::uint8_t>(32, 0)), 0);
    EXPECT_EQ(meter.receivedLetters(), "#");
    usb.close();
    EXPECT_FALSE(usb.isOpen());
}

TEST_F(SimUsbTransportTest, LinkFaultsFailTheirStepOnly) {
    // A short session (open, time-outs, "K", read) must succeed this many times first.
    const struct {
        const char* name;
        std::function<void(MeterFaults&)> setUp;
        int goodSessions;
        const char* failingStep;
    } cases[] = {
        {"opens", [](MeterFaults& f) { f.failOpensAfter = 2; }, 2, "open"},
        {"time-outs", [](MeterFaults& f) { f.failTimeoutsAfter = 1; }, 1, "timeouts"},
        {"unplugged after reads", [](MeterFaults& f) { f.unplugAfterReads = 3; }, 3, "open"},
        {"writes of K", [](MeterFaults& f) { f.failWrites = "AK"; }, 0, "write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link::ManualClock otherClock;
        VirtualMeter m{otherClock};
        SimUsbTransport t{m};
        c.setUp(m.faults());
        core::CommandFrame k;
        k.setCommand('K');
        std::array<std::uint8_t, 32> reply{};
        const auto session = [&]() -> std::string {
            if (t.open(SimUsbTransport::kVendorId, SimUsbTransport::kProductId) != 0)
                return "open";
            if (t.setTimeouts(100, 100) != 0)
                return "timeouts";
            if (t.writeCommand(k.span()) != 0)
                return "write";
            if (t.read(reply) != 0)
                return "read";
            t.close();
            return "";
        };
        for (int i = 0; i < c.goodSessions && i < 5; ++i)
            EXPECT_EQ(session(), "") << "session " << i;
        EXPECT_EQ(session(), c.failingStep);
    }
}

TEST_F(SimUsbTransportTest, FailedLiveReadsAreCountedByTheirNumber) {
    meter.faults().failLiveReads = {2, 3};
    ASSERT_EQ(open(), 0);
    std::string results;
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(write('A'), 0);
        results += read(64) == 0 ? 'y' : 'n';
    }
    EXPECT_EQ(results, "ynnyy");
}

TEST_F(SimUsbTransportTest, MalformedFramesAndUnknownLettersGetNoAnswer) {
    ASSERT_EQ(open(), 0);
    for (const std::array<std::uint8_t, 7> f : {std::array<std::uint8_t, 7>{0x00, 'K', 0, 0, 0, 0, 0x03},
                                                std::array<std::uint8_t, 7>{0x02, 'K', 0, 0, 0, 0, 0x00}}) {
        ASSERT_EQ(usb.writeCommand(f), 0);
        EXPECT_NE(read(32), 0);
    }
    ASSERT_EQ(write('?'), 0); // a letter the meter does not know
    EXPECT_NE(read(32), 0);
    EXPECT_EQ(meter.received().size(), 3u); // all logged as received
}

} // namespace
} // namespace thermo4::sim
