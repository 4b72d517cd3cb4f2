#include "formats/SafeFileWriter.h"

#include "core/FileName.h"
#include "formats/FileSystem.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace thermo4::formats {

namespace {

/// Bytes queued before they go to the file: few system calls, bounded memory.
constexpr qsizetype kQueueBytes = 256 * 1024;
/// Names tried for the temporary file before giving up.
constexpr int kTemporaryNameAttempts = 100;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

/// Opens an existing device, pipe or socket for writing in place. A pipe that
/// nobody reads fails at once (ENXIO) instead of blocking.
std::unique_ptr<QFile> openInPlace(const QByteArray& name, QString& reason) {
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = errno == ENXIO ? QStringLiteral("no process reads from it") : SystemReason(errno);
        return nullptr;
    }
    // Blocking from here on, so that a slow reader slows the writer down instead of failing it.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        reason = file->errorString();
        return nullptr;
    }
    return file;
}

/// The file a write to name replaces: the target of a symbolic link, so that the link stays.
QByteArray finalNameOf(const QByteArray& name) {
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return name;
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) != nullptr ? QByteArray(resolved) : name;
}

QByteArray randomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray suffix(".", 1);
    for (int i = 0; i < 6; ++i)
        suffix += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return suffix;
}

} // namespace

SafeFileWriter::SafeFileWriter(QString path) : m_path(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    cancel();
}

bool SafeFileWriter::fail(const char* what, const QString& reason) {
    m_failed = true;
    m_reason = reason;
    m_error = QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), nativePath(m_path), reason);
    cancel();
    return false;
}

bool SafeFileWriter::open() {
    cancel();
    m_failed = false;
    m_error.clear();
    m_reason.clear();
    const QByteArray name = core::FileNameBytes(m_path);
    struct stat st {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return fail("Cannot create file", QStringLiteral("It is a folder."));
    m_inPlace = exists && !S_ISREG(st.st_mode);
    if (m_inPlace) {
        QString reason;
        m_file = openInPlace(name, reason);
        if (!m_file)
            return fail("Cannot create file", reason);
        return true;
    }
    m_finalName = finalNameOf(name);
    if (exists && ::access(m_finalName.constData(), W_OK) != 0)
        return fail("Cannot create file", SystemReason(errno));
    return openTemporary() && (!exists || ::fchmod(m_fd, st.st_mode & 07777) == 0 ||
                               fail("Cannot create file", SystemReason(errno)));
}

bool SafeFileWriter::openTemporary() {
    // Beside the final file, so that the rename that puts it in place cannot cross file systems.
    // The mode 0666 is narrowed by the umask, as for any new file.
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const QByteArray name = m_finalName + randomSuffix();
        m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_temporaryName = name;
            break;
        }
        if (errno != EEXIST)
            return fail("Cannot create file", SystemReason(errno));
    }
    if (m_fd < 0)
        return fail("Cannot create file", SystemReason(EEXIST));
    // Unbuffered: every write reaches the system at once, so its error is seen where it happens
    // (the queue below does the buffering).
    m_file = std::make_unique<QFile>();
    if (!m_file->open(m_fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return fail("Cannot create file", m_file->errorString());
    return true;
}

bool SafeFileWriter::write(QByteArrayView bytes) {
    if (m_failed || !m_file)
        return false;
    m_queue.append(bytes.data(), bytes.size());
    return m_queue.size() < kQueueBytes || flushQueue();
}

bool SafeFileWriter::flushQueue() {
    const char* data = m_queue.constData();
    qsizetype left = m_queue.size();
    while (left > 0) {
        // A short count (a file-size limit reached, a full disk) is followed by a call that
        // fails with the reason.
        const qint64 written = m_file->write(data, left);
        if (written <= 0)
            return fail("Error writing file",
                        written < 0 ? m_file->errorString() : QStringLiteral("Nothing could be written."));
        data += written;
        left -= qsizetype(written);
    }
    m_queue.clear();
    return true;
}

bool SafeFileWriter::commit() {
    if (m_failed || !m_file)
        return false;
    if (!flushQueue())
        return false;
    if (!m_file->flush())
        return fail("Error writing file", m_file->errorString());
    if (m_inPlace) {
        m_file->close();
        const bool ok = m_file->error() == QFileDevice::NoError;
        const QString reason = m_file->errorString();
        m_file.reset();
        return ok || fail("Error writing file", reason);
    }
    m_file->close();
    m_file.reset();
    // On the disk before it replaces the old file: a crash then leaves one or the other, whole.
    // A file system that cannot sync (EINVAL) has nothing to report.
    if ((::fsync(m_fd) != 0 && errno != EINVAL) || ::close(std::exchange(m_fd, -1)) != 0)
        return fail("Error writing file", SystemReason(errno));
    if (::rename(m_temporaryName.constData(), m_finalName.constData()) != 0)
        return fail("Error writing file", SystemReason(errno));
    m_temporaryName.clear();
    return true;
}

void SafeFileWriter::cancel() {
    m_file.reset();
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (!m_temporaryName.isEmpty())
        ::unlink(std::exchange(m_temporaryName, QByteArray()).constData());
    m_queue.clear();
}

QString WriteFileSafely(const QString& path, QByteArrayView bytes) {
    SafeFileWriter writer(path);
    if (writer.open() && writer.write(bytes) && writer.commit())
        return {};
    return writer.error();
}

} // namespace thermo4::formats
