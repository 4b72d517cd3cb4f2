#include "logger/DataLogger.h"

#include "core/LinkResult.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "formats/CollectionFile.h"
#include "formats/FileSystem.h"
#include "graph/TfrmGraph.h"
#include "link/Clock.h"
#include "logger/ScopeDownloadProgress.h"
#include "session/LoggerLoad.h"
#include "session/MeterSession.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QDir>
#include <QFile>

#include <optional>

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

namespace {

/// The DataLogger window's side of a logger load: the progress window while the
/// download runs, then the data sets listed and drawn, or the user told why not.
class WindowLoad : public session::LoggerLoadHandler {
public:
    WindowLoad(MainFrame& frame, double now) : m_frame(frame), m_now(now) {}

    void begin() override {
        OpenLoggerGraph(m_frame, m_now);
        m_progress.emplace(m_frame.frameWidget());
        m_progress->showWaitCursor();
    }
    void started(std::int32_t totalBytes) override { m_progress->started(totalBytes); }
    void advanced(std::int32_t receivedBytes) override { m_progress->advanced(receivedBytes); }
    void finished() override { m_progress->finished(); }
    void waiting(int attempt, int attempts) override { m_progress->waiting(attempt, attempts); }
    bool cancelled() const override { return m_progress && m_progress->cancelled(); }

    core::LinkResult loaded(const core::MemoryImage& image) override {
        m_progress.reset();
        const core::LinkResult code = ShowLoadedImage(m_frame, image);
        if (code == core::kDecodeOk)
            m_frame.loggerData().loggerUnsaved = true;
        return code;
    }
    void failed(core::LinkResult code) override {
        m_progress.reset();
        // A cancel needs no message, and the temporary folder's failure was told already.
        if (code != core::DownloadResult::kCancelled && code != kLoadTempFolderFailed)
            m_frame.services().prompts->information(session::LoggerLoadMessage(code));
    }

private:
    MainFrame& m_frame;
    double m_now;
    std::optional<ScopeDownloadProgress> m_progress;
};

} // namespace

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

    // The download's waits process window messages: the session's hold keeps panel
    // keys, the setup dialog and poll ticks off the link until it is handed back.
    WindowLoad load(frame, now);
    meter.loadLogger(load);
}

} // namespace thermo4::ui
