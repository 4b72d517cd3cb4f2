#include "ui/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace thermo4::ui {
namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Paths, DataFolderIsTheOverrideThenAWritableProgramFolderThenTheFallback) {
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QString missing = program.filePath(QStringLiteral("not-there"));
    struct Case {
        QString programDir;
        QString override;
        QString expected;
    };
    const Case cases[] = {
        {program.path(), {}, QDir(program.path()).absolutePath()},
        {program.path(), QStringLiteral("/tmp/chosen"), QStringLiteral("/tmp/chosen")},
        {missing, {}, QStringLiteral("/fallback")},
        {missing, QStringLiteral("/tmp/chosen"), QStringLiteral("/tmp/chosen")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Paths::chooseDataDir(c.programDir, c.override, QStringLiteral("/fallback")), c.expected)
            << c.programDir.toStdString() << " / " << c.override.toStdString();
    }
}

TEST(Paths, FilesSitInTheirFolders) {
    const Paths paths(QStringLiteral("/opt/thermo4/bin"), QStringLiteral("/home/u/data"));
    EXPECT_EQ(paths.helpFile(), QStringLiteral("/opt/thermo4/bin/470913HELP.htm"));
    EXPECT_EQ(paths.shippedTemplateFile(), QStringLiteral("/opt/thermo4/bin/template/graph.ghf"));
    EXPECT_EQ(paths.templateFile(), QStringLiteral("/home/u/data/template/graph.ghf"));
    EXPECT_EQ(paths.tempFolder(), QStringLiteral("/home/u/data/temp"));
    EXPECT_EQ(paths.tempFile(), QStringLiteral("/home/u/data/temp/DataSetsTemp.tmp"));
}

TEST(Paths, PreparingTheDataFolderCopiesTheShippedTemplateOnlyWhenItHasNone) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const Paths paths(root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("data/user")));
    ASSERT_TRUE(writeFile(paths.shippedTemplateFile(), "shipped"));

    ASSERT_TRUE(paths.prepareDataDir());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("shipped"));

    // The user's own template is never replaced.
    ASSERT_TRUE(writeFile(paths.templateFile(), "mine"));
    ASSERT_TRUE(paths.prepareDataDir());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("mine"));
}

TEST(Paths, PreparingWorksWithoutAShippedTemplateAndWhenBothFoldersAreOne) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const Paths separate(root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("data")));
    EXPECT_TRUE(separate.prepareDataDir());
    EXPECT_TRUE(QDir(separate.dataDir()).exists());
    EXPECT_FALSE(QFile::exists(separate.templateFile()));

    const Paths portable(root.path(), root.path());
    ASSERT_TRUE(writeFile(portable.shippedTemplateFile(), "shipped"));
    EXPECT_TRUE(portable.prepareDataDir());
    EXPECT_EQ(readFile(portable.templateFile()), QByteArray("shipped"));
}

TEST(Paths, AFolderThatCannotBeCreatedIsReported) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // A plain file stands where the data folder's parent should be.
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("blocker")), "x"));
    const Paths paths(root.path(), root.filePath(QStringLiteral("blocker/data")));
    EXPECT_FALSE(paths.prepareDataDir());
}

} // namespace
} // namespace thermo4::ui
