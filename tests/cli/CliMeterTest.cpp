#include "CliRun.h"

#include "sim/LoggerMemory.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace thermo4::cli::test {
namespace {

/// A temporary folder holding scenario files and the images they name.
struct ScenarioDir {
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    /// A logger memory with `sets` data sets of 10 points, saved as image.ch4.
    sim::LoggerMemory writeMemory(int sets) {
        sim::LoggerMemory memory;
        for (int s = 0; s < sets; ++s) {
            sim::LoggedDataSet set;
            set.start = QDateTime(QDate(2024, 3, 1 + s), QTime(9, 30, 0));
            set.intervalSeconds = 2;
            for (int i = 0; i < 10; ++i) {
                set.samples.push_back({static_cast<std::int16_t>(700 + i), 710, 720, 730});
            }
            EXPECT_TRUE(memory.append(set));
        }
        const auto& bytes = memory.bytes();
        write(QStringLiteral("image.ch4"),
              QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        return memory;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST(CliLive, PrintsTheHeaderAndNLinesFromTheVirtualMeter) {
    const CliRun run = RunCli({"live", "--simulate", "--samples", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    EXPECT_EQ(lines[0], "time,T1,T2,T3,T4");
    const QRegularExpression row(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(,(-?\d+\.\d|OL|----)){4}$)"));
    for (int i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(row.match(lines[i]).hasMatch()) << lines[i].toStdString();
    }
}

TEST(CliLive, AKillLeavesEveryPrintedLineWhole) {
    // Each line reaches the pipe (or a redirected file) as it is printed: without the
    // flush nothing would arrive before the buffer fills.
    QProcess process;
    process.start(QStringLiteral(THERMO4_CLI_PATH), {"live", "--simulate"});
    QByteArray out;
    while (out.count('\n') < 4 && process.waitForReadyRead(60000))
        out += process.readAllStandardOutput();
    process.kill();
    process.waitForFinished();
    out += process.readAllStandardOutput();
    ASSERT_GE(out.count('\n'), 4) << out.toStdString();
    EXPECT_TRUE(out.endsWith('\n')) << out.toStdString();
    const QRegularExpression row(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(,(-?\d+\.\d|OL|----)){4}$)"));
    const QStringList lines = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines[0], "time,T1,T2,T3,T4");
    for (int i = 1; i < lines.size(); ++i)
        EXPECT_TRUE(row.match(lines[i]).hasMatch()) << lines[i].toStdString();
}

TEST(CliLive, RefusesBadOptionsAndBadScenarios) {
    ScenarioDir scenarios;
    const QString unknownKey = scenarios.write("typo.json", R"({"modle": "418"})");
    struct Case {
        QStringList args;
        int exitCode;
        const char* errorPart;
    };
    const Case cases[] = {
        {{"live", "--simulate", "--samples", "0"}, 2, "--samples"},
        {{"live", "--simulate", "--samples", "two"}, 2, "--samples"},
        {{"live", "--simulate=" + unknownKey}, 1, "modle"},
        {{"live", "--simulate=" + scenarios.path("missing.json")}, 1, "missing.json"},
        {{"download", "--simulate"}, 2, "-o"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.errorPart)) << run.err.toStdString();
    }
}

TEST(CliServe, ABadOrBusyAddressEndsItBeforeTheMeterIsTouchedAndAnOpenOneIsSaid) {
    ScenarioDir scenarios;
    const QString missing = scenarios.path("missing.json");
    QTcpServer busy;
    ASSERT_TRUE(busy.listen(QHostAddress::LocalHost));
    const QString busyPort = QString::number(busy.serverPort());
    struct Case {
        QStringList args;
        int exitCode;
        QString error;
    };
    // A missing scenario fails only once the meter is made: the address is checked before.
    const Case cases[] = {
        {{"serve", "--simulate=" + missing}, 2, "serve needs --http [ADDR:]PORT"},
        {{"serve", "--simulate=" + missing, "--http", "80800"}, 2, "port must be a number"},
        {{"serve", "--simulate=" + missing, "--http", "example.org:80"}, 2, "is not an IP address"},
        {{"serve", "--simulate=" + missing, "--http", busyPort}, 1, "127.0.0.1:" + busyPort + ": "},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.err.contains(c.error)) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
    const CliRun open = RunCli({"serve", "--simulate=" + missing, "--http", "0.0.0.0:0"});
    EXPECT_EQ(open.exitCode, 1);
    EXPECT_TRUE(open.err.contains("missing.json")) << open.err.toStdString();
    EXPECT_TRUE(open.out.startsWith("Live page: http://0.0.0.0:")) << open.out.toStdString();
    EXPECT_TRUE(open.err.contains("open to the network")) << open.err.toStdString();
}

TEST(CliLive, SaysSoWhenNoMeterAnswersWithinFiveSeconds) {
    ScenarioDir scenarios;
    const QString otherModel = scenarios.write("other.json", R"({"model": "419"})");
    const CliRun run = RunCli({"live", "--simulate=" + otherModel});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no meter answered within 5 s")) << run.err.toStdString();
    EXPECT_EQ(run.out, "") << "the header comes with the first reading";
}

// Two programs on two virtual meters that stand for the same two USB devices.
TEST(CliTwoMeters, EachProgramTakesAMeterNoOtherHolds) {
    ScenarioDir scenarios;
    scenarios.writeMemory(1);
    const QString pathA = scenarios.path("hidraw-a");
    const QString pathB = scenarios.path("hidraw-b");
    const QStringList meters{
        "--simulate=" +
            scenarios.write("a.json",
                            QStringLiteral(R"({"usb_path": "%1", "serial": "SNA"})").arg(pathA).toUtf8()),
        "--simulate=" +
            scenarios.write("b.json",
                            QStringLiteral(R"({"usb_path": "%1", "serial": "SNB", "memory": "image.ch4"})")
                                .arg(pathB)
                                .toUtf8())};
    CliRunOptions options;
    options.extra.insert(QStringLiteral("XDG_RUNTIME_DIR"), scenarios.dir.path());

    const CliRun ports = RunCli(QStringList{"ports"} + meters, options);
    EXPECT_TRUE(ports.out.startsWith(QStringLiteral("usb,%1,SNA\nusb,%2,SNB\n").arg(pathA, pathB)))
        << ports.out.toStdString();

    QProcess live;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(options.extra);
    live.setProcessEnvironment(env);
    live.start(QStringLiteral(THERMO4_CLI_PATH), QStringList{"live"} + meters);
    QByteArray out;
    while (out.count('\n') < 2 && live.waitForReadyRead(60000))
        out += live.readAllStandardOutput();
    ASSERT_EQ(out.count('\n'), 2) << "live reads the first free meter, SNA";

    const CliRun refused =
        RunCli(QStringList{"download", "--usb", "SNA", "-o", scenarios.path("a.ch4")} + meters, options);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("the meter on %1 is in use by thermo4-cli (pid %2)").arg(pathA).arg(live.processId())))
        << refused.err.toStdString();
    const CliRun second =
        RunCli(QStringList{"download", "--usb", "SNB", "-o", scenarios.path("b.ch4")} + meters, options);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(QFile::exists(scenarios.path("b.ch4")));

    ::kill(static_cast<pid_t>(live.processId()), SIGKILL);
    live.waitForFinished();
    const CliRun freed = RunCli(QStringList{"live", "--samples", "1", "--usb", pathA} + meters, options);
    EXPECT_EQ(freed.exitCode, 0) << "a killed holder leaves the meter free: " << freed.err.toStdString();
}

TEST(CliDownload, WritesTheImageThatSetsThenLists) {
    ScenarioDir scenarios;
    const sim::LoggerMemory memory = scenarios.writeMemory(2);
    const QString scenario =
        scenarios.write("meter.json", R"({"memory": "image.ch4", "faults": {"stall_after_block": 10}})");
    const QString output = scenarios.path("out.ch4");

    const CliRun run = RunCli({"download", "--simulate=" + scenario, "-o", output});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("received")) << "progress goes to stderr";
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    ASSERT_GT(written.size(), static_cast<qsizetype>(memory.endAddress()));
    EXPECT_EQ(written.size() % 32, 0);
    EXPECT_EQ(written.left(static_cast<qsizetype>(memory.bytes().size())),
              QByteArray(reinterpret_cast<const char*>(memory.bytes().data()),
                         static_cast<qsizetype>(memory.bytes().size())));

    const CliRun sets = RunCli({"sets", output});
    ASSERT_EQ(sets.exitCode, 0) << sets.err.toStdString();
    const QStringList lines = sets.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("1,2024-03-01T09:30:00,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("2,2024-03-02T09:30:00,")) << lines[2].toStdString();
}

TEST(CliDownload, AFailureNamesItsCodeAndKeepsTheOldFile) {
    ScenarioDir scenarios;
    scenarios.writeMemory(1);
    const QString failing =
        scenarios.write("fail.json", R"({"memory": "image.ch4", "faults": {"fail_block_reads": [1]}})");
    const QString empty = scenarios.write("empty.json", R"({})");
    struct Case {
        QString scenario;
        const char* message;
    };
    const Case cases[] = {
        {failing, "There was error,please try again!   error code=1005"},
        {empty, "There was not any data recorded in momery of meter !"},
    };
    for (const Case& c : cases) {
        const QString output = scenarios.write("old.ch4", "old contents");
        const CliRun run = RunCli({"download", "--simulate=" + c.scenario, "-o", output});
        EXPECT_EQ(run.exitCode, 1) << c.message;
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        QFile file(output);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "old contents");
    }
}

} // namespace
} // namespace thermo4::cli::test
