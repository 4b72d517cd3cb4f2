#include "sim/Scenario.h"
#include "core/CommandFrame.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace thermo4::sim {
namespace {

QString HexFrame(std::uint8_t fill) {
    LiveFrame f;
    f.fill(fill);
    f[0] = 0x02;
    f[63] = 0x03;
    return LiveFrameToHex(f);
}

class ScenarioTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    std::optional<Scenario> parse(const QByteArray& json) {
        return ParseScenario(json, QDir(dir.path()), &error);
    }

    QTemporaryDir dir;
    QString error;
    link::ManualClock clock;
};

TEST_F(ScenarioTest, EveryKeyIsReadAndApplied) {
    std::vector<std::uint8_t> image(0xB00 + 64, 0x11);
    image[9] = 0; // no data set
    write("image.ch4",
          QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())));
    const QByteArray json = R"({
        "model": "419",
        "live_frames": [")" +
                            HexFrame(0xAA).toLatin1() + R"(", ")" + HexFrame(0xBB).toUpper().toLatin1() +
                            R"("],
        "memory": "image.ch4",
        "seed": 42,
        "thermocouple_type": 5,
        "probes": ["ok", "OL", "----", "ok"],
        "fixed_celsius": [25.3, null, null, -12],
        "record_interval_s": 10,
        "usb_path": "/dev/hidraw-sim7", "serial": "SN-7",
        "faults": {
            "fail_block_reads": [5, 9], "stall_after_block": 10, "dead_after_block": 20,
            "bad_checksum_blocks": [7], "bad_trailer_blocks": [8], "cut_short_blocks": [11],
            "seek_answers_wrong_block": true,
            "retry_resends_failed_block": true, "fail_live_reads": [3], "fail_writes": "pq",
            "fail_opens_after": 4, "fail_timeouts_after": 5, "unplug_after_reads": 6 }
    })";
    const auto s = parse(json);
    ASSERT_TRUE(s) << error.toStdString();
    EXPECT_EQ(s->model, "419");
    ASSERT_EQ(s->liveFrames.size(), 2u);
    EXPECT_EQ(s->liveFrames[1][5], 0xBB);
    ASSERT_TRUE(s->memory);
    EXPECT_EQ(*s->memory, image);
    EXPECT_EQ(s->seed, 42u);
    EXPECT_EQ(s->thermocoupleType, 5);
    EXPECT_EQ(s->probes[1], ChannelShow::OverRange);
    EXPECT_EQ(s->probes[2], ChannelShow::NoReading);
    EXPECT_EQ(s->fixedCelsius[0], 25.3);
    EXPECT_FALSE(s->fixedCelsius[1]);
    EXPECT_EQ(s->fixedCelsius[3], -12.0);
    EXPECT_EQ(s->recordIntervalSeconds, 10);
    const MeterFaults& f = s->faults;
    EXPECT_EQ(f.failBlockReads, (std::set<int>{5, 9}));
    EXPECT_EQ(f.stallAfterBlock, 10);
    EXPECT_EQ(f.deadAfterBlock, 20);
    EXPECT_EQ(f.badChecksumBlocks, std::set<int>{7});
    EXPECT_EQ(f.badTrailerBlocks, std::set<int>{8});
    EXPECT_EQ(f.cutShortBlocks, std::set<int>{11});
    EXPECT_TRUE(f.seekAnswersWrongBlock);
    EXPECT_TRUE(f.resendFailedBlockOnRetry);
    EXPECT_EQ(f.failLiveReads, std::set<int>{3});
    EXPECT_EQ(f.failWrites, "pq");
    EXPECT_EQ(f.failOpensAfter, 4);
    EXPECT_EQ(f.failTimeoutsAfter, 5);
    EXPECT_EQ(f.unplugAfterReads, 6);

    VirtualMeter meter{clock};
    ApplyScenario(*s, meter);
    EXPECT_EQ(meter.model(), "419");
    std::vector<std::uint8_t> withSettings = image; // the scenario's settings land in the header
    withSettings[LoggerMemory::kIntervalAt] = 0;
    withSettings[LoggerMemory::kIntervalAt + 1] = 10;
    withSettings[LoggerMemory::kTypeAt] = 5;
    EXPECT_EQ(meter.memory().bytes(), withSettings);
    EXPECT_EQ(meter.faults().failWrites, "pq");
    EXPECT_EQ(meter.liveFrame()[6], 0x02 | 0x40); // probes reach the encoded display
    EXPECT_EQ(meter.usbPath(), "/dev/hidraw-sim7");
    EXPECT_EQ(meter.serialNumber(), "SN-7");
}

