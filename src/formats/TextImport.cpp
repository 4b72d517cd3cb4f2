#include "formats/TextImport.h"

#include "core/DataSet.h"
#include "formats/BoundedRead.h"
#include "formats/FileSystem.h"
#include "formats/RegionalText.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <cerrno>

namespace thermo4::formats {

QStringView ImportedTable::field(int row, int index) const {
    const Row& r = m_rows[std::size_t(row)];
    if (index < 0 || index >= r.count)
        return {};
    return QStringView(m_text).mid(r.start[std::size_t(index)], r.length[std::size_t(index)]);
}

QStringList ImportedTable::fields(int row) const {
    QStringList list;
    for (int i = 0; i < fieldCount(row); ++i)
        list << field(row, i).toString();
    return list;
}

ImportedTable ParseTextTable(QString text, QChar separator, const LineProgress& progress) {
    ImportedTable table;
    table.m_text = std::move(text);
    const QStringView all(table.m_text);
    table.m_rows.reserve(std::size_t(all.count(QLatin1Char('\n'))) + 1);
    qsizetype at = 0;
    while (at < all.size()) {
        qsizetype end = at;
        while (end < all.size() && all[end] != QLatin1Char('\n') && all[end] != QLatin1Char('\r'))
            ++end;
        const qsizetype lineStart = at;
        const qsizetype lineEnd = lineStart + std::min(end - at, kImportLineChars);
        at = end;
        if (at < all.size() && all[at] == QLatin1Char('\r'))
            ++at;
        if (at < all.size() && all[at] == QLatin1Char('\n'))
            ++at;
        const QStringView line = all.mid(lineStart, lineEnd - lineStart);
        if (!line.contains(separator))
            break;
        if (progress && !progress(table.rowCount() + 1)) {
            table.cancelled = true;
            break;
        }
        ImportedTable::Row row;
        qsizetype start = lineStart;
        while (row.count < kImportFields) {
            const qsizetype sep = all.indexOf(separator, start);
            const bool last = sep < 0 || sep >= lineEnd;
            const qsizetype stop = last ? lineEnd : sep;
            // The text after the last separator is a field only when it is not empty.
            if (last && stop == start)
                break;
            row.start[std::size_t(row.count)] = qint32(start);
            row.length[std::size_t(row.count)] = quint8(stop - start);
            ++row.count;
            if (last)
                break;
            start = sep + 1;
        }
        table.m_rows.push_back(row);
    }
    return table;
}

bool ReadTextFile(const QString& path, QString& text, QString* error) {
    text.clear();
    const auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    QFile file;
    switch (QString why; OpenRegularFile(path, file, &why)) {
    case FileOpen::Opened:
        break;
    case FileOpen::NotRegular:
        return fail(QStringLiteral("It is not a regular file."));
    case FileOpen::Missing:
        return fail(SystemReason(ENOENT));
    case FileOpen::Failed:
        return fail(why);
    }
    if (file.size() > kMaxImportBytes)
        return fail(QStringLiteral("It is larger than %1 MiB.").arg(kMaxImportBytes >> 20));
    // At most the limit, even if the file grew since it was measured.
    const QByteArray bytes = ReadAtMost(file, kMaxImportBytes);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return true;
}

ImportedTable ReadTextTable(const QString& path, QChar separator, const LineProgress& progress) {
    QString text;
    ImportedTable failed;
    if (!ReadTextFile(path, text, &failed.error))
        return failed;
    return ParseTextTable(std::move(text), separator, progress);
}

std::optional<TableRow> ReadTableRow(const QStringList& fields, const QLocale& locale) {
    const std::optional<double> time = ParseDateAndTime(fields.value(0), fields.value(1), locale);
    if (!time)
        return std::nullopt;
    TableRow row;
    row.time = *time;
    for (std::size_t c = 0; c < row.readings.size(); ++c) {
        const QString cell = fields.value(2 + qsizetype(c));
        if (cell == QLatin1String("OL")) {
            row.readings[c] = float(core::kNoDataValue);
            continue;
        }
        const std::optional<double> value = ParseNumber(cell, locale);
        if (!value)
            break;
        row.readings[c] = float(*value);
    }
    return row;
}

} // namespace thermo4::formats
