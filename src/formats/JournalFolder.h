#pragma once

#include "formats/JournalReader.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace thermo4::formats {

/// A journal that needs recovery, as a listing shows it.
struct JournalEntry {
    QString path;
    /// Start of the recording; invalid when the journal cannot be read.
    QDateTime start;
    /// Samples that can be recovered.
    int samples = 0;
    /// Why the journal cannot be read (see JournalContents::error); empty when it can.
    QString error;
    /// Where the journal stopped before the recording did (see JournalContents::gaps).
    QList<JournalGap> gaps;
};

/// The journal folder of a data folder: finds the recordings that were neither
/// saved nor discarded, and removes journals on request.
class JournalFolder {
public:
    explicit JournalFolder(QString folder);
    /// "<dataDir>/journal".
    static JournalFolder inDataDir(const QString& dataDir);

    QString path() const { return m_folder; }

    /// The unfinished journals, oldest first (by file name, which is the start
    /// time), including those that cannot be read, each with its error. Journals
    /// that a running recording is writing are left out. An empty file (left by an
    /// earlier version that could not write its header) counts as a journal
    /// without samples once it is a minute old. Empty when the folder does not exist.
    QList<JournalEntry> unfinished() const;
    /// Deletes one journal file; false with the reason in error.
    static bool remove(const QString& path, QString* error = nullptr);

private:
    QString m_folder;
};

} // namespace thermo4::formats
