#include "CliRun.h"
#include "ImageBuilder.h"
#include "chart/GraphState.h"
#include "core/MemoryDecoder.h"
#include "formats/GraphFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace thermo4::cli::test {
namespace {

using thermo4::test::ImageBuilder;
using thermo4::test::ImageRecord;

QByteArray ReadFileOrMissing(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// The virtual meter with the demo logger memory (4 064 bytes to download).
QString DemoMeter() {
    return QStringLiteral("--simulate=" THERMO4_SOURCE_DIR "/resources/scenarios/demo.json");
}

bool IsCharacterDevice(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISCHR(st.st_mode);
}

TEST(CliOutput, ADownloadThatCannotBeWrittenFailsAndKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.ch4"));
    WriteFile(old, "old contents");
    CliRunOptions limited;
    limited.childSetup = LimitFileSize;
    const CliRun run = RunCli({"download", DemoMeter(), "-o", old}, limited);
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("File too large"))) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("wrote"))) << run.err.toStdString();
    EXPECT_EQ(ReadFileOrMissing(old), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.ch4"});

    const CliRun full = RunCli({"download", DemoMeter(), "-o", "/dev/full"});
    EXPECT_EQ(full.exitCode, 1) << full.err.toStdString();
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device"))) << full.err.toStdString();
    EXPECT_TRUE(IsCharacterDevice("/dev/full")) << "/dev/full must never be replaced by a file";
}

TEST(CliOutput, ALatin1NameInAUtf8LocaleIsTheFileWrittenAndNoOtherIsTouched) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    // Where a UTF-8 conversion of "v\xE9" lands: these hold data that must survive.
    const QByteArray decoys[] = {"v\xEF\xBF\xBD.ch4", "v\xEF\xBF\xBD.png", "v?.ch4", "v?.png"};
    for (const QByteArray& decoy : decoys) {
        WriteFile(QFile::decodeName(QFile::encodeName(folder) + '/' + decoy), "keep");
    }
    // The name goes in as bytes, as a shell passes it; Qt's own argument passing could not.
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    shell.setProcessEnvironment(env);
    shell.setWorkingDirectory(folder);
    shell.start(QStringLiteral("/bin/sh"),
                {"-c",
                 R"(n=$(printf 'v\351') && "$0" download "$1" -o "$n.ch4" && "$0" sets "$n.ch4" &&)"
                 R"( "$0" graph "$n.ch4" --set 2 -o "$n.png")",
                 QStringLiteral(THERMO4_CLI_PATH), DemoMeter()});
    ASSERT_TRUE(shell.waitForFinished(60000));
    const QByteArray err = shell.readAllStandardError();
    EXPECT_EQ(shell.exitCode(), 0) << err.toStdString();
    EXPECT_TRUE(err.contains("wrote 4064 bytes to v\xE9.ch4")) << err.toStdString();
    EXPECT_EQ(shell.readAllStandardOutput().count('\n'), 3) << "the header and two data sets";

    // The names as bytes: Qt's own listing would show both "v\xE9" and its decoy as "v\uFFFD".
    QList<QByteArray> names;
    if (DIR* listing = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(listing)) {
            if (entry->d_name[0] != '.')
                names.append(entry->d_name);
        }
        ::closedir(listing);
    }
    QList<QByteArray> expected(std::begin(decoys), std::end(decoys));
    expected << "v\xE9.ch4"
             << "v\xE9.png";
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected) << "no other file was made";
    struct stat written {};
    ASSERT_EQ(::stat(QFile::encodeName(folder) + "/v\xE9.ch4", &written), 0);
    EXPECT_EQ(written.st_size, 4064);
    for (const QByteArray& decoy : decoys) {
        EXPECT_EQ(ReadFileOrMissing(QFile::decodeName(QFile::encodeName(folder) + '/' + decoy)), "keep")
            << decoy.constData();
    }
}

