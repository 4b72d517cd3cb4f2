#include "formats/BoundedRead.h"

#include <QTemporaryDir>

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace thermo4::formats {
namespace {

TEST(BoundedRead, ReadsToTheEndOrTheLimitFromThePosition) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    const QByteArray content = QByteArray("0123456789abcdef").repeated(64); // 1 KiB
    test::Write(path, content);
    struct Case {
        qint64 skip;
        qint64 limit;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, 4096, content},
        {0, 1024, content},
        {0, 1023, content.left(1023)},
        {0, 1025, content},
        {0, 1, content.left(1)},
        {0, 0, {}},
        {1000, 4096, content.mid(1000)},
        {1000, 10, content.mid(1000, 10)},
        {1024, 4096, {}},
    };
    for (const Case& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(file.seek(c.skip));
        EXPECT_EQ(ReadAtMost(file, c.limit), c.expected) << c.skip << " " << c.limit;
    }
}

TEST(BoundedRead, TakesMemoryForWhatTheFileHoldsNotForTheLimit) {
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("small"));
    test::Write(path, "a small file");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = ReadAtMost(file, qint64(256) << 20);
    EXPECT_EQ(bytes, "a small file");
    EXPECT_LT(bytes.capacity(), 4096);
}

} // namespace
} // namespace thermo4::formats
