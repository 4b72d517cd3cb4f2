#pragma once

#include "link/DownloadProgress.h"
#include "sim/LoggerMemory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace thermo4::link::test {

/// Logger memory of 262 144 bytes in which every block differs, with the
/// given end address in its header.
inline sim::LoggerMemory PatternMemory(std::uint32_t endAddress) {
    std::vector<std::uint8_t> bytes(sim::LoggerMemory::kCapacity);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    }
    bytes[10] = static_cast<std::uint8_t>(endAddress >> 16);
    bytes[11] = static_cast<std::uint8_t>(endAddress >> 8);
    bytes[12] = static_cast<std::uint8_t>(endAddress);
    return sim::LoggerMemory::fromImage(std::move(bytes));
}

/// What a download of `blocks` blocks must leave in the image.
inline std::vector<std::uint8_t> ExpectedImage(const sim::LoggerMemory& memory, int blocks) {
    std::vector<std::uint8_t> bytes;
    for (int n = 1; n <= blocks; ++n) {
        const auto block = memory.block(n);
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    return bytes;
}

/// Every progress call of a download, in order; asks it to stop once cancel is set.
struct RecordingProgress : DownloadProgress {
    std::vector<std::int32_t> totals;
    std::vector<std::int32_t> received;
    int finishedCalls = 0;
    /// Each wait told, as "attempt/attempts".
    std::vector<std::string> waits;
    bool cancel = false;
    /// The number of the wait told (from 1) at which cancel is set; 0: never.
    std::size_t cancelAtWait = 0;
    void started(std::int32_t total) override { totals.push_back(total); }
    void advanced(std::int32_t bytes) override { received.push_back(bytes); }
    void finished() override { ++finishedCalls; }
    void waiting(int attempt, int attempts) override {
        waits.push_back(std::to_string(attempt) + "/" + std::to_string(attempts));
        cancel = cancel || waits.size() == cancelAtWait;
    }
    bool cancelled() const override { return cancel; }
};

/// part, times times over.
inline std::string Repeat(const std::string& part, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) {
        s += part;
    }
    return s;
}

} // namespace thermo4::link::test
