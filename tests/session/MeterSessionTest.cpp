#include "session/MeterSession.h"
#include "core/MemoryDecoder.h"
#include "link/SerialDownload.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::session {
namespace {

using Change = ConnectionChange;

const QString kSerialDevice = QStringLiteral("/dev/rfcomm0");

/// A session over the virtual meter on USB and a second one behind an in-process
/// serial port, on a manual clock, recording every announced change.
struct SessionRig {
    link::ManualClock clock;
    sim::VirtualMeter usbMeter{clock};
    sim::SimUsbTransport usb{usbMeter};
    sim::VirtualMeter serialMeter{clock, 7};
    sim::SimSerialPort serial{clock};
    MeterSession session{clock, usb, serial};
    std::vector<Change> changes;
    int frames = 0;
    int samples = 0;

    SessionRig() {
        serial.attach(kSerialDevice, serialMeter);
        QObject::connect(&session, &MeterSession::connectionChanged,
                         [this](Change c) { changes.push_back(c); });
        QObject::connect(&session, &MeterSession::frameDecoded, [this] { ++frames; });
        QObject::connect(&session, &MeterSession::sampleDue, [this] { ++samples; });
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            session.pollTick();
            clock.advance(MeterSession::kPollIntervalMs);
        }
    }
};

TEST(MeterSession, PollFindsTheUsbMeterReadsItAndLosesItAfterThreeFailedReads) {
    SessionRig rig;
    rig.tick();
    EXPECT_TRUE(rig.session.usbLink());
    EXPECT_EQ(rig.changes, std::vector<Change>{Change::Connected});
    rig.tick(2);
    EXPECT_EQ(rig.frames, 2);
    rig.usb.setPlugged(false);
    rig.tick(2);
    EXPECT_TRUE(rig.session.connected());
    rig.tick();
    EXPECT_FALSE(rig.session.connected());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Connected, Change::Lost}));
}

TEST(MeterSession, IdentifyFailuresAreCountedUntilAMeterAnswers) {
    SessionRig rig;
    std::vector<int> failures;
    QObject::connect(&rig.session, &MeterSession::identifyFailed, [&](int n) { failures.push_back(n); });
    rig.usb.setPlugged(false);
    rig.tick(3);
    EXPECT_EQ(failures, (std::vector<int>{1, 2, 3}));
    rig.usb.setPlugged(true);
    rig.tick();
    EXPECT_EQ(rig.session.identifyFailures(), 0);
}

TEST(MeterSession, SamplesAreDueOnlyWhileRecordingAtItsRate) {
    SessionRig rig;
    rig.session.recording().setRealTimeRate(0);
    rig.tick(4);
    EXPECT_EQ(rig.samples, 0);
    rig.session.recording().setRecording(true);
    rig.tick(3);
    EXPECT_EQ(rig.samples, 3) << "rate 0: every valid frame";
}

TEST(MeterSession, ATransactionStopsThePollHoldsTheLinkAndRestartsThePoll) {
    SessionRig rig;
    rig.session.startPolling();
    {
        auto held = rig.session.beginTransaction();
        ASSERT_TRUE(held);
        EXPECT_FALSE(rig.session.pollTimer()->isActive());
        EXPECT_TRUE(rig.session.linkBusy());
        EXPECT_FALSE(rig.session.beginTransaction()) << "one transaction at a time";
        EXPECT_FALSE(rig.session.connectSerial(kSerialDevice)) << "the device change waits its turn";
        rig.session.pollTick();
        EXPECT_EQ(rig.usbMeter.receivedLetters(), "") << "no poll while the link is held";
    }
    EXPECT_FALSE(rig.session.linkBusy());
    EXPECT_TRUE(rig.session.pollTimer()->isActive());
    rig.session.shutDown();
    { auto held = rig.session.beginTransaction(); }
    EXPECT_FALSE(rig.session.pollTimer()->isActive()) << "a shut-down session never polls again";
}

TEST(MeterSession, ChoosingTheSerialPortConnectsOverItAndThePollReadsThere) {
    SessionRig rig;
    rig.usb.setPlugged(false);
    EXPECT_TRUE(rig.session.connectSerial(kSerialDevice));
    EXPECT_TRUE(rig.session.serialLink());
    EXPECT_EQ(rig.changes, std::vector<Change>{Change::Connected});
    rig.tick(2);
    EXPECT_EQ(rig.frames, 2);
    EXPECT_EQ(rig.serialMeter.receivedLetters(), "KAA");
    EXPECT_EQ(rig.usbMeter.receivedLetters(), "");
}

