#include "ui/Paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

namespace thermo4::ui {
namespace {

using thermo4::test::InChild;

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Paths, DataFolderIsTheOverrideThenAWritableBuildFolderThenTheUsersFolder) {
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QString missing = program.filePath(QStringLiteral("not-there"));
    struct Case {
        QString programDir;
        bool installed;
        QString override;
        QString expected;
    };
    const Case cases[] = {
        {program.path(), false, {}, QDir(program.path()).absolutePath()},
        {program.path(), false, QStringLiteral("/tmp/chosen"), QStringLiteral("/tmp/chosen")},
        {missing, false, {}, QStringLiteral("/fallback")},
        {missing, false, QStringLiteral("/tmp/chosen"), QStringLiteral("/tmp/chosen")},
        // Installed: never the prefix, however writable it is (as for root).
        {program.path(), true, {}, QStringLiteral("/fallback")},
        {program.path(), true, QStringLiteral("/tmp/chosen"), QStringLiteral("/tmp/chosen")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Paths::chooseDataDir(c.programDir, c.installed, c.override, QStringLiteral("/fallback")),
                  c.expected)
            << c.programDir.toStdString() << " installed " << c.installed << " / "
            << c.override.toStdString();
    }
}

TEST(Paths, ShippedFilesAreFoundInTheInstalledShareFolderElseBesideTheProgram) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString help = QLatin1String(Paths::kHelpFileName);
    for (const QString& prefix :
         {QStringLiteral("usr"), QStringLiteral("home/u/.local"), QStringLiteral("opt/any folder")}) {
        const QString bin = root.filePath(prefix + QStringLiteral("/bin"));
        ASSERT_TRUE(QDir().mkpath(bin));
        const QString share = Paths::installedShippedDir(bin);
        EXPECT_EQ(share, QDir::cleanPath(root.filePath(prefix + QStringLiteral("/share/thermo4"))));
        // Nothing anywhere: the installed place, so that the message names where the files belong.
        EXPECT_EQ(Paths::findShippedDir(bin), share);
        ASSERT_TRUE(writeFile(QDir(bin).filePath(help), "beside"));
        EXPECT_EQ(Paths::findShippedDir(bin), bin) << "a build folder";
        ASSERT_TRUE(writeFile(QDir(share).filePath(help), "installed"));
        EXPECT_EQ(Paths::findShippedDir(bin), share);
    }
}

TEST(Paths, MissingShippedFilesAreNamed) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const Paths paths(root.filePath(QStringLiteral("share")), root.filePath(QStringLiteral("data")));
    EXPECT_EQ(paths.missingShippedFiles(), QStringList({paths.helpFile(), paths.shippedTemplateFile()}));
    ASSERT_TRUE(writeFile(paths.helpFile(), "help"));
    ASSERT_TRUE(QDir().mkpath(paths.shippedTemplateFile())); // a folder is not a template
    EXPECT_EQ(paths.missingShippedFiles(), QStringList({paths.shippedTemplateFile()}));
    ASSERT_TRUE(QDir(paths.shippedTemplateFile()).removeRecursively());
    ASSERT_TRUE(writeFile(paths.shippedTemplateFile(), "template"));
    EXPECT_TRUE(paths.missingShippedFiles().isEmpty());
}

TEST(Paths, FilesSitInTheirFolders) {
    const Paths paths(QStringLiteral("/usr/share/thermo4"), QStringLiteral("/home/u/data"));
    EXPECT_EQ(paths.helpFile(), QStringLiteral("/usr/share/thermo4/thermo4HELP.htm"));
    EXPECT_EQ(paths.shippedTemplateFile(), QStringLiteral("/usr/share/thermo4/template/graph.ghf"));
    EXPECT_EQ(paths.templateFile(), QStringLiteral("/home/u/data/template/graph.ghf"));
    EXPECT_EQ(paths.tempFolder(), QStringLiteral("/home/u/data/temp"));
    EXPECT_EQ(paths.tempFile(), QStringLiteral("/home/u/data/temp/DataSetsTemp.tmp"));
}

