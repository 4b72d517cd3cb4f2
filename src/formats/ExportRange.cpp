#include "formats/ExportRange.h"

#include <cstdlib>

namespace thermo4::formats {

namespace {

/// A 32-bit integer with an optional sign, blanks around it allowed; its absolute value.
std::optional<qint64> absoluteInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return std::llabs(qint64(value));
}

} // namespace

std::optional<ExportRange> ResolveExportRange(bool all, const QString& fromText, const QString& toText,
                                              int last) {
    if (all)
        return ExportRange{1, last};
    const auto from = absoluteInteger(fromText);
    const auto to = absoluteInteger(toText);
    if (!from || !to)
        return std::nullopt;
    qint64 first = *from;
    qint64 end = *to;
    if (first > end)
        std::swap(first, end);
    end = std::min<qint64>(end, last);
    first = std::max<qint64>(first, 1);
    // first may lie past last (both fields beyond it): an empty range.
    return ExportRange{int(std::min<qint64>(first, qint64(last) + 1)), int(end)};
}

} // namespace thermo4::formats
