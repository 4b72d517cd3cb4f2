#include "link/ChosenUsbTransport.h"
#include "link/DeviceLock.h"
#include "link/HidUsbTransport.h"
#include "link/UsbExchange.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace thermo4::link {
namespace {

/// Each test's lock files go to a runtime folder of its own.
class UsbChoice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }

    /// What a program holding a lock in this process is called in a refusal.
    static QString thisProgram() {
        return QStringLiteral("%1 (pid %2)")
            .arg(QString::fromLocal8Bit(program_invocation_short_name))
            .arg(::getpid());
    }

    QTemporaryDir runtime;
    QByteArray saved;
    ManualClock clock;
    sim::VirtualMeter a{clock};
    sim::VirtualMeter b{clock};
};

/// The serial number of the meter the transport has open.
QString SerialOfOpenMeter(UsbTransport& usb) {
    std::array<char, 32> text{};
    return usb.serialNumber(text) == 0 ? QString::fromLatin1(text.data()) : QStringLiteral("<none open>");
}

int OpenMeter(UsbTransport& usb) {
    return usb.open(kUsbVendorId, kUsbProductId);
}

TEST_F(UsbChoice, AMeterIsChosenByPathOrSerialElseTheFirstIsTaken) {
    a.setUsbPath("/dev/hidraw-a");
    a.setSerialNumber("SNA");
    b.setUsbPath("/dev/hidraw-b");
    b.setSerialNumber("SNB");
    sim::SimUsbTransport bus(std::vector<sim::VirtualMeter*>{&a, &b});
    const auto listed = bus.list(kUsbVendorId, kUsbProductId);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].path, "/dev/hidraw-b");
    EXPECT_EQ(listed[1].serial, "SNB");
    EXPECT_EQ(listed[1].location, "0-2");

    const struct {
        const char* wanted;
        const char* serial; // nullptr: no meter opens
        const char* notice;
    } cases[] = {
        {"", "SNA", ""},
        {"/dev/hidraw-b", "SNB", ""},
        {"SNB", "SNB", ""},
        {"SNC", nullptr, "no meter SNC is attached on USB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wanted);
        ChosenUsbTransport chosen(bus, QString::fromLatin1(c.wanted));
        ASSERT_EQ(OpenMeter(chosen) == 0, c.serial != nullptr);
        EXPECT_EQ(chosen.takeNotice(), QString::fromLatin1(c.notice));
        if (c.serial) {
            EXPECT_EQ(SerialOfOpenMeter(chosen), c.serial);
            EXPECT_EQ(chosen.current()->name(), c.serial);
        }
    }
}

TEST_F(UsbChoice, ASecondProgramTakesTheFreeMeterAndIsToldWhoHoldsTheOther) {
    a.setUsbPath("/dev/hidraw-a");
    b.setUsbPath("/dev/hidraw-b");
    // Each program has its own handle on the same two meters; only the locks keep them apart.
    sim::SimUsbTransport busOfFirst(std::vector<sim::VirtualMeter*>{&a, &b});
    sim::SimUsbTransport busOfSecond(std::vector<sim::VirtualMeter*>{&a, &b});
    sim::SimUsbTransport busOfThird(std::vector<sim::VirtualMeter*>{&a, &b});
    ChosenUsbTransport first(busOfFirst);
    ChosenUsbTransport second(busOfSecond);
    ChosenUsbTransport third(busOfThird, QStringLiteral("/dev/hidraw-a"));

    ASSERT_EQ(OpenMeter(first), 0);
    EXPECT_EQ(first.current()->path, "/dev/hidraw-a");
    ASSERT_EQ(OpenMeter(second), 0);
    EXPECT_EQ(second.current()->path, "/dev/hidraw-b") << "the held meter is skipped";
    EXPECT_TRUE(second.takeNotice().isEmpty());

    EXPECT_NE(OpenMeter(third), 0);
    EXPECT_FALSE(busOfThird.isOpen());
    EXPECT_EQ(third.takeNotice(), "the meter on /dev/hidraw-a is in use by " + thisProgram());
    EXPECT_NE(OpenMeter(third), 0);
    EXPECT_TRUE(third.takeNotice().isEmpty()) << "said once, not at every poll";
    // The holders keep their meters from one transaction to the next.
    first.close();
    ASSERT_EQ(OpenMeter(first), 0);
    EXPECT_EQ(first.current()->path, "/dev/hidraw-a");

    first.release();
    ASSERT_EQ(OpenMeter(third), 0);
    EXPECT_EQ(third.current()->path, "/dev/hidraw-a");
    // Now the first program finds every meter held, and says by whom.
    EXPECT_NE(OpenMeter(first), 0);
    EXPECT_EQ(first.takeNotice(), "the meter on /dev/hidraw-a is in use by " + thisProgram());
}

