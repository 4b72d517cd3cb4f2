// What the recording journal costs the thread that records: the CPU time of
// JournalWriter::append on the caller's thread, paced as a recording is (one
// sample a second, and every poll tick of 500 ms) and back to back, against
// writing and fsync'ing each line on the caller's thread.
#include "formats/JournalWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace thermo4;

namespace {

std::int64_t ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

std::int64_t ProcessCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

formats::JournalHeader header() {
    formats::JournalHeader h;
    h.start = QDateTime::currentDateTime();
    h.rateSeconds = 1;
    h.meterModel = QStringLiteral("418");
    h.link = QStringLiteral("simulated");
    return h;
}

formats::JournalSample sample(int i) {
    const float base = float(i % 2000) / 10.0f;
    return {45413.5 + i / 86400.0, std::uint8_t(i % 7 == 0 ? 0x04 : 0), {base, base + 1.5f, -base, 1234.5f}};
}

/// A journal on the working folder's disk (not a tmpfs, so fsync does real work)
/// and the CPU clocks from the moment its file exists.
struct BenchRecording {
    QTemporaryDir dir{QDir::current().filePath(QStringLiteral("bench-journal-XXXXXX"))};
    formats::JournalWriter writer{QDir(dir.path()).filePath(QStringLiteral("journal")), header()};
    /// Caller CPU time per append (ns), one entry per measurement.
    std::vector<std::int64_t> callerNs;
    int samples = 0;
    std::int64_t processStart = 0;
    std::int64_t callerStart = 0;

    BenchRecording() {
        writer.waitUntilWritten(60000);
        processStart = ProcessCpuNs();
        callerStart = ThreadCpuNs();
    }

    void report(benchmark::State& state) {
        writer.waitUntilWritten(60000);
        // The rest of the process's CPU time: the writer thread (format, write, fsync).
        const std::int64_t writerNs = (ProcessCpuNs() - processStart) - (ThreadCpuNs() - callerStart);
        if (writer.hasFailed())
            state.SkipWithError(writer.errorString().toLocal8Bit().constData());
        writer.discard();
        std::sort(callerNs.begin(), callerNs.end());
        const std::size_t n = callerNs.size();
        state.counters["caller_cpu_median_us"] = double(callerNs[n / 2]) / 1000.0;
        state.counters["caller_cpu_p99_us"] = double(callerNs[n * 99 / 100]) / 1000.0;
        state.counters["caller_cpu_max_us"] = double(callerNs.back()) / 1000.0;
        state.counters["writer_cpu_per_sample_us"] = double(writerNs) / samples / 1000.0;
    }
};

// One append per period, as the poll hands samples to a recording.
void BM_AppendPaced(benchmark::State& state) {
    const auto period = std::chrono::milliseconds(state.range(0));
    BenchRecording recording;
    auto next = std::chrono::steady_clock::now();
    for (auto _ : state) {
        next += period;
        std::this_thread::sleep_until(next);
        const std::int64_t start = ThreadCpuNs();
        recording.writer.append(sample(recording.samples++));
        recording.callerNs.push_back(ThreadCpuNs() - start);
    }
    recording.report(state);
}
BENCHMARK(BM_AppendPaced)->Arg(1000)->Arg(500)->Iterations(30)->Unit(benchmark::kMicrosecond);

// Reference for the paced figures: the same measurement around nothing, right
// after the same sleep (a woken thread's first instructions run on a cold cache).
void BM_PacedNothing(benchmark::State& state) {
    const auto period = std::chrono::milliseconds(state.range(0));
    std::vector<std::int64_t> callerNs;
    auto next = std::chrono::steady_clock::now();
    for (auto _ : state) {
        next += period;
        std::this_thread::sleep_until(next);
        const std::int64_t start = ThreadCpuNs();
        benchmark::ClobberMemory();
        callerNs.push_back(ThreadCpuNs() - start);
    }
    std::sort(callerNs.begin(), callerNs.end());
    state.counters["caller_cpu_median_us"] = double(callerNs[callerNs.size() / 2]) / 1000.0;
    state.counters["caller_cpu_max_us"] = double(callerNs.back()) / 1000.0;
}
BENCHMARK(BM_PacedNothing)->Arg(1000)->Iterations(30)->Unit(benchmark::kMicrosecond);

// Appends back to back, 1 000 at a time (the entry is the burst's average per
// sample), waiting for the writer (untimed) in between so the queue never overruns:
// the fastest the journal can be fed.
void BM_AppendBackToBack(benchmark::State& state) {
    constexpr int kBurst = 1000;
    BenchRecording recording;
    for (auto _ : state) {
        const std::int64_t start = ThreadCpuNs();
        for (int k = 0; k < kBurst; ++k)
            recording.writer.append(sample(recording.samples++));
        recording.callerNs.push_back((ThreadCpuNs() - start) / kBurst);
        state.PauseTiming();
        recording.writer.waitUntilWritten(60000);
        state.ResumeTiming();
    }
    recording.report(state);
}
BENCHMARK(BM_AppendBackToBack)->Iterations(200)->Unit(benchmark::kMicrosecond);

// Reference: each line written and fsync'ed on the caller's thread, the cost the
// writer thread keeps away from the recording.
void BM_WriteAndFsyncOnCallerThread(benchmark::State& state) {
    QTemporaryDir dir(QDir::current().filePath(QStringLiteral("bench-journal-XXXXXX")));
    const QByteArray path = QDir(dir.path()).filePath(QStringLiteral("direct.csv")).toLocal8Bit();
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::vector<std::int64_t> callerNs;
    int i = 0;
    for (auto _ : state) {
        const std::int64_t start = ThreadCpuNs();
        const QByteArray line = formats::JournalSampleLine(sample(i++));
        benchmark::DoNotOptimize(::write(fd, line.constData(), std::size_t(line.size())));
        ::fsync(fd);
        callerNs.push_back(ThreadCpuNs() - start);
    }
    ::close(fd);
    std::sort(callerNs.begin(), callerNs.end());
    state.counters["caller_cpu_median_us"] = double(callerNs[callerNs.size() / 2]) / 1000.0;
    state.counters["caller_cpu_max_us"] = double(callerNs.back()) / 1000.0;
}
BENCHMARK(BM_WriteAndFsyncOnCallerThread)->Iterations(200)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
