#pragma once

#include "formats/JournalFormat.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

namespace thermo4::formats {

/// Writes every sample of a recording to its journal file as it is taken, so a
/// crash, a killed session or a power cut loses at most the last few seconds.
///
/// The file work (creating, writing, fsync, removing) runs on a thread of the
/// writer's own: append() only copies the sample into a bounded queue and never
/// waits for the disk. Each sample is handed to the OS as soon as the writer
/// thread gets to it and the file is fsync'ed at least every kSyncIntervalMs.
/// A journal that cannot be written (folder not writable, disk full, queue
/// overrun by a stalled disk) emits failed() once, keeps the samples written
/// before and notes in the file from which sample on and why it stopped; the
/// samples meanwhile are dropped, and writing is tried again with a sample taken
/// kRetryIntervalS after the last attempt. Once it goes on, it notes where
/// (the gap stays marked in the file) and emits resumed(). A journal that cannot
/// be created leaves no file behind.
class JournalWriter : public QObject {
    Q_OBJECT
public:
    /// Samples that may wait for the writer thread (over an hour at 1 sample/s).
    static constexpr int kQueueCapacity = 4096;
    /// Longest time (ms) a written sample waits for its fsync.
    static constexpr int kSyncIntervalMs = 5000;
    /// Shortest time (s, by the samples' times) between two attempts to write a journal that failed.
    static constexpr int kRetryIntervalS = 10;

    /// Starts the journal of a recording in folder (created when missing), named
    /// after header.start. Returns at once; the file is created on the writer thread.
    JournalWriter(const QString& folder, const JournalHeader& header, QObject* parent = nullptr);
    /// Writes what is still queued and closes the file, waiting for the writer
    /// thread. Unless finish() or discard() was called, the journal stays in its
    /// folder as one that needs recovery.
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    /// Queues one sample; never blocks on the file. Ignored after finish()/discard().
    void append(const JournalSample& sample);
    /// The graph's form: time in days since 1899-12-30, the channel state bits
    /// (n: T(n+1) "OL", n+4: "----") and T1..T4 in °C.
    void append(double time, std::uint8_t channelState, const std::array<float, 4>& readings);
    /// Queues a note line ('#' first) to go among the samples at time (days), in order.
    void appendNote(double time, const QByteArray& line);

    /// The recording's data were saved: the journal is marked finished and removed.
    void finish();
    /// The recording's data were deliberately thrown away: marked and removed as by finish().
    void discard();

    /// Blocks until every sample appended so far is written (or dropped after a
    /// failure), or timeoutMs passes; false on time-out. For tests and tools: a
    /// recording never needs to wait.
    bool waitUntilWritten(int timeoutMs);

    /// The journal's path; empty until the writer thread has created the file,
    /// and while it could not.
    QString filePath() const;
    /// The journal is not being written now.
    bool hasFailed() const;
    /// The last failure reported by failed(); empty without one.
    QString errorString() const;

signals:
    /// The journal cannot be written; the recording goes on, and the journal is
    /// tried again. Emitted once per stretch that it fails, always from the event
    /// loop of the thread that made the writer.
    void failed(const QString& message);
    /// The journal at path is written again after a failure, the gap marked in it.
    void resumed(const QString& path);

private:
    struct Shared;
    void enqueue(const JournalSample& sample, const QByteArray& note);
    void run();
    void reportFailure(const QString& message);
    void reportResumed(const QString& path);

    std::unique_ptr<Shared> m_shared;
};

} // namespace thermo4::formats
