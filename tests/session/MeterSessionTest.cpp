#include "session/MeterSession.h"
#include "core/Commands.h"
#include "core/MemoryDecoder.h"
#include "link/SerialDownload.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/MeterSessionTestAccess.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace thermo4::session {
namespace {

using Access = MeterSessionTestAccess;
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

    QTimer* timer() const { return Access::pollTimer(session); }

    SessionRig() {
        serial.attach(kSerialDevice, serialMeter);
        QObject::connect(&session, &MeterSession::connectionChanged,
                         [this](Change c) { changes.push_back(c); });
        QObject::connect(&session, &MeterSession::reading, [this] { ++frames; });
        QObject::connect(&session.recording(), &RecordingState::sampleRecorded, [this] { ++samples; });
    }
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            session.pollOnce();
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

TEST(MeterSession, ARecordingSamplesAtChangesOfTheSecondsField) {
    struct Case {
        int rate;
        std::vector<int> sampleTicks; // ticks (500 ms apart; 0 identifies at 12:00:00.000) that sampled
    };
    const Case cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8}},
        {1, {2, 4, 6, 8}},
        {2, {4, 8}},
        {3, {6}},
    };
    for (const Case& c : cases) {
        SessionRig rig;
        const QDateTime start = rig.clock.now();
        RecordingState& recording = rig.session.recording();
        recording.setRealTimeRate(c.rate);
        recording.start();
        std::vector<int> ticks;
        QObject::connect(&recording, &RecordingState::sampleRecorded, [&](int number, const Reading& sample) {
            EXPECT_EQ(number, int(ticks.size()) + 1);
            ticks.push_back(int(start.msecsTo(sample.time) / MeterSession::kPollIntervalMs));
        });
        rig.tick(9);
        EXPECT_EQ(ticks, c.sampleTicks) << "rate " << c.rate;
    }
}

TEST(MeterSession, SecondsCountOutsideARecordingButNotWhileTheLinkIsHeldAndAFullRecordingStops) {
    SessionRig rig;
    RecordingState& recording = rig.session.recording();
    recording.setRealTimeRate(2);
    int fills = 0;
    QObject::connect(&recording, &RecordingState::filled, [&] {
        ++fills;
        EXPECT_FALSE(recording.recording());
    });
    rig.tick(4); // identify at 0 s, frames to 1.5 s: the seconds field changed once
    EXPECT_EQ(rig.samples, 0);
    recording.start(3);
    rig.tick(); // 2 s: the second change
    EXPECT_EQ(rig.samples, 1) << "seconds counted before the start make the first frame a sample";
    {
        const auto held = Access::holdLink(rig.session);
        rig.tick(4); // 2.5 to 4 s: two changes the poll does not see
    }
    rig.tick(); // 4.5 s: one change since 2 s
    EXPECT_EQ(rig.samples, 1) << "ticks kept off the link count no seconds";
    rig.tick(5); // samples at 5 s and 7 s
    EXPECT_EQ(rig.samples, 3);
    EXPECT_EQ(fills, 1);
    EXPECT_FALSE(recording.recording());
    EXPECT_TRUE(recording.realTimeUnsaved);
    rig.tick(8);
    EXPECT_EQ(rig.samples, 3);

    recording.setRealTimeRate(0);
    recording.start(0);
    rig.tick(3);
    EXPECT_EQ(rig.samples, 4) << "a count of 0 still takes one sample";
    EXPECT_EQ(fills, 2);
}

