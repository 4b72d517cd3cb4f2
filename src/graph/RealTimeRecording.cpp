#include "graph/RealTimeRecording.h"

#include "core/TDateTime.h"
#include "graph/TfrmGraph.h"
#include "graph/TfrmSetupRealTime.h"
#include "link/Clock.h"
#include "session/MeterSession.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QPointer>

namespace thermo4::ui {

const QString RealTimeRecording::kRunQuestion =
    QStringLiteral("There are datas in Real_Time graph ,it have to reset the graph.\n"
                   "Do you want to save the Real-Time graph ?");

void RealTimeRecording::Run(MainFrame& frame) {
    session::MeterSession& meter = frame.session();
    session::RecordingState& recording = meter.recording();
    Prompts& prompts = *frame.services().prompts;
    if (!meter.connected())
        return;
    QPointer<TfrmGraph> graph = TfrmGraph::realTimeWindow(frame);
    if (graph) {
        graph->restoreNormal();
        if (recording.recording() || graph->sampleCount() > 0) {
            const Answer answer = prompts.question(kRunQuestion);
            if (answer == Answer::Cancel || (answer == Answer::Yes && !graph->SaveGraph()))
                return; // a save that did not happen keeps the samples
        }
    } else {
        frame.openRealTimeGraph();
        graph = TfrmGraph::realTimeWindow(frame);
        if (!graph)
            return;
    }

    QString countText;
    {
        TfrmSetupRealTime dialog(frame.frameWidget());
        dialog.setRateIndexes(graph->rateBoxIndexes());
        dialog.showPeriod(qint64(recording.realTimeRate()) * kPeriodSamples);
        // The poll goes on while the dialog is open; the window may be closed meanwhile.
        if (dialog.exec() != QDialog::Accepted || !graph)
            return;
        countText = dialog.countText();
        graph->setRateBoxIndexes(dialog.rateIndexes());
    }
    bool ok = false;
    const int count = countText.trimmed().toInt(&ok);
    if (!ok || count < 0) {
        prompts.warning(countText + QStringLiteral(" is not valid.\n"));
        return;
    }
    recording.setRealTimeRate(graph->rateBoxSeconds());
    if (recording.realTimeRate() == 0)
        return;
    graph->StartRecording(count, core::TDateTimeFromDateTime(frame.services().clock->now()));
    recording.start(count);
}

void RealTimeRecording::StartUnattended(MainFrame& frame) {
    session::RecordingState& recording = frame.session().recording();
    if (!frame.session().connected() || recording.recording())
        return;
    TfrmGraph* graph = TfrmGraph::realTimeWindow(frame);
    if (!graph) {
        frame.openRealTimeGraph();
        graph = TfrmGraph::realTimeWindow(frame);
    }
    if (!graph || graph->sampleCount() > 0)
        return;
    if (recording.realTimeRate() < 1)
        recording.setRealTimeRate(session::RecordingState::kDefaultRate);
    graph->setRateBoxes(recording.realTimeRate());
    graph->StartRecording(kMaxSamples, core::TDateTimeFromDateTime(frame.services().clock->now()));
    recording.start(kMaxSamples);
}

void RealTimeRecording::EndRecording(MainFrame& frame) {
    frame.session().recording().stop();
}

void RealTimeRecording::Stop(MainFrame& frame) {
    link::Clock& clock = *frame.services().clock;
    const std::int64_t start = clock.tickMs();
    while (frame.session().pollBusy() && clock.tickMs() - start <= kPollWaitMs)
        clock.delayWithMessages(10);
    EndRecording(frame);
    TfrmGraph* graph = TfrmGraph::realTimeWindow(frame);
    if (!graph)
        return;
    graph->restoreNormal();
    graph->StopRecording(core::TDateTimeFromDateTime(clock.now()));
}

} // namespace thermo4::ui
