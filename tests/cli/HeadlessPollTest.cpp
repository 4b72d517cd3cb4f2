#include "cli/HeadlessPoll.h"
#include "session/MeterSession.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <QLocale>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace thermo4::cli {
namespace {

TEST(LiveCsvLine, ShowsCelsiusWithOneDecimalOrTheChannelState) {
    struct Case {
        std::array<float, 4> reading;
        std::uint8_t channelState;
        const char* expected;
    };
    const Case cases[] = {
        {{25.3F, -5.2F, 0.0F, 1234.5F}, 0x00, "25.3,-5.2,0.0,1234.5"},
        {{25.3F, 1, 2, 3}, 0x01, "OL,1.0,2.0,3.0"},
        {{1, 2, 3, 4}, 0x80, "1.0,2.0,3.0,----"},
        {{1, 2, 3, 4}, 0x42, "1.0,OL,----,4.0"},
        {{1, 2, 3, 4}, 0x11, "OL,2.0,3.0,4.0"}, // over range wins over no reading
        {{-3276.8F, 0.04F, -0.04F, 99.96F}, 0x00, "-3276.8,0.0,0.0,100.0"},
    };
    const QDateTime time(QDate(2024, 2, 29), QTime(23, 5, 9, 40));
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // "," decimals must not leak in
    for (const Case& c : cases) {
        core::MeterStatus status;
        status.reading = c.reading;
        status.channelState = c.channelState;
        EXPECT_EQ(LiveCsvLine(time, status).toStdString(),
                  std::string("2024-02-29T23:05:09.040,") + c.expected);
    }
    QLocale::setDefault(saved);
}

/// A headless session over the virtual meter on USB, on a manual clock.
struct HeadlessRig {
    link::ManualClock clock;
    sim::VirtualMeter meter{clock};
    sim::SimUsbTransport usb{meter};
    sim::SimSerialPort serial{clock};
    session::MeterSession session{clock, usb, serial};
    QStringList lines;
    /// The readings the session announced, as CSV lines.
    QStringList readings;
    /// printLine fails from this line on.
    qsizetype refuseAfter = 1000;

    HeadlessRig() {
        session.setPollOnTimer(false);
        QObject::connect(&session, &session::MeterSession::reading, [this](const session::Reading& reading) {
            readings << LiveCsvLine(reading.time, reading.status);
        });
    }
    HeadlessPollEnd run(int samples) {
        HeadlessPoll poll;
        poll.samples = samples;
        return poll.run(session, clock, [&](const QString& line) {
            lines << line;
            return lines.size() < refuseAfter;
        });
    }
};

TEST(HeadlessPoll, PrintsOneLinePerReadingEvery500ms) {
    HeadlessRig rig;
    rig.meter.setFixedCelsius(1, 30.0);
    rig.meter.setProbe(2, sim::ChannelShow::OverRange);
    rig.meter.setProbe(3, sim::ChannelShow::NoReading);
    ASSERT_EQ(rig.run(3), HeadlessPollEnd::SamplesDone);
    ASSERT_EQ(rig.lines.size(), 3);
    const QRegularExpression shape(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3},-?\d+\.\d,30\.0,OL,----$)"));
    for (const QString& line : rig.lines) {
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
    }
    EXPECT_EQ(rig.readings, rig.lines) << "one line per reading the session announces";
    EXPECT_EQ(rig.meter.receivedLetters(), "KAAA");
    EXPECT_EQ(rig.clock.tickMs(), 1500) << "identify at 0, frames at 500, 1000, 1500";
}

TEST(HeadlessPoll, GivesUpAfterFiveSecondsWithoutAValidReadingAndSaysWhy) {
    struct Case {
        const char* name;
        void (*setUp)(HeadlessRig&);
        HeadlessPollEnd end;
        int lines;
        std::int64_t endTick;
    };
    const Case cases[] = {
        {"no meter", [](HeadlessRig& r) { r.usb.setPlugged(false); }, HeadlessPollEnd::NoMeter, 0, 5000},
        {"another model", [](HeadlessRig& r) { r.meter.setModel("419"); }, HeadlessPollEnd::NoMeter, 0, 5000},
        // Identify at 0, two frames (500, 1000), unplugged from the third read on.
        {"meter lost", [](HeadlessRig& r) { r.meter.faults().unplugAfterReads = 3; },
         HeadlessPollEnd::MeterStopped, 2, 6000},
        // The meter answers every read, but no reply starts with 0x02.
        {"invalid frames", [](HeadlessRig& r) { r.meter.setLiveFrames({sim::LiveFrame{}}); },
         HeadlessPollEnd::InvalidFrames, 0, 5000},
    };
    for (const Case& c : cases) {
        HeadlessRig rig;
        c.setUp(rig);
        EXPECT_EQ(rig.run(0), c.end) << c.name;
        EXPECT_EQ(rig.lines.size(), c.lines) << c.name;
        EXPECT_EQ(rig.clock.tickMs(), c.endTick) << c.name;
    }
}

TEST(HeadlessPoll, WithAListenerForSilenceItSaysSoOnceAndGoesOnUntilTheMeterIsBack) {
    HeadlessRig rig;
    // Identify at 0, two frames (500, 1000), unplugged from the third read on.
    rig.meter.faults().unplugAfterReads = 3;
    HeadlessPoll poll;
    poll.samples = 3;
    std::vector<std::int64_t> silentAt;
    poll.meterSilent = [&rig, &silentAt] { silentAt.push_back(rig.clock.tickMs()); };
    // The meter is plugged in again at 8 s, found by the poll's next identify.
    QObject::connect(&rig.session, &session::MeterSession::identifyFailed, [&rig] {
        if (rig.clock.tickMs() >= 8000) {
            rig.meter.faults().unplugAfterReads = -1;
            rig.usb.setPlugged(true);
        }
    });
    EXPECT_EQ(poll.run(rig.session, rig.clock,
                       [&rig](const QString& line) {
                           rig.lines << line;
                           return true;
                       }),
              HeadlessPollEnd::SamplesDone);
    EXPECT_EQ(silentAt, std::vector<std::int64_t>{6000}) << "once, 5 s after the last reading";
    EXPECT_EQ(rig.lines.size(), 3) << "the meter that came back gave the third";
    EXPECT_GT(rig.clock.tickMs(), 8000);
}

TEST(HeadlessPoll, StopsWhenALineCannotBePrinted) {
    HeadlessRig rig;
    rig.refuseAfter = 2;
    EXPECT_EQ(rig.run(0), HeadlessPollEnd::OutputFailed);
    EXPECT_EQ(rig.lines.size(), 2);
}

} // namespace
} // namespace thermo4::cli
