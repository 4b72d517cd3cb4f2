#include "link/HidUsbTransport.h"
#include "link/UsbExchange.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::link {
namespace {

// This machine has no meter attached: every operation must fail cleanly,
// never crash or block, and leave nothing to tell the user about permissions.
TEST(HidUsbTransport, WithoutAMeterEveryOperationFailsCleanly) {
    HidUsbTransport usb;
    std::array<std::uint8_t, 7> frame{0x02, 'K', 0, 0, 0, 0, 0x03};
    std::array<std::uint8_t, 32> block{};
    std::array<std::uint8_t, 64> reply{};
    std::array<char, 32> serial{};

    EXPECT_NE(usb.setTimeouts(100, 100), 0) << "nothing is open yet";
    EXPECT_NE(usb.open(kUsbVendorId, kUsbProductId), 0);
    EXPECT_FALSE(usb.lastError().isEmpty());
    EXPECT_NE(usb.setTimeouts(100, 100), 0);
    EXPECT_NE(usb.writeCommand(frame), 0);
    EXPECT_NE(usb.writeBlock(block), 0);
    EXPECT_NE(usb.finishWrite(), 0);
    EXPECT_NE(usb.read(reply), 0);
    EXPECT_NE(usb.serialNumber(serial), 0);
    EXPECT_EQ(usb.close(), 0);
    EXPECT_TRUE(usb.takeNotice().isEmpty());
}

TEST(HidUsbTransport, NodeCheckFindsAnUnreadableNodeAndNamesTheFix) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may open any node";
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString open = dir.filePath("hidraw0");
    const QString closed = dir.filePath("hidraw1");
    for (const QString& path : {open, closed}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_EQ(::chmod(closed.toLocal8Bit().constData(), 0), 0);

    EXPECT_TRUE(HidUsbTransport::permissionProblem(open).isEmpty());
    const QString message = HidUsbTransport::permissionProblem(closed);
    EXPECT_TRUE(message.contains(closed));
    EXPECT_TRUE(message.contains("70-thermo4.rules"));
    EXPECT_TRUE(message.contains("udevadm"));
}

} // namespace
} // namespace thermo4::link
