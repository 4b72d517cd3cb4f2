#include "formats/GraphFile.h"

#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace thermo4::formats {
namespace {

TEST(GraphFile, TheBlockFollowsItsLittleEndianLengthAndReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run1.ghf"));
    const QByteArray block(300, '\x5A');
    ASSERT_EQ(WriteGraphFile(path, block), QString());
    EXPECT_EQ(test::Read(path), QByteArray("\x2C\x01\x00\x00", 4) + block);
    QByteArray back;
    QString error;
    ASSERT_TRUE(ReadGraphFile(path, 300, back, &error)) << error.toStdString();
    EXPECT_EQ(back, block);
    // A length beyond what the caller accepts is refused before anything is allocated.
    EXPECT_FALSE(ReadGraphFile(path, 299, back, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("length field is too large"))) << error.toStdString();
    EXPECT_TRUE(back.isEmpty());
}

TEST(GraphFile, PipesAndDevicesAreNotReadAsGraphFiles) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.ghf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A pipe without a writer would block a plain open for reading.
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        QByteArray block;
        QString error;
        EXPECT_FALSE(ReadGraphFile(path, 1 << 20, block, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("not a regular file"))) << error.toStdString();
    }
}

} // namespace
} // namespace thermo4::formats