TEST(MeterSession, ATypedPortThatDoesNotExistLeavesTheSessionDisconnected) {
    SessionRig rig;
    rig.tick();
    ASSERT_TRUE(rig.session.usbLink());
    EXPECT_TRUE(rig.session.connectSerial(QStringLiteral("/dev/ttyUSB9")));
    EXPECT_FALSE(rig.session.connected());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Connected, Change::Lost}));
}

TEST(MeterSession, DisconnectDropsTheSerialLinkAndThePollFindsTheUsbMeterAgain) {
    SessionRig rig;
    ASSERT_TRUE(rig.session.connectSerial(kSerialDevice));
    rig.session.disconnectSerial();
    EXPECT_FALSE(rig.serial.isOpen());
    EXPECT_FALSE(rig.session.connected());
    rig.tick();
    EXPECT_TRUE(rig.session.usbLink()) << "within one poll tick";
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Connected, Change::Lost, Change::Connected}));
}

TEST(MeterSession, TheSearchFindsTheMeterOnTheThirdPort) {
    SessionRig rig;
    rig.usb.setPlugged(false);
    rig.serial.attach(QStringLiteral("/dev/rfcomm2"), rig.serialMeter);
    QStringList titles;
    const auto found = rig.session.searchSerial(
        {QStringLiteral("/dev/ttyS7"), QStringLiteral("/dev/ttyS8"), QStringLiteral("/dev/rfcomm2")},
        [&](int, const QString& title) { titles << title; });
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 2);
    EXPECT_TRUE(rig.session.serialLink());
    EXPECT_EQ(rig.session.serialDevice(), QStringLiteral("/dev/rfcomm2"));
    EXPECT_EQ(rig.changes, std::vector<Change>{Change::Connected});
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Searching on /dev/ttyS7"),
                                   QStringLiteral("Searching on /dev/ttyS8"),
                                   QStringLiteral("Searching on /dev/rfcomm2")}));
}

TEST(MeterSession, AFailedSearchReturnsToTheLinkThatWorkedBefore) {
    SessionRig rig;
    rig.tick();
    sim::VirtualMeter other(rig.clock);
    other.setModel("419");
    rig.serial.attach(QStringLiteral("/dev/rfcomm1"), other);
    // The port with another model is tried again in every later pass, so the third port is never reached.
    EXPECT_FALSE(rig.session.searchSerial(
        {QStringLiteral("/dev/ttyS7"), QStringLiteral("/dev/rfcomm1"), kSerialDevice}));
    EXPECT_TRUE(rig.session.usbLink()) << "the USB meter still answers";
    EXPECT_FALSE(rig.serial.isOpen());
    EXPECT_EQ(rig.changes, (std::vector<Change>{Change::Connected, Change::Connected}));
    EXPECT_EQ(rig.serialMeter.receivedLetters(), "");

    rig.usb.setPlugged(false);
    EXPECT_FALSE(rig.session.searchSerial({QStringLiteral("/dev/ttyS7")}));
    EXPECT_FALSE(rig.session.connected());
    EXPECT_EQ(rig.changes.back(), Change::Lost) << "no meter anywhere: the disconnected state";
}

TEST(MeterSession, AUsbDownloadIsHandedBackByDroppingTheLink) {
    SessionRig rig;
    rig.tick();
    core::MemoryImage image;
    {
        auto held = rig.session.beginTransaction();
        ASSERT_TRUE(held);
        EXPECT_EQ(rig.session.download(*held, image, nullptr), 0);
        rig.session.handBackAfterDownload(*held);
    }
    EXPECT_FALSE(image.isEmpty());
    EXPECT_FALSE(rig.session.connected());
    EXPECT_EQ(rig.changes.back(), Change::Lost);
    rig.tick();
    EXPECT_TRUE(rig.session.usbLink());
}

TEST(MeterSession, ASerialDownloadReconnectsOnItsPortAfterASettlingPause) {
    SessionRig rig;
    ASSERT_TRUE(rig.session.connectSerial(kSerialDevice));
    rig.serialMeter.clearReceived();
    core::MemoryImage image;
    std::int64_t downloaded = 0;
    {
        auto held = rig.session.beginTransaction();
        ASSERT_TRUE(held);
        EXPECT_EQ(rig.session.download(*held, image, nullptr), 0);
        downloaded = rig.clock.tickMs();
        rig.session.handBackAfterDownload(*held);
    }
    EXPECT_GE(rig.clock.tickMs() - downloaded, MeterSession::kSerialSettleMs);
    EXPECT_TRUE(rig.session.serialLink());
    EXPECT_EQ(rig.changes.back(), Change::Connected);
    const std::string letters = rig.serialMeter.receivedLetters();
    EXPECT_EQ(letters.front(), 'P');
    EXPECT_EQ(letters.back(), 'K') << "identified again on the same port";
    EXPECT_EQ(rig.usbMeter.receivedLetters(), "");
}

} // namespace
} // namespace thermo4::session
