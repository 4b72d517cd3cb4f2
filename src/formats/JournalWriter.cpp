#include "formats/JournalWriter.h"

#include "core/FileName.h"
#include "formats/FileSystem.h"

#include <QDir>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace thermo4::formats {

namespace {

/// Attempts at a free file name when journals start within the same second.
constexpr int kNameAttempts = 100;

enum class Ending { None, Close, Finish, Discard };

// Writes all of data, resuming after a partial write or a signal; errno of the failure.
int writeAll(int fd, const QByteArray& data) {
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        next += written;
        left -= written;
    }
    return 0;
}

// Makes a new or removed directory entry durable; filesystems that cannot sync a
// directory are left as they are.
void syncFolder(const QString& folder) {
    const int fd = ::open(core::FileNameBytes(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString reason(int error) {
    return qt_error_string(error);
}

} // namespace

struct JournalWriter::Shared {
    QString folder;
    JournalHeader header;

    std::mutex mutex;
    /// The writer thread waits here for samples and for the end.
    std::condition_variable wake;
    /// waitUntilWritten waits here.
    std::condition_variable progress;
    std::vector<JournalSample> ring = std::vector<JournalSample>(kQueueCapacity);
    std::size_t head = 0;
    std::size_t queued = 0;
    std::uint64_t appended = 0;
    std::uint64_t handled = 0;
    bool opened = false;
    bool failed = false;
    Ending ending = Ending::None;
    QString path;
    QString error;

    std::thread thread;
};

JournalWriter::JournalWriter(const QString& folder, const JournalHeader& header, QObject* parent)
    : QObject(parent), m_shared(std::make_unique<Shared>()) {
    m_shared->folder = folder;
    m_shared->header = header;
    m_shared->thread = std::thread([this] { run(); });
}

JournalWriter::~JournalWriter() {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->ending == Ending::None)
            m_shared->ending = Ending::Close;
    }
    m_shared->wake.notify_one();
    m_shared->thread.join();
}

void JournalWriter::append(double time, std::uint8_t channelState, const std::array<float, 4>& readings) {
    append(JournalSample{time, channelState, readings});
}

void JournalWriter::append(const JournalSample& sample) {
    Shared& s = *m_shared;
    QString overrun;
    {
        const std::lock_guard lock(s.mutex);
        if (s.ending != Ending::None || s.failed)
            return;
        if (s.queued < s.ring.size()) {
            s.ring[(s.head + s.queued) % s.ring.size()] = sample;
            ++s.queued;
            ++s.appended;
        } else {
            overrun = s.path.isEmpty() ? s.folder : s.path;
        }
    }
    if (!overrun.isEmpty()) {
        // The disk has stalled for the whole queue: keep the samples queued so far, drop the rest.
        reportFailure(QStringLiteral("cannot write %1: the disk has not taken a sample for %2 samples")
                          .arg(overrun)
                          .arg(kQueueCapacity));
        return;
    }
    s.wake.notify_one();
}

void JournalWriter::finish() {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->ending == Ending::None)
            m_shared->ending = Ending::Finish;
    }
    m_shared->wake.notify_one();
}

void JournalWriter::discard() {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->ending == Ending::None)
            m_shared->ending = Ending::Discard;
    }
    m_shared->wake.notify_one();
}

bool JournalWriter::waitUntilWritten(int timeoutMs) {
    Shared& s = *m_shared;
    std::unique_lock lock(s.mutex);
    return s.progress.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return s.opened && s.handled == s.appended; });
}

QString JournalWriter::filePath() const {
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->path;
}

bool JournalWriter::hasFailed() const {
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->failed;
}

QString JournalWriter::errorString() const {
    const std::lock_guard lock(m_shared->mutex);
    return m_shared->error;
}

void JournalWriter::reportFailure(const QString& message) {
    {
        const std::lock_guard lock(m_shared->mutex);
        if (m_shared->failed)
            return;
        m_shared->failed = true;
        m_shared->error = message;
    }
    // Delivered by the owner's event loop, never inside the caller's append().
    QMetaObject::invokeMethod(
        this, [this, message] { emit failed(message); }, Qt::QueuedConnection);
}

