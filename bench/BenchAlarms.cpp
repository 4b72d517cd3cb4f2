// CPU time the alarms cost the poll per reading, with high and low limits on all
// four channels and a hold time: readings inside the limits (the usual case), and
// readings that keep crossing them (holds start, alarms begin and end).
#include "alarm/AlarmMonitor.h"

#include <benchmark/benchmark.h>

#include <ctime>

#include <algorithm>
#include <vector>

using namespace thermo4;

namespace {

/// CPU time of the calling thread, ns.
std::int64_t ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

alarm::AlarmSettings FourChannels() {
    alarm::AlarmSettings settings;
    settings.holdSeconds = 2.0;
    for (alarm::ChannelLimits& limits : settings.channel) {
        limits = {true, 300.0, -5.5};
    }
    return settings;
}

/// Feeds readings from make(i) at the poll's 500 ms pace and reports the median per reading.
template <typename Make> void Run(benchmark::State& state, Make make) {
    alarm::AlarmMonitor monitor(FourChannels());
    const QDateTime start = QDateTime::currentDateTime();
    std::vector<alarm::AlarmEvent> events;
    events.reserve(64);
    std::vector<std::int64_t> ns;
    ns.reserve(static_cast<std::size_t>(state.max_iterations));
    std::int64_t i = 0;
    std::size_t eventCount = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QDateTime time = start.addMSecs(500 * i);
        const core::MeterStatus status = make(i++);
        events.clear();
        state.ResumeTiming();
        const std::int64_t begin = ThreadCpuNs();
        monitor.reading(time, status, events);
        ns.push_back(ThreadCpuNs() - begin);
        eventCount += events.size();
    }
    std::nth_element(ns.begin(), ns.begin() + static_cast<std::ptrdiff_t>(ns.size() / 2), ns.end());
    state.counters["median_cpu_us"] = static_cast<double>(ns[ns.size() / 2]) / 1000.0;
    state.counters["events"] = static_cast<double>(eventCount);
}

void BM_AlarmsInsideLimits(benchmark::State& state) {
    Run(state, [](std::int64_t i) {
        core::MeterStatus status;
        for (std::size_t c = 0; c < 4; ++c) {
            status.reading[c] = 20.0f + static_cast<float>((i + static_cast<std::int64_t>(c)) % 10);
        }
        return status;
    });
}
BENCHMARK(BM_AlarmsInsideLimits)->Iterations(10000)->Unit(benchmark::kMicrosecond);

void BM_AlarmsCrossing(benchmark::State& state) {
    // Every channel alternates 3 s above its high limit, 3 s inside, 3 s below its
    // low limit, 3 s inside, with an "OL" and a "----" now and then.
    Run(state, [](std::int64_t i) {
        core::MeterStatus status;
        for (std::size_t c = 0; c < 4; ++c) {
            const std::int64_t phase = ((i + static_cast<std::int64_t>(c) * 3) / 6) % 4;
            status.reading[c] = phase == 0 ? 310.0f : phase == 2 ? -10.0f : 20.0f;
            if ((i + static_cast<std::int64_t>(c)) % 37 == 0) {
                status.channelState |= static_cast<std::uint8_t>(1u << c);
            }
            if ((i + static_cast<std::int64_t>(c)) % 53 == 0) {
                status.channelState |= static_cast<std::uint8_t>(1u << (c + 4));
            }
        }
        return status;
    });
}
BENCHMARK(BM_AlarmsCrossing)->Iterations(10000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
