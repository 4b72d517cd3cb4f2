#include "SimRig.h"

#include "core/Calibration.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "link/MeterSetup.h"
#include "link/UsbDownload.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace thermo4::link {
namespace {

using test::ReportingTransport;
using test::SimRig;
using test::Step;
using Bytes = std::vector<std::uint8_t>;
using End = SetupOutcome::End;

/// A MeterSetup whose every operation reports to progress.
struct LoggedSetup {
    MeterSetup& setup;
    SetupProgress* progress;
    SetupOutcome readMeterInfo() { return setup.readMeterInfo(progress); }
    SetupOutcome adjustMeterTime() { return setup.adjustMeterTime(progress); }
    SetupOutcome adjustRecordingInterval(const QString& m, const QString& s) {
        return setup.adjustRecordingInterval(m, s, progress);
    }
    SetupOutcome eraseMeterMemory() { return setup.eraseMeterMemory(progress); }
    SetupOutcome setDefaultValues() { return setup.setDefaultValues(progress); }
    std::vector<SetupOutcome> setupAll(const QString& m, const QString& s) {
        return setup.setupAll(m, s, progress);
    }
    SetupOutcome readCalibration() { return setup.readCalibration(progress); }
    SetupOutcome writeEeprom(const QString& code, const QString& address, const QString& data) {
        return setup.writeEeprom(code, address, data, progress);
    }
    SetupOutcome readEeprom(const QString& address) { return setup.readEeprom(address, progress); }
    SetupOutcome quickRecord(const QString& points, const QString& interval) {
        return setup.quickRecord(points, interval, progress);
    }
    bool running() const { return setup.running(); }
};

/// The virtual meter behind a MeterSetup whose link access and progress write what happens into a log.
struct SetupRig : SimRig, LinkAccess, SetupProgress {
    ReportingTransport reporting{usb};
    MeterSetup meterSetup{reporting, clock};
    LoggedSetup setup{meterSetup, this};
    std::string log;
    std::vector<SetupOutcome> finishedOutcomes;
    bool linkFree = true;
    std::function<void()> onStarted;

