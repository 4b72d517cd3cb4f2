#include "graph/JournalRecovery.h"

#include "core/GraphStatistics.h"
#include "core/TDateTime.h"
#include "formats/JournalFolder.h"
#include "formats/JournalReader.h"
#include "graph/TfrmGraph.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace thermo4::ui {

const QString JournalRecovery::kDeleteButton = QStringLiteral("Delete");

QString JournalRecovery::question(const QDateTime& start, int samples,
                                  const QList<formats::JournalGap>& gaps) {
    const QLocale locale;
    const double from = core::TDateTimeFromDateTime(start);
    // The time of day alone on the recording's first day.
    const auto when = [&](double days) {
        return std::floor(days) == std::floor(from) ? core::TimeText(days, locale)
                                                    : core::DateTimeText(days, locale);
    };
    QString gap;
    if (!gaps.isEmpty() && !gaps.back().to) {
        gap =
            QStringLiteral("; the journal stopped at %1: %2").arg(when(gaps.back().from), gaps.back().reason);
    } else if (!gaps.isEmpty()) {
        gap = QStringLiteral("; the journal misses the samples from %1 to %2: %3")
                  .arg(when(gaps.front().from), when(*gaps.front().to), gaps.front().reason);
        if (gaps.size() > 1)
            gap += QStringLiteral(" (and %1 more gaps)").arg(gaps.size() - 1);
    }
    return QStringLiteral("A real-time recording from %1 with %2 samples was not saved%3. Open it?")
        .arg(core::DateTimeText(from, locale))
        .arg(samples)
        .arg(gap);
}

void JournalRecovery::OfferUnsaved(MainFrame& frame) {
    const formats::JournalFolder folder = formats::JournalFolder::inDataDir(frame.services().paths.dataDir());
    Prompts& prompts = *frame.services().prompts;
    for (const formats::JournalEntry& entry : folder.unfinished()) {
        if (!entry.error.isEmpty()) {
            qWarning("%s", qPrintable(entry.error));
            continue;
        }
        if (entry.samples == 0) {
            formats::JournalFolder::remove(entry.path);
            continue;
        }
        switch (prompts.questionWithThird(question(entry.start, entry.samples, entry.gaps), kDeleteButton)) {
        case Answer::Yes:
            OpenJournal(frame, entry.path);
            break;
        case Answer::Other:
            if (QString error; !formats::JournalFolder::remove(entry.path, &error))
                prompts.error(error);
            break;
        case Answer::No:
        case Answer::Cancel:
            break;
        }
    }
}

TfrmGraph* JournalRecovery::OpenJournal(MainFrame& frame, const QString& path) {
    const formats::JournalContents journal = formats::JournalReader::read(path);
    if (!journal.ok() || journal.samples.empty()) {
        frame.services().prompts->error(journal.ok() ? QStringLiteral("%1: no samples").arg(path)
                                                     : journal.error);
        return nullptr;
    }
    const auto& samples = journal.samples;
    const int points = static_cast<int>(samples.size());
    const double first =
        journal.header.start.isValid()
            ? std::min(core::TDateTimeFromDateTime(journal.header.start), samples.front().time)
            : samples.front().time;
    const double last =
        std::max(samples.back().time, first + std::max(journal.header.rateSeconds, 1) / core::kSecondsPerDay);

    auto* graph = new TfrmGraph(frame, path);
    frame.addChild(graph);
    graph->fillClientArea();
    graph->SetupRealTimeLook(first, last, points);
    graph->drawSamples(samples);
    // Saved, the recording is that file's: the journal goes and the caption names the file.
    QObject::connect(graph, &TfrmGraph::graphSaved, graph, [graph, path](const QString& saved) {
        formats::JournalFolder::remove(path);
        graph->setWindowTitle(QDir::toNativeSeparators(QFileInfo(saved).absoluteFilePath()));
    });
    return graph;
}

} // namespace thermo4::ui
