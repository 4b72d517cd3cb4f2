#include "graph/RealTimeRecording.h"

#include "ui/Prompts.h"
#include "app/TfrmMain.h"
#include "core/TDateTime.h"
#include "graph/TfrmGraph.h"
#include "graph/TfrmSetupRealTime.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

namespace thermo4::ui {

const QString RealTimeRecording::kRunQuestion =
    QStringLiteral("There are datas in Real_Time graph ,it have to reset the graph.\n"
                   "Do you want to save the Real-Time graph ?");

void RealTimeRecording::Run(TfrmMain& main) {
    AppState& app = main.state();
    if (!app.link.connected())
        return;
    QPointer<TfrmGraph> graph = app.realTimeGraph;
    if (graph) {
        graph->restoreNormal();
        if (app.recording || app.sampleCount > 0) {
            const Answer answer = main.prompts().question(kRunQuestion);
            if (answer == Answer::Cancel || (answer == Answer::Yes && !graph->SaveGraph()))
                return; // a save that did not happen keeps the samples
        }
    } else {
        main.OpenRealTimeGraph();
        graph = app.realTimeGraph;
        if (!graph)
            return;
    }

    QString countText;
    {
        TfrmSetupRealTime dialog(&main);
        dialog.ComboBox1->setCurrentIndex(graph->ComboBox1->currentIndex());
        dialog.ComboBox2->setCurrentIndex(graph->ComboBox2->currentIndex());
        dialog.edtPeriod->setText(
            TfrmSetupRealTime::periodText(qint64(app.realTimeRate) * kPeriodSamples, false));
        // The poll goes on while the dialog is open; the window may be closed meanwhile.
        if (dialog.exec() != QDialog::Accepted || !graph)
            return;
        countText = dialog.edtRealTimeNo->text();
        graph->ComboBox1->setCurrentIndex(dialog.ComboBox1->currentIndex());
        graph->ComboBox2->setCurrentIndex(dialog.ComboBox2->currentIndex());
    }
    bool ok = false;
    const int count = countText.trimmed().toInt(&ok);
    if (!ok || count < 0) {
        main.prompts().warning(countText + QStringLiteral(" is not valid.\n"));
        return;
    }
    app.realTimeRate = graph->rateBoxSeconds();
    if (app.realTimeRate == 0)
        return;
    graph->StartRecording(count, core::TDateTimeFromDateTime(main.clock().now()));
    graph->tbntClr->setEnabled(false);
    app.recording = true;
    main.btnRun->setEnabled(false);
    main.Run1->setEnabled(false);
    main.btnStop->setEnabled(true);
    main.Stop1->setEnabled(true);
}

void RealTimeRecording::EndRecording(TfrmMain& main) {
    AppState& app = main.state();
    app.recording = false;
    main.btnRun->setEnabled(app.link.connected());
    main.Run1->setEnabled(app.link.connected());
    main.btnStop->setEnabled(false);
    main.Stop1->setEnabled(false);
}

void RealTimeRecording::Stop(TfrmMain& main) {
    AppState& app = main.state();
    link::Clock& clock = main.clock();
    const std::int64_t start = clock.tickMs();
    while (app.link.pollBusy && clock.tickMs() - start <= kPollWaitMs)
        clock.delayWithMessages(10);
    EndRecording(main);
    TfrmGraph* graph = app.realTimeGraph;
    if (!graph)
        return;
    graph->restoreNormal();
    graph->tbntClr->setEnabled(true);
    graph->StopRecording(core::TDateTimeFromDateTime(clock.now()));
}

} // namespace thermo4::ui