TEST_F(UsbChoice, ALockOutlivesNoHolderAndNamesItsFolder) {
    EXPECT_EQ(DeviceLock::directory(), runtime.path() + "/thermo4");
    EXPECT_EQ(DeviceLock::fileFor(QStringLiteral("virtual:12:1")), "virtual_12_1.lock");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        DeviceLock lock;
        const char answer = lock.acquire(QStringLiteral("/dev/hidraw-k")) ? 'y' : 'n';
        [[maybe_unused]] const auto n = ::write(ready[1], &answer, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    bool reaped = false;
    const auto reap = [&] {
        if (reaped)
            return;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        reaped = true;
    };
    const auto reapAlways = qScopeGuard(reap);
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(answer, 'y');

    DeviceLock lock;
    EXPECT_FALSE(lock.acquire(QStringLiteral("/dev/hidraw-k")));
    EXPECT_TRUE(lock.refusal().endsWith(QStringLiteral("(pid %1)").arg(child)))
        << lock.refusal().toStdString();
    reap();
    EXPECT_TRUE(lock.acquire(QStringLiteral("/dev/hidraw-k"))) << "the kernel let go with the holder";
    lock.release();
    EXPECT_TRUE(QDir(DeviceLock::directory()).entryList(QDir::Files).isEmpty()) << "no lock file is left";

    // Without a usable runtime folder the locks go to a shared one.
    qputenv("XDG_RUNTIME_DIR", "/nonexistent");
    const QString shared = DeviceLock::directory();
    EXPECT_TRUE(shared == "/run/lock/thermo4" || shared == "/tmp/thermo4") << shared.toStdString();
}

TEST(HidUsbTransport, TheLocationIsTheUsbPortOfTheNodesDevice) {
    QTemporaryDir sys;
    ASSERT_TRUE(sys.isValid());
    const auto node = [&](const QString& name, const QString& device) {
        const QString hid =
            sys.filePath(QStringLiteral("devices/") + device + QStringLiteral("/0003:04D9:E000.0001"));
        ASSERT_TRUE(QDir().mkpath(hid));
        ASSERT_TRUE(QDir().mkpath(sys.filePath("class/hidraw/" + name)));
        ASSERT_TRUE(QFile::link(hid, sys.filePath("class/hidraw/" + name + "/device")));
    };
    node("hidraw3", "pci0000:00/0000:00:14.0/usb1/1-2/1-2.3/1-2.3:1.0");
    node("hidraw4", "pci0000:00/0000:00:14.0/usb3/3-1/3-1:1.1");
    node("hidraw5", "virtual/misc/uhid");
    const struct {
        const char* node;
        const char* location;
    } cases[] = {
        {"/dev/hidraw3", "1-2.3"}, {"/dev/hidraw4", "3-1"}, {"/dev/hidraw5", ""}, {"/dev/hidraw9", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(HidUsbTransport::locationOf(QString::fromLatin1(c.node), sys.path()), c.location) << c.node;
}

} // namespace
} // namespace thermo4::link