    SetupRig() { meterSetup.setLinkAccess(this); }
    bool acquire() override {
        log += "take ";
        return linkFree;
    }
    void release() override { log += "release "; }
    void started(SetupOperation) override {
        log += "label ";
        if (onStarted)
            onStarted();
    }
    void exchanging(bool on) override { log += on ? "busy " : "idle "; }
    void finished(const SetupOutcome& o) override {
        log += "done ";
        finishedOutcomes.push_back(o);
    }
    Bytes sent(std::size_t i) const { return meter.received().at(i).bytes; }
};

struct Operation {
    const char* name;
    std::function<SetupOutcome(LoggedSetup&)> run;
    char letter;
};

const Operation kExchanges[] = {
    {"information", [](LoggedSetup& s) { return s.readMeterInfo(); }, 'X'},
    {"clock", [](LoggedSetup& s) { return s.adjustMeterTime(); }, 't'},
    {"interval", [](LoggedSetup& s) { return s.adjustRecordingInterval("00", "02"); }, 'I'},
    {"erase", [](LoggedSetup& s) { return s.eraseMeterMemory(); }, 'e'},
    {"defaults", [](LoggedSetup& s) { return s.setDefaultValues(); }, 's'},
    {"calibration", [](LoggedSetup& s) { return s.readCalibration(); }, 'Y'},
};

TEST(MeterSetup, InformationComesFromTheMeterMemoryWithItsSerialNumber) {
    SetupRig rig;
    rig.meter.memory().setIntervalSeconds(125);
    const SetupOutcome o = rig.setup.readMeterInfo();
    ASSERT_EQ(o.end, End::Ok);
    ASSERT_TRUE(o.info);
    EXPECT_EQ(o.info->firmware, "1.05");
    EXPECT_EQ(o.info->meterTime, "01/01/2024   12:00:00");
    EXPECT_EQ(o.info->interval, "2:5");
    EXPECT_EQ(o.info->memoryAvailable, "32000");
    EXPECT_EQ(o.info->thermoType, "K");
    EXPECT_EQ(o.info->autoOff, "30 minutes");
    EXPECT_EQ(o.info->serialNumber, "VM0001");
    EXPECT_EQ(o.statusText(), "OK");
    EXPECT_EQ(rig.letters(), "X");
    EXPECT_EQ(rig.log, "label take busy idle done release ");
}

TEST(MeterSetup, ThreeAttemptsWithoutAcknowledgementEndWithTheLastCode) {
    const std::map<char, QString> status{{'X', "Fail code=205"}, {'t', "Fail code=406"},
                                         {'I', "Fail"},          {'e', "Fail code=506"},
                                         {'s', "Fail code=406"}, {'Y', "Fail code=705"}};
    for (const Operation& op : kExchanges) {
        SCOPED_TRACE(op.name);
        SetupRig rig;
        rig.meter.faults().refuseReplies[op.letter] = -1;
        const SetupOutcome o = op.run(rig.setup);
        EXPECT_EQ(o.end, End::Failed);
        EXPECT_EQ(o.statusText(), status.at(op.letter));
        const std::string letters = rig.letters();
        EXPECT_EQ(std::count(letters.begin(), letters.end(), op.letter), 3) << letters;
        EXPECT_FALSE(o.info || o.calibration);
    }
}

TEST(MeterSetup, TheLastFailingStepNamesTheAttempt) {
    const struct {
        std::set<Step> failing;
        std::array<core::LinkResult, 5> codes; // information, clock, interval, erase, calibration
    } cases[] = {
        {{Step::Open}, {201, 401, 600, 501, 705}}, // the second calibration command's open
        {{Step::Timeouts}, {202, 402, 602, 502, 706}},
        {{Step::Write}, {203, 403, 603, 503, 707}},
        {{Step::Read}, {204, 405, 604, 505, 708}},
        {{Step::Open, Step::Read}, {204, 405, 604, 505, 708}},
        {{Step::Open, Step::Timeouts}, {202, 402, 602, 502, 706}},
    };
    const Operation* ops[] = {&kExchanges[0], &kExchanges[1], &kExchanges[2], &kExchanges[3], &kExchanges[5]};
    for (const auto& c : cases) {
        for (std::size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(testing::Message() << ops[i]->name << " " << c.codes[i]);
            SetupRig rig;
            rig.reporting.failing = c.failing;
            const SetupOutcome o = ops[i]->run(rig.setup);
            EXPECT_EQ(o.end, End::Failed);
            EXPECT_EQ(o.code, c.codes[i]);
        }
    }
}

TEST(MeterSetup, ClockBlockCarriesTheTimeAfterTheCommandAndThePreviousReply) {
    SetupRig rig;
    ASSERT_TRUE(rig.setup.writeEeprom("8737", "74565", "171").ok());
    ASSERT_TRUE(rig.setup.readEeprom("74565").ok()); // its reply holds 0xAB in byte 5
    rig.clock.setNow(QDateTime(QDate(2017, 3, 9), QTime(14, 5, 29, 950)));
    rig.meter.clearReceived();
    rig.log.clear();
    ASSERT_TRUE(rig.setup.adjustMeterTime().ok());
    EXPECT_EQ(rig.log, "take label busy idle done release ");
    ASSERT_EQ(rig.letters(), "t#");
    EXPECT_EQ(rig.sent(0), (Bytes{0x02, 't', 0, 0, 0x45, 0xAB, 0x03}));
    // Taken after the label pause and the 100 ms wait that follows the command;
    // byte 5 is not set and carries the previous reply's.
    const Bytes block = rig.sent(1);
    const Bytes expected{0x30, 0x05, 0x14, 0x09, 0x03, 0xAB, 0x17, 0x00, 'r', 't', 'c'};
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 11), expected);
    EXPECT_EQ(rig.meter.meterNow().toString(Qt::ISODate), "2017-03-09T14:05:30");
}

TEST(MeterSetup, IntervalInputIsCheckedBeforeTheLinkIsTaken) {
    SetupRig rig;
    for (const auto& [m, s, code] : {std::tuple{"00", "00", 624}, {"61", "00", 623}, {"x", "01", 620}}) {
        const SetupOutcome o = rig.setup.adjustRecordingInterval(m, s);
        EXPECT_EQ(o.end, End::Refused);
        EXPECT_EQ(o.code, code);
        EXPECT_EQ(o.message, "Invalid Input");
        EXPECT_TRUE(o.statusText().isEmpty());
    }
    EXPECT_EQ(rig.letters(), "");
    EXPECT_EQ(rig.log, "label done label done label done ");

    ASSERT_TRUE(rig.setup.adjustRecordingInterval("60", "60").ok());
    EXPECT_EQ(rig.sent(0), (Bytes{0x02, 'I', 0x60, 0x60, 0, 0, 0x03}));
    EXPECT_EQ(rig.meter.memory().intervalSeconds(), 3660);
}

