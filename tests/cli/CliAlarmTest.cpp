#include "CliRun.h"

#include "sim/LiveFrameEncoder.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace thermo4::cli::test {
namespace {

/// A scenario whose meter shows these T1 readings (tenths of °C) one frame after the
/// other, then again; T2 stays at 20.0.
QString WriteScenario(const QTemporaryDir& dir, const std::vector<int>& t1Tenths) {
    QByteArray frames;
    for (const int tenths : t1Tenths) {
        sim::DisplayState display;
        display.tenths = {tenths, 200, 300, 400};
        const sim::LiveFrame frame = sim::EncodeLiveFrame(display);
        frames += (frames.isEmpty() ? "\"" : ",\"") +
                  QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size())).toHex() +
                  '"';
    }
    QFile file(dir.filePath(QStringLiteral("crossing.json")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"live_frames\": [" + frames + "]}");
    return file.fileName();
}

TEST(CliAlarm, BadOptionsAreOneLineAndStatusTwoBeforeAnyReading) {
    struct Case {
        QStringList options;
        const char* names;
    };
    const Case cases[] = {
        {{"--alarm", "T5>3"}, "alarm \"T5>3\""},
        {{"--alarm", "T1>>3"}, "alarm \"T1>>3\""},
        {{"--alarm", "T1>abc"}, "alarm \"T1>abc\""},
        {{"--alarm", "T1=3"}, "alarm \"T1=3\""},
        {{"--alarm", ""}, "alarm \"\""},
        {{"--alarm", "T1>3", "--alarm", "T1>4"}, "high limit already"},
        {{"--alarm", "T1>3", "--alarm", "T1<4"}, "must be below"},
        {{"--alarm", "T1>3", "--alarm-for", "-1"}, "--alarm-for"},
        {{"--alarm", "T1>3", "--alarm-for", "2,5"}, "--alarm-for"},
        {{"--alarm", "T1>3", "--alarm-hysteresis", "x"}, "--alarm-hysteresis"},
        {{"--exit-on-alarm"}, "--exit-on-alarm goes with --alarm"},
        {{"--alarm-for", "1"}, "--alarm-for goes with --alarm"},
        {{"--alarm", "T1>3", "--alarm-for", "1", "--alarm-for", "2"}, "--alarm-for was given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const CliRun run = RunCli(QStringList{"live", "--simulate"} + c.options);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, QString());
        EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("thermo4-cli: ") && run.err.contains(QLatin1String(c.names)))
            << run.err.toStdString();
    }
}

QDateTime TimeOf(const QString& line) {
    return QDateTime::fromString(line.left(23), QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

TEST(CliAlarm, CrossingALimitWritesAlarmAndClearAndExitOnAlarmStopsAfterThatReading) {
    QTemporaryDir dir;
    // 20.0, 20.0, then 310.0 for three frames, then 295.0 (inside by more than 0.5) for five.
    const QString scenario = WriteScenario(dir, {200, 200, 3100, 3100, 3100, 2950, 2950, 2950, 2950, 2950});
    const QString at = QStringLiteral(R"( at \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}$)");

    const CliRun run = RunCli(
        {"live", "--simulate=" + scenario, "--alarm", "T1>300", "--alarm", "T2<-5.5", "--samples", "7"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList out = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(out.size(), 8) << run.out.toStdString();
    const QStringList err = run.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(err.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(QRegularExpression("^ALARM T1 > 300.0 value 310.0" + at).match(err[0]).hasMatch())
        << err[0].toStdString();
    EXPECT_TRUE(QRegularExpression("^CLEAR T1 > 300.0 value 295.0" + at).match(err[1]).hasMatch())
        << err[1].toStdString();
    // Each line carries the time of the reading that began or ended the alarm.
    EXPECT_EQ(err[0].right(23), out[3].left(23));
    EXPECT_EQ(err[1].right(23), out[6].left(23));

    // Held for 1 s: the alarm begins at the first 310.0 reading 1 s or more after the first one.
    const CliRun held =
        RunCli({"live", "--simulate=" + scenario, "--alarm", "T1>300", "--alarm-for", "1", "--samples", "5"});
    EXPECT_EQ(held.exitCode, 0) << held.err.toStdString();
    const QStringList heldOut = held.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(heldOut.size(), 6);
    const QDateTime firstHigh = TimeOf(heldOut[3]);
    int began = 3;
    while (began < 5 && firstHigh.msecsTo(TimeOf(heldOut[began])) < 1000) {
        ++began;
    }
    if (firstHigh.msecsTo(TimeOf(heldOut[began])) >= 1000) {
        EXPECT_EQ(held.err, "ALARM T1 > 300.0 value 310.0 at " + heldOut[began].left(23) + '\n');
    } else {
        EXPECT_EQ(held.err, QString());
    }

    const CliRun stop =
        RunCli({"live", "--simulate=" + scenario, "--alarm", "T1>300", "--exit-on-alarm", "--samples", "8"});
    EXPECT_EQ(stop.exitCode, 3) << stop.err.toStdString();
    const QStringList printed = stop.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(printed.size(), 4) << stop.out.toStdString();
    EXPECT_TRUE(printed.last().contains(",310.0,20.0,30.0,40.0")) << printed.last().toStdString();
    EXPECT_TRUE(stop.err.startsWith("ALARM T1 > 300.0 value 310.0 at ")) << stop.err.toStdString();
}

} // namespace
} // namespace thermo4::cli::test