TEST(Paths, PreparingTheDataFolderCopiesTheShippedTemplateOnlyWhenItHasNone) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    Paths paths(root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("data/user")));
    ASSERT_TRUE(writeFile(paths.shippedTemplateFile(), "shipped"));

    ASSERT_EQ(paths.prepareDataDir(), QString());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("shipped"));

    // The user's own template is never replaced.
    ASSERT_TRUE(writeFile(paths.templateFile(), "mine"));
    ASSERT_EQ(paths.prepareDataDir(), QString());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("mine"));
}

TEST(Paths, ANewDataFolderTakesTheFormerFoldersTemplateBeforeTheShippedOne) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString former = root.filePath(QStringLiteral("old/thermo4"));
    Paths paths(root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("data")), former);
    ASSERT_TRUE(writeFile(paths.shippedTemplateFile(), "shipped"));
    ASSERT_TRUE(writeFile(former + QStringLiteral("/template/graph.ghf"), "former"));

    ASSERT_EQ(paths.prepareDataDir(), QString());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("former"));
    // Once the new folder has a template, the former one is not read again.
    ASSERT_TRUE(writeFile(former + QStringLiteral("/template/graph.ghf"), "changed later"));
    ASSERT_EQ(paths.prepareDataDir(), QString());
    EXPECT_EQ(readFile(paths.templateFile()), QByteArray("former"));

    // A former folder without a template leaves the shipped one to copy.
    Paths fresh(paths.shippedDir(), root.filePath(QStringLiteral("data2")),
                root.filePath(QStringLiteral("old/none")));
    ASSERT_EQ(fresh.prepareDataDir(), QString());
    EXPECT_EQ(readFile(fresh.templateFile()), QByteArray("shipped"));
}

TEST(Paths, PreparingWorksWithoutAShippedTemplateAndWhenBothFoldersAreOne) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    Paths separate(root.filePath(QStringLiteral("bin")), root.filePath(QStringLiteral("data")));
    EXPECT_EQ(separate.prepareDataDir(), QString());
    EXPECT_TRUE(QDir(separate.dataDir()).exists());
    EXPECT_FALSE(QFile::exists(separate.templateFile()));

    Paths portable(root.path(), root.path());
    ASSERT_TRUE(writeFile(portable.shippedTemplateFile(), "shipped"));
    EXPECT_EQ(portable.prepareDataDir(), QString());
    EXPECT_EQ(readFile(portable.templateFile()), QByteArray("shipped"));
}

TEST(Paths, ADataFolderThatCannotBeCreatedOrWrittenIsReportedWithTheReason) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    // A plain file stands where the data folder's parent should be.
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("blocker")), "x"));
    Paths blocked(root.path(), root.filePath(QStringLiteral("blocker/data")));
    EXPECT_EQ(blocked.prepareDataDir(),
              QStringLiteral("The data folder %1 cannot be created: Not a directory").arg(blocked.dataDir()));
    EXPECT_EQ(blocked.dataDirProblem(), blocked.prepareDataDir());

    // A full disk: the template cannot be copied in (a file-size limit fails the write as ENOSPC would).
    ASSERT_TRUE(
        writeFile(QDir(root.path()).filePath(QStringLiteral("template/graph.ghf")), QByteArray(8192, 'g')));
    Paths full(root.path(), root.filePath(QStringLiteral("full")));
    EXPECT_EQ(InChild([&] { return full.prepareDataDir(); }, 4096),
              QStringLiteral("The data folder %1 cannot be written: File too large").arg(full.dataDir()));
    EXPECT_FALSE(QFile::exists(full.templateFile()));

    // A read-only file system, which stops root as well; needs a mount of its own.
    const QString readOnly = root.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    Paths mounted(root.path(), readOnly);
    const QString got = InChild([&]() -> QString {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(readOnly).constData(), "tmpfs", MS_RDONLY, nullptr) != 0)
            return QStringLiteral("<no mount>");
        return mounted.prepareDataDir();
    });
    if (got == QStringLiteral("<no mount>"))
        GTEST_SKIP() << "mounting a read-only file system needs root";
    EXPECT_EQ(got,
              QStringLiteral("The data folder %1 cannot be written: Read-only file system").arg(readOnly));
}

} // namespace
} // namespace thermo4::ui
