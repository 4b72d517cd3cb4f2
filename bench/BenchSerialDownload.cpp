// A 128-block (4096-byte) logger download from `thermo4-sim --pace` over a real
// pseudo-terminal, through QtSerialPort and DownloadOverSerial on the system
// clock: wall time against the 9600-baud line floor, and this process's CPU time.
#include "link/QtSerialPort.h"
#include "link/SerialMeterLink.h"
#include "link/SystemClock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace thermo4;

namespace {

constexpr int kBlocks = 128;
/// Line time of the transfer: every exchange is a 7-byte command and a 36-byte
/// block, 10 bits a byte at 9600 baud (s).
constexpr double kLineFloorS = kBlocks * (7 + 36) * 10 / 9600.0;

double ProcessCpuS() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// thermo4-sim --pace serving a memory whose header announces 4096 bytes.
class PacedSim {
public:
    PacedSim() {
        QByteArray image(4096, '\0');
        for (int i = 0; i < image.size(); ++i) {
            image[i] = static_cast<char>(i * 31 + i / 256);
        }
        image[10] = 0x00;
        image[11] = 0x0F;
        image[12] = static_cast<char>(0xFF); // end address 4095
        write(QStringLiteral("image.ch4"), image);
        const QString scenario = write(QStringLiteral("meter.json"), R"({"memory": "image.ch4"})");
        m_process.start(QStringLiteral(THERMO4_SIM_PATH), {QStringLiteral("--pace"), scenario});
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
        }
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~PacedSim() {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }
    QString path() const { return m_path; }

private:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_path;
};

/// Opens the terminal and identifies the meter. The reply to the previous
/// download's last request may still be on the line: a failed attempt is
/// repeated once the line has gone quiet.
bool connect(link::SerialMeterLink& serial, const QString& path, link::Clock& clock) {
    constexpr int kAttempts = 5;
    constexpr int kQuietMs = 200;
    link::ReplyBuffer reply{};
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (serial.connectTo(path, reply)) {
            return true;
        }
        clock.delayBusy(kQuietMs);
    }
    return false;
}

void BM_PacedSerialDownload(benchmark::State& state) {
    PacedSim sim;
    link::SystemClock clock;
    double wallSum = 0;
    double cpuSum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        link::QtSerialPort port;
        link::SerialMeterLink serial(port, clock);
        if (!connect(serial, sim.path(), clock)) {
            state.SkipWithError("no meter on the pseudo-terminal");
            break;
        }
        core::MemoryImage image;
        state.ResumeTiming();

        const double cpuStart = ProcessCpuS();
        QElapsedTimer wall;
        wall.start();
        const core::LinkResult code = serial.download(image, nullptr);
        const double wallS = static_cast<double>(wall.nsecsElapsed()) / 1e9;
        const double cpuS = ProcessCpuS() - cpuStart;

        state.PauseTiming();
        if (code != 0 || image.size() != kBlocks * 32u) {
            state.SkipWithError("the download did not complete");
        }
        wallSum += wallS;
        cpuSum += cpuS;
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["wall_s"] = wallSum / n;
    state.counters["line_floor_s"] = kLineFloorS;
    state.counters["wall_over_floor"] = wallSum / n / kLineFloorS;
    state.counters["cpu_s"] = cpuSum / n;
    state.counters["cpu_share"] = cpuSum / wallSum;
}
BENCHMARK(BM_PacedSerialDownload)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the keep-alive waits run a local event loop
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
