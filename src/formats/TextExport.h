#pragma once

#include "formats/ExportRange.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace thermo4::formats {

/// Told the number of lines done after each line; returns false to cancel.
using LineProgress = std::function<bool(int linesDone)>;

/// How a text export ended. Cancelled or failed, nothing was written and an
/// earlier file of that name is untouched.
struct TextExportResult {
    int lines = 0;
    bool cancelled = false;
    /// The file and the system's reason when the file could not be written.
    QString error;
    bool written() const { return !cancelled && error.isEmpty(); }
};

/// Writes the lines line(0), line(1), … up to count lines (or until line gives
/// nothing), each ended by CR LF, in UTF-8, through the safe writer.
TextExportResult WriteTextLines(const QString& path, int count,
                                const std::function<std::optional<QString>(int)>& line,
                                const LineProgress& progress = {});

/// The graph text export: one line per point of range (points counted from 1)
/// with X from x[0] and T1..T4 from y[0..3] (a missing curve counts as no
/// reading, "OL"). A point whose X is 0 never received data and ends the export.
TextExportResult WriteGraphText(const QString& path, std::span<const std::vector<double>> x,
                                std::span<const std::vector<float>> y, ExportRange range, QChar separator,
                                const QLocale& locale, const LineProgress& progress = {});

/// The table text export: one line per row of range (grid rows counted from 1),
/// the cells that cells(row) gives (columns 1 to the last), each followed by the separator.
TextExportResult WriteTableText(const QString& path, const std::function<QStringList(int row)>& cells,
                                ExportRange range, QChar separator, const LineProgress& progress = {});

} // namespace thermo4::formats