TEST_F(ScenarioTest, AnEmptyScenarioIsTheDefaultMeter) {
    const auto s = parse("{}");
    ASSERT_TRUE(s) << error.toStdString();
    VirtualMeter plain{clock};
    VirtualMeter configured{clock};
    ApplyScenario(*s, configured);
    EXPECT_EQ(configured.model(), "418");
    EXPECT_EQ(configured.liveFrame(), plain.liveFrame());
    EXPECT_EQ(configured.memory().bytes(), plain.memory().bytes());
}

TEST_F(ScenarioTest, SetupKeysAreReadAndApplied) {
    const auto s = parse(R"({"calibration": {"gain": [1, 2, 0.5, -1], "cjc_offset": [0, 0, 0, 0.25]},
                             "faults": {"refuse_replies": {"X": 2, "W": -1}}})");
    ASSERT_TRUE(s) << error.toStdString();
    VirtualMeter meter{clock};
    ApplyScenario(*s, meter);
    EXPECT_EQ(meter.calibration().gain, (std::array<float, 4>{1, 2, 0.5f, -1}));
    EXPECT_EQ(meter.calibration().externalOffset, kDefaultCalibration.externalOffset);
    EXPECT_EQ(meter.calibration().cjcOffset, (std::array<float, 4>{0, 0, 0, 0.25f}));
    EXPECT_EQ(meter.faults().refuseReplies, (std::map<char, int>{{'X', 2}, {'W', -1}}));
}

TEST_F(ScenarioTest, LiveFramesAreReplayedInOrderThenFromTheFirst) {
    const auto s = parse(R"({"live_frames": [")" + HexFrame(1).toLatin1() + R"(", ")" +
                         HexFrame(2).toLatin1() + R"(", ")" + HexFrame(3).toLatin1() + R"("]})");
    ASSERT_TRUE(s) << error.toStdString();
    VirtualMeter meter{clock};
    ApplyScenario(*s, meter);
    core::CommandFrame live;
    live.setCommand('A');
    std::vector<int> seen;
    for (int i = 0; i < 7; ++i) {
        meter.receiveCommand(live.span());
        const auto reply = meter.takeReply();
        ASSERT_TRUE(reply);
        ASSERT_EQ(reply->size(), 64u);
        seen.push_back((*reply)[1]);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 1, 2, 3, 1}));
}

