// MQTT publisher: CPU time one published reading costs the caller's thread (the
// poll's), and the delay from handing a reading over to its arrival at a
// subscriber on the same machine, against a real mosquitto broker.
#include "MqttTestSupport.h"
#include "mqtt/MqttPublisher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

using namespace thermo4;
using mqtt::test::TestBroker;
using mqtt::test::TestSubscriber;

namespace {

/// CPU time of the calling thread, ns.
std::int64_t ThreadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

core::MeterStatus SomeReading() {
    core::MeterStatus status;
    status.reading = {25.3F, 0.0F, 0.0F, 19.0F};
    status.channelState = 0x42; // T2 over range, T3 without a reading
    return status;
}

double Median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                     values.end());
    return values[values.size() / 2];
}

/// Waits until publisher is connected (its first status line), pumping events.
bool WaitConnected(mqtt::MqttPublisher& publisher) {
    const QDeadlineTimer deadline(mqtt::test::kDeadline);
    while (!publisher.isConnected() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return publisher.isConnected();
}

/// One publishLive per iteration; median_cpu_us is the caller's CPU time per call.
void MeasurePublishLive(benchmark::State& state, mqtt::MqttPublisher& publisher) {
    const core::MeterStatus status = SomeReading();
    const QDateTime time = QDateTime::currentDateTime();
    std::vector<double> cpuUs;
    cpuUs.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        const std::int64_t start = ThreadCpuNs();
        const bool sent = publisher.publishLive(time, status);
        cpuUs.push_back(static_cast<double>(ThreadCpuNs() - start) / 1000.0);
        benchmark::DoNotOptimize(sent);
    }
    state.counters["median_cpu_us"] = Median(cpuUs);
}

/// What publishLive costs the caller while connected: the JSON and the hand-over
/// to the network thread. Nothing is dropped (the unacknowledged limit is lifted).
void BM_PublishLiveConnected(benchmark::State& state) {
    TestBroker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    mqtt::PublisherOptions options;
    options.maxPending = 1'000'000;
    mqtt::MqttPublisher publisher(
        *mqtt::BrokerUrl::parse(broker.url(QStringLiteral("bench/m1")), {}, nullptr), options);
    if (!publisher.start() || !WaitConnected(publisher)) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    MeasurePublishLive(state, publisher);
    state.counters["dropped"] = static_cast<double>(publisher.droppedCount());
}
BENCHMARK(BM_PublishLiveConnected)->Iterations(10000)->Unit(benchmark::kMicrosecond);

/// What publishLive costs while the broker is away: the reading is dropped.
void BM_PublishLiveNoBroker(benchmark::State& state) {
    mqtt::MqttPublisher publisher(*mqtt::BrokerUrl::parse(
        QStringLiteral("mqtt://127.0.0.1:%1/bench/m2").arg(mqtt::test::FreePort()), {}, nullptr));
    publisher.start();
    MeasurePublishLive(state, publisher);
}
BENCHMARK(BM_PublishLiveNoBroker)->Iterations(10000)->Unit(benchmark::kMicrosecond);

/// Delay from handing a reading over to its arrival at a local subscriber, one
/// reading at a time (each waits for the one before to arrive); wall time.
void BM_DeliveryDelay(benchmark::State& state) {
    TestBroker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    TestSubscriber subscriber(broker.port(), QStringLiteral("bench/m3/recording"));
    mqtt::MqttPublisher publisher(
        *mqtt::BrokerUrl::parse(broker.url(QStringLiteral("bench/m3")), {}, nullptr));
    if (!subscriber.connect() || !publisher.start() || !WaitConnected(publisher)) {
        state.SkipWithError("no connection to the broker");
        return;
    }
    const core::MeterStatus status = SomeReading();
    std::vector<double> delayUs;
    int sample = 0;
    for (auto _ : state) {
        const auto handedOver = std::chrono::steady_clock::now();
        publisher.publishRecording(sample, QDateTime::currentDateTime(), status);
        const QByteArray tag = ",\"sample\":" + QByteArray::number(sample) + '}';
        const auto arrived = subscriber.waitFor(
            QStringLiteral("bench/m3/recording"),
            [&](const mqtt::test::Received& message) { return message.payload.endsWith(tag); }, sample);
        const auto delay = std::chrono::duration<double>(std::chrono::steady_clock::now() - handedOver);
        if (!arrived) {
            state.SkipWithError("a reading did not arrive");
            return;
        }
        state.SetIterationTime(delay.count());
        delayUs.push_back(delay.count() * 1e6);
        ++sample;
    }
    state.counters["median_us"] = Median(delayUs);
    state.counters["worst_us"] = *std::max_element(delayUs.begin(), delayUs.end());
}
BENCHMARK(BM_DeliveryDelay)->Iterations(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
