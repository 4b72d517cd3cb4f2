#include "files/CollectionFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

class CollectionFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

TEST_F(CollectionFileTest, ReadsEveryByteOfAFileAndRefusesWhatIsNoImage) {
    write(path("one.ch4"), QByteArray("\x01\x02\x03", 3));
    write(path("empty.ch4"), QByteArray());
    {
        QFile big(path("big.ch4"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(kMaxImageFileSize + 1));
    }
    struct Case {
        const char* name;
        ImageFileRead expected;
        std::size_t size;
    };
    const Case cases[] = {
        {"one.ch4", ImageFileRead::Ok, 3},
        {"empty.ch4", ImageFileRead::Empty, 0},
        {"missing.ch4", ImageFileRead::CannotOpen, 0},
        {".", ImageFileRead::CannotOpen, 0},
        {"big.ch4", ImageFileRead::TooLarge, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        core::MemoryImage image(std::vector<std::uint8_t>(40, 0xEE)); // a stale image is always replaced
        EXPECT_EQ(ReadImageFile(path(c.name), image), c.expected);
        EXPECT_EQ(image.size(), c.size);
    }
    core::MemoryImage image;
    ReadImageFile(path("one.ch4"), image);
    EXPECT_EQ(image.at(0), 1);
    EXPECT_EQ(image.at(2), 3);
}

TEST_F(CollectionFileTest, WritesTheWholeImageAndKeepsTheOldFileWhenTheWriteFails) {
    std::vector<std::uint8_t> bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    const core::MemoryImage image(bytes);
    ASSERT_TRUE(WriteImageFile(path("temp.tmp"), image));
    const QByteArray written = read(path("temp.tmp"));
    ASSERT_EQ(written.size(), 4096);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()), 4096), written);

    // A folder in the way of the file: the write fails and says why.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("blocked.tmp")));
    QString error;
    EXPECT_FALSE(WriteImageFile(path("blocked.tmp"), image, &error));
    EXPECT_FALSE(error.isEmpty());
    // A folder that does not exist.
    EXPECT_FALSE(WriteImageFile(path("no/such/folder/temp.tmp"), image));
}

TEST_F(CollectionFileTest, CopyReplacesAnExistingTargetOnlyWhenAllowed) {
    write(path("temp.tmp"), "new data");
    struct Case {
        const char* name;
        const char* existing; // nullptr: no target yet
        bool replace;
        CollectionCopy expected;
        const char* after;
    };
    const Case cases[] = {
        {"fresh refused", nullptr, false, CollectionCopy::Copied, "new data"},
        {"fresh allowed", nullptr, true, CollectionCopy::Copied, "new data"},
        {"existing kept", "old", false, CollectionCopy::TargetExists, "old"},
        {"existing replaced", "old", true, CollectionCopy::Copied, "new data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = path("target.ch4");
        QFile::remove(target);
        if (c.existing)
            write(target, c.existing);
        EXPECT_EQ(CopyCollectionFile(path("temp.tmp"), target, c.replace), c.expected);
        EXPECT_EQ(read(target), QByteArray(c.after));
    }
}

TEST_F(CollectionFileTest, CopyWithoutSourceOrIntoAFolderWritesNothing) {
    write(path("target.ch4"), "old");
    EXPECT_EQ(CopyCollectionFile(path("missing.tmp"), path("target.ch4"), true), CollectionCopy::NoSource);
    EXPECT_EQ(read(path("target.ch4")), QByteArray("old"));

    write(path("temp.tmp"), "new");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.ch4")));
    QString error;
    EXPECT_EQ(CopyCollectionFile(path("temp.tmp"), path("folder.ch4"), true, &error), CollectionCopy::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(path("folder.ch4")).isDir());
}

} // namespace
} // namespace thermo4::ui
