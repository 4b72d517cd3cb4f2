#pragma once

#include <cstdint>

namespace thermo4::sim {

/// The temperatures the virtual meter's four probes see: a per-channel base
/// (20–30 °C), two slow sine drifts (periods of minutes) and a small noise that
/// changes every 500 ms. A pure function of seed, channel and time, so the same
/// clock gives the same readings on every run.
class ReadingModel {
public:
    explicit ReadingModel(std::uint32_t seed = 1);

    /// °C seen by channel (0..3) at tickMs (ms on the meter's clock).
    double celsius(int channel, std::int64_t tickMs) const;

private:
    std::uint32_t m_seed;
};

} // namespace thermo4::sim
