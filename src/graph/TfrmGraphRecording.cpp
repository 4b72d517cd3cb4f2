#include "graph/TfrmGraph.h"

#include "chart/Graph1.h"
#include "core/GraphStatistics.h"
#include "core/NumberText.h"
#include "core/TDateTime.h"
#include "graph/RealTimeRecording.h"
#include "graph/SaveGraph.h"
#include "link/Clock.h"
#include "session/MeterSession.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"
#include "ui/SharedData.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QToolButton>
#include <QWidget>

namespace thermo4::ui {

namespace {
// The real-time graph at start: 100 points over 110 s, Y from −10 to 50 °C.
constexpr int kRealTimePoints = 100;
constexpr double kRealTimeSpanSeconds = 110.0;
constexpr float kRealTimeYMax = 50.0f;
constexpr float kRealTimeYMin = -10.0f;
// Beyond this many days between points a curve is not joined: never, for the real-time graph.
constexpr double kNoLineGap = 1e20;
} // namespace

TfrmGraph* TfrmGraph::OpenRealTimeGraph(MainFrame& frame) {
    session::RecordingState& recording = frame.session().recording();
    auto* graph = new TfrmGraph(frame, QString::fromLatin1(kRealTimeCaption));
    frame.addChild(graph);
    graph->placeAt(graph->subWindow() ? graph->subWindow()->x() : 0, 0);
    graph->showClearButton();
    connect(&recording, &session::RecordingState::sampleRecorded, graph,
            [graph](int, const session::Reading& sample) { graph->drawSample(sample); });
    connect(&recording, &session::RecordingState::recordingChanged, graph, &TfrmGraph::followRecording);
    connect(&frame.session(), &session::MeterSession::connectionChanged, graph,
            [graph](session::ConnectionChange change) {
                if (change == session::ConnectionChange::Connected)
                    graph->followRecording();
            });

    const double now = core::TDateTimeFromDateTime(graph->clock().now());
    graph->SetupRealTimeLook(now,
                             now + double(recording.spanFactor) * kRealTimeSpanSeconds / core::kSecondsPerDay,
                             kRealTimePoints);
    graph->pnlSamplingRate->setEnabled(true);
    graph->setRateBoxes(recording.realTimeRate());
    return graph;
}

void TfrmGraph::SetupRealTimeLook(double xMin, double xMax, int points) {
    SetupGraph(4, kRealTimeYMax, kRealTimeYMin, xMax, xMin, points);
    chart::Graph1& g = *Graph1;
    g.setNoRandomPointsToExport(true);
    g.setFocalRect(false);
    g.setAllowBar(false);
    g.setLineGapThreshold(kNoLineGap);
}

void TfrmGraph::followRecording() {
    tbntClr->setEnabled(!session().recording().recording());
}

void TfrmGraph::drawSample(const session::Reading& sample) {
    AppendSample(core::TDateTimeFromDateTime(sample.time), sample.status.channelState, sample.status.reading);
}

void TfrmGraph::AppendSample(double t, std::uint8_t channelState, const std::array<float, 4>& readings) {
    chart::Graph1& g = *Graph1;
    if (t > g.manualMaxX())
        g.setManualMaxX(t + session().recording().samplePeriod);
    const int point = m_sampleCount;
    const float null = float(chart::kDefaultNullValue);
    const QLocale locale;
    const auto reading = [channelState](int k) {
        return core::ChannelConditionOf(channelState, k) == core::ChannelCondition::Reading;
    };
    for (int k = 0; k < 4; ++k) {
        g.setXDataII(k, point, t);
        g.setYData(k, point, reading(k) ? readings[std::size_t(k)] : null);
    }
    // The extremes follow the reading even while the channel shows "OL" or "----".
    for (std::size_t k = 0; k < 4; ++k) {
        const float v = readings[k];
        const auto text = [&] {
            const QString shown = core::ChannelDisplayText(channelState, int(k), double(v), locale);
            return reading(int(k)) ? shown + QLatin1Char('@') + core::DateTimeText(t, locale) : shown;
        };
        if (v > liveMax[k]) {
            liveMax[k] = v;
            txtMax[k]->setText(text());
        }
        if (v < liveMin[k]) {
            liveMin[k] = v;
            txtMin[k]->setText(text());
        }
    }
    g.redraw();
    ++m_sampleCount;
    txtDataNo->setText(QString::number(m_sampleCount));
}

void TfrmGraph::StartRecording(int points, double now) {
    session().recording().noteDiscarded();
    chart::Graph1& g = *Graph1;
    g.setPoints(points);
    for (int k = 0; k < g.subsets(); ++k) {
        g.setXDataII(-1, k, 0.0);
        g.setYDataII(-1, k, chart::kDefaultNullValue);
    }
    m_sampleCount = 0;
    liveMax.fill(core::kMaxStart);
    liveMin.fill(core::kMinStart);
    emptyStatisticFields();
    txtStartTime->setText(core::DateTimeText(now, QLocale()));
    g.setManualMinX(now);
    g.setManualMaxX(now + 100.0 / core::kSecondsPerDay);
    g.redraw();
}

void TfrmGraph::StopRecording(double now) {
    chart::Graph1& g = *Graph1;
    const int taken = m_sampleCount;
    if (taken < g.points()) {
        // Cutting the graph to the samples taken keeps the last sample of T4 as it was.
        const double x = g.xDataII(3, taken - 1);
        const float y = g.yData(3, taken - 1);
        g.setPoints(std::max(0, taken));
        g.setXDataII(3, taken - 1, x);
        g.setYData(3, taken - 1, y);
        g.redraw();
    }
    g.setManualMaxX(now);
    const QLocale locale;
    const int points = std::min(taken, g.points());
    for (int k = 0; k < 4; ++k) {
        double sum = 0.0;
        int count = 0;
        for (int i = 0; i < points; ++i) {
            const float y = g.yData(k, i);
            if (core::IsTemperature(y)) {
                sum += y;
                ++count;
            }
        }
        txtAvg[std::size_t(k)]->setText(core::AverageText(sum, count, 3, locale));
    }
    g.redraw();
}

void TfrmGraph::emptyStatisticFields() {
    for (std::size_t k = 0; k < 4; ++k) {
        txtMax[k]->clear();
        txtMin[k]->clear();
        txtAvg[k]->clear();
    }
}

void TfrmGraph::ClearGraph() {
    GraphShared& shared = frame().graphShared();
    chart::Graph1& g = *Graph1;
    clearReadOut();
    for (int k = 0; k < g.subsets(); ++k) {
        g.setYData(-1, k, float(chart::kDefaultNullValue));
        g.setXDataII(-1, k, 0.0);
    }
    txtDataNo->clear();
    emptyStatisticFields();
    m_sampleCount = 0;
    for (int index = GraphShared::kMarkBase; index <= shared.annotationCount; ++index) {
        g.setGraphAnnotationX(index, 0.0);
        g.setGraphAnnotationY(index, 0.0);
    }
    shared.annotationCount = GraphShared::kMarkBase;
    g.redraw();
    if (isRealTime())
        session().recording().noteDiscarded();
}

bool TfrmGraph::SaveGraph() {
    const QString path = ui::SaveGraph(frame(), *Graph1);
    if (path.isEmpty())
        return false;
    if (isRealTime())
        session().recording().noteSaved();
    emit graphSaved(path);
    return true;
}

void TfrmGraph::tbntClrClick() {
    if (prompts().question(QStringLiteral("Save Real-Time Graph ?"), false) == Answer::Yes && !SaveGraph())
        return; // keep the samples when they were not saved
    Graph1->undoZoom();
    UndoZoom->setEnabled(false);
    ClearGraph();
}

void TfrmGraph::ComboBox1Change() {
    if (!isRealTime())
        return;
    session::RecordingState& recording = session().recording();
    const int previous = recording.realTimeRate();
    const int rate = rateBoxSeconds();
    if (rate == previous)
        return;
    recording.setRealTimeRate(rate);
    if (rate == 0) {
        setRateBoxes(session::RecordingState::kDefaultRate);
        recording.setRealTimeRate(session::RecordingState::kDefaultRate);
    }
    if (recording.recording() || m_sampleCount > 0) {
        const Answer answer = prompts().question(QStringLiteral(
            "Sampling Rate is being changed and it is recording Real-Time data or there are data in "
            "Real_Time graph.If you want to make new sampling rate effective,it have to reset the "
            "graph.\nDo you want to save the Real-Time graph ?"));
        // Without the reset the recording goes on at its old rate, so the boxes show it again.
        if (answer == Answer::Cancel || (answer == Answer::Yes && !SaveGraph())) {
            recording.setRealTimeRate(previous);
            setRateBoxes(previous);
            return;
        }
    }
    RealTimeRecording::EndRecording(frame());
    tbntClr->setEnabled(true);
    ClearGraph();
    Graph1->setLineGapThreshold(kNoLineGap);
    recording.samplePeriod = recording.realTimeRate() * 100.0 / core::kSecondsPerDay;
    Graph1->setFocus();
}

} // namespace thermo4::ui
