#include "formats/TextImport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace thermo4::formats {

namespace {

ImportedTable failed(const QString& path, const QString& reason) {
    ImportedTable table;
    table.error = QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(path), reason);
    return table;
}

QStringList splitFields(QStringView line, QChar separator) {
    QStringList fields;
    qsizetype start = 0;
    while (fields.size() < kImportFields) {
        const qsizetype end = line.indexOf(separator, start);
        if (end < 0) {
            if (start < line.size())
                fields << line.mid(start).toString();
            break;
        }
        fields << line.mid(start, end - start).toString();
        start = end + 1;
    }
    return fields;
}

} // namespace

ImportedTable ParseTextTable(QStringView text, QChar separator, const LineProgress& progress) {
    ImportedTable table;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        while (end < text.size() && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        const QStringView line = text.mid(at, std::min(end - at, kImportLineChars));
        at = end;
        if (at < text.size() && text[at] == QLatin1Char('\r'))
            ++at;
        if (at < text.size() && text[at] == QLatin1Char('\n'))
            ++at;
        if (!line.contains(separator))
            break;
        if (progress && !progress(int(table.rows.size()) + 1)) {
            table.cancelled = true;
            break;
        }
        table.rows.push_back(splitFields(line, separator));
    }
    return table;
}

ImportedTable ReadTextTable(const QString& path, QChar separator, const LineProgress& progress) {
    const QFileInfo info(path);
    // A pipe or device could block or never end.
    if (info.exists() && !info.isFile())
        return failed(path, QStringLiteral("It is not a regular file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(path, file.errorString());
    if (file.size() > kMaxImportBytes)
        return failed(path, QStringLiteral("It is larger than %1 MiB.").arg(kMaxImportBytes >> 20));
    const QByteArray bytes = file.read(kMaxImportBytes);
    if (file.error() != QFileDevice::NoError)
        return failed(path, file.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return ParseTextTable(text, separator, progress);
}

} // namespace thermo4::formats
