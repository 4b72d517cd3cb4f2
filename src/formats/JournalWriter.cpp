#include "formats/JournalWriter.h"

#include "core/FileName.h"
#include "core/TDateTime.h"
#include "formats/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
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

// Writes all of data at offset, resuming after a partial write or a signal; errno of the failure.
int writeAllAt(int fd, const QByteArray& data, off_t offset) {
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::pwrite(fd, next, static_cast<std::size_t>(left), offset);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        next += written;
        left -= written;
        offset += written;
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

// The system's reason as the journal's notes and the recovery question give it: "no space left on device".
QString noteReason(int error) {
    QString text = reason(error);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

/// A sample, or a note written among the samples at its time.
struct QueuedLine : JournalSample {
    QByteArray note;
};

QByteArray sampleLines(const std::vector<QueuedLine>& lines) {
    QByteArray text;
    for (const QueuedLine& line : lines)
        text += line.note.isEmpty() ? JournalSampleLine(line) : line.note;
    return text;
}

/// The journal file on disk. While it is written it ends in the blank note of
/// kJournalReserveBytes, which every write replaces with its lines and a new one:
/// when the disk is full, the "stopped" note takes the room the blank one held.
class JournalFile {
public:
    JournalFile(QString folder, QDateTime start) : m_folder(std::move(folder)), m_start(std::move(start)) {}
    ~JournalFile() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }

    /// Creates the journal holding text; on failure nothing is left on disk and
    /// the message says why, reason the system's part of it.
    bool create(const QByteArray& text, QString* message, QString* why) {
        if (QString folderWhy; !MakeFolders(m_folder, &folderWhy)) {
            *message = QStringLiteral("cannot create the journal folder %1: %2").arg(m_folder, folderWhy);
            *why = QStringLiteral("the journal folder cannot be created");
            return false;
        }
        QString path;
        int fd = -1;
        for (int attempt = 1; attempt <= kNameAttempts && fd < 0; ++attempt) {
            path = JoinPath(m_folder, JournalFileName(m_start, attempt));
            fd = ::open(core::FileNameBytes(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0 && errno != EEXIST) {
                *message = QStringLiteral("cannot create %1: %2").arg(path, reason(errno));
                *why = noteReason(errno);
                return false;
            }
        }
        if (fd < 0) {
            *message = QStringLiteral("cannot create a journal in %1: every name is taken").arg(m_folder);
            *why = QStringLiteral("every journal name is taken");
            return false;
        }
        // Held while the journal is written, so a listing never offers it for recovery;
        // released by the system when the process dies.
        ::flock(fd, LOCK_EX | LOCK_NB);
        int error = writeAllAt(fd, text + JournalReserveLine(), 0);
        if (error == 0 && ::fsync(fd) != 0)
            error = errno;
        if (error != 0) {
            // A file without its header would be nothing but a puzzle at the next start.
            ::close(fd);
            ::unlink(core::FileNameBytes(path).constData());
            *message = QStringLiteral("cannot write %1: %2").arg(path, reason(error));
            *why = noteReason(error);
            return false;
        }
        syncFolder(m_folder);
        m_fd = fd;
        m_path = path;
        m_end = text.size();
        m_reserved = true;
        return true;
    }

    /// Appends text and a new blank note; errno of a failure, after which the file
    /// may hold part of it (markStopped or rollback cut it off).
    int append(const QByteArray& text) {
        if (const int error = writeAllAt(m_fd, text + JournalReserveLine(), m_end))
            return error;
        m_end += text.size();
        m_reserved = true;
        return 0;
    }

    /// After a failed append: the "stopped" line goes where the blank note was, which
    /// needs no new room on the disk, and the file ends after it. False when it could not.
    bool markStopped(const QByteArray& line) {
        const bool written = m_reserved && line.size() <= kJournalReserveBytes &&
                             writeAllAt(m_fd, line, m_end) == 0 &&
                             ::ftruncate(m_fd, m_end + line.size()) == 0;
        if (written) {
            m_end += line.size();
            ::fsync(m_fd);
        } else {
            rollback();
        }
        m_reserved = false;
        return written;
    }

    /// After a failed append to a journal that has stopped: it ends where it did.
    void rollback() {
        ::ftruncate(m_fd, m_end);
        m_reserved = false;
    }

    int sync() { return ::fsync(m_fd) == 0 ? 0 : errno; }

    /// Ends the journal with line in place of its blank note, then deletes it.
    /// Marked first, so a journal whose removal fails is not offered for recovery.
    QString settle(const QByteArray& line) {
        if (writeAllAt(m_fd, line, m_end) == 0)
            ::ftruncate(m_fd, m_end + line.size());
        else
            ::ftruncate(m_fd, m_end);
        ::close(m_fd);
        m_fd = -1;
        QString error;
        if (::unlink(core::FileNameBytes(m_path).constData()) != 0 && errno != ENOENT)
            error = QStringLiteral("cannot remove %1: %2").arg(m_path, reason(errno));
        syncFolder(m_folder);
        return error;
    }

private:
    QString m_folder;
    QDateTime m_start;
    QString m_path;
    int m_fd = -1;
    /// Where the lines end: the blank note, when there is one, starts here.
    off_t m_end = 0;
    bool m_reserved = false;
};

} // namespace

struct JournalWriter::Shared {
    QString folder;
    JournalHeader header;

    std::mutex mutex;
    /// The writer thread waits here for samples and for the end.
    std::condition_variable wake;
    /// waitUntilWritten waits here.
    std::condition_variable progress;
    std::vector<QueuedLine> ring = std::vector<QueuedLine>(kQueueCapacity);
    std::size_t head = 0;
    std::size_t queued = 0;
    std::uint64_t appended = 0;
    std::uint64_t handled = 0;
    /// Samples dropped on a full queue since the writer last looked, and the time of the first.
    std::uint64_t overflowed = 0;
    double overflowFrom = 0.0;
    bool opened = false;
    /// The journal is not being written now (reported by failed()).
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
    enqueue(sample, {});
}

void JournalWriter::appendNote(double time, const QByteArray& line) {
    if (!line.isEmpty())
        enqueue(JournalSample{time, 0, {}}, line.endsWith('\n') ? line : line + '\n');
}

void JournalWriter::enqueue(const JournalSample& sample, const QByteArray& note) {
    Shared& s = *m_shared;
    QString overrun;
    {
        const std::lock_guard lock(s.mutex);
        if (s.ending != Ending::None)
            return;
        if (s.queued < s.ring.size()) {
            QueuedLine& slot = s.ring[(s.head + s.queued) % s.ring.size()];
            static_cast<JournalSample&>(slot) = sample;
            slot.note = note;
            ++s.queued;
            ++s.appended;
        } else {
            if (s.overflowed++ == 0)
                s.overflowFrom = sample.time;
            overrun = s.path.isEmpty() ? s.folder : s.path;
        }
    }
    if (!overrun.isEmpty()) {
        // The disk has stalled for the whole queue: keep the samples queued so far, drop the
        // rest; the journal marks the gap once the disk takes samples again.
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

void JournalWriter::reportResumed(const QString& path) {
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->failed = false;
        m_shared->path = path;
    }
    QMetaObject::invokeMethod(
        this, [this, path] { emit resumed(path); }, Qt::QueuedConnection);
}

void JournalWriter::run() {
    using Clock = std::chrono::steady_clock;
    Shared& s = *m_shared;
    const auto syncInterval = std::chrono::milliseconds(kSyncIntervalMs);
    constexpr double kRetryDays = kRetryIntervalS / core::kSecondsPerDay;

    // Samples from `from` on are not in the journal; writing is tried again with a
    // sample taken kRetryIntervalS after the last attempt (by the samples' times).
    struct Outage {
        double from;
        QString reason;
        /// Time of the sample of the last attempt; nullopt: the next sample tries.
        std::optional<double> tried;
        /// The "stopped" line is in the file.
        bool marked = false;
    };
    std::optional<Outage> outage;

    JournalFile file(s.folder, s.header.start);
    const QByteArray header = JournalHeaderText(s.header);
    const double start = core::TDateTimeFromDateTime(s.header.start);
    if (QString message, why; !file.create(header, &message, &why)) {
        outage = Outage{start, why, start, false};
        reportFailure(message);
    }
    {
        const std::lock_guard lock(s.mutex);
        s.opened = true;
        s.path = file.path();
    }
    s.progress.notify_all();

    // A write that failed: the journal stops at the batch's first sample.
    const auto stopAt = [&](double from, int error) {
        outage = Outage{from, noteReason(error), from, false};
        outage->marked = file.markStopped(JournalStoppedLine(from, outage->reason));
        reportFailure(QStringLiteral("cannot write %1: %2").arg(file.path(), reason(error)));
    };

    std::vector<QueuedLine> batch;
    batch.reserve(s.ring.size());
    auto lastSync = Clock::now();
    bool dirty = false;
    double lastTime = start;
    Ending ending = Ending::None;
    while (ending == Ending::None) {
        std::uint64_t overflowed = 0;
        double overflowFrom = 0.0;
        {
            std::unique_lock lock(s.mutex);
            const auto ready = [&] { return s.queued > 0 || s.overflowed > 0 || s.ending != Ending::None; };
            if (dirty)
                s.wake.wait_until(lock, lastSync + syncInterval, ready);
            else
                s.wake.wait(lock, ready);
            for (; s.queued > 0; --s.queued) {
                batch.push_back(s.ring[s.head]);
                s.head = (s.head + 1) % s.ring.size();
            }
            std::swap(overflowed, s.overflowed);
            overflowFrom = s.overflowFrom;
            ending = s.ending;
        }
        if (overflowed > 0 && !outage) {
            // Taken up at once: nothing failed on the disk, it only fell behind.
            outage =
                Outage{overflowFrom,
                       QStringLiteral("the disk did not keep up: %1 samples were dropped").arg(overflowed),
                       std::nullopt, false};
        }
        if (!batch.empty()) {
            const std::size_t taken = batch.size();
            lastTime = batch.back().time;
            if (!outage) {
                if (const int error = file.append(sampleLines(batch)))
                    stopAt(batch.front().time, error);
                else
                    dirty = true;
            } else {
                // Samples before the next attempt is due are dropped (a clock set back makes it due).
                const auto due = [&](const JournalSample& sample) {
                    return !outage->tried || sample.time >= *outage->tried + kRetryDays ||
                           sample.time < *outage->tried;
                };
                batch.erase(batch.begin(), std::find_if(batch.begin(), batch.end(), due));
                if (!batch.empty()) {
                    // The gap is marked where the samples go on.
                    const double first = batch.front().time;
                    QByteArray text =
                        outage->marked ? QByteArray() : JournalStoppedLine(outage->from, outage->reason);
                    text += JournalResumedLine(first) + sampleLines(batch);
                    QString message, why;
                    const bool written =
                        file.isOpen() ? file.append(text) == 0 : file.create(header + text, &message, &why);
                    if (written) {
                        outage.reset();
                        dirty = true;
                        reportResumed(file.path());
                    } else {
                        outage->tried = first;
                        if (file.isOpen())
                            file.rollback();
                    }
                }
            }
            {
                const std::lock_guard lock(s.mutex);
                s.handled += taken;
            }
            s.progress.notify_all();
            batch.clear();
        }
        const auto now = Clock::now();
        if (dirty && !outage && (ending != Ending::None || now - lastSync >= syncInterval)) {
            if (const int error = file.sync())
                stopAt(lastTime, error);
            dirty = false;
            lastSync = now;
        }
    }

    if (!file.isOpen() || ending == Ending::Close)
        return;
    const QString error =
        file.settle(ending == Ending::Finish ? QByteArray(kJournalFinishedPrefix) + " saved\n"
                                             : QByteArray(kJournalFinishedPrefix) + " discarded\n");
    if (!error.isEmpty())
        reportFailure(error);
}

} // namespace thermo4::formats
