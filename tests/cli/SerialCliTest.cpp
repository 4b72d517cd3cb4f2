#include "CliRun.h"

#include "sim/LoggerMemory.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <pty.h>
#include <unistd.h>

namespace {

// Generous limits: the machine running the tests may be heavily loaded.
constexpr int kProcessLimitMs = 60000;

using thermo4::cli::test::RunCli;
using CliResult = thermo4::cli::test::CliRun;

/// thermo4-sim in a process of its own; path() is the terminal it serves.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        m_process.start(QStringLiteral(THERMO4_SIM_PATH), args);
        while (!m_process.canReadLine() && m_process.waitForReadyRead(kProcessLimitMs)) {
        }
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    QString path() const { return m_path; }
    /// Sends SIGTERM; true when the process then ended by itself with status 0.
    bool terminate() {
        m_process.terminate();
        return m_process.waitForFinished(kProcessLimitMs) && m_process.exitStatus() == QProcess::NormalExit &&
               m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
    QString m_path;
};

/// A scenario whose logger holds two data sets, beside its memory image.
class SerialCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (int s = 0; s < 2; ++s) {
            thermo4::sim::LoggedDataSet set;
            set.start = QDateTime(QDate(2024, 3, 1 + s), QTime(9, 30, 0));
            set.intervalSeconds = 2;
            for (int i = 0; i < 20; ++i) {
                set.samples.push_back({static_cast<std::int16_t>(700 + i), 710, 720, 730});
            }
            ASSERT_TRUE(m_memory.append(set));
        }
        const auto& bytes = m_memory.bytes();
        write(QStringLiteral("image.ch4"),
              QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
        m_scenario = write(QStringLiteral("meter.json"), R"({"memory": "image.ch4"})");
    }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    QTemporaryDir m_dir;
    thermo4::sim::LoggerMemory m_memory;
    QString m_scenario;
};

TEST_F(SerialCli, LiveAndDownloadOverThermo4Sim) {
    SimProcess sim({m_scenario});
    ASSERT_TRUE(sim.path().startsWith(QLatin1String("/dev/"))) << sim.path().toStdString();

    CliResult run = RunCli({"live", "--port", sim.path(), "--samples", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("time,T1,T2,T3,T4"));

    const QString output = m_dir.filePath(QStringLiteral("out.ch4"));
    run = RunCli({"download", "--port", sim.path(), "-o", output});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray got = file.readAll();
    const std::size_t inUse = m_memory.endAddress() + 1;
    EXPECT_EQ(static_cast<std::size_t>(got.size()), (inUse + 31) / 32 * 32);
    EXPECT_TRUE(std::equal(m_memory.bytes().begin(),
                           m_memory.bytes().begin() + static_cast<std::ptrdiff_t>(inUse),
                           reinterpret_cast<const std::uint8_t*>(got.constData())));

    EXPECT_TRUE(sim.terminate()) << "thermo4-sim ends cleanly on SIGTERM";
}

TEST_F(SerialCli, SearchPrintsWhereTheMeterAnswered) {
    SimProcess sim({});
    const QString nowhere = m_dir.filePath(QStringLiteral("ttyNONE"));
    CliResult run = RunCli({"search", nowhere, sim.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, sim.path() + QLatin1Char('\n'));
    EXPECT_TRUE(run.err.contains(QStringLiteral("Searching on ") + nowhere)) << run.err.toStdString();

    run = RunCli({"search", nowhere});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.endsWith(QStringLiteral("thermo4-cli: %1: no such device\n").arg(nowhere)))
        << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QLatin1String("no meter answered"))) << run.err.toStdString();
}

TEST_F(SerialCli, LiveTellsRepliesThatAreNoFramesFromSilence) {
    // Replies that are not live frames: zeros for every frame, or an identify reply of another model.
    SimProcess invalidFrames({write(QStringLiteral("zeros.json"),
                                    QByteArray(R"({"live_frames": [")") + QByteArray(128, '0') + R"("]})")});
    SimProcess otherModel({QStringLiteral(THERMO4_SOURCE_DIR "/resources/scenarios/wrong-model.json")});
    // Silence: a terminal whose other end nobody serves.
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    const QString silent = QString::fromLocal8Bit(::ttyname(slave));
    const std::pair<QString, QString> cases[] = {
        {invalidFrames.path(), "the meter's replies were not valid live frames for 5 s"},
        {otherModel.path(), "the meter's replies were not valid live frames for 5 s"},
        {silent, "no meter answered within 5 s"},
    };
    for (const auto& [device, message] : cases) {
        SCOPED_TRACE(device.toStdString());
        const CliResult run = RunCli({"live", "--port", device});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("thermo4-cli: %1\n").arg(message));
        EXPECT_EQ(run.out, QString());
    }
    ::close(slave);
    ::close(master);
}

