// Real-time recording at the window level: TfrmGraph::AppendSample (graph cells, running
// extremes, fields, time axis, the redraw sequence) on a real-time window whose chart already
// holds N samples, against a bare QCustomPlot replot of the same four curves. Offscreen, the
// chart 1200 × 800 pixels.

#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "core/TDateTime.h"
#include "formats/JournalFormat.h"
#include "graph/TfrmGraph.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace thermo4;

constexpr double kPeriod = 2.0 / core::kSecondsPerDay; // one sample every 2 s
constexpr int kWidth = 1200;
constexpr int kHeight = 800;

float reading(int channel, int sample) {
    return float(20 + 10 * channel + 5 * std::sin(sample * 0.01) + (sample % 7) * 0.1);
}

std::array<float, 4> readings(int sample) {
    return {reading(0, sample), reading(1, sample), reading(2, sample), reading(3, sample)};
}

/// The program's main window on the virtual meter with its real-time graph recording into
/// `capacity` points, `recorded` samples taken.
class Recording {
public:
    Recording(int recorded, int capacity) : m_meter(m_clock), m_usb(m_meter) {
        ui::AppServices services;
        services.clock = &m_clock;
        services.usb = &m_usb;
        services.serialPort = &m_serial;
        services.prompts = &m_prompts;
        services.paths =
            ui::Paths(m_dir.filePath(QStringLiteral("bin")), m_dir.filePath(QStringLiteral("data")));
        services.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        writeTemplate(services.paths.templateFile());
        m_main = std::make_unique<ui::TfrmMain>(services);
        m_main->resize(1800, 1400);
        m_main->show();
        m_main->session().stopPolling();
        ui::TfrmGraph& w = graph();
        fitChart();

        w.StartRecording(capacity, m_start);
        m_main->session().recording().start(capacity);
        // The samples before the measured one are drawn at once, as a recovered recording's are,
        // on a time axis ending at the first measured one.
        std::vector<formats::JournalSample> samples(std::size_t(std::max(0, recorded)));
        for (int i = 0; i < recorded; ++i)
            samples[std::size_t(i)] = {time(i), 0, readings(i)};
        w.SetupRealTimeLook(m_start, time(recorded), capacity);
        w.drawSamples(samples);
        w.adoptSamples(recorded);
        QCoreApplication::processEvents();
    }

    ui::TfrmGraph& graph() { return *ui::TfrmGraph::realTimeWindow(*m_main); }
    /// The window's chart, as its object tree holds it: what the redraws are measured on.
    chart::Graph1& chart() { return *graph().findChild<chart::Graph1*>(); }
    double time(int sample) const { return m_start + sample * kPeriod; }

private:
    static void writeTemplate(const QString& path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        chart::Graph1 look;
        chart::ApplyDefaultLook(look, chart::kGraphChannels, 100.0f, -20.0f);
        chart::StoreGraphState(look, path);
    }

    // Sizes the window so that its chart gets exactly kWidth × kHeight pixels.
    void fitChart() {
        QWidget* frame = graph().subWindow();
        for (int pass = 0; pass < 3; ++pass) {
            QCoreApplication::processEvents();
            const QSize chart = this->chart().plot()->size();
            frame->resize(frame->size() + QSize(kWidth - chart.width(), kHeight - chart.height()));
        }
        QCoreApplication::processEvents();
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    sim::VirtualMeter m_meter;
    sim::SimUsbTransport m_usb;
    sim::SimSerialPort m_serial{m_clock};
    ui::ScriptedPrompts m_prompts;
    std::unique_ptr<ui::TfrmMain> m_main;
    double m_start = core::TDateTimeFromDateTime(m_clock.now());
};

// Samples are appended one after the other, as the poll does: the graph holds N − 100 samples
// before the first measured one and N + 100 after the last, N on average.
constexpr int kAppends = 200;

void BM_AppendSample(benchmark::State& state) {
    const int n = int(state.range(0));
    Recording rec(n - kAppends / 2, n + kAppends);
    ui::TfrmGraph& w = rec.graph();
    int next = n - kAppends / 2;
    for (auto _ : state) {
        w.AppendSample(rec.time(next), 0, readings(next));
        ++next;
    }
    state.counters["points"] = n;
    state.counters["chart_w"] = rec.chart().plot()->width();
    state.counters["chart_h"] = rec.chart().plot()->height();
}

// The redraw sequence alone on the same window: the drawing of the window's look. What an
// append costs beyond it is the window's and the control's own work per sample.
void BM_Redraw(benchmark::State& state) {
    const int n = int(state.range(0));
    Recording rec(n, n + 2);
    chart::Graph1& g = rec.chart();
    for (auto _ : state)
        g.redraw();
    state.counters["points"] = n;
}

// Reference: a bare QCustomPlot with the same four curves of N points in one axis rect, replotted.
void BM_BareReplot(benchmark::State& state) {
    const int n = int(state.range(0));
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    plot.show();
    const double t0 = 45352.5;
    for (int k = 0; k < 4; ++k) {
        QVector<double> keys(n), values(n);
        for (int p = 0; p < n; ++p) {
            keys[p] = t0 + p * kPeriod;
            values[p] = reading(k, p);
        }
        plot.addGraph()->setData(keys, values, true);
    }
    plot.xAxis->setRange(t0, t0 + (n + 50) * kPeriod);
    plot.yAxis->setRange(-20, 100);
    for (auto _ : state)
        plot.replot();
    state.counters["points"] = n;
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1'000)->Arg(10'000)->Arg(99'999)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_BareReplot)->Apply(sizes);
BENCHMARK(BM_Redraw)->Apply(sizes);
BENCHMARK(BM_AppendSample)->Apply(sizes)->Iterations(kAppends);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::InitResources();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
