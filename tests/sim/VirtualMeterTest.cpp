#include "sim/VirtualMeter.h"
#include "core/Commands.h"
#include "core/MemoryDecoder.h"
#include "core/MeterStatus.h"
#include "core/TDateTime.h"
#include "link/UsbDownload.h"
#include "link/UsbTransactions.h"
#include "sim/SimUsbTransport.h"
#include "support/ManualClock.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <functional>

namespace thermo4::sim {
namespace {

using core::MeterStatus;

class VirtualMeterTest : public testing::Test {
protected:
    link::ManualClock clock;
    VirtualMeter meter{clock};
    SimUsbTransport usb{meter};
    core::CommandFrame frame;
    std::uint8_t sequence = 0;
    link::ReplyBuffer reply{};
    link::UsbExchange usbExchange{usb, clock, frame, sequence, reply};

    MeterStatus liveStatus() {
        EXPECT_TRUE(link::ReadLiveFrameUsb(usbExchange));
        EXPECT_TRUE(core::LiveFrameMarkersOk(reply));
        MeterStatus status;
        core::DecodeStatus(std::span<const std::uint8_t, 64>(reply), status);
        return status;
    }
    core::LinkResult press(char letter) {
        core::CommandFrame keyFrame;
        keyFrame.setCommand(letter);
        return link::PanelTransaction(usb, keyFrame);
    }
    // Sends one command frame straight through the transport and reads n bytes.
    std::optional<std::vector<std::uint8_t>> exchange(char letter, std::size_t n, std::uint8_t p1 = 0,
                                                      std::uint8_t p2 = 0) {
        core::CommandFrame f;
        f.setCommand(letter);
        f.param(1) = p1;
        f.param(2) = p2;
        EXPECT_EQ(usb.open(link::kUsbVendorId, link::kUsbProductId), 0);
        EXPECT_EQ(usb.writeCommand(f.span()), 0);
        std::vector<std::uint8_t> out(n);
        if (usb.read(out) != 0)
            return std::nullopt;
        return out;
    }
};

TEST_F(VirtualMeterTest, IdentifyCarriesTheModelCode) {
    ASSERT_TRUE(link::IdentifyUsb(usbExchange, 'K'));
    EXPECT_TRUE(core::ReplyHasModelCode(reply));
    meter.setModel("419");
    ASSERT_TRUE(link::IdentifyUsb(usbExchange, 'K'));
    EXPECT_FALSE(core::ReplyHasModelCode(reply));
    EXPECT_EQ(std::string(reply.begin() + 23, reply.begin() + 26), "419");
    EXPECT_FALSE(usb.isOpen()); // identify closes the device
}

TEST_F(VirtualMeterTest, LiveFrameShowsFixedReadingsAndDriftsOtherwise) {
    meter.setFixedCelsius(0, 25.3);
    meter.setFixedCelsius(1, -5.2);
    const MeterStatus s = liveStatus();
    EXPECT_NEAR(s.reading[0], 25.3, 1e-4);
    EXPECT_EQ(s.digit[0], (std::array<std::uint8_t, 4>{16, 2, 5, 3}));
    EXPECT_TRUE(s.T1_P);
    EXPECT_NEAR(s.reading[1], -5.2, 1e-4);
    EXPECT_TRUE(s.T2_minus);
    // Free channels read room temperatures that move as the clock runs.
    std::vector<float> t3;
    for (int i = 0; i < 240; ++i) {
        const float v = liveStatus().reading[2];
        EXPECT_GT(v, 15.0f);
        EXPECT_LT(v, 35.0f);
        t3.push_back(v);
        clock.advance(500);
    }
    const auto [lo, hi] = std::minmax_element(t3.begin(), t3.end());
    EXPECT_GT(*hi - *lo, 0.2f);
    EXPECT_LT(*hi - *lo, 8.0f);
}

TEST_F(VirtualMeterTest, SameSeedAndClockGiveTheSameFrames) {
    link::ManualClock otherClock;
    VirtualMeter other{otherClock};
    VirtualMeter differentSeed{otherClock, 7};
    bool seedMatters = false;
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(meter.liveFrame(), other.liveFrame());
        seedMatters = seedMatters || meter.liveFrame() != differentSeed.liveFrame();
        clock.advance(700);
        otherClock.advance(700);
    }
    EXPECT_TRUE(seedMatters);
}

TEST_F(VirtualMeterTest, ProbeStatesShowOverRangeAndNoReading) {
    meter.setProbe(1, ChannelShow::OverRange);
    meter.setProbe(3, ChannelShow::NoReading);
    const MeterStatus s = liveStatus();
    EXPECT_EQ(s.channelState, 0x02 | 0x80);
    EXPECT_EQ(s.digit[1], (std::array<std::uint8_t, 4>{16, 0, 18, 16}));
    EXPECT_EQ(s.digit[3], (std::array<std::uint8_t, 4>{17, 17, 17, 17}));
}

struct KeyCase {
    const char* name;
    std::string keys;
    /// Empty: the keys bring the display back to where it started.
    std::function<bool(const MeterStatus&, const DisplayState&)> shows;
};

// Every key answers "OK" and its effect is on the next frame.
TEST_F(VirtualMeterTest, KeysAnswerOkAndChangeTheNextFrame) {
    const KeyCase cases[] = {
        {"HOLD", "H", [](const MeterStatus& s, const DisplayState&) { return s.imgHOLD; }},
        {"HOLD twice", "HH", nullptr},
        {"C/F", "C",
         [](const MeterStatus& s, const DisplayState&) { return s.unitFahrenheit && s.imgT1F && !s.imgT1C; }},
        {"C/F twice", "CC", nullptr},
        {"MAX", "M", [](const MeterStatus& s, const DisplayState&) { return s.lblMAX && !s.lblMIN; }},
        {"MIN", "MM", [](const MeterStatus& s, const DisplayState&) { return s.lblMIN && !s.lblMAX; }},
        {"AVG", "MMM", [](const MeterStatus& s, const DisplayState&) { return s.lblAVG && !s.lblMIN; }},
        {"all blinking", "MMMM",
         [](const MeterStatus& s, const DisplayState&) { return s.statsMode && s.statsBlink; }},
        {"back to MAX", "MMMMM",
         [](const MeterStatus& s, const DisplayState&) { return s.lblMAX && !s.statsMode; }},
        {"N leaves", "MMN", nullptr},
        {"REC twice", "EE", nullptr},
        {"Recall", "R",
         [](const MeterStatus& s, const DisplayState&) { return s.imgRecall && s.smallDigit[1] == 0; }},
        {"MEM", "m", [](const MeterStatus& s, const DisplayState&) { return s.imgMEM; }},
        {"backlight", "B", [](const MeterStatus&, const DisplayState& d) { return d.backlight; }},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        link::ManualClock keyClock;
        VirtualMeter fresh{keyClock};
        SimUsbTransport freshUsb{fresh};
        for (int ch = 0; ch < 4; ++ch)
            fresh.setFixedCelsius(ch, 20.5 + ch);
        const MeterStatus before = [&] {
            MeterStatus s;
            const LiveFrame f = fresh.liveFrame();
            core::DecodeStatus(std::span<const std::uint8_t, 64>(f), s);
            return s;
        }();
        const DisplayState shownBefore = fresh.display();
        if (c.shows) {
            EXPECT_FALSE(c.shows(before, shownBefore));
        }
        for (const char key : c.keys) {
            core::CommandFrame keyFrame;
            keyFrame.setCommand(key);
            EXPECT_EQ(link::PanelTransaction(freshUsb, keyFrame), 0);
            keyClock.advance(100);
        }
        const LiveFrame f = fresh.liveFrame();
        MeterStatus after;
        core::DecodeStatus(std::span<const std::uint8_t, 64>(f), after);
        if (c.shows) {
            EXPECT_TRUE(c.shows(after, fresh.display()));
        } else {
            EXPECT_EQ(after, before);
            EXPECT_EQ(fresh.display(), shownBefore);
        }
        EXPECT_EQ(fresh.receivedLetters(), c.keys);
    }
}

TEST_F(VirtualMeterTest, HoldFreezesTheReadingsUntilReleased) {
    meter.setFixedCelsius(0, 21.0);
    ASSERT_EQ(press('H'), 0);
    meter.setFixedCelsius(0, 35.0);
    clock.advance(5000);
    EXPECT_NEAR(liveStatus().reading[0], 21.0, 1e-4);
    ASSERT_EQ(press('C'), 0); // the held value follows the unit
    EXPECT_NEAR(liveStatus().reading[0], 21.0, 0.05);
    ASSERT_EQ(press('H'), 0);
    EXPECT_NEAR(liveStatus().reading[0], 35.0, 0.05);
}

TEST_F(VirtualMeterTest, UnitKeySwitchesTheFrameToFahrenheit) {
    meter.setFixedCelsius(0, 100.0);
    ASSERT_EQ(press('C'), 0);
    const MeterStatus s = liveStatus();
    EXPECT_TRUE(s.unitFahrenheit);
    EXPECT_EQ(reply[9] << 8 | reply[10], 2120); // 212.0 °F
    EXPECT_NEAR(s.reading[0], 100.0, 1e-3);
    EXPECT_EQ(s.digit[0], (std::array<std::uint8_t, 4>{2, 1, 2, 0}));
}

TEST_F(VirtualMeterTest, StatisticsCoverWhatWasMeasuredSinceTheModeBegan) {
    meter.setFixedCelsius(0, 40.0);
    clock.advance(3000); // before the mode: not counted
    meter.setFixedCelsius(0, 20.0);
    ASSERT_EQ(press('M'), 0); // measures 20.0 at once
    meter.setFixedCelsius(0, 30.0);
    clock.advance(1000); // two measurements of 30.0
    EXPECT_NEAR(liveStatus().reading[0], 30.0, 1e-4);
    meter.setFixedCelsius(0, 25.0);
    clock.advance(500); // one of 25.0
    EXPECT_NEAR(liveStatus().reading[0], 30.0, 1e-4);
    ASSERT_EQ(press('M'), 0);
    EXPECT_NEAR(liveStatus().reading[0], 20.0, 1e-4);
    ASSERT_EQ(press('M'), 0);
    EXPECT_NEAR(liveStatus().reading[0], 26.3, 1e-4); // (20 + 30 + 30 + 25) / 4 = 26.25
    ASSERT_EQ(press('M'), 0);
    EXPECT_NEAR(liveStatus().reading[0], 25.0, 1e-4); // all labels: the current reading
    ASSERT_EQ(press('N'), 0);
    EXPECT_NEAR(liveStatus().reading[0], 25.0, 1e-4);
}

TEST_F(VirtualMeterTest, SmallDigitsShowTypeLetterOrStoredSetCount) {
    meter.setThermocoupleType(4);
    EXPECT_EQ(liveStatus().smallDigit[0], 21); // n
    meter.setThermocoupleType(6);
    EXPECT_EQ(liveStatus().smallDigit[0], 5); // S drawn as 5
    ASSERT_EQ(press('R'), 0);
    const MeterStatus s = liveStatus();
    EXPECT_EQ(s.smallDigit, (std::array<std::uint8_t, 2>{0, 0}));
}

TEST_F(VirtualMeterTest, RecordingAppendsADataSetTheDecoderReads) {
    meter.setFixedCelsius(0, 25.0);
    meter.setFixedCelsius(1, -10.0);
    meter.setProbe(2, ChannelShow::OverRange);
    meter.setProbe(3, ChannelShow::NoReading);
    meter.setThermocoupleType(1);
    meter.setRecordIntervalSeconds(2);
    const QDateTime start = clock.now();
    ASSERT_EQ(press('E'), 0);
    EXPECT_TRUE(meter.recording());
    clock.advance(10000); // samples at 0, 2, …, 10 s
    ASSERT_EQ(press('E'), 0);
    EXPECT_FALSE(meter.recording());
    EXPECT_EQ(meter.memory().dataSetCount(), 1);
    EXPECT_EQ(meter.memory().endAddress(), LoggerMemory::kFirstRecord + LoggerMemory::recordSize(6) - 1);

    core::DataSetCollection sets;
    const core::MemoryImage image(meter.memory().bytes());
    ASSERT_EQ(core::DecodeMemoryImage(image, sets, clock.now()), core::kDecodeOk);
    ASSERT_EQ(sets.count(), 1);
    const core::DataSet& set = sets.header(0);
    EXPECT_EQ(set.pointCount, 6);
    EXPECT_EQ(set.intervalSeconds, 2);
    EXPECT_TRUE(set.celsius);
    EXPECT_EQ(set.thermocoupleType, 1);
    EXPECT_DOUBLE_EQ(set.startTime, core::TDateTimeFromDateTime(start));
    const auto values = sets.valuesOf(0);
    for (int k = 0; k < 6; ++k) {
        EXPECT_NEAR(values[4 * k + 0], 25.0, 0.06);
        EXPECT_NEAR(values[4 * k + 1], -10.0, 0.06);
        EXPECT_NEAR(values[4 * k + 2], (3276.7 - 32) * 5 / 9, 0.01);
        EXPECT_NEAR(values[4 * k + 3], (-3276.8 - 32) * 5 / 9, 0.01);
    }
}

TEST_F(VirtualMeterTest, RecordingStopsWithFullWhenTheMemoryRunsOut) {
    LoggedDataSet big;
    big.start = clock.now();
    const std::size_t room = LoggerMemory::kLastRecordByte + 1 - LoggerMemory::kFirstRecord;
    big.samples.resize((room - LoggerMemory::recordSize(0)) / 8 - 3); // leaves room for 3 points
    ASSERT_TRUE(meter.memory().append(big));
    ASSERT_EQ(press('E'), 0);
    clock.advance(10000);
    const MeterStatus s = liveStatus();
    EXPECT_TRUE(s.imgFULL);
    EXPECT_FALSE(s.meterRecording);
    EXPECT_EQ(meter.memory().dataSetCount(), 2);
    EXPECT_EQ(meter.memory().endAddress(), LoggerMemory::kLastRecordByte);
    ASSERT_EQ(press('E'), 0); // no room for a single point: stays FULL, not recording
    EXPECT_FALSE(meter.recording());
    EXPECT_TRUE(liveStatus().imgFULL);
}

TEST_F(VirtualMeterTest, LogKeepsEveryFrameInOrder) {
    ASSERT_TRUE(link::IdentifyUsb(usbExchange, 'K'));
    liveStatus();
    liveStatus();
    ASSERT_EQ(press('B'), 0);
    EXPECT_EQ(meter.receivedLetters(), "KAAB");
    ASSERT_EQ(meter.received().size(), 4u);
    EXPECT_EQ(meter.received()[1].bytes[5], 1); // live-read sequence numbers
    EXPECT_EQ(meter.received()[2].bytes[5], 2);
    meter.clearReceived();
    EXPECT_EQ(meter.receivedLetters(), "");
}

} // namespace
} // namespace thermo4::sim

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
