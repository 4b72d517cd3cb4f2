#include "CliRun.h"
#include "ImageBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using thermo4::test::ImageBuilder;
using thermo4::test::ImageRecord;
using thermo4::test::RampRecord;

namespace {

using thermo4::cli::test::CliRun;

CliRun runCli(const QStringList& args) {
    // graph starts a GUI application, which warns on stderr without a runtime folder.
    static const QTemporaryDir runtime;
    thermo4::cli::test::CliRunOptions options;
    options.extra.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    return thermo4::cli::test::RunCli(args, options);
}

class Cli : public ::testing::Test {
protected:
    QString write(const QString& name, const std::vector<std::uint8_t>& bytes) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    QTemporaryDir m_dir;
};

std::vector<std::uint8_t> twoSets() {
    ImageRecord first = RampRecord(3, 1000); // 100.0 °F and up
    first.intervalMinutes = 1;
    first.intervalSeconds = 30;
    first.typeByte = 0x11; // J, °C
    first.offsets = {5, 0, -9, 18};
    ImageRecord second = RampRecord(2, -200);
    second.dateTime = {0x23, 0x12, 0x31, 0x23, 0x59, 0x59};
    second.intervalMinutes = 0;
    second.intervalSeconds = 2;
    second.typeByte = 0x06; // S, °F
    second.offsets = {5, 0, -9, 18};
    return ImageBuilder().add(first).add(RampRecord(0)).add(second).bytes();
}

TEST_F(Cli, SetsListsEveryDataSet) {
    const CliRun run = runCli({"sets", write("two.ch4", twoSets())});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              QStringLiteral("set,start,interval,points,unit,type,t1_offset,t2_offset,t3_offset,t4_offset\n"
                             "1,2017-03-09T14:05:30,01:30,3,C,J,0.3,0.0,-0.5,1.0\n"
                             "2,2017-03-09T14:05:30,00:01,0,C,K,0.0,0.0,0.0,0.0\n"
                             "3,2023-12-31T23:59:59,00:02,2,F,S,0.5,0.0,-0.9,1.8\n"));
    EXPECT_TRUE(run.err.isEmpty());
}

TEST_F(Cli, ExportPrintsSamplesInTheSetsUnit) {
    const QString path = write("two.ch4", twoSets());
    CliRun run = runCli({"export", path, "--set", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // 1000..1003 tenths of °F as °C, the next sample 10 tenths higher, 90 s later.
    EXPECT_EQ(run.out, QStringLiteral("time,T1,T2,T3,T4\n"
                                      "2017-03-09T14:05:30,37.78,37.83,37.89,37.94\n"
                                      "2017-03-09T14:07:00,38.33,38.39,38.44,38.50\n"
                                      "2017-03-09T14:08:30,38.89,38.94,39.00,39.06\n"));

    run = runCli({"export", path, "--set=3"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("time,T1,T2,T3,T4\n"
                                      "2023-12-31T23:59:59,-20.00,-19.90,-19.80,-19.70\n"
                                      "2024-01-01T00:00:01,-19.00,-18.90,-18.80,-18.70\n"));

    run = runCli({"export", path, "--set", "2"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("time,T1,T2,T3,T4\n"));
}

TEST_F(Cli, ValuesNearZeroHaveNoMinusSign) {
    ImageRecord r;
    r.typeByte = 0x00;
    r.samples = {{0, -1, 1, -4}};
    const CliRun run = runCli({"export", write("zero.ch4", ImageBuilder().add(r).bytes()), "--set", "1"});
    EXPECT_EQ(run.out, QStringLiteral("time,T1,T2,T3,T4\n2017-03-09T14:05:30,0.00,-0.10,0.10,-0.40\n"));
}

TEST_F(Cli, FailuresGiveOneLineAndNonZeroExit) {
    auto cutInFirst = ImageBuilder().add(RampRecord(3)).bytes();
    cutInFirst.resize(cutInFirst.size() - 2);
    // Pipes without a writer, each of which blocked a plain open for reading for good.
    for (const char* name : {"fifo.ch4", "fifo.ghf", "fifo.csv", "fifo"}) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(m_dir.filePath(name)).constData(), 0600), 0);
    }
    const QByteArray newer =
        "# thermo4 recording journal 999\n# start: 2024-05-01T10:00:00\ntime,T1,T2,T3,T4\n";
    const QByteArray headless = "time,T1,T2,T3,T4\n2024-05-01T10:00:00.250,23.4,OL,----,-5.0\n";
    struct Row {
        QStringList args;
        const char* errorPart;
    };
    const Row rows[] = {
        {{"sets", write("none.ch4", ImageBuilder().bytes())}, "(code 6)"},
        {{"sets", write("many.ch4", ImageBuilder().add(RampRecord(1)).announce(4001).bytes())}, "(code 2)"},
        {{"export", write("cut.ch4", cutInFirst), "--set", "1"}, "(code 2)"},
        {{"sets", write("empty.ch4", {})}, "(code 6)"},
        {{"sets", m_dir.filePath("missing.ch4")}, "no such file"},
        {{"sets", m_dir.path()}, "not a regular file"},
        {{"export", write("one.ch4", ImageBuilder().add(RampRecord(1)).bytes()), "--set", "2"},
         "holds 1 data set"},
        {{"export", m_dir.filePath("one.ch4"), "--set", "x"}, "not a data set number"},
        {{"export", m_dir.filePath("one.ch4")}, "--set N is required"},
        {{"sets"}, "expected 1 argument"},
        {{"sets", "--bogus", "a"}, "bogus"},
        {{"export", m_dir.filePath("one.ch4"), "--set", "1", "--set", "2"}, "--set was given twice"},
        {{"graph", m_dir.filePath("one.ch4"), "--set", "1", "-o", "a.png", "--output", "b.png"},
         "-o was given twice"},
        // A journal is known by its content, whatever its name.
        {{"export", write("newer.ch4", {newer.begin(), newer.end()}), "--set", "1"},
         "not a recording journal of a known version (version 999)"},
        {{"export", write("headless.csv", {headless.begin(), headless.end()})},
         "not a recording journal of a known version (no version line)"},
        {{"export", m_dir.filePath("fifo.ch4"), "--set", "1"}, "fifo.ch4: not a regular file"},
        {{"export", m_dir.filePath("fifo.ghf")}, "It is not a regular file"},
        {{"export", m_dir.filePath("fifo.csv"), "--set", "1"}, "fifo.csv: not a regular file"},
        {{"export", m_dir.filePath("fifo"), "--set", "1"}, "fifo: not a regular file"},
        {{"sets", m_dir.filePath("fifo.ch4")}, "fifo.ch4: not a regular file"},
        {{"graph", m_dir.filePath("fifo.ch4"), "--set", "1", "-o", m_dir.filePath("g.png")},
         "not a regular file"},
        {{"graph", m_dir.filePath("one.ch4"), "--set", "1", "--template", m_dir.filePath("fifo.ghf"), "-o",
          m_dir.filePath("g.png")},
         "It is not a regular file"},
        {{"frobnicate"}, "unknown command"},
        {{}, "no command"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliRun run = runCli(row.args);
        EXPECT_GT(run.exitCode, 0);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QLatin1String(row.errorPart))) << run.err.toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
    }
}

