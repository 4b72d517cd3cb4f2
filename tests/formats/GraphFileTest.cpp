#include "formats/GraphFile.h"

#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

} // namespace
} // namespace thermo4::formats
