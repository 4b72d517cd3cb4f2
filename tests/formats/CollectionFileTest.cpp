#include "formats/CollectionFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace thermo4::formats {
namespace {

using test::Read;
using test::Write;

TEST(CollectionFile, ReadsWholeFilesOnlyAndCopiesOverAnOldFileOnlyWhenAllowed) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    Write(path("one.ch4"), "\x01\x02\x03");
    Write(path("empty.ch4"), "");
    QFile big(path("big.ch4"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxImageFileSize + 1));
    const std::tuple<const char*, ImageFileRead, std::size_t> reads[] = {
        {"one.ch4", ImageFileRead::Ok, 3},
        {"empty.ch4", ImageFileRead::Empty, 0},
        {"none.ch4", ImageFileRead::CannotOpen, 0},
        {".", ImageFileRead::CannotOpen, 0},
        {"big.ch4", ImageFileRead::TooLarge, 0}};
    for (const auto& [name, expected, size] : reads) {
        core::MemoryImage image(std::vector<std::uint8_t>(40, 0xEE));
        EXPECT_EQ(ReadImageFile(path(name), image), expected) << name;
        EXPECT_EQ(image.size(), size) << name;
    }

    Write(path("temp.tmp"), "new");
    const std::tuple<const char*, const char*, bool, CollectionCopy, const char*> copies[] = {
        {"temp.tmp", nullptr, false, CollectionCopy::Copied, "new"},
        {"temp.tmp", "old", false, CollectionCopy::TargetExists, "old"},
        {"temp.tmp", "old", true, CollectionCopy::Copied, "new"},
        {"none.tmp", "old", true, CollectionCopy::NoSource, "old"}};
    for (const auto& [source, existing, replace, expected, after] : copies) {
        QFile::remove(path("t.ch4"));
        if (existing)
            Write(path("t.ch4"), existing);
        EXPECT_EQ(CopyCollectionFile(path(source), path("t.ch4"), replace), expected) << existing << replace;
        EXPECT_EQ(Read(path("t.ch4")), QByteArray(after));
    }
    // A folder in the way: nothing is written and the reason is given.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir.ch4")));
    QString error;
    EXPECT_EQ(CopyCollectionFile(path("temp.tmp"), path("dir.ch4"), true, &error), CollectionCopy::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(WriteImageFile(path("dir.ch4"), core::MemoryImage({1, 2}), &error));
}

} // namespace
} // namespace thermo4::formats