TEST(MeterSetup, EepromFramesAndTheBytesTheyLeaveForLaterCommands) {
    SetupRig rig;
    ASSERT_TRUE(rig.setup.writeEeprom("8737", "74565", "171").ok());
    EXPECT_EQ(rig.sent(0), (Bytes{0x02, 'W', 0x01, 0x23, 0x45, 0xAB, 0x03}));
    EXPECT_EQ(rig.meter.memory().byteAt(74565), 0xAB);

    const SetupOutcome read = rig.setup.readEeprom("74565");
    EXPECT_EQ(rig.sent(1), (Bytes{0x02, 'r', 0x01, 0x23, 0x45, 0xAB, 0x03}));
    EXPECT_EQ(read.eepromValue, 0xAB);

    rig.meter.memory().setByte(9, 0xC8);
    EXPECT_EQ(rig.setup.readEeprom("9").eepromValue, 200);

    ASSERT_TRUE(rig.setup.eraseMeterMemory().ok()); // parameters 4 and 5 stay from the read
    EXPECT_EQ(rig.sent(3), (Bytes{0x02, 'e', 0, 0, 0x09, 0xAB, 0x03}));
}

TEST(MeterSetup, RefusedServiceFieldsSendNothing) {
    const struct {
        std::function<SetupOutcome(LoggedSetup&)> run;
        const char* message;
    } cases[] = {
        {[](LoggedSetup& s) { return s.writeEeprom("", "2", "1"); }, "Password error !!"},
        {[](LoggedSetup& s) { return s.writeEeprom("8736", "2", "1"); }, "Password error !!"},
        {[](LoggedSetup& s) { return s.writeEeprom("8737", "2.5", "1"); }, "2.5 is not valid.\n"},
        {[](LoggedSetup& s) { return s.writeEeprom("8737", "2", "x"); }, "x is not valid.\n"},
        {[](LoggedSetup& s) { return s.readEeprom("abc"); }, "abc is not valid.\n"},
        {[](LoggedSetup& s) { return s.quickRecord("", "2"); }, " is not valid.\n"},
        {[](LoggedSetup& s) { return s.quickRecord("1", "2s"); }, "2s is not valid.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SetupRig rig;
        const SetupOutcome o = c.run(rig.setup);
        EXPECT_EQ(o.end, End::Refused);
        EXPECT_EQ(o.message, c.message);
        EXPECT_EQ(rig.letters(), "");
        EXPECT_EQ(rig.log, "label done ") << "the poll and the cursor are never touched";
    }
}

TEST(MeterSetup, EepromWriteSucceedsAfterOneRefusedAttempt) {
    SetupRig rig;
    rig.meter.faults().refuseReplies['W'] = 1;
    const int waitsBefore = rig.clock.waitCount();
    const SetupOutcome o = rig.setup.writeEeprom("8737", "100", "7");
    EXPECT_EQ(o.end, End::Ok);
    EXPECT_EQ(o.statusText(), "OK");
    EXPECT_EQ(rig.letters(), "WQW");
    EXPECT_EQ(rig.sent(1), (Bytes{0x02, 'Q', 0, 0, 100, 7, 0x03}));
    EXPECT_EQ(rig.meter.memory().byteAt(100), 7);
    // Label pause; one 300 ms wait per differing echo byte, then 300 ms either side of 'Q'.
    EXPECT_EQ(rig.clock.waitCount() - waitsBefore, 5);
}

TEST(MeterSetup, EepromFailuresShowFailWithoutACode) {
    SetupRig rig;
    rig.meter.faults().refuseReplies['r'] = -1;
    SetupOutcome o = rig.setup.readEeprom("5");
    EXPECT_EQ(o.end, End::Failed);
    EXPECT_EQ(o.code, core::EepromReadResult::kEchoCheck);
    EXPECT_EQ(o.statusText(), "Fail");
    EXPECT_FALSE(o.eepromValue);
    EXPECT_EQ(rig.letters(), "rQrQrQrQrQ");

    rig.meter.clearReceived();
    rig.reporting.failing = {Step::Open};
    o = rig.setup.writeEeprom("8737", "5", "1");
    EXPECT_EQ(o.code, core::EepromWriteResult::kOpen);
    EXPECT_EQ(o.statusText(), "Fail");
    EXPECT_EQ(rig.letters(), "") << "an attempt ends at its failed open";
}

TEST(MeterSetup, SetupAllRunsEveryStepAndStopsAtAFailedBluetoothWrite) {
    SetupRig rig;
    sim::LoggedDataSet set;
    set.start = rig.clock.now();
    set.samples.resize(3);
    ASSERT_TRUE(rig.meter.memory().append(set));
    std::vector<SetupOutcome> all = rig.setup.setupAll("01", "05");
    ASSERT_EQ(all.size(), 6u);
    EXPECT_TRUE(std::all_of(all.begin(), all.end(), [](const SetupOutcome& o) { return o.ok(); }));
    EXPECT_EQ(rig.letters(), "s#Wt#IeX");
    EXPECT_EQ(rig.meter.memory().byteAt(2), 1);
    EXPECT_EQ(all.back().info->interval, "1:5");
    EXPECT_EQ(all.back().info->dataSets, "0");
    EXPECT_EQ(rig.finishedOutcomes.size(), 6u);

    SetupRig failing;
    failing.meter.faults().refuseReplies['W'] = -1;
    all = failing.setup.setupAll("01", "05");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].operation, SetupOperation::BluetoothOn);
    EXPECT_EQ(all[1].message, "Setup Blooth On fail ");
    // Two differing echo bytes count as two of the five attempts.
    EXPECT_EQ(failing.letters(), "s#WQWQWQ");
}

