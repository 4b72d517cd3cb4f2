#include "formats/TextExport.h"

#include "core/DataSet.h"
#include "formats/GraphText.h"
#include "formats/SafeFileWriter.h"

namespace thermo4::formats {

TextExportResult WriteTextLines(const QString& path, int count,
                                const std::function<std::optional<QString>(int)>& line,
                                const LineProgress& progress) {
    TextExportResult result;
    SafeFileWriter writer(path);
    if (!writer.open()) {
        result.error = writer.error();
        return result;
    }
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> text = line(i);
        if (!text)
            break;
        if (!writer.write((*text + QLatin1String(kTextLineEnd)).toUtf8())) {
            result.error = writer.error();
            return result;
        }
        ++result.lines;
        if (progress && !progress(result.lines)) {
            result.cancelled = true;
            writer.cancel();
            return result;
        }
    }
    if (!writer.commit())
        result.error = writer.error();
    return result;
}

TextExportResult WriteGraphText(const QString& path, std::span<const std::vector<double>> x,
                                std::span<const std::vector<float>> y, ExportRange range, QChar separator,
                                const QLocale& locale, const LineProgress& progress) {
    const auto value = [&y](std::size_t curve, std::size_t point) {
        if (curve >= y.size() || point >= y[curve].size())
            return core::kNoDataValue;
        return double(y[curve][point]);
    };
    GraphTextFormatter formatter(separator, locale);
    return WriteTextLines(
        path, range.count(),
        [&](int i) -> std::optional<QString> {
            const auto point = std::size_t(range.from - 1 + i);
            if (x.empty() || point >= x[0].size() || x[0][point] == 0.0)
                return std::nullopt;
            return formatter.line(x[0][point],
                                  {value(0, point), value(1, point), value(2, point), value(3, point)});
        },
        progress);
}

TextExportResult WriteTableText(const QString& path, const std::function<QStringList(int row)>& cells,
                                ExportRange range, QChar separator, const LineProgress& progress) {
    return WriteTextLines(
        path, range.count(),
        [&](int i) -> std::optional<QString> { return TableTextLine(cells(range.from + i), separator); },
        progress);
}

} // namespace thermo4::formats