TEST(CliOutput, AFailingStandardOutputIsAFailure) {
    QTemporaryDir dir;
    const QString set = dir.filePath(QStringLiteral("one.ch4"));
    ImageRecord record;
    record.samples = {{1, 2, 3, 4}};
    const auto bytes = ImageBuilder().add(record).bytes();
    WriteFile(set, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    CliRunOptions full;
    full.stdoutFile = QStringLiteral("/dev/full");
    for (const QStringList& args :
         {QStringList{"export", set, "--set", "1"}, QStringList{"sets", set}, QStringList{"--help"},
          QStringList{"live", "--simulate", "--samples", "2"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun run = RunCli(args, full);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err,
                  QStringLiteral("thermo4-cli: cannot write to standard output: No space left on device\n"));
    }
}

TEST(CliOutput, ScenariosAndTheirMemoryMustBeRegularFiles) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString zeroMemory = dir.filePath(QStringLiteral("zero.json"));
    WriteFile(zeroMemory, R"({"memory": "/dev/zero"})");
    const QString fifoMemory = dir.filePath(QStringLiteral("fifo.json"));
    WriteFile(fifoMemory, R"({"memory": "pipe"})");
    // Each of these grew memory without end or waited for a writer forever.
    for (const QString& scenario : {QStringLiteral("/dev/zero"), fifo, zeroMemory, fifoMemory}) {
        SCOPED_TRACE(scenario.toStdString());
        const CliRun run = RunCli({"live", "--simulate=" + scenario, "--samples", "1"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("is not a regular file"))) << run.err.toStdString();
        EXPECT_EQ(run.out, QString());
    }
}

TEST(CliOutput, LiveEndsWhenNoValidReadingComesAndSaysWhy) {
    QTemporaryDir dir;
    const QString invalid = dir.filePath(QStringLiteral("invalid.json"));
    // The meter answers every read with a frame that does not start with 0x02.
    WriteFile(invalid, QByteArray(R"({"live_frames": [")") + QByteArray(128, '0') + R"("]})");
    const QString stopping = dir.filePath(QStringLiteral("stopping.json"));
    WriteFile(stopping, R"({"faults": {"unplug_after_reads": 3}})");
    struct Case {
        QString scenario;
        const char* message;
        int lines;
    };
    const Case cases[] = {
        {invalid, "the meter's replies were not valid live frames for 5 s", 0},
        {stopping, "the meter stopped answering: no reading for 5 s", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const CliRun run = RunCli({"live", "--simulate=" + c.scenario});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("thermo4-cli: %1\n").arg(QLatin1String(c.message)));
        EXPECT_EQ(run.out.count(QLatin1Char('\n')), c.lines) << run.out.toStdString();
    }
}

TEST(CliOutput, DownloadChecksTheOutputFolderBeforeAskingTheMeter) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing/out.ch4"));
    const CliRun run = RunCli({"download", DemoMeter(), "-o", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("thermo4-cli: the folder %1 does not exist\n").arg(dir.filePath("missing")));
    const CliRun folder = RunCli({"download", DemoMeter(), "-o", dir.path()});
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_EQ(folder.err, QStringLiteral("thermo4-cli: %1 is a folder\n").arg(dir.path()));
}

TEST(CliOutput, ExportWritesOLWhereTheGraphTextExportDoes) {
    QTemporaryDir dir;
    ImageRecord fahrenheit;
    fahrenheit.typeByte = 0x00; // °F: the raw tenths as they are
    fahrenheit.samples = {{32767, 25000, 25001, -3280}, {-3281, -32768, 0, 1}};
    ImageRecord celsius; // °C: a channel without a probe reads -32768 tenths of °F, −1838.22 °C
    celsius.samples = {{-32768, 0, 0, 0}};
    const auto bytes = ImageBuilder().add(fahrenheit).add(celsius).bytes();
    const QString path = dir.filePath(QStringLiteral("extremes.ch4"));
    WriteFile(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));

    EXPECT_EQ(RunCli({"export", path, "--set", "1"}).out,
              QStringLiteral("time,T1,T2,T3,T4\n2017-03-09T14:05:30,OL,2500.00,OL,-328.00\n"
                             "2017-03-09T14:05:31,OL,OL,0.00,0.10\n"));
    EXPECT_EQ(RunCli({"export", path, "--set", "1", "--raw"}).out,
              QStringLiteral("time,T1,T2,T3,T4\n2017-03-09T14:05:30,3276.70,2500.00,2500.10,-328.00\n"
                             "2017-03-09T14:05:31,-328.10,-3276.80,0.00,0.10\n"));
    EXPECT_EQ(RunCli({"export", path, "--set", "2"}).out,
              QStringLiteral("time,T1,T2,T3,T4\n2017-03-09T14:05:30,OL,-17.78,-17.78,-17.78\n"));
    EXPECT_EQ(RunCli({"export", path, "--set", "2", "--raw"}).out,
              QStringLiteral("time,T1,T2,T3,T4\n2017-03-09T14:05:30,-1838.22,-17.78,-17.78,-17.78\n"));
}

TEST(CliOutput, AGraphFileOfADataSetExportsTheSameRowsAsTheDataSet) {
    QTemporaryDir dir;
    ImageRecord record;
    record.typeByte = 0x00; // °F
    record.intervalSeconds = 30;
    record.samples = {{700, 32767, -3281, 10}, {701, 250, 25000, -5}, {702, 251, -3280, 0}};
    const auto bytes = ImageBuilder().add(record).bytes();
    const QString collectionFile = dir.filePath(QStringLiteral("one.ch4"));
    WriteFile(collectionFile,
              QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));

    // The data set as a graph holds it: four curves, then two points that never received data.
    core::DataSetCollection sets;
    ASSERT_EQ(core::DecodeMemoryImage(core::MemoryImage(bytes), sets, QDateTime::currentDateTime()), 0);
    chart::GraphState state;
    ASSERT_TRUE(state.resizeData(4, 5));
    const auto times = sets.timesOf(0);
    const auto values = sets.valuesOf(0);
    for (std::size_t k = 0; k < 3; ++k) {
        for (std::size_t c = 0; c < 4; ++c) {
            state.x[c][k] = times[4 * k + c];
            state.y[c][k] = values[4 * k + c];
        }
    }
    const QString graphFile = dir.filePath(QStringLiteral("one.GHF"));
    ASSERT_EQ(formats::WriteGraphFile(graphFile, chart::serializeGraphState(state)), QString());

    for (const QStringList& option : {QStringList{}, QStringList{"--raw"}}) {
        const CliRun fromSet = RunCli(QStringList{"export", collectionFile, "--set", "1"} + option);
        const CliRun fromGraph = RunCli(QStringList{"export", graphFile} + option);
        EXPECT_EQ(fromGraph.exitCode, 0) << fromGraph.err.toStdString();
        EXPECT_EQ(fromGraph.out.count(QLatin1Char('\n')), 4) << fromGraph.out.toStdString();
        EXPECT_EQ(fromGraph.out, fromSet.out);
    }
    EXPECT_TRUE(RunCli({"export", collectionFile, "--set", "1"}).out.contains(QStringLiteral(",OL,OL,")));

    const QString damaged = dir.filePath(QStringLiteral("damaged.ghf"));
    WriteFile(damaged, QByteArray("\x04\x00\x00\x00junk", 8));
    const CliRun bad = RunCli({"export", damaged});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("is not a valid graph file"))) << bad.err.toStdString();
}

TEST(CliOutput, VersionAndEveryOptionInTheHelp) {
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("thermo4-cli "))) << version.out.toStdString();
    const std::pair<const char*, QStringList> commands[] = {
        {"sets", {}},
        {"export", {"--set", "--raw"}},
        {"live", {"--simulate", "--samples"}},
        {"download", {"--simulate", "--output"}},
        {"graph", {"--set", "--output", "--size", "--template", "--title", "--fit-y"}},
    };
    for (const auto& [command, options] : commands) {
        const CliRun help = RunCli({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        for (const QString& option : options + QStringList{"--help"})
            EXPECT_TRUE(help.out.contains(option)) << command << " " << option.toStdString();
    }
}

} // namespace
} // namespace thermo4::cli::test
