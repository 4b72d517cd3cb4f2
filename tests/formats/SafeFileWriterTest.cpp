#include "formats/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "TestFiles.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace thermo4::formats {
namespace {

using test::Read;
using test::Write;

/// Files in dir other than the given one: temporary files left behind show here.
QStringList Others(const QTemporaryDir& dir, const QString& keep) {
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(keep);
    return names;
}

/// WriteFileSafely(path, bytes) in a child process whose files may not grow past limit bytes
/// (EFBIG from write(), as on a full disk). Returns the child's error text.
QString WriteWithSizeLimit(const QString& path, const QByteArray& bytes, rlim_t limit) {
    return thermo4::test::InChild([&] { return WriteFileSafely(path, bytes); }, limit);
}

TEST(SafeFileWriter, ReplacesAFileOnlyWithCompleteContents) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.ch4"));
    Write(path, "old contents");
    // Larger than the writer's queue, so the bytes go out in several writes.
    QByteArray big(600 * 1024, 'x');
    big[12345] = 'y';
    EXPECT_EQ(WriteFileSafely(path, big), QString());
    EXPECT_EQ(Read(path), big);
    EXPECT_TRUE(Others(dir, QStringLiteral("out.ch4")).isEmpty());

    SafeFileWriter cancelled(path);
    ASSERT_TRUE(cancelled.open());
    EXPECT_TRUE(cancelled.write("new"));
    cancelled.cancel();
    EXPECT_FALSE(cancelled.commit());
    EXPECT_EQ(Read(path), big);
    EXPECT_TRUE(Others(dir, QStringLiteral("out.ch4")).isEmpty());
}

TEST(SafeFileWriter, AFileThatGrowsPastTheLimitLeavesTheOldOneAndNoTemporaryFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.ch4"));
    // Failing inside a write (past the queue) and failing in the final flush (small payload).
    for (const qsizetype size : {qsizetype(700 * 1024), qsizetype(5000)}) {
        SCOPED_TRACE(size);
        Write(path, "old contents");
        const QString error = WriteWithSizeLimit(path, QByteArray(size, 'z'), 2048);
        EXPECT_TRUE(error.startsWith(QStringLiteral("Error writing file \"%1\".").arg(path)))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("too large"), Qt::CaseInsensitive)) << error.toStdString();
        EXPECT_EQ(Read(path), "old contents");
        EXPECT_TRUE(Others(dir, QStringLiteral("old.ch4")).isEmpty())
            << Others(dir, {}).join(' ').toStdString();
    }
    // Under the limit the same child writes the file.
    EXPECT_EQ(WriteWithSizeLimit(path, QByteArray(1000, 'z'), 2048), QString());
    EXPECT_EQ(Read(path), QByteArray(1000, 'z'));
}

TEST(SafeFileWriter, DevicesAreWrittenInPlaceAndNeverReplaced) {
    const QString full = QStringLiteral("/dev/full");
    const QString error = WriteFileSafely(full, QByteArray(100, 'a'));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Error writing file \"/dev/full\"."))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("No space left"))) << error.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "/dev/full must stay a device";

    EXPECT_EQ(WriteFileSafely(QStringLiteral("/dev/null"), "anything"), QString());
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(SafeFileWriter, PlacesThatCannotBeWrittenNameTheFileAndTheReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ghf")));
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, const char*> cases[] = {
        {dir.filePath(QStringLiteral("missing/out.txt")), "No such file"},
        {dir.filePath(QStringLiteral("folder.ghf")), ""},
        // Nobody reads the pipe: refused at once instead of waiting for a reader.
        {fifo, "no process reads from it"},
    };
    for (const auto& [path, reason] : cases) {
        const QString error = WriteFileSafely(path, "data");
        EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \"%1\".").arg(path)))
            << error.toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(reason))) << error.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.ghf"))).isDir());
    EXPECT_EQ(Others(dir, QStringLiteral("pipe")), QStringList());
}

} // namespace
} // namespace thermo4::formats
