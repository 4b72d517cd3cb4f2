#pragma once

#include <QString>

namespace thermo4::cli {

/// Whether path is a recording journal (by its first line, whatever its name).
bool IsJournalFile(const QString& path);

/// thermo4-cli export JOURNAL.csv: prints the samples of a recording journal as
/// CSV, in the form of `live` (time to the second, °C with one decimal, OL and
/// ----). Damaged lines are left out with a warning. Returns the exit code.
int ExportJournal(const QString& path);

} // namespace thermo4::cli
