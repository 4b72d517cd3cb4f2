// CPU time of one poll tick against the virtual meter: identify ("K"), live
// read ("A") and decode, as a meter is found and then read.
#include "link/MeterPoller.h"
#include "link/UsbMeterLink.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

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

void BM_PollTickIdentifyReadDecode(benchmark::State& state) {
    link::ManualClock clock;
    sim::VirtualMeter meter(clock);
    sim::SimUsbTransport usb(meter);
    link::UsbMeterLink usbLink(usb, clock);
    link::LinkState link;
    link::MeterPoller poller(link, usbLink, clock);
    std::vector<std::int64_t> tickNs;
    tickNs.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const std::int64_t start = ThreadCpuNs();
        link.setCurrent(nullptr);
        const auto identified = poller.tick().event;
        const auto read = poller.tick().event;
        tickNs.push_back(ThreadCpuNs() - start);
        benchmark::DoNotOptimize(identified);
        benchmark::DoNotOptimize(read);
        state.PauseTiming();
        meter.clearReceived(); // the command log would otherwise grow without end
        clock.advance(500);
        state.ResumeTiming();
    }
    std::nth_element(tickNs.begin(), tickNs.begin() + static_cast<std::ptrdiff_t>(tickNs.size() / 2),
                     tickNs.end());
    state.counters["median_cpu_us"] = static_cast<double>(tickNs[tickNs.size() / 2]) / 1000.0;
}
BENCHMARK(BM_PollTickIdentifyReadDecode)->Iterations(1000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
