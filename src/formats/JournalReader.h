#pragma once

#include "formats/JournalFormat.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace thermo4::formats {

/// A stretch of a recording that its journal could not hold.
struct JournalGap {
    /// Time (days) of the first sample missing.
    double from = 0.0;
    /// Time (days) of the first sample after the gap; nullopt when the journal never went on.
    std::optional<double> to;
    /// Why, as the writer saw it ("no space left on device").
    QString reason;

    bool operator==(const JournalGap&) const = default;
};

/// A journal read back.
struct JournalContents {
    JournalHeader header;
    std::vector<JournalSample> samples;
    /// Lines left out because they are not samples: a last line cut short by a
    /// crash (one without its line end), or a damaged line.
    int droppedLines = 0;
    /// The recording was saved or discarded: nothing to recover.
    bool finished = false;
    /// Where the journal stopped, in order; the last one may be open to the end.
    QList<JournalGap> gaps;
    /// Why the journal cannot be read (missing, not a journal, damaged header);
    /// empty when it was read.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

/// What the start of a file says about it as a journal.
enum class JournalStart {
    NotJournal,
    /// The first line of a journal this program reads.
    Journal,
    /// A journal of another version, or text that starts as a journal's header or columns
    /// do but lacks its first line.
    UnknownVersion,
};

/// Reads recording journals back into the samples the graph holds.
class JournalReader {
public:
    /// Largest journal read (bytes); 99 999 samples take about 4 MiB.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    static JournalContents read(const QString& path);
    /// The journal held in bytes; name is the file named in messages.
    static JournalContents parse(const QByteArray& bytes, const QString& name);
    /// What the first line of bytes says; for UnknownVersion, which, in version
    /// ("version 999", "no version line").
    static JournalStart inspectStart(QByteArrayView bytes, QString* version = nullptr);
};

} // namespace thermo4::formats
