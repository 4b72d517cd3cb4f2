#pragma once

#include "formats/JournalReader.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace thermo4::ui {

class MainFrame;
class TfrmGraph;

/// Recordings whose journals were left unfinished (a crash, a killed process, Exit
/// with unsaved samples): offered at start-up, opened as graph windows, or deleted.
class JournalRecovery {
public:
    /// Caption of the button that deletes the journal.
    static const QString kDeleteButton;

    /// "A real-time recording from <time> with <N> samples was not saved. Open it?", and
    /// when its journal stopped early, when and why: "… with 89 samples; the journal
    /// stopped at 10:42:17: no space left on device. Open it?"
    static QString question(const QDateTime& start, int samples, const QList<formats::JournalGap>& gaps = {});
    /// Asks about each unfinished journal in the data folder, oldest first: Yes opens
    /// it in a graph window, No keeps it for the next start, Delete removes it.
    /// Journals without a sample go quietly; unreadable ones are named on stderr.
    static void OfferUnsaved(MainFrame& frame);
    /// Opens the journal at path as a graph window with the real-time graph's look and
    /// its statistics; the journal is removed once the window's graph is saved. A
    /// journal that cannot be read is reported, and null returned.
    static TfrmGraph* OpenJournal(MainFrame& frame, const QString& path);
};

} // namespace thermo4::ui
