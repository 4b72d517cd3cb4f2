#include "cli/JournalExport.h"

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "formats/JournalReader.h"

#include <QFile>

namespace thermo4::cli {

bool IsJournalFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && formats::JournalReader::looksLikeJournal(file.read(64));
}

int ExportJournal(const QString& path) {
    const formats::JournalContents journal = formats::JournalReader::read(path);
    if (!journal.ok()) {
        PrintError(journal.error);
        return kExitFailure;
    }
    if (journal.droppedLines > 0) {
        PrintError(
            QStringLiteral("%1: warning: %2 damaged line(s) left out").arg(path).arg(journal.droppedLines));
    }
    QByteArray out = formats::kJournalColumns;
    out += '\n';
    out.reserve(static_cast<qsizetype>(journal.samples.size()) * 48);
    for (const formats::JournalSample& sample : journal.samples) {
        // The journal's own line, its time cut to the second as every export writes it:
        // "2024-05-01T10:00:00.250,..." becomes "2024-05-01T10:00:00,...".
        const QByteArray line = formats::JournalSampleLine(sample);
        const qsizetype comma = line.indexOf(',');
        out += QByteArrayView(line).first(comma - 4);
        out += QByteArrayView(line).sliced(comma);
    }
    PrintOut(QString::fromLatin1(out));
    return kExitOk;
}

} // namespace thermo4::cli