TEST(MeterSetup, QuickRecordLeavesOneDataSetDatedWhenItWasMade) {
    const struct {
        const char* points;
        const char* interval;
        std::int32_t endAddress;
        int intervalS;
    } cases[] = {{"1", "125", 0x0B1B, 125}, {"0", "2", 0x0B13, 2}, {"3", "90", 0x0B2B, 90}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        SetupRig rig;
        rig.clock.setNow(QDateTime(QDate(2017, 3, 9), QTime(14, 5, 29, 600)));
        const SetupOutcome o = rig.setup.quickRecord(c.points, c.interval);
        ASSERT_EQ(o.end, End::Ok);
        EXPECT_EQ(rig.letters(), std::string(25, 'W'));
        EXPECT_EQ(rig.meter.memory().endAddress(), std::uint32_t(c.endAddress));

        auto exchange = rig.exchange();
        core::MemoryImage image;
        ASSERT_EQ(DownloadOverUsb(exchange, image), core::DownloadResult::kOk);
        core::DataSetCollection sets;
        ASSERT_EQ(core::DecodeMemoryImage(image, sets, QDateTime(QDate(2000, 1, 1), QTime())),
                  core::kDecodeOk);
        ASSERT_EQ(sets.count(), 1);
        EXPECT_EQ(core::DateTimeFromTDateTime(sets.header(0).startTime),
                  QDateTime(QDate(2017, 3, 9), QTime(14, 5, 30)));
        EXPECT_EQ(sets.header(0).intervalSeconds, c.intervalS);
        EXPECT_EQ(sets.header(0).pointCount, std::atoi(c.points));
    }
}

TEST(MeterSetup, QuickRecordStopsAtTheFirstFailedWrite) {
    SetupRig rig;
    rig.meter.faults().refuseReplies['W'] = 1;
    const SetupOutcome o = rig.setup.quickRecord("1", "2");
    EXPECT_EQ(o.code, core::EepromWriteResult::kWriteCommand);
    EXPECT_EQ(o.statusText(), "Fail");
    EXPECT_EQ(rig.letters(), "W");
}

TEST(MeterSetup, CalibrationValuesAreReadBack) {
    SetupRig rig;
    core::CalibrationValues values{
        {1.0f, 2.0f, 0.5f, 1.25f}, {0.0f, -1.5f, 0.25f, 3.0f}, {0.5f, 0, 0, -0.5f}};
    rig.meter.setCalibration(values);
    const SetupOutcome o = rig.setup.readCalibration();
    ASSERT_TRUE(o.calibration);
    EXPECT_EQ(o.calibration->gain, values.gain);
    EXPECT_EQ(o.calibration->externalOffset, values.externalOffset);
    EXPECT_EQ(o.calibration->cjcOffset, values.cjcOffset);
    EXPECT_EQ(core::CalibrationText(o.calibration->gain[0]), "1.00000000");
    EXPECT_EQ(rig.letters(), "YZ");
}

TEST(MeterSetup, OneOperationAtATime) {
    SetupRig rig;
    SetupOutcome inner;
    rig.onStarted = [&] {
        rig.onStarted = {};
        inner = rig.meterSetup.eraseMeterMemory();
    };
    EXPECT_TRUE(rig.setup.readMeterInfo().ok());
    EXPECT_EQ(inner.end, End::Busy);
    EXPECT_EQ(rig.letters(), "X");
    EXPECT_FALSE(rig.setup.running());

    SetupRig held;
    held.linkFree = false;
    EXPECT_EQ(held.setup.readMeterInfo().end, End::Busy);
    EXPECT_EQ(held.setup.eraseMeterMemory().end, End::Busy);
    EXPECT_EQ(held.letters(), "");
    EXPECT_EQ(held.log, "label take done take ") << "finished answers started; release only a taken link";
}

} // namespace
} // namespace thermo4::link