void JournalWriter::run() {
    using Clock = std::chrono::steady_clock;
    Shared& s = *m_shared;
    const auto syncInterval = std::chrono::milliseconds(kSyncIntervalMs);

    int fd = -1;
    QString path;
    QString failure;
    if (QString why; !MakeFolders(s.folder, &why)) {
        failure = QStringLiteral("cannot create the journal folder %1: %2").arg(s.folder, why);
    } else {
        for (int attempt = 1; attempt <= kNameAttempts && fd < 0 && failure.isEmpty(); ++attempt) {
            path = QDir(s.folder).filePath(JournalFileName(s.header.start, attempt));
            fd = ::open(core::FileNameBytes(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0 && errno != EEXIST)
                failure = QStringLiteral("cannot create %1: %2").arg(path, reason(errno));
        }
        if (fd < 0 && failure.isEmpty())
            failure = QStringLiteral("cannot create a journal in %1: every name is taken").arg(s.folder);
    }
    if (fd >= 0) {
        // Held while the journal is written, so a listing never offers it for recovery;
        // released by the system when the process dies.
        ::flock(fd, LOCK_EX | LOCK_NB);
        if (const int error = writeAll(fd, JournalHeaderText(s.header)))
            failure = QStringLiteral("cannot write %1: %2").arg(path, reason(error));
        else if (::fsync(fd) != 0)
            failure = QStringLiteral("cannot write %1: %2").arg(path, reason(errno));
        syncFolder(s.folder);
    }
    if (!failure.isEmpty())
        reportFailure(failure);
    bool broken = !failure.isEmpty();
    {
        const std::lock_guard lock(s.mutex);
        s.opened = true;
        if (fd >= 0)
            s.path = path;
    }
    s.progress.notify_all();

    std::vector<JournalSample> batch;
    batch.reserve(s.ring.size());
    QByteArray text;
    auto lastSync = Clock::now();
    bool dirty = false;
    Ending ending = Ending::None;
    while (ending == Ending::None) {
        {
            std::unique_lock lock(s.mutex);
            const auto ready = [&] { return s.queued > 0 || s.ending != Ending::None; };
            if (dirty)
                s.wake.wait_until(lock, lastSync + syncInterval, ready);
            else
                s.wake.wait(lock, ready);
            for (; s.queued > 0; --s.queued) {
                batch.push_back(s.ring[s.head]);
                s.head = (s.head + 1) % s.ring.size();
            }
            ending = s.ending;
        }
        if (!batch.empty()) {
            if (!broken) {
                text.clear();
                for (const JournalSample& sample : batch)
                    text += JournalSampleLine(sample);
                if (const int error = writeAll(fd, text)) {
                    broken = true;
                    reportFailure(QStringLiteral("cannot write %1: %2").arg(path, reason(error)));
                } else {
                    dirty = true;
                }
            }
            {
                const std::lock_guard lock(s.mutex);
                s.handled += batch.size();
            }
            s.progress.notify_all();
            batch.clear();
        }
        const auto now = Clock::now();
        if (dirty && !broken && (ending != Ending::None || now - lastSync >= syncInterval)) {
            if (::fsync(fd) != 0) {
                broken = true;
                reportFailure(QStringLiteral("cannot write %1: %2").arg(path, reason(errno)));
            }
            dirty = false;
            lastSync = now;
        }
    }

    if (fd < 0)
        return;
    if (ending == Ending::Close) {
        ::close(fd);
        return;
    }
    // Marked first, so a journal whose removal fails is not offered for recovery.
    if (!broken)
        writeAll(fd, ending == Ending::Finish ? QByteArray(kJournalFinishedPrefix) + " saved\n"
                                              : QByteArray(kJournalFinishedPrefix) + " discarded\n");
    ::close(fd);
    if (::unlink(core::FileNameBytes(path).constData()) != 0 && errno != ENOENT)
        reportFailure(QStringLiteral("cannot remove %1: %2").arg(path, reason(errno)));
    syncFolder(s.folder);
}

} // namespace thermo4::formats