TEST_F(ScenarioTest, BadInputIsRefusedWithAMessageNamingTheKey) {
    write("empty.ch4", {});
    write("huge.ch4", QByteArray(262145, '\0'));
    const QByteArray shortFrame = HexFrame(0).left(126).toLatin1();
    QByteArray notHex = HexFrame(0).toLatin1();
    notHex[40] = 'g';
    QByteArray signedHex = HexFrame(0).toLatin1();
    signedHex[40] = '+';
    const struct {
        QByteArray json;
        const char* message;
    } cases[] = {
        {"{", "scenario: not valid JSON"},
        {"[1, 2]", "scenario: expected a JSON object"},
        {R"({"colour": 1})", "colour: unknown key"},
        {R"({"model": "4180"})", "model: expected three characters"},
        {R"({"model": "4\u00e98"})", "model: expected printable ASCII"},
        {R"({"live_frames": "02"})", "live_frames: expected a list"},
        {R"({"live_frames": [12]})", "live_frames[0]: expected a string"},
        {R"({"live_frames": [")" + shortFrame + R"("]})",
         "live_frames[0]: 126 hex digits, a live frame needs 128"},
        {R"({"live_frames": [")" + notHex + R"("]})",
         "live_frames[0]: \"g0\" at digit 41 is not hexadecimal"},
        {R"({"live_frames": [")" + signedHex + R"("]})", "live_frames[0]: \"+0\" at digit 41"},
        {R"({"memory": "missing.ch4"})", "memory: cannot read"},
        {R"({"memory": "empty.ch4"})", "empty.ch4 is empty"},
        {R"({"memory": "huge.ch4"})", "holds 262145 bytes"},
        {R"({"memory": 5})", "memory: expected the path"},
        {R"({"faults": []})", "faults: expected an object"},
        {R"({"faults": {"stall_after": 3}})", "faults.stall_after: unknown key"},
        {R"({"faults": {"fail_block_reads": 5}})", "faults.fail_block_reads: expected a list"},
        {R"({"faults": {"fail_block_reads": [1, 0]}})",
         "faults.fail_block_reads[1]: expected a whole number from 1"},
        {R"({"faults": {"fail_block_reads": [65536]}})", "to 65535"},
        {R"({"faults": {"stall_after_block": "10"}})", "faults.stall_after_block: expected a whole number"},
        {R"({"faults": {"retry_resends_failed_block": 1}})", "expected true or false"},
        {R"({"faults": {"fail_writes": ""}})", "faults.fail_writes: expected a string"},
        {R"({"faults": {"fail_writes": "p q"}})", "\" \" is not a command letter"},
        {R"({"faults": {"unplug_after_reads": -1}})", "faults.unplug_after_reads: expected a whole number"},
        {R"({"thermocouple_type": 256})", "thermocouple_type: expected a whole number from 0 to 255"},
        {R"({"probes": ["ok", "OL"]})", "probes: expected four entries"},
        {R"({"probes": ["ok", "OL", "ol", "ok"]})", "probes[2]: expected"},
        {R"({"fixed_celsius": [1, 2, 3, "x"]})", "fixed_celsius[3]: expected"},
        {R"({"record_interval_s": 0})", "record_interval_s: expected a whole number from 1"},
        {R"({"serial": "SN 7"})", "serial: expected 1 to 64 printable characters"},
        {R"({"usb_path": ""})", "usb_path: expected 1 to 64 printable characters"},
        {R"({"calibration": [1]})", "calibration: expected an object"},
        {R"({"calibration": {"gains": [1, 1, 1, 1]}})", "calibration.gains: unknown key"},
        {R"({"calibration": {"gain": [1, 1, 1]}})", "calibration.gain: expected four numbers"},
        {R"({"calibration": {"gain": [1, 1, 1, "1"]}})", "calibration.gain[3]: expected a number"},
        {R"({"faults": {"refuse_replies": "X"}})", "faults.refuse_replies: expected an object"},
        {R"({"faults": {"refuse_replies": {"XY": 1}}})", "faults.refuse_replies.XY: expected one command"},
        {R"({"faults": {"refuse_replies": {"X": -2}}})", "faults.refuse_replies.X: expected a whole number"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json.toStdString());
        error.clear();
        EXPECT_FALSE(parse(c.json));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << error.toStdString();
    }
}

TEST_F(ScenarioTest, LoadNamesTheFileAndReadsMemoryBesideIt) {
    QString why;
    EXPECT_FALSE(LoadScenario(dir.filePath("absent.json"), &why));
    EXPECT_TRUE(why.contains("absent.json: cannot read the scenario")) << why.toStdString();

    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    write("sub/mem.ch4", QByteArray(0xB00, '\x22'));
    write("sub/s.json", R"({"memory": "mem.ch4", "model": 12})");
    EXPECT_FALSE(LoadScenario(dir.filePath("sub/s.json"), &why));
    EXPECT_TRUE(why.contains("s.json: model: expected")) << why.toStdString();

    write("sub/s.json", R"({"memory": "mem.ch4"})");
    const auto s = LoadScenario(dir.filePath("sub/s.json"), &why);
    ASSERT_TRUE(s) << why.toStdString();
    EXPECT_EQ(s->memory->size(), 0xB00u);
}

TEST_F(ScenarioTest, MakeVirtualMeterRunsTheScenarioWithItsSeed) {
    write("seeded.json", R"({"seed": 7, "model": "419"})");
    QString why;
    const auto meter = MakeVirtualMeter(clock, dir.filePath("seeded.json"), &why);
    ASSERT_TRUE(meter) << why.toStdString();
    EXPECT_EQ(meter->model(), "419");
    VirtualMeter seven{clock, 7};
    EXPECT_EQ(meter->liveFrame(), seven.liveFrame());

    const auto plain = MakeVirtualMeter(clock, QString(), &why);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->liveFrame(), VirtualMeter(clock).liveFrame());

    write("bad.json", R"({"seed": -1})");
    EXPECT_FALSE(MakeVirtualMeter(clock, dir.filePath("bad.json"), &why));
    EXPECT_TRUE(why.contains("bad.json: seed")) << why.toStdString();
}

TEST(ShippedScenarios, AllLoad) {
    QDirIterator it(QStringLiteral(THERMO4_SOURCE_DIR "/resources/scenarios"), {QStringLiteral("*.json")});
    int count = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QString why;
        EXPECT_TRUE(LoadScenario(path, &why)) << why.toStdString();
        ++count;
    }
    EXPECT_GE(count, 2);
}

} // namespace
} // namespace thermo4::sim
