#include "logger/DataLogger.h"

#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "formats/CollectionFile.h"
#include "formats/FileSystem.h"
#include "graph/TfrmGraph.h"
#include "link/Clock.h"
#include "link/DownloadResult.h"
#include "logger/ScopeDownloadProgress.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QDir>
#include <QFile>

namespace thermo4::ui {

namespace {

// The DataLogger window before the first data set: one curve of 500 points
// over 500 s, Y from 30 to 130.
constexpr int kBlankPoints = 500;
constexpr double kBlankSpanDays = 500.0 / core::kSecondsPerDay;
constexpr float kBlankYMax = 130.0f;
constexpr float kBlankYMin = 30.0f;
/// The DataLogger window leaves this much of the client height free (pixels).
constexpr int kLoggerHeightMargin = 60;

/// Writes the temporary copy that a later "save as collection file" copies.
void writeTemporaryCopy(const QString& path, const core::MemoryImage& image) {
    if (!formats::WriteImageFile(path, image)) {
        // The download itself succeeded, so no message; but an older copy must not stand in
        // for these data sets when the collection is saved.
        formats::RemoveFile(path);
    }
}

} // namespace

TfrmGraph* OpenLoggerGraph(MainFrame& frame, double now) {
    if (TfrmGraph* existing = TfrmGraph::dataLoggerWindow(frame)) {
        existing->restoreNormal();
        return existing;
    }
    // Captioned "DataLogger", the window shows its data-set table.
    auto* graph = new TfrmGraph(frame, QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    frame.addChild(graph);
    const QSize client = frame.clientSize();
    graph->place(0, 0, client.width(), client.height() - kLoggerHeightMargin);
    graph->SetupGraph(1, kBlankYMax, kBlankYMin, now + kBlankSpanDays, now, kBlankPoints);
    graph->allowMarkHotSpots(true);
    return graph;
}

core::LinkResult ShowLoadedImage(MainFrame& frame, const core::MemoryImage& image) {
    LoggerData& logger = frame.loggerData();
    const AppServices& services = frame.services();
    const core::LinkResult code = core::DecodeMemoryImage(image, logger.dataSets, services.clock->now());
    if (code != core::kDecodeOk)
        return code;
    logger.image = image;
    TfrmGraph* window = TfrmGraph::dataLoggerWindow(frame);
    if (window)
        window->listDataSets(logger.dataSets);

    const QString folder = services.paths.tempFolder();
    if (!formats::MakeFolders(folder)) {
        services.prompts->error(QDir::toNativeSeparators(formats::AbsolutePath(folder)));
        return kLoadTempFolderFailed;
    }
    writeTemporaryCopy(services.paths.tempFile(), image);
    if (window)
        window->ShowDataSet(0);
    return code;
}

core::LinkResult LoadLoggerData(MainFrame& frame, const session::MeterSession::Transaction& held) {
    // The image lives for this load only: it is empty before and after it.
    core::MemoryImage image;
    core::LinkResult code = 0;
    {
        ScopeDownloadProgress progress(frame.frameWidget());
        progress.showWaitCursor();
        code = frame.session().download(held, image, &progress);
    }
    if (code != link::UsbDownloadResult::kOk)
        return code;
    return ShowLoadedImage(frame, image);
}

void DataLoggerCommand(MainFrame& frame) {
    session::MeterSession& meter = frame.session();
    Prompts& prompts = *frame.services().prompts;
    const double now = core::TDateTimeFromDateTime(frame.services().clock->now());
    // A download (or another transaction) holds the link: a second request does nothing.
    if (meter.linkBusy())
        return;
    if (!meter.connected()) {
        prompts.information(QStringLiteral("There is no connection with multimeter !"));
        return;
    }
    if (meter.meterStatus().meterRecording) {
        prompts.information(
            QStringLiteral("The meter is recording data, please stop recording before loading data."));
        return;
    }

    // The download's waits process window messages: the transaction keeps panel
    // keys, the setup dialog and poll ticks off the link until it is handed back.
    const std::optional<session::MeterSession::Transaction> held = meter.beginTransaction();
    if (!held)
        return;
    OpenLoggerGraph(frame, now);
    const core::LinkResult code = LoadLoggerData(frame, *held);
    if (code == core::kDecodeOk) {
        frame.loggerData().loggerUnsaved = true;
    } else if (code == core::kDecodeNoDataSet) {
        prompts.information(link::LoggerLoadMessage(code));
    } else if (code == link::kDownloadCancelled) {
        // The user stopped it and the download has ended the transfer: nothing to tell.
    } else if (code != kLoadTempFolderFailed) {
        prompts.information(link::LoggerLoadMessage(code));
        meter.abortTransfer(*held);
    }
    meter.handBackAfterDownload(*held);
}

} // namespace thermo4::ui
