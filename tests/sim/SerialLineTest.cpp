#include "core/Commands.h"
#include "sim/SimSerialPort.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::sim {
namespace {

std::vector<std::uint8_t> Frame(char letter) {
    core::CommandFrame frame;
    frame.setCommand(letter);
    return {frame.bytes.begin(), frame.bytes.end()};
}

TEST(SerialMeterLine, FindsFramesHoweverSplitAndSkipsStrayBytes) {
    link::ManualClock clock;
    VirtualMeter meter{clock};
    SerialMeterLine line(meter);

    std::vector<std::uint8_t> stream{0x00, 0xFF, 0x02}; // noise, and a 0x02 that starts no frame
    for (const char letter : {'K', 'A', 'P', 'p', 'n', 'q', 'Q'}) {
        const auto f = Frame(letter);
        stream.insert(stream.end(), f.begin(), f.end());
    }
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < stream.size(); i += 5) { // 5-byte pieces: frames straddle them
        const auto piece = std::span(stream).subspan(i, std::min<std::size_t>(5, stream.size() - i));
        const auto reply = line.receive(piece);
        out.insert(out.end(), reply.begin(), reply.end());
    }
    EXPECT_EQ(meter.receivedLetters(), "KAPpnqQ");
    // 32 (K) + 64 (A) + three blocks of 36; "q" and "Q" are not answered.
    ASSERT_EQ(out.size(), 32u + 64u + 3 * 36u);
    EXPECT_TRUE(core::ReplyHasModelCode(std::span(out).first(32)));
    const auto live = std::span(out).subspan(32, 64);
    EXPECT_TRUE(core::LiveFrameMarkersOk(live));
    EXPECT_EQ(core::Checksum8(live, 1, 61), live[62]) << "the serial checksum";
    for (int b = 0; b < 3; ++b) {
        const auto block = std::span(out).subspan(96 + 36 * static_cast<std::size_t>(b), 36);
        EXPECT_EQ(core::Checksum8(block, 0, 31), block[34]);
        EXPECT_EQ(block[35], core::kBlockReplyMarker);
    }
}

TEST(SimSerialPort, PacedRepliesArriveByteByByteAndDiscardDropsOnlyWhatArrived) {
    link::ManualClock clock;
    VirtualMeter meter{clock};
    SimSerialPort port(clock);
    port.attach(QStringLiteral("/dev/pts/9"), meter);
    port.setByteTimeUs(SimSerialPort::kByteTime9600Us);
    ASSERT_TRUE(port.open(QStringLiteral("/dev/pts/9")));

    ASSERT_TRUE(port.write(Frame('P')));
    EXPECT_EQ(port.inputCount(), 0u);
    // The 7 command bytes and 10 reply bytes take 17.7 ms of line time.
    EXPECT_EQ(port.waitForInput(10, 3000, link::SerialWait::Busy), 10u);
    EXPECT_EQ(clock.tickMs(), 18);
    port.discardInput();
    EXPECT_EQ(port.inputCount(), 0u);
    EXPECT_EQ(port.waitForInput(36, 3000, link::SerialWait::Busy), 26u) << "the rest still comes";
    EXPECT_EQ(clock.tickMs(), 3018);

    std::vector<std::uint8_t> buffer(100);
    EXPECT_EQ(port.read(buffer), 26u);
    EXPECT_EQ(port.waitForInput(1, 250, link::SerialWait::KeepAlive), 0u);
    EXPECT_EQ(clock.tickMs(), 3268);
}

TEST(SimSerialPort, OnlyAttachedDevicesOpenAndADetachedOneCloses) {
    link::ManualClock clock;
    VirtualMeter meter{clock};
    SimSerialPort port(clock);
    EXPECT_FALSE(port.open(QStringLiteral("/dev/ttyUSB0")));
    EXPECT_TRUE(port.errorString().contains("/dev/ttyUSB0"));
    port.attach(QStringLiteral("/dev/ttyUSB0"), meter);
    ASSERT_TRUE(port.open(QStringLiteral("/dev/ttyUSB0")));
    ASSERT_TRUE(port.write(Frame('K')));
    port.detach(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.inputCount(), 0u);
    EXPECT_FALSE(port.write(Frame('K')));
    EXPECT_EQ(port.waitForInput(1, 100, link::SerialWait::Busy), 0u);
    EXPECT_EQ(clock.tickMs(), 100) << "a closed port's wait still takes its time";
}

} // namespace
} // namespace thermo4::sim
