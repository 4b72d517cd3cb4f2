#include "sim/ReadingModel.h"

#include <cmath>
#include <numbers>

namespace thermo4::sim {

namespace {

constexpr std::int64_t kNoiseStepMs = 500;

// SplitMix64: a well-mixed hash, so neighbouring inputs give unrelated values.
std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [0, 1) from the inputs.
double unit(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    const std::uint64_t h = mix(mix(mix(a) ^ b) ^ c);
    return static_cast<double>(h >> 11) / 9007199254740992.0; // 2^53
}

} // namespace

ReadingModel::ReadingModel(std::uint32_t seed) : m_seed(seed) {}

double ReadingModel::celsius(int channel, std::int64_t tickMs) const {
    const auto ch = static_cast<std::uint64_t>(channel);
    const double base = 20.0 + 10.0 * unit(m_seed, ch, 1);
    const double period1 = 180000.0 + 240000.0 * unit(m_seed, ch, 2); // 3..7 min
    const double period2 = 40000.0 + 50000.0 * unit(m_seed, ch, 3);   // 40..90 s
    const double phase = 2.0 * std::numbers::pi * unit(m_seed, ch, 4);
    const double t = static_cast<double>(tickMs);
    const double drift = 1.5 * std::sin(2.0 * std::numbers::pi * t / period1 + phase) +
                         0.4 * std::sin(2.0 * std::numbers::pi * t / period2);
    const std::int64_t step =
        tickMs >= 0 ? tickMs / kNoiseStepMs : (tickMs - kNoiseStepMs + 1) / kNoiseStepMs;
    const double noise = 0.15 * (unit(m_seed, ch, 100 + static_cast<std::uint64_t>(step)) - 0.5);
    return base + drift + noise;
}

} // namespace thermo4::sim
