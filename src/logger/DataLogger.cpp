#include "logger/DataLogger.h"

#include "ui/Prompts.h"
#include "app/TfrmMain.h"
#include "chart/Graph1.h"
#include "core/DataSetTable.h"
#include "core/MemoryDecoder.h"
#include "core/TDateTime.h"
#include "formats/CollectionFile.h"
#include "graph/TfrmGraph.h"
#include "link/DownloadResult.h"
#include "link/UsbTransport.h"
#include "logger/ScopeDownloadProgress.h"
#include "panel/TfrmPanel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QTableWidget>
#include <QTimer>

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
/// Pause before a serial link is opened again after a download (ms).
constexpr int kSerialSettleMs = 1000;
/// Columns selected in the first row after a load.
constexpr int kSelectedColumns = 5;

/// Clears a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

/// Writes the temporary copy that a later "save as collection file" copies.
void writeTemporaryCopy(const QString& path, const core::MemoryImage& image) {
    if (!formats::WriteImageFile(path, image)) {
        // No message, as before; but an older copy must not stand in for these
        // data sets when the collection is saved.
        QFile::remove(path);
    }
}

/// Gives the live link back to the poll after a load.
void handBackLink(TfrmMain& main) {
    AppState& app = main.state();
    if (app.link.serialLink() && app.link.connected()) {
        app.link.lostFrames = 0;
        main.clock().delayWithMessages(kSerialSettleMs);
        // Opens the chosen port again, identifies the meter and restarts the poll.
        main.ComboBoxDeviceNameChange();
        return;
    }
    // USB: drop the connection; the poll identifies the meter again within a few ticks.
    main.waitForPoll();
    main.MainTimer->stop();
    app.link.clearConnection();
    if (app.panelWindow) {
        app.panelWindow->lblNoConnection->show();
        app.panelWindow->ingBlutoothLink->hide();
    }
    main.MainTimer->start();
}

} // namespace

void FillDataSetTable(QTableWidget& grid, const core::DataSetCollection& sets, const QLocale& locale) {
    grid.clearSelection();
    grid.setRowCount(sets.count());
    for (int i = 0; i < sets.count(); ++i) {
        const auto row = core::DataSetTableRow(i + 1, sets.header(i), locale);
        for (int c = 0; c < core::kDataSetTableColumns; ++c) {
            auto* item = new QTableWidgetItem(row[static_cast<std::size_t>(c)]);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            grid.setItem(i, c, item);
        }
    }
    if (sets.count() > 0) {
        grid.setCurrentCell(0, 0);
        grid.setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, kSelectedColumns - 1), true);
    }
}

TfrmGraph* OpenLoggerGraph(TfrmMain& main, double now) {
    AppState& app = main.state();
    if (app.loggerGraph) {
        app.loggerGraph->restoreNormal();
        return app.loggerGraph;
    }
    auto* graph = new TfrmGraph(main, QString::fromLatin1(TfrmGraph::kDataLoggerCaption));
    app.loggerGraph = graph;
    graph->pnlDataSets->setVisible(true);
    main.addChild(graph);
    const QSize client = main.clientArea()->size();
    graph->place(0, 0, client.width(), client.height() - kLoggerHeightMargin);
    graph->SetupGraph(1, kBlankYMax, kBlankYMin, now + kBlankSpanDays, now, kBlankPoints);
    graph->Graph1->setAllowGraphAnnotHotSpots(true);
    return graph;
}

core::LinkResult ShowLoadedImage(TfrmMain& main, const core::MemoryImage& image) {
    AppState& app = main.state();
    const core::LinkResult code = core::DecodeMemoryImage(image, app.dataSets, main.clock().now());
    if (code != core::kDecodeOk)
        return code;
    if (app.loggerGraph)
        FillDataSetTable(*app.loggerGraph->Grid2, app.dataSets, QLocale());

    const QString folder = app.services.paths.tempFolder();
    if (!QDir().mkpath(folder)) {
        main.prompts().error(QDir::toNativeSeparators(QDir(folder).absolutePath()));
        return kLoadTempFolderFailed;
    }
    writeTemporaryCopy(app.services.paths.tempFile(), image);
    if (app.loggerGraph)
        app.loggerGraph->ShowDataSet(0);
    return code;
}

core::LinkResult LoadLoggerData(TfrmMain& main, const SerialDownload& serial) {
    AppState& app = main.state();
    // The image lives for this load only: it is empty before and after it.
    core::MemoryImage image;
    core::LinkResult code = kSerialNoFirstBlock;
    {
        ScopeDownloadProgress progress(&main);
        progress.showWaitCursor();
        if (app.link.serialLink()) {
            if (serial)
                code = serial(image, &progress);
        } else {
            code = main.usbLink().download(image, &progress);
        }
    }
    if (code != link::UsbDownloadResult::kOk)
        return code;
    return ShowLoadedImage(main, image);
}

void DataLoggerCommand(TfrmMain& main, const SerialDownload& serial) {
    AppState& app = main.state();
    const double now = core::TDateTimeFromDateTime(main.clock().now());
    if (app.downloadBusy)
        return;
    const FlagScope busy(app.downloadBusy);
    Prompts& prompts = main.prompts();
    if (!app.link.connected()) {
        prompts.information(QStringLiteral("There is no connection with multimeter !"));
        return;
    }
    if (app.meterStatus().meterRecording) {
        prompts.information(
            QStringLiteral("The meter is recording data, please stop recording before loading data."));
        return;
    }

    const TfrmMain::PollPause pause(main);
    // The download's waits process window messages: keep panel keys, the setup
    // dialog and poll ticks off the link until it is handed back.
    link::LinkGuard::Hold hold = app.linkGuard.hold();
    OpenLoggerGraph(main, now);
    const core::LinkResult code = LoadLoggerData(main, serial);
    if (code == core::kDecodeOk) {
        app.loggerUnsaved = true;
    } else if (code == core::kDecodeNoDataSet) {
        prompts.information(link::LoggerLoadMessage(code));
    } else if (code != kLoadTempFolderFailed) {
        prompts.information(link::LoggerLoadMessage(code));
        main.usbLink().abortTransfer();
    }
    hold.release();
    handBackLink(main);
}

} // namespace thermo4::ui
