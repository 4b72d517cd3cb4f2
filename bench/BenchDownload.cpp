// A full 262 144-byte logger download from the virtual meter through the real
// transaction code on the manual clock: wall and CPU time, and the share of the
// CPU time spent outside the transport (and the virtual meter behind it).
#include "link/UsbDownload.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <benchmark/benchmark.h>

#include <ctime>

using namespace thermo4;

namespace {

/// CPU time of the calling thread, ns.
std::int64_t ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

/// Forwards to the virtual meter's transport and adds up the CPU time spent in it.
class TimedTransport : public link::UsbTransport {
public:
    explicit TimedTransport(link::UsbTransport& inner) : m_inner(inner) {}
    std::int64_t insideNs = 0;

    int open(std::uint16_t v, std::uint16_t p) override {
        return timed([&] { return m_inner.open(v, p); });
    }
    int setTimeouts(int r, int w) override {
        return timed([&] { return m_inner.setTimeouts(r, w); });
    }
    int writeCommand(std::span<const std::uint8_t> f) override {
        return timed([&] { return m_inner.writeCommand(f); });
    }
    int writeBlock(std::span<const std::uint8_t> b) override {
        return timed([&] { return m_inner.writeBlock(b); });
    }
    int finishWrite() override {
        return timed([&] { return m_inner.finishWrite(); });
    }
    int read(std::span<std::uint8_t> r) override {
        return timed([&] { return m_inner.read(r); });
    }
    int serialNumber(std::span<char> b) override {
        return timed([&] { return m_inner.serialNumber(b); });
    }
    int close() override {
        return timed([&] { return m_inner.close(); });
    }

private:
    template <typename Call> int timed(Call&& call) {
        const std::int64_t start = ThreadCpuNs();
        const int result = call();
        insideNs += ThreadCpuNs() - start;
        return result;
    }
    link::UsbTransport& m_inner;
};

/// Logger memory whose header announces no end address: the whole 262 144 bytes are read.
sim::LoggerMemory FullMemory() {
    std::vector<std::uint8_t> bytes(sim::LoggerMemory::kCapacity);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    }
    bytes[10] = bytes[11] = bytes[12] = 0;
    return sim::LoggerMemory::fromImage(std::move(bytes));
}

void BM_FullUsbDownload(benchmark::State& state) {
    const sim::LoggerMemory memory = FullMemory();
    double outsideShareSum = 0;
    double cpuMsSum = 0;
    for (auto _ : state) {
        state.PauseTiming();
        link::ManualClock clock;
        sim::VirtualMeter meter(clock);
        meter.memory() = memory;
        sim::SimUsbTransport simUsb(meter);
        TimedTransport usb(simUsb);
        core::CommandFrame frame;
        std::uint8_t sequence = 0;
        link::ReplyBuffer reply{};
        link::UsbExchange exchange{usb, clock, frame, sequence, reply};
        core::MemoryImage image;
        state.ResumeTiming();

        const std::int64_t start = ThreadCpuNs();
        const core::LinkResult code = link::DownloadOverUsb(exchange, image, nullptr);
        const std::int64_t total = ThreadCpuNs() - start;

        state.PauseTiming();
        if (code != 0 || image.size() != sim::LoggerMemory::kCapacity) {
            state.SkipWithError("the download did not complete");
        }
        outsideShareSum += 1.0 - static_cast<double>(usb.insideNs) / static_cast<double>(total);
        cpuMsSum += static_cast<double>(total) / 1e6;
        state.ResumeTiming();
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["cpu_ms"] = cpuMsSum / n;
    state.counters["outside_transport_share"] = outsideShareSum / n;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(sim::LoggerMemory::kCapacity));
}
BENCHMARK(BM_FullUsbDownload)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

} // namespace

BENCHMARK_MAIN();
