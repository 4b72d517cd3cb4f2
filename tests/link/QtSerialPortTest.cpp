#include "DownloadFixtures.h"
#include "PtyPeer.h"

#include "link/QtSerialPort.h"
#include "link/SerialMeterLink.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

namespace thermo4::link {
namespace {

using test::PtyPeer;

// Generous limits: the machine running the tests may be heavily loaded.
constexpr int kReplyWaitMs = 5000;

void Setup8Blocks(sim::VirtualMeter& meter) {
    meter.memory() = test::PatternMemory(255);
}

/// True when attempt succeeds within three tries: the poll forgives two failed
/// reads in a row, and a loaded machine may keep the meter's thread from
/// answering within the link's own 200 or 500 ms once.
template <typename Attempt> bool WithinThreeTries(Attempt&& attempt) {
    for (int i = 0; i < 3; ++i) {
        if (attempt()) {
            return true;
        }
    }
    return false;
}

TEST(QtSerialPort, TalksToTheMeterOnAPseudoTerminal) {
    for (const bool paced : {false, true}) {
        PtyPeer peer(Setup8Blocks, paced);
        ASSERT_TRUE(peer.isOpen()) << peer.error().toStdString();
        SystemClock clock;
        QtSerialPort port;
        ASSERT_TRUE(port.open(peer.path())) << port.errorString().toStdString();
        SerialMeterLink link(port, clock);
        ReplyBuffer reply{};
        EXPECT_TRUE(WithinThreeTries([&] {
            port.discardInput();
            return link.identify(reply);
        })) << paced;
        EXPECT_TRUE(WithinThreeTries([&] { return link.readLiveFrame(reply); })) << paced;
        EXPECT_EQ(reply[0], 0x02);

        core::MemoryImage image;
        ASSERT_EQ(link.download(image, nullptr), core::DownloadResult::kOk) << paced;
        EXPECT_TRUE(std::vector<std::uint8_t>(image.bytes().begin(), image.bytes().end()) ==
                    test::ExpectedImage(test::PatternMemory(255), 8))
            << paced;
    }
}

TEST(QtSerialPort, OpenFailsWithAReasonNamingTheDevice) {
    const QTemporaryDir folder;
    const QStringList devices{QStringLiteral("/dev/thermo4-no-such-port"), QStringLiteral("/dev/null"),
                              folder.path()};
    for (const QString& device : devices) {
        QtSerialPort port;
        EXPECT_FALSE(port.open(device)) << device.toStdString();
        EXPECT_FALSE(port.isOpen());
        EXPECT_TRUE(port.errorString().contains(device)) << port.errorString().toStdString();
        EXPECT_FALSE(port.write(std::vector<std::uint8_t>{0x02}));
        EXPECT_EQ(port.inputCount(), 0u);
    }
    QtSerialPort missing;
    missing.open(devices[0]);
    EXPECT_TRUE(missing.errorString().contains("no such device")) << missing.errorString().toStdString();
}

TEST(QtSerialPort, ADeviceInUseCannotBeOpenedTwice) {
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    QtSerialPort first;
    QtSerialPort second;
    ASSERT_TRUE(first.open(peer.path()));
    EXPECT_FALSE(second.open(peer.path()));
    // The device's rights are fine: only who has it is worth saying.
    EXPECT_EQ(second.errorString(),
              QStringLiteral("the meter on %1 is in use by %2 (pid %3)")
                  .arg(peer.path(), QString::fromLocal8Bit(program_invocation_short_name))
                  .arg(::getpid()));
    first.close();
    EXPECT_TRUE(second.open(peer.path()));
}

TEST(QtSerialPort, KeepAliveWaitsRunTimersBusyWaitsDoNot) {
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    QtSerialPort port;
    ASSERT_TRUE(port.open(peer.path()));
    bool fired = false;
    QTimer::singleShot(1, [&fired] { fired = true; });
    EXPECT_EQ(port.waitForInput(1, 50, SerialWait::Busy), 0u);
    EXPECT_FALSE(fired);
    EXPECT_EQ(port.waitForInput(1, 50, SerialWait::KeepAlive), 0u);
    EXPECT_TRUE(fired);

    // A keep-alive wait ends when the bytes are there.
    core::CommandFrame frame = kInitialSerialFrame;
    ASSERT_TRUE(port.write(frame.span()));
    EXPECT_GE(port.waitForInput(32, kReplyWaitMs, SerialWait::KeepAlive), 32u);
}

TEST(QtSerialPort, ADeviceThatGoesAwayClosesThePort) {
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    QtSerialPort port;
    ASSERT_TRUE(port.open(peer.path()));
    peer.unplug();
    EXPECT_EQ(port.waitForInput(1, kReplyWaitMs, SerialWait::Busy), 0u);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write(std::vector<std::uint8_t>{0x02}));
    EXPECT_EQ(port.inputCount(), 0u);
}

TEST(QtSerialPort, TheSearchFindsTheMeterBehindPortsThatFail) {
    PtyPeer peer;
    ASSERT_TRUE(peer.isOpen());
    SystemClock clock;
    QtSerialPort port;
    SerialMeterLink link(port, clock);
    ReplyBuffer reply{};
    const QStringList ports{QStringLiteral("/dev/thermo4-no-such-port"), QStringLiteral("/dev/null"),
                            peer.path()};
    EXPECT_EQ(link.search(ports, reply), 2);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.deviceName(), peer.path());
}

} // namespace
} // namespace thermo4::link