TEST(Thermo4Sim, WithNowhereToPrintItsPathItSaysSoAndEnds) {
    struct Case {
        const char* what;
        QStringList args;
        std::function<void(QProcess&)> setUp;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {"stdout full",
         {},
         [](QProcess& p) { p.setStandardOutputFile(QStringLiteral("/dev/full")); },
         1,
         "cannot write to standard output: No space left on device"},
        {"stdout closed",
         {},
         [](QProcess& p) { p.setChildProcessModifier([] { ::close(STDOUT_FILENO); }); },
         1,
         "standard output is closed"},
        {"unknown option", {"--bogus"}, [](QProcess&) {}, 2, "Unknown option 'bogus'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess sim;
        c.setUp(sim);
        sim.start(QStringLiteral(THERMO4_SIM_PATH), c.args);
        ASSERT_TRUE(sim.waitForFinished(kProcessLimitMs)) << "it went on serving a terminal nobody can find";
        EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(sim.exitCode(), c.exitCode);
        const QString err = QString::fromUtf8(sim.readAllStandardError());
        EXPECT_TRUE(err.startsWith(QStringLiteral("thermo4-sim: ")) && err.contains(QLatin1String(c.message)))
            << err.toStdString();
    }
}

TEST_F(SerialCli, RefusesWhatCannotWork) {
    const QString nowhere = m_dir.filePath(QStringLiteral("ttyNONE"));
    struct Row {
        QStringList args;
        int exitCode;
        const char* errorPart;
    };
    const Row rows[] = {
        {{"live", "--port", nowhere}, 1, "no such device"},
        {{"download", "--port", nowhere, "-o", m_dir.filePath("x.ch4")}, 1, "no such device"},
        {{"live", "--simulate", "--port", nowhere}, 2, "--simulate and --port"},
        // --usb and --port name two meters: refused, not settled for the port.
        {{"live", "--usb", "--port", nowhere}, 2, "--usb and --port cannot be used together"},
        {{"download", "--usb=SN1", "--port", nowhere, "-o", m_dir.filePath("x.ch4")}, 2, "--usb and --port"},
        {{"serve", "--port", nowhere, "--usb", "SN1", "--http", "0"}, 2, "--usb and --port"},
        {{"download", "--port", nowhere}, 2, "-o"},
        {{"live", "--port"}, 2, "port"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        const CliResult run = RunCli(row.args);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_TRUE(run.err.contains(QLatin1String(row.errorPart))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.filePath("x.ch4")));
    }
}

TEST_F(SerialCli, PortsAndHelp) {
    const CliResult ports = RunCli({"ports"});
    EXPECT_EQ(ports.exitCode, 0) << ports.err.toStdString();
    for (const QString& line : ports.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_TRUE(line.startsWith(QLatin1String("/dev/"))) << line.toStdString();
    }
    struct Row {
        QStringList args;
        QStringList mentions;
    };
    const Row rows[] = {
        {{"live", "--help"}, {"--port <DEV>", "--samples <N>", "--simulate"}},
        {{"download", "--help"}, {"--port <DEV>", "-o, --output <FILE>", "--simulate"}},
        {{"search", "--help"}, {"DEV"}},
        {{"ports", "--help"}, {"rfcomm"}},
        {{"--help"}, {"ports", "search"}},
    };
    for (const Row& row : rows) {
        const CliResult run = RunCli(row.args);
        EXPECT_EQ(run.exitCode, 0);
        for (const QString& mention : row.mentions) {
            EXPECT_TRUE(run.out.contains(mention))
                << row.args.join(' ').toStdString() << ": " << mention.toStdString();
        }
    }
}

} // namespace
