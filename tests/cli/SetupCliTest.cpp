#include "CliRun.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::cli::test {
namespace {

/// Scenario files for the virtual meter in a temporary folder.
class SetupCli : public testing::Test {
protected:
    /// A scenario whose logger memory is a bare header with the given bytes, plus extra keys.
    QString scenario(std::initializer_list<std::pair<std::size_t, std::uint8_t>> header,
                     const QByteArray& extraKeys = {}) {
        QByteArray memory(0xB00, '\0');
        for (const auto& [at, value] : header)
            memory[static_cast<qsizetype>(at)] = static_cast<char>(value);
        write(QStringLiteral("memory.ch4"), memory);
        QByteArray json = R"({"memory": "memory.ch4")";
        if (!extraKeys.isEmpty())
            json += ", " + extraKeys;
        return QStringLiteral("--simulate=") + write(QStringLiteral("scenario.json"), json + "}");
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir m_dir;
};

TEST_F(SetupCli, InfoPrintsTheScenarioMemoryAsTheDialogShowsIt) {
    const QString meter = scenario({{3, 1},
                                    {4, 0x01},
                                    {5, 0x2C},
                                    {6, 0xFF},
                                    {7, 0x38},
                                    {8, 0},
                                    {9, 2},
                                    {10, 0},
                                    {11, 0x0B},
                                    {12, 0x2B},
                                    {13, 1},
                                    {14, 30},
                                    {18, 5},
                                    {21, 1},
                                    {22, 0xFB},
                                    {25, 12},
                                    {30, 7},
                                    {31, 255}});
    const CliRun run = RunCli({"info", meter});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList lines = run.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 18) << run.out.toStdString();
    EXPECT_TRUE(
        QRegularExpression(R"(^meter_time,\d\d/\d\d/20\d\d   \d\d:\d\d:\d\d$)").match(lines[2]).hasMatch())
        << lines[2].toStdString();
    lines.removeAt(2);
    EXPECT_EQ(lines, (QStringList{"field,value", "firmware,2.55", "interval,1:30", "data_sets,2",
                                  "memory_available,31994", "alarm,ON", "hi,300", "lo,-200", "t1_t2,ON",
                                  "type,R", "auto_off,", "t1_offset,-5", "t2_offset,0", "t3_offset,0",
                                  "t4_offset,12", "serial,VM0001", ""}));
}

TEST_F(SetupCli, FailuresPrintTheCodeAndEndNonZero) {
    const struct {
        QStringList args;
        const char* letter;
        const char* message;
    } cases[] = {
        {{"info"}, "X", "Fail code=205"},
        {{"clock"}, "t", "Fail code=406"},
        {{"interval", "01:30"}, "I", "Fail code=605"},
        {{"erase", "--yes"}, "e", "Fail code=506"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        QStringList args = c.args;
        args << scenario({}, QByteArray(R"("faults": {"refuse_replies": {")") + c.letter + R"(": -1}})");
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << run.err.toStdString();
    }
}

TEST_F(SetupCli, ChangesAreConfirmedAndBadInputIsRefusedBeforeTheMeter) {
    const struct {
        QStringList args;
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {{"erase", "--simulate"}, 2, "", "add --yes to go ahead"},
        {{"erase", "--simulate", "--yes"}, 0, "OK\n", ""},
        {{"clock", "--simulate"}, 0, "OK\n", ""},
        {{"interval", "60:60", "--simulate"}, 0, "OK\n", ""},
        {{"interval", "00:00", "--simulate"}, 2, "", "Invalid Input (code 624)"},
        {{"interval", "61:00", "--simulate"}, 2, "", "Invalid Input (code 623)"},
        {{"interval", "1:2:3", "--simulate"}, 2, "", "Invalid Input: 1:2:3 is not MM:SS"},
        // A negative interval is a wrong interval, not a bundle of options.
        {{"interval", "--simulate", "-1:30"}, 2, "", "Invalid Input: -1:30 is not MM:SS"},
        {{"interval", "--simulate"}, 2, "", "expected 1 argument(s)"},
        {{"info", "--simulate", "--usb", "NOPE"}, 1, "", "no meter NOPE is attached on USB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, QString::fromLatin1(c.out));
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.err))) << run.err.toStdString();
    }
}

TEST_F(SetupCli, HelpListsEveryOption) {
    for (const char* command : {"info", "clock", "interval", "erase"}) {
        const CliRun run = RunCli({command, "--help"});
        EXPECT_EQ(run.exitCode, 0);
        for (const char* option : {"--simulate", "--usb", "--help"})
            EXPECT_TRUE(run.out.contains(QString::fromLatin1(option))) << command << " " << option;
    }
    EXPECT_TRUE(RunCli({"erase", "--help"}).out.contains("--yes"));
    const CliRun top = RunCli({"--help"});
    for (const char* command : {"info", "clock", "interval", "erase"})
        EXPECT_TRUE(top.out.contains(QStringLiteral("  %1 ").arg(QString::fromLatin1(command)))) << command;
}

} // namespace
} // namespace thermo4::cli::test
