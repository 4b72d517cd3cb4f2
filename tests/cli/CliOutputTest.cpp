#include "CliRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace thermo4::cli::test {
namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

/// Files may not grow past 2 KiB: write() fails with EFBIG, as on a full disk.
void LimitFileSize() {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{2048, 2048};
    ::setrlimit(RLIMIT_FSIZE, &limit);
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
    EXPECT_EQ(ReadFile(old), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.ch4"});

    const CliRun full = RunCli({"download", DemoMeter(), "-o", "/dev/full"});
    EXPECT_EQ(full.exitCode, 1) << full.err.toStdString();
    EXPECT_TRUE(full.err.contains(QStringLiteral("No space left on device"))) << full.err.toStdString();
    EXPECT_TRUE(IsCharacterDevice("/dev/full")) << "/dev/full must never be replaced by a file";
}

} // namespace
} // namespace thermo4::cli::test
