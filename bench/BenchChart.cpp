// Real-time recording cost of the chart control: one sample of four channels written into a
// graph that already holds N points, followed by the redraw sequence, against a bare
// QCustomPlot replot of the same four curves. Offscreen, 1200 × 800 pixels.

#include "chart/Graph1.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

using thermo4::chart::Graph1;

constexpr double kT0 = 45352.5;           // 2024-03-01 12:00 in days
constexpr double kPeriod = 2.0 / 86400.0; // one sample every 2 s
constexpr int kCapacity = 99'999;         // the largest count the recording accepts
constexpr int kWidth = 1200;
constexpr int kHeight = 800;

float reading(int channel, int sample) {
    return float(10 * channel + 5 * std::sin(sample * 0.01) + (sample % 7) * 0.1);
}

// A recording as the real-time window keeps it: capacity points blanked, `recorded` samples
// written, split or single view, manual scales covering the samples.
std::unique_ptr<Graph1> recordingGraph(int recorded, bool split) {
    auto g = std::make_unique<Graph1>();
    g->resize(kWidth, kHeight);
    g->show();
    g->setSubsets(4);
    g->setPoints(kCapacity);
    g->setXDataII(-1, 0, 0.0);
    g->setYData(-1, 0, 9999.0f);
    for (int a = 0; a < 4; ++a) {
        g->setMultiAxesSubsets(a, split ? 1 : 0);
        g->setMultiAxesProportions(a, 0.25);
        g->setWorkingAxis(a);
        g->setManualScaleControlY(thermo4::chart::ScaleManual);
        g->setManualMinY(-10);
        g->setManualMaxY(50);
        g->setSubsetLabel(a, QStringLiteral("T%1").arg(a + 1));
    }
    g->setWorkingAxis(0);
    g->setGridStyle(thermo4::chart::GridDotted);
    g->setManualScaleControlX(thermo4::chart::ScaleManual);
    g->setManualMinX(kT0);
    g->setManualMaxX(kT0 + (recorded + 50) * kPeriod);
    for (int p = 0; p < recorded; ++p) {
        for (int k = 0; k < 4; ++k) {
            g->setXDataII(k, p, kT0 + p * kPeriod);
            g->setYData(k, p, reading(k, p));
        }
    }
    g->redraw();
    return g;
}

// Writes sample `index` as the recording does: X then Y of each channel.
void writeSample(Graph1& g, int index) {
    for (int k = 0; k < 4; ++k) {
        g.setXDataII(k, index, kT0 + index * kPeriod);
        g.setYData(k, index, reading(k, index));
    }
}

// Takes the sample back out (untimed), so every iteration appends to the same N points.
void removeSample(Graph1& g, int index) {
    for (int k = 0; k < 4; ++k) {
        g.setXDataII(k, index, 0.0);
        g.setYData(k, index, 9999.0f);
    }
    g.resetImage();
}

void appendAndRedraw(benchmark::State& state, bool split) {
    const int n = int(state.range(0));
    auto g = recordingGraph(n, split);
    for (auto _ : state) {
        writeSample(*g, n);
        g->redraw();
        state.PauseTiming();
        removeSample(*g, n);
        state.ResumeTiming();
    }
    state.counters["points"] = n;
}

void BM_AppendRedrawSplit(benchmark::State& state) {
    appendAndRedraw(state, true);
}
void BM_AppendRedrawSingle(benchmark::State& state) {
    appendAndRedraw(state, false);
}

// The control's own work per sample without the drawing: must not grow with N.
void BM_AppendResetOnly(benchmark::State& state) {
    const int n = int(state.range(0));
    auto g = recordingGraph(n, true);
    for (auto _ : state) {
        writeSample(*g, n);
        g->resetImage();
        state.PauseTiming();
        removeSample(*g, n);
        state.ResumeTiming();
    }
    state.counters["points"] = n;
}

// Reference: a bare QCustomPlot with the same four curves in one axis rect, replotted. With
// `sameLook` it also gets the control's default look (black plotting area on a grey desk,
// dotted grid, legend, axes box, date-time ticker), so the two differ only in the control.
void bareReplot(benchmark::State& state, bool sameLook) {
    const int n = int(state.range(0));
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    plot.show();
    for (int k = 0; k < 4; ++k) {
        QVector<double> keys(n), values(n);
        for (int p = 0; p < n; ++p) {
            keys[p] = kT0 + p * kPeriod;
            values[p] = reading(k, p);
        }
        plot.addGraph()->setData(keys, values, true);
    }
    plot.xAxis->setRange(kT0, kT0 + (n + 50) * kPeriod);
    plot.yAxis->setRange(-10, 50);
    if (sameLook) {
        plot.setBackground(QBrush(QColor(192, 192, 192)));
        plot.axisRect()->setBackground(QBrush(Qt::black));
        plot.axisRect()->setupFullAxesBox();
        for (QCPAxis* axis : {plot.xAxis, plot.yAxis})
            axis->grid()->setPen(QPen(QColor(0, 128, 0), 1, Qt::DotLine));
        plot.xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
        plot.legend->setVisible(true);
    }
    for (auto _ : state)
        plot.replot();
    state.counters["points"] = n;
}

void BM_BareReplot(benchmark::State& state) {
    bareReplot(state, false);
}
void BM_BareReplotSameLook(benchmark::State& state) {
    bareReplot(state, true);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(kCapacity)->Unit(benchmark::kMillisecond);
}

// Untimed work per iteration is a rebuild of N points; a fixed count keeps the run short.
void sizesFixedCount(benchmark::internal::Benchmark* b) {
    sizes(b);
    b->Iterations(2000);
}

BENCHMARK(BM_BareReplot)->Apply(sizes);
BENCHMARK(BM_BareReplotSameLook)->Apply(sizes);
BENCHMARK(BM_AppendRedrawSingle)->Apply(sizes);
BENCHMARK(BM_AppendRedrawSplit)->Apply(sizes);
BENCHMARK(BM_AppendResetOnly)->Apply(sizesFixedCount);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
