// Text files of any content read back into a table as the single-file open reads them. The
// first byte chooses the separator (tab, comma or semicolon) and the row at which the progress
// callback cancels (0: never); the rest is the file. Every row holds at most six fields, none
// longer than a line is read or holding the separator or a line break; a cancelled read keeps
// the rows before it.
#include "FuzzSupport.h"

#include "formats/TextImport.h"

#include <cstdlib>

using namespace thermo4;

namespace {

void check(const formats::ImportedTable& table, QChar separator) {
    for (int row = 0; row < table.rowCount(); ++row) {
        const int count = table.fieldCount(row);
        if (count < 0 || count > formats::kImportFields)
            std::abort();
        qsizetype chars = 0;
        for (int i = 0; i < count; ++i) {
            const QStringView field = table.field(row, i);
            chars += field.size();
            if (field.contains(separator) || field.contains(QLatin1Char('\n')) ||
                field.contains(QLatin1Char('\r')))
                std::abort();
        }
        if (chars > formats::kImportLineChars || table.fields(row).size() != count ||
            !table.field(row, count).isEmpty())
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const QChar kSeparators[] = {QLatin1Char('\t'), QLatin1Char(','), QLatin1Char(';')};
    const QChar separator = kSeparators[data[0] % 3];
    const int cancelAt = data[0] / 3 % 8;
    const QString path = fuzz::WorkFolder().filePath(QStringLiteral("table.txt"));
    fuzz::WriteWholeFile(path, data + 1, size - 1);

    const formats::ImportedTable whole = formats::ReadTextTable(path, separator);
    if (!whole.error.isEmpty() || whole.cancelled)
        std::abort(); // a regular file within the size limit always reads
    check(whole, separator);

    int told = 0;
    const formats::ImportedTable cut = formats::ReadTextTable(path, separator, [&](int rows) {
        if (rows != ++told)
            std::abort(); // counted one by one
        return cancelAt == 0 || rows < cancelAt;
    });
    check(cut, separator);
    const int expected = cancelAt == 0 ? whole.rowCount() : std::min(whole.rowCount(), cancelAt - 1);
    if (cut.rowCount() != expected || cut.cancelled != (cancelAt != 0 && whole.rowCount() >= cancelAt))
        std::abort();
    for (int row = 0; row < cut.rowCount(); ++row) {
        if (cut.fields(row) != whole.fields(row))
            std::abort();
    }
    return 0;
}
