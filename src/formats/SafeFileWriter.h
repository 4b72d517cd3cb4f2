#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

namespace thermo4::formats {

/// Writes one file so that a failure never leaves a half-written file behind.
///
/// A regular file (or a new one) is written to a temporary file beside it that
/// replaces the old file only when every write and the final flush succeeded;
/// on any failure the old file is untouched and the temporary file is removed.
/// A target that exists and is not a regular file (a terminal, /dev/null, a
/// pipe) is written in place, since there is nothing to keep, and is never
/// replaced by a regular file. Every failure is kept as one message naming the
/// file and the system's reason.
class SafeFileWriter {
public:
    explicit SafeFileWriter(QString path);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    /// Creates the temporary file (or opens the device). False on failure, see error().
    bool open();
    /// Queues bytes; they reach the file in large blocks. False once any write failed.
    bool write(QByteArrayView bytes);
    /// Writes what is queued, checks the final flush and puts the file in place.
    /// False (old file untouched) on any failure, see error().
    bool commit();
    /// Drops everything written; the old file stays as it was.
    void cancel();

    /// Why the last step failed: "Cannot write \"<path>\": <reason>".
    const QString& error() const { return m_error; }
    /// The system's reason alone ("No space left on device"), without the file's name.
    const QString& reason() const { return m_reason; }
    const QString& path() const { return m_path; }

private:
    bool openTemporary();
    bool flushQueue();
    bool fail(const char* what, const QString& reason);

    QString m_path;
    QString m_error;
    QString m_reason;
    QByteArray m_queue;
    std::unique_ptr<QFile> m_file;
    /// The file being written and the one it replaces on commit (symbolic links resolved).
    QByteArray m_temporaryName;
    QByteArray m_finalName;
    int m_fd = -1;
    bool m_inPlace = false;
    bool m_failed = false;
};

/// Writes bytes as the whole content of path through SafeFileWriter. Returns
/// the empty text on success, otherwise the reason (the old file untouched).
QString WriteFileSafely(const QString& path, QByteArrayView bytes);

} // namespace thermo4::formats
