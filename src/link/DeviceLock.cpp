#include "link/DeviceLock.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace thermo4::link {

namespace {

/// A folder this user may create files in: made when missing (mode 1777 when
/// it is shared between users), then checked.
bool usableFolder(const QString& path, mode_t mode) {
    const QByteArray local = QFile::encodeName(path);
    if (::mkdir(local.constData(), mode) == 0)
        ::chmod(local.constData(), mode); // the umask narrowed it
    struct stat info {};
    return ::stat(local.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(local.constData(), W_OK | X_OK) == 0;
}

/// Reads "<pid> <program>" from an open lock file.
LockHolder readHolder(int fd) {
    char text[256] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    LockHolder holder;
    if (n <= 0)
        return holder;
    const QString line = QString::fromLocal8Bit(text, n).trimmed();
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    holder.pid = line.left(space).toLongLong();
    if (space > 0)
        holder.program = line.mid(space + 1);
    return holder;
}

/// The file at path is still the one fd has open (a releasing holder may have removed it).
bool sameFile(int fd, const QByteArray& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

DeviceLock::~DeviceLock() {
    release();
}

QString DeviceLock::directory() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString path = QFile::decodeName(runtime) + QStringLiteral("/thermo4");
        if (usableFolder(path, 0700))
            return path;
    }
    for (const QString& base : {QStringLiteral("/run/lock"), QStringLiteral("/tmp")}) {
        const QString path = base + QStringLiteral("/thermo4");
        if (usableFolder(path, 01777))
            return path;
    }
    return {};
}

QString DeviceLock::fileFor(const QString& device) {
    const QString canonical = QFileInfo(device).canonicalFilePath();
    QString name = canonical.isEmpty() ? device : canonical;
    while (name.startsWith(QLatin1Char('/')))
        name.remove(0, 1);
    for (QChar& c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                           c == QLatin1Char('-');
        if (!plain)
            c = QLatin1Char('_');
    }
    return name + QStringLiteral(".lock");
}

QString DeviceLock::inUseMessage(const QString& device, const LockHolder& holder) {
    if (holder.pid <= 0)
        return QStringLiteral("the meter on %1 is in use by another program").arg(device);
    return QStringLiteral("the meter on %1 is in use by %2 (pid %3)")
        .arg(device, holder.program.isEmpty() ? QStringLiteral("another program") : holder.program)
        .arg(holder.pid);
}

bool DeviceLock::acquire(const QString& device) {
    if (held() && m_device == device)
        return true;
    release();
    const QString folder = directory();
    if (folder.isEmpty()) {
        m_refusal = QStringLiteral("no folder for the lock of %1 can be written").arg(device);
        return false;
    }
    const QString file = folder + QLatin1Char('/') + fileFor(device);
    const QByteArray path = QFile::encodeName(file);
    // A holder that lets go removes the file; a file opened just before that is
    // locked but nameless, so the lock is taken again on the new file.
    for (int attempt = 0; attempt < 5; ++attempt) {
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC); // another user's file in a shared folder
        if (fd < 0) {
            m_refusal = QStringLiteral("cannot open the lock file %1: %2")
                            .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            m_refusal = errno == EWOULDBLOCK ? inUseMessage(device, readHolder(fd))
                                             : QStringLiteral("cannot lock %1: %2")
                                                   .arg(file, QString::fromLocal8Bit(std::strerror(errno)));
            ::close(fd);
            return false;
        }
        if (!sameFile(fd, path)) {
            ::close(fd);
            continue;
        }
        const QByteArray holder = QByteArray::number(static_cast<long long>(::getpid())) + ' ' +
                                  QByteArray(program_invocation_short_name) + '\n';
        // Naming the holder helps a refused program say who has the meter; the lock holds without it.
        static_cast<void>(::ftruncate(fd, 0) == 0 &&
                          ::pwrite(fd, holder.constData(), std::size_t(holder.size()), 0) > 0);
        m_fd = fd;
        m_device = device;
        m_file = file;
        m_refusal.clear();
        return true;
    }
    m_refusal = QStringLiteral("the lock file %1 keeps changing").arg(file);
    return false;
}

void DeviceLock::release() {
    if (m_fd < 0)
        return;
    // Removed while still locked, so nobody takes a lock on a file about to vanish.
    ::unlink(QFile::encodeName(m_file).constData());
    ::close(m_fd);
    m_fd = -1;
    m_device.clear();
    m_file.clear();
}

} // namespace thermo4::link
