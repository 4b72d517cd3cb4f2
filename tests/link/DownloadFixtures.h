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

/// Every progress call of a download, in order.
struct RecordingProgress : DownloadProgress {
    std::vector<std::int32_t> totals;
    std::vector<std::int32_t> received;
    int finishedCalls = 0;
    void started(std::int32_t total) override { totals.push_back(total); }
    void advanced(std::int32_t bytes) override { received.push_back(bytes); }
    void finished() override { ++finishedCalls; }
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
