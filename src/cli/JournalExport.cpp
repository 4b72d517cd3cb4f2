#include "cli/JournalExport.h"

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "formats/FileSystem.h"
#include "formats/JournalReader.h"

#include <QFile>

namespace thermo4::cli {

bool IsJournalFile(const QString& path) {
    // The first line decides; a pipe or device is refused here without waiting.
    constexpr qint64 kFirstBytes = 256;
    QFile file;
    return formats::OpenRegularFile(path, file) == formats::FileOpen::Opened &&
           formats::JournalReader::inspectStart(file.read(kFirstBytes)) != formats::JournalStart::NotJournal;
}

int ExportJournal(const QString& path, bool setGiven) {
    const formats::JournalContents journal = formats::JournalReader::read(path);
    if (!journal.ok()) {
        PrintError(journal.error);
        return kExitFailure;
    }
    if (setGiven) {
        PrintError(QStringLiteral("--set: %1 is a recording journal, which holds one recording").arg(path));
        return kExitUsage;
    }
    if (journal.droppedLines > 0) {
        PrintError(
            QStringLiteral("%1: warning: %2 damaged line(s) left out").arg(path).arg(journal.droppedLines));
    }
    // The journal's own lines: the form of `live`, milliseconds included.
    QByteArray out = formats::kJournalColumns;
    out += '\n';
    out.reserve(static_cast<qsizetype>(journal.samples.size()) * 48);
    for (const formats::JournalSample& sample : journal.samples) {
        out += formats::JournalSampleLine(sample);
    }
    PrintOut(QString::fromLatin1(out));
    return kExitOk;
}

} // namespace thermo4::cli
