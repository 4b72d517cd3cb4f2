#pragma once

#include "formats/TextExport.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

namespace thermo4::formats {

/// Characters of a line that are read; the rest of a longer line is skipped.
inline constexpr qsizetype kImportLineChars = 179;
/// Fields kept per line: the table window's columns 1 to 6.
inline constexpr qsizetype kImportFields = 6;
/// Largest text file read (bytes): three times a full 99 999-point export.
inline constexpr qint64 kMaxImportBytes = 16 * 1024 * 1024;

/// The rows of a text file read back into a table. The fields are views into
/// the text read, so a large file costs no allocation per field.
class ImportedTable {
public:
    int rowCount() const { return int(m_rows.size()); }
    /// Fields of a row, at most kImportFields.
    int fieldCount(int row) const { return m_rows[std::size_t(row)].count; }
    /// Field index (0 for the table's column 1) of row; empty past the row's fields.
    QStringView field(int row, int index) const;
    QStringList fields(int row) const;

    bool cancelled = false;
    /// The file and the system's reason when the file could not be read.
    QString error;

private:
    friend ImportedTable ParseTextTable(QString text, QChar separator, const LineProgress& progress);
    /// 32 bytes a row: offsets fit 32 bits (files are at most kMaxImportBytes), lengths 8 bits.
    struct Row {
        std::array<qint32, kImportFields> start{};
        std::array<quint8, kImportFields> length{};
        quint8 count = 0;
    };
    QString m_text;
    std::vector<Row> m_rows;
};

/// Splits text into rows: each line (CR LF, LF or CR ended) is cut to
/// kImportLineChars characters; the first line without the separator ends the
/// table; fields are split at each separator, a trailing separator's empty
/// field is dropped, fields past the sixth are not kept. progress is told the
/// row count before each row is kept; false cancels (the rows so far stay).
ImportedTable ParseTextTable(QString text, QChar separator, const LineProgress& progress = {});

/// Reads a regular file of at most kMaxImportBytes as text (UTF-8, or Latin-1
/// when it is not valid UTF-8). False, with the file and the system's reason in
/// error, when it cannot be read.
bool ReadTextFile(const QString& path, QString& text, QString* error = nullptr);

/// Reads a file as ReadTextFile does and parses it as ParseTextTable does.
ImportedTable ReadTextTable(const QString& path, QChar separator, const LineProgress& progress = {});

/// A row of a table of readings as a graph draws it.
struct TableRow {
    /// Days since 1899-12-30.
    double time = 0.0;
    /// T1 to T4: the reading, core::kNoDataValue for "OL", nothing from the first cell that is
    /// no number on (the graph keeps what it had there).
    std::array<std::optional<float>, 4> readings{};
    bool operator==(const TableRow&) const = default;
};

/// Reads the fields of a table row (date, time, T1 to T4: the table's columns 1 to 6) with
/// the locale's date, time and decimal separator. Nothing when the date and time are no date-time.
std::optional<TableRow> ReadTableRow(const QStringList& fields, const QLocale& locale);

} // namespace thermo4::formats
