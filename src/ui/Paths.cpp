#include "ui/Paths.h"

#include "core/FileName.h"
#include "formats/BoundedRead.h"
#include "formats/FileSystem.h"
#include "formats/SafeFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <climits>
#include <cstdio>
#include <unistd.h>

// The build sets this from its install layout (bin and share folders).
#ifndef THERMO4_SHIPPED_FROM_BIN
#define THERMO4_SHIPPED_FROM_BIN "../share/thermo4"
#endif

namespace thermo4::ui {

namespace {

/// Largest template copied into a new data folder (bytes).
constexpr qint64 kMaxTemplateBytes = 64 * 1024 * 1024;

/// The executable's folder with its name as it is on disk (Qt's own reading of it turns
/// bytes that are not UTF-8 into U+FFFD).
QString programFolder() {
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && length < ssize_t(sizeof target))
        return formats::FolderOf(core::FileNameFromBytes(QByteArrayView(target, length)));
    return QCoreApplication::applicationDirPath();
}

/// The user's data folder (~/.local/share). Qt reads $HOME and $XDG_DATA_HOME as UTF-8,
/// so a home folder whose name is not UTF-8 is taken from the bytes here.
QString userDataFolder() {
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    const QByteArray home = qgetenv("HOME");
    if (xdg.isValidUtf8() && home.isValidUtf8())
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (xdg.startsWith('/'))
        return core::FileNameFromBytes(xdg);
    return formats::JoinPath(core::FileNameFromBytes(home), QStringLiteral(".local/share"));
}

/// source copied to target through a temporary file: the system's reason when target
/// cannot be written. A source that cannot be read is left alone: the graphs then take
/// their built-in look.
QString copyFile(const QString& source, const QString& target) {
    QFile file;
    if (formats::OpenRegularFile(source, file) != formats::FileOpen::Opened)
        return {};
    const QByteArray bytes = formats::ReadAtMost(file, kMaxTemplateBytes);
    if (file.error() != QFileDevice::NoError)
        return {};
    formats::SafeFileWriter writer(target);
    if (writer.open() && writer.write(bytes) && writer.commit())
        return {};
    return writer.reason();
}

} // namespace

Paths::Paths(QString shippedDir, QString dataDir, QString formerDataDir)
    : m_shippedDir(QDir::cleanPath(shippedDir)), m_dataDir(QDir::cleanPath(dataDir)),
      m_formerDataDir(formerDataDir.isEmpty() ? QString() : QDir::cleanPath(formerDataDir)) {}

Paths Paths::forApplication(const QString& dataDirOverride) {
    const QString programDir = programFolder();
    const QString shippedDir = findShippedDir(programDir);
    const bool installed = shippedDir != QDir::cleanPath(programDir);
    const QString userData = userDataFolder();
    const QString fallback = formats::JoinPath(userData, QStringLiteral("thermo4"));
    const QString dataDir = chooseDataDir(programDir, installed, dataDirOverride, fallback);
    // Earlier versions kept the user's data under another organisation name.
    const QString former =
        dataDir == fallback ? formats::JoinPath(userData, QStringLiteral("470913/thermo4")) : QString();
    const Paths paths(shippedDir, dataDir, former);
    for (const QString& file : paths.missingShippedFiles()) {
        const QByteArray line = "thermo4: missing file " + core::FileNameBytes(file) + '\n';
        std::fputs(line.constData(), stderr);
    }
    return paths;
}

QString Paths::installedShippedDir(const QString& programDir) {
    return QDir::cleanPath(formats::JoinPath(programDir, QStringLiteral(THERMO4_SHIPPED_FROM_BIN)));
}

QString Paths::findShippedDir(const QString& programDir) {
    const QString installed = installedShippedDir(programDir);
    const QString help = QLatin1String(kHelpFileName);
    if (formats::KindOf(formats::JoinPath(installed, help)) != formats::PathKind::Missing)
        return installed;
    if (formats::KindOf(formats::JoinPath(programDir, help)) != formats::PathKind::Missing)
        return QDir::cleanPath(programDir);
    return installed;
}

QString Paths::chooseDataDir(const QString& programDir, bool installed, const QString& dataDirOverride,
                             const QString& fallback) {
    if (!dataDirOverride.isEmpty())
        return formats::AbsolutePath(dataDirOverride);
    if (!installed && formats::KindOf(programDir) == formats::PathKind::Folder &&
        formats::FolderWriteProblem(programDir).isEmpty())
        return formats::AbsolutePath(programDir);
    return fallback;
}

QString Paths::helpFile() const {
    return formats::JoinPath(m_shippedDir, QLatin1String(kHelpFileName));
}

QString Paths::shippedTemplateFile() const {
    return formats::JoinPath(m_shippedDir, QStringLiteral("template/graph.ghf"));
}

QString Paths::templateFile() const {
    return formats::JoinPath(m_dataDir, QStringLiteral("template/graph.ghf"));
}

QString Paths::tempFolder() const {
    return formats::JoinPath(m_dataDir, QStringLiteral("temp"));
}

QString Paths::tempFile() const {
    return formats::JoinPath(tempFolder(), QStringLiteral("DataSetsTemp.tmp"));
}

QStringList Paths::missingShippedFiles() const {
    QStringList missing;
    for (const QString& file : {helpFile(), shippedTemplateFile()}) {
        if (formats::KindOf(file) != formats::PathKind::File)
            missing.append(file);
    }
    return missing;
}

QString Paths::prepareDataDir() {
    const auto problem = [this](const char* what, const QString& why) {
        m_dataDirProblem = QStringLiteral("The data folder %1 cannot be %2: %3")
                               .arg(QDir::toNativeSeparators(m_dataDir), QLatin1String(what), why);
        return m_dataDirProblem;
    };
    m_dataDirProblem.clear();
    QString why;
    if (!formats::MakeFolders(m_dataDir, &why))
        return problem("created", why);
    // Read-only or not the user's: the template, the temporary copy and journals all fail.
    if (why = formats::FolderWriteProblem(m_dataDir); !why.isEmpty())
        return problem("written", why);
    const QString target = templateFile();
    const QString former = m_formerDataDir.isEmpty()
                               ? QString()
                               : formats::JoinPath(m_formerDataDir, QStringLiteral("template/graph.ghf"));
    const QString source = !former.isEmpty() && formats::KindOf(former) == formats::PathKind::File
                               ? former
                               : shippedTemplateFile();
    if (target == source || formats::KindOf(target) != formats::PathKind::Missing ||
        formats::KindOf(source) != formats::PathKind::File)
        return {};
    // Without a template the graphs take their built-in look; a full disk says so here.
    if (!formats::MakeFolders(formats::FolderOf(target), &why))
        return problem("written", why);
    if (why = copyFile(source, target); !why.isEmpty())
        return problem("written", why);
    return {};
}

} // namespace thermo4::ui
