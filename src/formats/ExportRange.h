#pragma once

#include <QString>

#include <algorithm>
#include <optional>

namespace thermo4::formats {

/// Shown when a range field of the export's range dialog is not an integer.
inline constexpr char kInvalidIntegerMessage[] = "invalid integer";

/// The points or rows an export writes, counted from 1, from..to inclusive.
struct ExportRange {
    int from = 1;
    int to = 0;
    int count() const { return std::max(0, to - from + 1); }
    bool operator==(const ExportRange&) const = default;
};

/// The range of the export's range dialog over items 1..last: everything when
/// all is set; otherwise the absolute values of the two fields, swapped when
/// from > to, to cut at last, a from of 0 taken as 1. Nothing when a field is
/// not an integer (then "invalid integer" is shown and nothing is written).
std::optional<ExportRange> ResolveExportRange(bool all, const QString& fromText, const QString& toText,
                                              int last);

} // namespace thermo4::formats
