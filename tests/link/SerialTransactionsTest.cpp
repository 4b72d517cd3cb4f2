#include "SerialRig.h"

#include "link/SerialMeterLink.h"
#include "link/SerialPortList.h"
#include "link/SerialTransactions.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace thermo4::link {
namespace {

using test::SerialRig;

TEST(IdentifySerial, AcceptsOnlyTheModelCodeAndWaitsOnlyForTheReply) {
    struct Case {
        const char* name;
        std::string model;
        bool answers;
        bool expected;
        std::int64_t tickAfter; // a paced 32-byte reply behind a 7-byte command: 39 byte times
    };
    const Case cases[] = {
        {"meter", "418", true, true, 41},
        {"another model", "419", true, false, 41},
        {"silent", "418", false, false, 500},
    };
    for (const Case& c : cases) {
        SerialRig rig;
        rig.pace();
        rig.meter.setModel(c.model);
        if (!c.answers) {
            rig.line.setReplyFilter([](char, std::vector<std::uint8_t>& reply) { reply.clear(); });
        }
        auto s = rig.exchange();
        EXPECT_EQ(IdentifySerial(s, rig.reply), c.expected) << c.name;
        EXPECT_EQ(rig.clock.tickMs(), c.tickAfter) << c.name;
        EXPECT_EQ(rig.letters(), "K") << c.name;
    }
}

TEST(IdentifySerial, ReadsEverythingWaitingAndKeepsTheFirst64Bytes) {
    SerialRig rig;
    rig.line.setReplyFilter([](char, std::vector<std::uint8_t>& reply) { reply.resize(100, 0xAA); });
    auto s = rig.exchange();
    EXPECT_EQ(IdentifySerialReply(s, rig.reply), 100u);
    EXPECT_EQ(rig.port.inputCount(), 0u);
    EXPECT_EQ(rig.reply[63], 0xAA);
    EXPECT_TRUE(core::ReplyHasModelCode(rig.reply));
}

/// One live read after the meter's reply to "A" went through shape.
struct LiveCase {
    const char* name;
    void (*shape)(std::vector<std::uint8_t>&);
    bool expected;
};

TEST(ReadLiveFrameSerial, ChecksMarkersAndChecksumOfTheFirst64Bytes) {
    const LiveCase cases[] = {
        {"as sent", [](std::vector<std::uint8_t>&) {}, true},
        {"70 bytes", [](std::vector<std::uint8_t>& r) { r.insert(r.end(), 6, 0x55); }, true},
        {"sum one off", [](std::vector<std::uint8_t>& r) { ++r[62]; }, false},
        {"end byte", [](std::vector<std::uint8_t>& r) { r[63] = 0x04; }, false},
        {"start byte", [](std::vector<std::uint8_t>& r) { r[0] = 0x00; }, false},
        {"nothing", [](std::vector<std::uint8_t>& r) { r.clear(); }, false},
    };
    for (const LiveCase& c : cases) {
        SerialRig rig;
        rig.line.setReplyFilter([&c](char, std::vector<std::uint8_t>& r) { c.shape(r); });
        auto s = rig.exchange();
        EXPECT_EQ(ReadLiveFrameSerial(s, rig.reply), c.expected) << c.name;
        EXPECT_EQ(rig.port.inputCount(), 0u) << c.name << ": whatever came was read";
        EXPECT_EQ(rig.clock.waitedMs(), 200) << c.name;
    }
}

TEST(ReadLiveFrameSerial, A63ByteReplyStaysQueuedAndSpoilsOnlyTheNextRead) {
    SerialRig rig;
    int replies = 0;
    rig.line.setReplyFilter([&replies](char, std::vector<std::uint8_t>& r) {
        if (++replies == 1) {
            r.resize(63);
        }
    });
    auto s = rig.exchange();
    EXPECT_FALSE(ReadLiveFrameSerial(s, rig.reply));
    EXPECT_EQ(rig.port.inputCount(), 63u) << "not read";
    EXPECT_FALSE(ReadLiveFrameSerial(s, rig.reply)) << "63 old bytes in front of the new frame";
    EXPECT_EQ(rig.port.inputCount(), 0u);
    EXPECT_TRUE(ReadLiveFrameSerial(s, rig.reply));
    EXPECT_EQ(rig.reply[0], 0x02);
}

TEST(ReadLiveFrameSerial, FailsOnAPortThatWentAway) {
    SerialRig rig;
    rig.port.detach(SerialRig::kDevice);
    auto s = rig.exchange();
    EXPECT_FALSE(ReadLiveFrameSerial(s, rig.reply));
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(SerialFrames, EveryCommandIsAFrameWithZeroParameters) {
    SerialRig rig;
    auto s = rig.exchange();
    IdentifySerial(s, rig.reply);
    ReadLiveFrameSerial(s, rig.reply);
    const auto& bytes = rig.port.written();
    ASSERT_EQ(bytes.size(), 14u);
    const std::vector<std::uint8_t> expected{0x02, 'K', 0, 0, 0, 0, 0x03, 0x02, 'A', 0, 0, 0, 0, 0x03};
    EXPECT_EQ(bytes, expected);
}

/// Three devices on a manual clock: one that cannot be opened, one silent, one meter.
struct SearchRig : SerialRig {
    SearchRig() : SerialRig(false) {}

    sim::VirtualMeter other{clock};
    std::vector<std::pair<int, QString>> calls;

    std::optional<int> search(const QStringList& ports) {
        SerialMeterLink link(port, clock);
        return link.search(ports, reply,
                           [this](int index, const QString& title) { calls.emplace_back(index, title); });
    }
};

TEST(SearchSerialPorts, TriesEachPortInTurnAndStaysOnTheOneThatAnswered) {
    SearchRig rig;
    rig.port.attach(QStringLiteral("/dev/ttyUSB0"), rig.other)
        .setReplyFilter([](char, std::vector<std::uint8_t>& r) { r.resize(20); });
    const QStringList ports{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0"), SerialRig::kDevice};

    EXPECT_EQ(rig.search(ports), 2);
    EXPECT_EQ(rig.port.opened(), ports);
    ASSERT_EQ(rig.calls.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rig.calls[static_cast<std::size_t>(i)].first, i);
        EXPECT_EQ(rig.calls[static_cast<std::size_t>(i)].second, "Searching on " + ports[i]);
    }
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(rig.port.deviceName(), SerialRig::kDevice);
    // 100 + 100 ms a pass, and the half second the short answer was awaited.
    EXPECT_EQ(rig.clock.tickMs(), 3 * 202 + 500);
}

TEST(SearchSerialPorts, APortWithAnotherModelIsTriedAgainAndCanUseUpThePasses) {
    SearchRig rig;
    rig.other.setModel("419");
    rig.port.attach(QStringLiteral("/dev/rfcomm1"), rig.other);
    const QStringList ports{QStringLiteral("/dev/rfcomm1"), SerialRig::kDevice};

    EXPECT_EQ(rig.search(ports), std::nullopt);
    EXPECT_EQ(rig.port.opened(), (QStringList{ports[0], ports[0]}));
    EXPECT_FALSE(rig.port.isOpen());

    SearchRig three;
    three.other.setModel("419");
    three.port.attach(QStringLiteral("/dev/rfcomm1"), three.other);
    const QStringList more{QStringLiteral("/dev/ttyS9"), QStringLiteral("/dev/rfcomm1"), SerialRig::kDevice};
    EXPECT_EQ(three.search(more), std::nullopt) << "the other model holds the last two passes";
    EXPECT_EQ(three.port.opened(), (QStringList{more[0], more[1], more[1]}));
}

TEST(SearchSerialPorts, NothingToSearchEndsAtOnce) {
    SearchRig rig;
    EXPECT_EQ(rig.search({}), std::nullopt);
    EXPECT_EQ(rig.clock.tickMs(), 0);
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(SerialMeterLink, ConnectingToATypedNameThatIsNoDeviceFails) {
    SerialRig rig;
    SerialMeterLink link(rig.port, rig.clock);
    EXPECT_FALSE(link.connectTo(QStringLiteral("/dev/ttyNOPE"), rig.reply));
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_TRUE(rig.port.errorString().contains("/dev/ttyNOPE"));
    EXPECT_TRUE(link.connectTo(SerialRig::kDevice, rig.reply));
    EXPECT_TRUE(link.readLiveFrame(rig.reply));
    link.disconnect();
    EXPECT_FALSE(rig.port.isOpen());
}

TEST(OrderSerialPorts, BluetoothFirstThenUsbAdaptersThenTheRestNumbersAsNumbers) {
    const QStringList given{"/dev/ttyS10",  "/dev/ttyS2",    "/dev/ttyACM0",
                            "/dev/rfcomm1", "/dev/ttyUSB10", "/dev/ttyUSB9",
                            "/dev/rfcomm0", "/dev/ttyS2",    "",
                            "/dev/ttyAMA0"};
    const QStringList expected{"/dev/rfcomm0", "/dev/rfcomm1", "/dev/ttyUSB9", "/dev/ttyUSB10",
                               "/dev/ttyACM0", "/dev/ttyAMA0", "/dev/ttyS2",   "/dev/ttyS10"};
    EXPECT_EQ(OrderSerialPorts(given), expected);
    QStringList reversed = given;
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(OrderSerialPorts(reversed), expected);
}

} // namespace
} // namespace thermo4::link
