#include "formats/FileSystem.h"
#include "core/FileName.h"
#include "formats/CollectionFile.h"
#include "formats/GraphFile.h"
#include "formats/JournalReader.h"
#include "formats/SafeFileWriter.h"
#include "formats/TextImport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::formats {
namespace {

/// The raw names in folder, sorted.
QList<QByteArray> RawNames(const QString& folder) {
    QList<QByteArray> names;
    if (DIR* dir = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.append(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QByteArray ReadRaw(const QByteArray& path) {
    QFile file;
    const int fd = ::open(path.constData(), O_RDONLY);
    return fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)
               ? file.readAll()
               : QByteArray("<missing>");
}

void WriteRaw(const QByteArray& path, const QByteArray& bytes) {
    QFile file;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_TRUE(fd >= 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    file.write(bytes);
}

TEST(FileSystem, ANameThatIsNotUtf8IsTheFileWrittenReadListedAndRemoved) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    // Where a UTF-8 conversion of "v\xE9.ch4" lands: it must keep its contents.
    WriteRaw(folder + "/v\xEF\xBF\xBD.ch4", "keep");
    const QString path = JoinPath(dir.path(), core::FileNameFromBytes("v\xE9.ch4"));

    EXPECT_EQ(WriteFileSafely(path, "first"), QString());
    EXPECT_EQ(WriteFileSafely(path, "second"), QString()) << "replacing goes through a temporary file too";
    EXPECT_EQ(RawNames(dir.path()), (QList<QByteArray>{"v\xE9.ch4", "v\xEF\xBF\xBD.ch4"}));
    EXPECT_EQ(ReadRaw(folder + "/v\xE9.ch4"), QByteArray("second"));
    EXPECT_EQ(ReadRaw(folder + "/v\xEF\xBF\xBD.ch4"), QByteArray("keep"));

    QFile file;
    ASSERT_EQ(OpenRegularFile(path, file), FileOpen::Opened);
    EXPECT_EQ(file.readAll(), QByteArray("second"));
    EXPECT_EQ(KindOf(path), PathKind::File);
    EXPECT_EQ(FileNamesIn(dir.path(), QStringLiteral(".ch4")),
              (QStringList{core::FileNameFromBytes("v\xE9.ch4"), QStringLiteral("v\uFFFD.ch4")}));

    const QString folderInside = JoinPath(dir.path(), core::FileNameFromBytes("d\xFC/sub"));
    EXPECT_TRUE(MakeFolders(folderInside));
    EXPECT_EQ(KindOf(JoinPath(dir.path(), core::FileNameFromBytes("d\xFC"))), PathKind::Folder);
    EXPECT_TRUE(RemoveFile(path));
    EXPECT_EQ(RawNames(dir.path()), (QList<QByteArray>{"d\xFC", "v\xEF\xBF\xBD.ch4"}));
}

TEST(FileSystem, ANameChosenInTheDialogIsTheOneOnDisk) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir(folder + "/d\xFC", 0755), 0);
    WriteRaw(folder + "/d\xFC/v\xE9.ch4", "latin");
    // The dialog lists both folder and file with U+FFFD in place of the odd byte.
    const QString shown = dir.path() + QStringLiteral("/d\uFFFD/v\uFFFD.ch4");
    QString reason;
    const QString found = PathOnDisk(shown, &reason);
    EXPECT_EQ(core::FileNameBytes(found), folder + "/d\xFC/v\xE9.ch4");
    EXPECT_EQ(ReadRaw(core::FileNameBytes(found)), QByteArray("latin"));
    // A new name typed in the dialog, and plain names, stay as they are.
    EXPECT_EQ(PathOnDisk(dir.path() + QStringLiteral("/new\uFFFD.ch4")),
              dir.path() + QStringLiteral("/new\uFFFD.ch4"));
    EXPECT_EQ(PathOnDisk(QStringLiteral("rel/a.ch4")), QStringLiteral("rel/a.ch4"));

    // Two names on disk that the dialog shows alike: which one was meant cannot be known.
    WriteRaw(folder + "/d\xFC/v\xEF\xBF\xBD.ch4", "utf8");
    EXPECT_EQ(PathOnDisk(shown, &reason), QString());
    EXPECT_TRUE(reason.contains(QStringLiteral("2 names"))) << reason.toStdString();
}

TEST(FileSystem, EveryReaderRefusesPipesAndDevicesAtOnce) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Each reader, with the error text it gives; a plain open of the pipe would wait for a writer.
    const std::pair<const char*, std::function<QString(const QString&)>> readers[] = {
        {"collection",
         [](const QString& p) {
             core::MemoryImage image;
             QString error;
             ReadImageFile(p, image, &error);
             return error;
         }},
        {"graph",
         [](const QString& p) {
             QByteArray block;
             QString error;
             ReadGraphFile(p, 1 << 20, block, &error);
             return error;
         }},
        {"text",
         [](const QString& p) {
             QString text;
             QString error;
             ReadTextFile(p, text, &error);
             return error;
         }},
        {"journal", [](const QString& p) { return JournalReader::read(p).error; }},
    };
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), dir.path()}) {
        for (const auto& [name, read] : readers) {
            SCOPED_TRACE(std::string(name) + " " + path.toStdString());
            const QString error = read(path);
            EXPECT_TRUE(error.contains(QStringLiteral("not a regular file"))) << error.toStdString();
            EXPECT_TRUE(error.contains(path)) << error.toStdString();
        }
    }
}

} // namespace
} // namespace thermo4::formats
