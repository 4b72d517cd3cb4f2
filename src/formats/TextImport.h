#pragma once

#include "formats/TextExport.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace thermo4::formats {

/// Characters of a line that are read; the rest of a longer line is skipped.
inline constexpr qsizetype kImportLineChars = 179;
/// Fields kept per line: the table window's columns 1 to 6.
inline constexpr qsizetype kImportFields = 6;
/// Largest text file read (bytes), far beyond any export of this program.
inline constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;

/// The rows of a text file read back into a table.
struct ImportedTable {
    /// At most kImportFields fields per row, for columns 1, 2, …
    std::vector<QStringList> rows;
    bool cancelled = false;
    /// The file and the system's reason when the file could not be read.
    QString error;
};

/// Splits text into rows: each line (CR LF, LF or CR ended) is cut to
/// kImportLineChars characters; the first line without the separator ends the
/// table; fields are split at each separator, a trailing separator's empty
/// field is dropped, fields past the sixth are not kept. progress is told the
/// row count before each row is kept; false cancels (the rows so far stay).
ImportedTable ParseTextTable(QStringView text, QChar separator, const LineProgress& progress = {});

/// Reads a regular file of at most kMaxImportBytes (UTF-8, or Latin-1 when it
/// is not valid UTF-8) and parses it as ParseTextTable does.
ImportedTable ReadTextTable(const QString& path, QChar separator, const LineProgress& progress = {});

} // namespace thermo4::formats
