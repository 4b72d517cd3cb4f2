#include "formats/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace thermo4::formats {

namespace {

/// Bytes queued before they go to the file: few system calls, bounded memory.
constexpr qsizetype kQueueBytes = 256 * 1024;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

/// Opens an existing device, pipe or socket for writing in place. A pipe that
/// nobody reads fails at once (ENXIO) instead of blocking.
std::unique_ptr<QFile> openInPlace(const QString& path, QString& reason) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = errno == ENXIO ? QStringLiteral("no process reads from it")
                                : QString::fromLocal8Bit(std::strerror(errno));
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

} // namespace

SafeFileWriter::SafeFileWriter(QString path) : m_path(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
    cancel();
}

bool SafeFileWriter::fail(const char* what, const QString& reason) {
    m_failed = true;
    m_error = QStringLiteral("%1 \"%2\". %3").arg(QLatin1String(what), nativePath(m_path), reason);
    cancel();
    return false;
}

bool SafeFileWriter::open() {
    m_failed = false;
    m_error.clear();
    m_queue.clear();
    const QFileInfo info(m_path);
    m_inPlace = info.exists() && !info.isFile() && !info.isDir();
    if (m_inPlace) {
        QString reason;
        m_file = openInPlace(m_path, reason);
        if (!m_file)
            return fail("Cannot create file", reason);
        return true;
    }
    // Unbuffered: every write reaches the system at once, so its error is seen where it happens
    // (the queue below does the buffering).
    auto file = std::make_unique<QSaveFile>(m_path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail("Cannot create file", file->errorString());
    m_file = std::move(file);
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
    auto* file = static_cast<QSaveFile*>(m_file.get());
    if (!file->commit())
        return fail("Error writing file", file->errorString());
    m_file.reset();
    return true;
}

void SafeFileWriter::cancel() {
    if (!m_file)
        return;
    if (!m_inPlace)
        static_cast<QSaveFile*>(m_file.get())->cancelWriting();
    // Destroying an uncommitted QSaveFile removes its temporary file.
    m_file.reset();
    m_queue.clear();
}

QString WriteFileSafely(const QString& path, QByteArrayView bytes) {
    SafeFileWriter writer(path);
    if (writer.open() && writer.write(bytes) && writer.commit())
        return {};
    return writer.error();
}

} // namespace thermo4::formats
