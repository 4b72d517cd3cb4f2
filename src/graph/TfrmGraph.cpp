#include "graph/TfrmGraph.h"

#include "app/TfrmMain.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QToolButton>

namespace thermo4::ui {

TfrmGraph::TfrmGraph(TfrmMain& main, const QString& caption) : MdiChild(main) {
    setObjectName(QStringLiteral("frmGraph"));
    setWindowTitle(caption);
    resize(1175, 612);
}

TfrmGraph* TfrmGraph::OpenRealTimeGraph(TfrmMain& main) {
    auto* graph = new TfrmGraph(main, QString::fromLatin1(kRealTimeCaption));
    main.addChild(graph);
    main.state().realTimeGraph = graph;
    main.RealTimeGraph1->setChecked(true);
    graph->placeAt(graph->subWindow() ? graph->subWindow()->x() : 0, 0);
    return graph;
}

bool TfrmGraph::isRealTime() const {
    return windowTitle() == QLatin1String(kRealTimeCaption);
}

bool TfrmGraph::isDataLogger() const {
    return windowTitle() == QLatin1String(kDataLoggerCaption);
}

void TfrmGraph::AppendSample(double, std::uint8_t, const std::array<float, 4>&) {
    ++state().sampleCount;
}

void TfrmGraph::FormActivate() {
    frmMain().btnOutputToGraph->setEnabled(false);
}

void TfrmGraph::FormClose() {
    AppState& app = state();
    app.loggerUnsaved = false;
    if (isRealTime()) {
        TfrmMain& main = frmMain();
        main.RealTimeGraph1->setChecked(false);
        main.btnRun->setEnabled(app.link.connected);
        main.Run1->setEnabled(app.link.connected);
        main.btnStop->setEnabled(false);
        main.Stop1->setEnabled(false);
        app.recording = false;
        app.sampleCount = 0;
    }
}

} // namespace thermo4::ui
