#pragma once

#include <QString>

namespace thermo4::cli {

/// Whether path holds a recording journal, of any version, by its content whatever
/// its name. A file that cannot be read is no journal (its reader says why).
bool IsJournalFile(const QString& path);

/// thermo4-cli export JOURNAL.csv: prints the samples of a recording journal as
/// CSV, in the form of `live` (time with milliseconds, °C with one decimal, OL and
/// ----). Damaged lines are left out with a warning. A journal given with --set
/// (setGiven) is refused once it is read. Returns the exit code.
int ExportJournal(const QString& path, bool setGiven);

} // namespace thermo4::cli
