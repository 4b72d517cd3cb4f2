// Opening a 100 000-line text file into a table window: the program's main window offscreen,
// OpenTextTable (read, parse with the progress window and its Cancel alive, fill the table),
// against `wc -l` run on the same file in the same run.

#include "app/TfrmMain.h"
#include "core/TDateTime.h"
#include "files/SingleFileCommands.h"
#include "formats/TextExport.h"
#include "logger/TfrmList.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"
#include "support/ScriptedPrompts.h"
#include "ui/Resources.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace thermo4;

constexpr int kLines = 100'000;

/// A graph text export of kLines points (four readings, a seventh of T3 "OL").
QString writeExport(const QTemporaryDir& dir) {
    std::vector<std::vector<double>> x(1, std::vector<double>(kLines));
    std::vector<std::vector<float>> y(4, std::vector<float>(kLines));
    const double start = core::TDateTimeFromDateAndTime(QDate(2024, 3, 9), QTime(10, 0));
    for (int i = 0; i < kLines; ++i) {
        x[0][std::size_t(i)] = start + i / core::kSecondsPerDay;
        for (std::size_t c = 0; c < 4; ++c)
            y[c][std::size_t(i)] =
                (i % 7 == 3 && c == 2) ? 9999.0f : float(c * 300 + i % 1000) / 10.0f - 20.0f;
    }
    const QString path = dir.filePath(QStringLiteral("readings.txt"));
    formats::WriteGraphText(path, x, y, {1, kLines}, QLatin1Char('\t'), QLocale());
    return path;
}

class Program {
public:
    Program() : m_meter(m_clock), m_usb(m_meter) {
        ui::AppServices services;
        services.clock = &m_clock;
        services.usb = &m_usb;
        services.serialPort = &m_serial;
        services.prompts = &m_prompts;
        services.paths =
            ui::Paths(m_dir.filePath(QStringLiteral("bin")), m_dir.filePath(QStringLiteral("data")));
        services.settingsFile = m_dir.filePath(QStringLiteral("settings.ini"));
        m_main = std::make_unique<ui::TfrmMain>(services);
        m_main->resize(1600, 1000);
        m_main->show();
        m_main->session().stopPolling();
        m_file = writeExport(m_dir);
    }
    ui::TfrmMain& main() { return *m_main; }
    const QString& file() const { return m_file; }

private:
    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    sim::VirtualMeter m_meter;
    sim::SimUsbTransport m_usb;
    sim::SimSerialPort m_serial{m_clock};
    ui::ScriptedPrompts m_prompts;
    std::unique_ptr<ui::TfrmMain> m_main;
    QString m_file;
};

Program& program() {
    static Program p;
    return p;
}

/// Wall time (ms) of one `wc -l` run on file, process start included.
double wcMilliseconds(const QString& file) {
    QElapsedTimer timer;
    timer.start();
    QProcess wc;
    wc.start(QStringLiteral("wc"), {QStringLiteral("-l"), file});
    wc.waitForFinished(-1);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return wc.readAllStandardOutput().trimmed().startsWith(QByteArray::number(kLines)) ? ms : -1.0;
}

void BM_OpenTextTable(benchmark::State& state) {
    Program& p = program();
    double wcMs = 0.0;
    double importMs = 0.0;
    int runs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        ui::TfrmList* list = ui::OpenTextTable(p.main(), p.file(), QLatin1Char('\t'));
        importMs += double(timer.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        if (!list || list->rowCount() != kLines)
            state.SkipWithError("import incomplete");
        // Drawn once, as the window is shown after the import.
        QCoreApplication::processEvents();
        if (list)
            list->closeWindow();
        QCoreApplication::processEvents();
        const double ms = wcMilliseconds(p.file());
        if (ms < 0)
            state.SkipWithError("wc -l failed");
        wcMs += ms;
        ++runs;
        state.ResumeTiming();
    }
    if (runs > 0) {
        state.counters["wc_l_ms"] = wcMs / runs;
        state.counters["import_over_wc"] = importMs / wcMs;
    }
}
BENCHMARK(BM_OpenTextTable)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::InitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
