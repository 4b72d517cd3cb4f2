#include "formats/FileSystem.h"

#include "core/FileName.h"

#include <QDir>
#include <QList>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::formats {

namespace {

QByteArray bytesOf(const QString& path) {
    return core::FileNameBytes(path);
}

bool statPath(const QString& path, struct stat& st) {
    return ::stat(bytesOf(path).constData(), &st) == 0;
}

/// The raw names in folder; empty when it cannot be read.
QList<QByteArray> entriesOf(const QByteArray& folder) {
    QList<QByteArray> names;
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

FileOpen OpenRegularFile(const QString& path, QFile& file, QString* reason) {
    const auto fail = [&](FileOpen result, const QString& why) {
        if (reason)
            *reason = why;
        return result;
    };
    const QByteArray name = bytesOf(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT ? fail(FileOpen::Missing, QStringLiteral("no such file"))
                               : fail(FileOpen::Failed, SystemReason(errno));
    if (!S_ISREG(st.st_mode))
        return fail(FileOpen::NotRegular, QStringLiteral("not a regular file"));
    // Without waiting, in case a pipe took the file's place since the look above.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? fail(FileOpen::Missing, QStringLiteral("no such file"))
                               : fail(FileOpen::Failed, SystemReason(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(FileOpen::NotRegular, QStringLiteral("not a regular file"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(FileOpen::Failed, file.errorString());
    }
    return FileOpen::Opened;
}

QString NotOpenedReason(FileOpen result, const QString& reason) {
    return result == FileOpen::Failed ? QStringLiteral("cannot open: %1").arg(reason) : reason;
}

PathKind KindOf(const QString& path) {
    struct stat st {};
    if (!statPath(path, st))
        return PathKind::Missing;
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool MakeFolders(const QString& path, QString* reason) {
    const QByteArray bytes = bytesOf(path);
    // Each prefix ending before a "/", then the whole path.
    for (qsizetype end = bytes.indexOf('/', 1);; end = bytes.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? bytes : bytes.first(end);
        if (!part.isEmpty() && ::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) {
            if (reason)
                *reason = SystemReason(errno);
            return false;
        }
        if (end < 0)
            break;
    }
    struct stat st {};
    if (::stat(bytes.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (reason)
            *reason = SystemReason(ENOTDIR);
        return false;
    }
    return true;
}

bool RemoveFile(const QString& path, QString* reason) {
    if (::unlink(bytesOf(path).constData()) == 0)
        return true;
    if (reason)
        *reason = SystemReason(errno);
    return false;
}

QString FolderWriteProblem(const QString& folder) {
    if (::access(bytesOf(folder).constData(), W_OK | X_OK) != 0)
        return SystemReason(errno);
    return {};
}

QStringList FileNamesIn(const QString& folder, const QString& suffix) {
    const QByteArray folderBytes = bytesOf(folder);
    QStringList names;
    for (const QByteArray& raw : entriesOf(folderBytes)) {
        const QString name = core::FileNameFromBytes(raw);
        if (name.endsWith(suffix) && KindOf(JoinPath(folder, name)) == PathKind::File)
            names.append(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString AbsolutePath(const QString& path) {
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    char* working = ::getcwd(nullptr, 0);
    const QString folder = working != nullptr ? core::FileNameFromBytes(working) : QStringLiteral("/");
    std::free(working);
    return QDir::cleanPath(JoinPath(folder, path));
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty())
        return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString PathOnDisk(const QString& shown, QString* reason) {
    constexpr QChar kReplacement(0xFFFD);
    if (!shown.contains(kReplacement))
        return shown;
    QString found = shown.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString& part : shown.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        QString name = part;
        if (part.contains(kReplacement)) {
            const QString folder = found.isEmpty() ? QStringLiteral(".") : found;
            // Every name on disk that the dialog shows as part (it decodes names as Qt does).
            QStringList matches;
            for (const QByteArray& raw : entriesOf(bytesOf(folder))) {
                if (QFile::decodeName(raw) == part)
                    matches.append(core::FileNameFromBytes(raw));
            }
            if (matches.size() > 1) {
                if (reason)
                    *reason = QStringLiteral("%1 names in %2 read as \"%3\"; rename them to choose one")
                                  .arg(matches.size())
                                  .arg(folder, part);
                return {};
            }
            if (matches.size() == 1)
                name = matches.front();
        }
        found = found.isEmpty() ? name : JoinPath(found, name);
    }
    return found;
}

} // namespace thermo4::formats