TEST(MeterSession, AnOperationStopsThePollHoldsTheLinkAndRestartsThePoll) {
    SessionRig rig;
    rig.session.startPolling();
    {
        auto held = Access::holdLink(rig.session);
        ASSERT_TRUE(held);
        EXPECT_FALSE(rig.timer()->isActive());
        EXPECT_TRUE(rig.session.linkBusy());
        EXPECT_FALSE(Access::holdLink(rig.session)) << "one operation at a time";
        EXPECT_FALSE(rig.session.connectSerial(kSerialDevice)) << "the device change waits its turn";
        rig.session.pollOnce();
        EXPECT_EQ(rig.usbMeter.receivedLetters(), "") << "no poll while the link is held";
    }
    EXPECT_FALSE(rig.session.linkBusy());
    EXPECT_TRUE(rig.timer()->isActive());
    rig.session.shutDown();
    { auto held = Access::holdLink(rig.session); }
    EXPECT_FALSE(rig.timer()->isActive()) << "a shut-down session never polls again";
}

TEST(MeterSession, KeyPressIsOneGuardedUsbTransaction) {
    struct Case {
        const char* name;
        bool held;
        bool plugged;
        core::LinkResult result;
        std::string letters;
        int opens;
        std::int64_t delayMs;
    };
    const Case cases[] = {
        {"connected", false, true, core::kLinkOk, std::string(1, core::kMemory), 1, 0},
        {"link held", true, true, MeterSession::kKeyDropped, "", 0, 0},
        {"unplugged", false, false, core::PanelKeyResult::kRead, "", 0, MeterSession::kFailedKeyDelayMs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionRig rig;
        rig.tick();
        ASSERT_TRUE(rig.session.usbLink());
        rig.session.startPolling();
        rig.usbMeter.clearReceived();
        rig.usb.setPlugged(c.plugged);
        const int opensBefore = rig.usb.openCount();
        std::optional<decltype(Access::holdLink(rig.session))> other;
        if (c.held)
            other.emplace(Access::holdLink(rig.session));
        const std::int64_t before = rig.clock.tickMs();
        EXPECT_EQ(rig.session.pressKey(core::kMemory), c.result);
        EXPECT_EQ(rig.usbMeter.receivedLetters(), c.letters);
        EXPECT_EQ(rig.usb.openCount() - opensBefore, c.opens);
        EXPECT_GE(rig.clock.tickMs() - before, c.delayMs);
        EXPECT_LT(rig.clock.tickMs() - before, c.delayMs + MeterSession::kPollIntervalMs);
        other.reset();
        EXPECT_TRUE(rig.timer()->isActive()) << "the poll runs again";
    }
}

/// Writes what a setup operation tells, and whether the poll ran at each step.
struct SetupLog : link::SetupProgress {
    const MeterSession& session;
    std::string log;
    std::vector<link::SetupOutcome> outcomes;
    explicit SetupLog(const MeterSession& s) : session(s) {}
    void started(link::SetupOperation) override { log += "started "; }
    void exchanging(bool running) override {
        log += running ? "exchanging" : "idle";
        log += Access::pollTimer(session)->isActive() ? "+poll " : " ";
    }
    void finished(const link::SetupOutcome& outcome) override {
        log += "finished ";
        outcomes.push_back(outcome);
    }
};

TEST(MeterSession, SetupOperationTakesTheGuardAndReportsItsSteps) {
    SessionRig rig;
    rig.session.startPolling();
    SetupLog progress(rig.session);
    const link::SetupOutcome info = rig.session.runSetup(link::SetupRequest::readInfo(), &progress);
    EXPECT_TRUE(info.ok());
    EXPECT_TRUE(info.info);
    EXPECT_EQ(progress.log, "started exchanging idle finished ");
    EXPECT_TRUE(rig.timer()->isActive());
    EXPECT_EQ(rig.usbMeter.receivedLetters(), "X");

    rig.usbMeter.clearReceived();
    progress.log.clear();
    {
        auto held = Access::holdLink(rig.session);
        EXPECT_EQ(rig.session.runSetup(link::SetupRequest::erase(), &progress).end,
                  link::SetupOutcome::End::Busy);
        EXPECT_TRUE(rig.session.runSetupAll("00", "02", &progress).empty());
    }
    EXPECT_EQ(rig.usbMeter.receivedLetters(), "");
    EXPECT_EQ(progress.log, "") << "nothing started while the link is held";
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

/// Records a logger load; the shutDown is called from inside it when asked to.
struct LoadLog : LoggerLoadHandler {
    MeterSession* shutDownAt = nullptr;
    std::function<void()> onAdvance;
    std::int64_t* downloadEnd = nullptr;
    link::ManualClock* clock = nullptr;
    bool began = false;
    qsizetype loadedBytes = 0;
    std::vector<core::LinkResult> failures;
    void begin() override { began = true; }
    void started(std::int32_t) override {}
    void advanced(std::int32_t) override {
        if (onAdvance) {
            onAdvance();
            onAdvance = {};
        }
    }
    void finished() override {
        if (downloadEnd && clock)
            *downloadEnd = clock->tickMs();
    }
    core::LinkResult loaded(const core::MemoryImage& image) override {
        loadedBytes = image.size();
        return core::kDecodeOk;
    }
    void failed(core::LinkResult code) override { failures.push_back(code); }
};

TEST(MeterSession, AUsbDownloadIsHandedBackByDroppingTheLink) {
    SessionRig rig;
    rig.tick();
    LoadLog load;
    EXPECT_EQ(rig.session.loadLogger(load), core::kLinkOk);
    EXPECT_TRUE(load.began);
    EXPECT_GT(load.loadedBytes, 0);
    EXPECT_TRUE(load.failures.empty());
    EXPECT_FALSE(rig.session.connected());
    EXPECT_EQ(rig.changes.back(), Change::Lost);
    rig.tick();
    EXPECT_TRUE(rig.session.usbLink());

    auto held = Access::holdLink(rig.session);
    LoadLog refused;
    EXPECT_FALSE(rig.session.loadLogger(refused)) << "the link is held";
    EXPECT_FALSE(refused.began);
}

TEST(MeterSession, ASerialDownloadReconnectsOnItsPortAfterASettlingPause) {
    SessionRig rig;
    ASSERT_TRUE(rig.session.connectSerial(kSerialDevice));
    rig.serialMeter.clearReceived();
    std::int64_t downloaded = 0;
    LoadLog load;
    load.clock = &rig.clock;
    load.downloadEnd = &downloaded;
    EXPECT_EQ(rig.session.loadLogger(load), core::kLinkOk);
    EXPECT_GT(load.loadedBytes, 0);
    EXPECT_GE(rig.clock.tickMs() - downloaded, MeterSession::kSerialSettleMs);
    EXPECT_TRUE(rig.session.serialLink());
    EXPECT_EQ(rig.changes.back(), Change::Connected);
    const std::string letters = rig.serialMeter.receivedLetters();
    EXPECT_EQ(letters.front(), 'P');
    EXPECT_EQ(letters.back(), 'K') << "identified again on the same port";
    EXPECT_EQ(rig.usbMeter.receivedLetters(), "");
}

TEST(MeterSession, ShutDownDuringALoadTearsDownOnlyAfterIt) {
    SessionRig rig;
    ASSERT_TRUE(rig.session.connectSerial(kSerialDevice));
    rig.session.startPolling();
    LoadLog load;
    bool openDuring = false;
    bool connectedDuring = false;
    load.onAdvance = [&] {
        rig.session.shutDown();
        openDuring = rig.serial.isOpen();
        connectedDuring = rig.session.connected();
    };
    EXPECT_EQ(rig.session.loadLogger(load), core::DownloadResult::kCancelled);
    EXPECT_TRUE(openDuring) << "the port is not closed under the download";
    EXPECT_TRUE(connectedDuring);
    EXPECT_EQ(load.failures, std::vector<core::LinkResult>{core::DownloadResult::kCancelled});
    EXPECT_EQ(load.loadedBytes, 0);
    EXPECT_FALSE(rig.serial.isOpen());
    EXPECT_FALSE(rig.session.connected());
    rig.session.startPolling();
    EXPECT_FALSE(rig.timer()->isActive());
}

} // namespace
} // namespace thermo4::session