TEST_F(Cli, ExportPrintsARecordingJournalCutByACrash) {
    const QByteArray header = "# thermo4 recording journal 1\n"
                              "# program: thermo4 0.1.0\n"
                              "# start: 2024-05-01T10:00:00.250+02:00\n"
                              "# rate_s: 2\n"
                              "# meter: 418\n"
                              "# link: usb\n"
                              "# unit: \xC2\xB0"
                              "C\n"
                              "time,T1,T2,T3,T4\n";
    const QByteArray samples = "2024-05-01T10:00:00.250,23.4,OL,----,-5.0\n"
                               "2024-05-01T10:00:02.750,-0.1,1234.5,0.0,----\n"
                               "2024-05-01T10:00:04.2";
    const QString journal = write("2024-05-01_10-00-00.csv", {header.begin(), header.end()});
    QFile file(journal);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(samples);
    file.close();
    CliRun run = runCli({"export", journal});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The journal's lines with their milliseconds, as live prints them.
    EXPECT_EQ(run.out, QStringLiteral("time,T1,T2,T3,T4\n"
                                      "2024-05-01T10:00:00.250,23.4,OL,----,-5.0\n"
                                      "2024-05-01T10:00:02.750,-0.1,1234.5,0.0,----\n"));
    EXPECT_TRUE(run.err.contains(QLatin1String("1 damaged line(s) left out"))) << run.err.toStdString();

    run = runCli({"export", journal, "--set", "1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("is a recording journal"))) << run.err.toStdString();

    const QByteArray damaged = "# thermo4 recording journal 1\n# start: soon\n";
    run = runCli({"export", write("damaged.csv", {damaged.begin(), damaged.end()})});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QLatin1String("damaged.csv: damaged header (line 2)")))
        << run.err.toStdString();
}

TEST_F(Cli, CutShortFileKeepsTheCompleteSetsAndWarns) {
    auto bytes = ImageBuilder().add(RampRecord(2)).add(RampRecord(4)).bytes();
    bytes.resize(bytes.size() - 5);
    const CliRun run = runCli({"sets", write("cut.ch4", bytes)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\n1,2017-03-09T14:05:30,00:01,2,C,K,0.0,0.0,0.0,0.0\n")));
    EXPECT_TRUE(run.err.contains(QLatin1String("ends inside data set 2"))) << run.err.toStdString();
}

TEST_F(Cli, HelpOnEveryCommand) {
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"sets", "--help"},
                                    QStringList{"export", "--help"}, QStringList{"export", "-h"}}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.startsWith(QLatin1String("Usage: thermo4-cli"))) << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty());
    }
    EXPECT_TRUE(runCli({"--help"}).out.contains(QLatin1String("export")));
    EXPECT_TRUE(runCli({"export", "--help"}).out.contains(QLatin1String("--set")));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
