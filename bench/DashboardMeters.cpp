// Many simulated meters on one MQTT broker, for measuring the dashboard: one client publishes,
// for each of N meters under BASE/meter-NNN, a retained "online" status, then a live reading
// (the JSON thermo4 sends) at the given rate, and a retained "offline" at the end.
// Usage: dashboard_meters PORT BASE [METERS=100] [RATE_HZ=2] [SECONDS=0: until killed]
#include "mqtt/ReadingJson.h"
#include "mqtt/Topics.h"

#include <mosquitto.h>

#include <QDateTime>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace thermo4;

namespace {

volatile std::sig_atomic_t g_stop = 0;
/// Messages handed to the library and not yet acknowledged by the broker.
std::atomic<int> g_unacknowledged{0};

void publish(mosquitto* client, const std::string& topic, const QByteArray& payload, bool retain) {
    if (mosquitto_publish(client, nullptr, topic.c_str(), static_cast<int>(payload.size()),
                          payload.constData(), 1, retain) == MOSQ_ERR_SUCCESS) {
        ++g_unacknowledged;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PORT BASE [METERS=100] [RATE_HZ=2] [SECONDS=0]\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const std::string base = argv[2];
    const int meters = argc > 3 ? std::atoi(argv[3]) : 100;
    const double rateHz = argc > 4 ? std::atof(argv[4]) : 2.0;
    const int seconds = argc > 5 ? std::atoi(argv[5]) : 0;
    if (port <= 0 || meters <= 0 || rateHz <= 0) {
        std::fprintf(stderr, "%s: bad arguments\n", argv[0]);
        return 2;
    }
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });

    mosquitto_lib_init();
    mosquitto* client = mosquitto_new(nullptr, true, nullptr);
    if (client != nullptr) {
        mosquitto_publish_callback_set(client, [](mosquitto*, void*, int) { --g_unacknowledged; });
    }
    if (client == nullptr || mosquitto_connect(client, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS ||
        mosquitto_loop_start(client) != MOSQ_ERR_SUCCESS) {
        std::fprintf(stderr, "%s: cannot connect to the broker on port %d\n", argv[0], port);
        return 1;
    }
    const auto topic = [&](int meter, const char* leaf) {
        char name[32];
        std::snprintf(name, sizeof name, "meter-%03d", meter);
        return base + '/' + name + '/' + leaf;
    };
    for (int meter = 0; meter < meters; ++meter) {
        publish(client, topic(meter, mqtt::kStatusLeaf), mqtt::kOnline, true);
    }

    mqtt::MeterIdentity identity;
    identity.link = mqtt::LinkName::Simulated;
    core::MeterStatus status;
    // Each meter's turn is spread over the period, as independent meters would be.
    const auto period = std::chrono::duration<double>(1.0 / rateHz);
    const auto step = std::chrono::duration_cast<std::chrono::steady_clock::duration>(period / meters);
    auto next = std::chrono::steady_clock::now();
    const auto end = next + std::chrono::seconds(seconds);
    for (long tick = 0; g_stop == 0 && (seconds == 0 || next < end); ++tick) {
        const int meter = static_cast<int>(tick % meters);
        status.reading = {static_cast<float>(20.0 + meter * 0.1 + (tick / meters) % 10),
                          static_cast<float>(100.0 + meter), 0.0F, 19.0F};
        status.channelState = 0x40; // T3 without a probe
        identity.serial = QStringLiteral("VM%1").arg(meter, 4, 10, QLatin1Char('0'));
        publish(client, topic(meter, mqtt::kLiveLeaf),
                mqtt::ReadingJson(QDateTime::currentDateTime(), status, identity), false);
        next += step;
        std::this_thread::sleep_until(next);
    }
    for (int meter = 0; meter < meters; ++meter) {
        publish(client, topic(meter, mqtt::kStatusLeaf), mqtt::kOffline, true);
    }
    // The retained "offline"s must reach the broker before the connection ends.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (g_unacknowledged.load() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    mosquitto_disconnect(client);
    mosquitto_loop_stop(client, false);
    mosquitto_destroy(client);
    mosquitto_lib_cleanup();
    return 0;
}
