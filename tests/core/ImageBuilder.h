#pragma once

#include "core/MemoryDecoder.h"
#include "core/MemoryImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace thermo4::test {

/// One data-set record as the meter writes it. Date and time bytes are raw
/// (normally BCD), samples in tenths of °F.
struct ImageRecord {
    std::array<std::uint8_t, 6> dateTime{0x17, 0x03, 0x09, 0x14, 0x05, 0x30}; // 2017-03-09 14:05:30
    std::uint8_t intervalMinutes = 0;
    std::uint8_t intervalSeconds = 1;
    std::uint8_t typeByte = 0x10; // type K, Celsius
    std::array<std::int8_t, 4> offsets{};
    std::vector<std::array<std::int16_t, 4>> samples;
    /// Point count written into the header; samples.size() when not set.
    std::optional<std::uint16_t> declaredPoints;
};

/// Builds logger memory images: the memory header, then the records from 0xB00.
class ImageBuilder {
public:
    ImageBuilder& add(ImageRecord record) {
        m_records.push_back(std::move(record));
        return *this;
    }
    /// Data-set count written into the memory header; the number of records when not set.
    ImageBuilder& announce(std::uint16_t sets) {
        m_announced = sets;
        return *this;
    }

    static std::size_t recordSize(std::size_t points) {
        return core::kRecordOverhead + core::kBytesPerPoint * points;
    }

    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> out(core::kFirstRecordOffset, 0xFF);
        const auto sets = m_announced.value_or(static_cast<std::uint16_t>(m_records.size()));
        out[8] = static_cast<std::uint8_t>(sets >> 8);
        out[9] = static_cast<std::uint8_t>(sets);
        for (const ImageRecord& r : m_records) {
            const std::uint16_t n = r.declaredPoints.value_or(static_cast<std::uint16_t>(r.samples.size()));
            out.insert(out.end(), {0xA5, 0x5A, 0x00});
            out.insert(out.end(), r.dateTime.begin(), r.dateTime.end());
            out.insert(out.end(), {r.intervalMinutes, r.intervalSeconds, r.typeByte,
                                   static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)});
            for (std::int8_t o : r.offsets) {
                out.push_back(static_cast<std::uint8_t>(o));
            }
            for (const auto& sample : r.samples) {
                for (std::int16_t v : sample) {
                    const auto u = static_cast<std::uint16_t>(v);
                    out.push_back(static_cast<std::uint8_t>(u >> 8));
                    out.push_back(static_cast<std::uint8_t>(u));
                }
            }
            out.insert(out.end(), {0x5A, 0xA5});
        }
        const auto endAddress = static_cast<std::uint32_t>(out.size() - 1);
        out[10] = static_cast<std::uint8_t>(endAddress >> 16);
        out[11] = static_cast<std::uint8_t>(endAddress >> 8);
        out[12] = static_cast<std::uint8_t>(endAddress);
        return out;
    }

    core::MemoryImage image() const { return core::MemoryImage(bytes()); }

private:
    std::vector<ImageRecord> m_records;
    std::optional<std::uint16_t> m_announced;
};

/// A record of points samples whose channel c of point k is base + 10k + c (tenths of °F).
inline ImageRecord RampRecord(std::size_t points, std::int16_t base = 700) {
    ImageRecord r;
    for (std::size_t k = 0; k < points; ++k) {
        const auto v = static_cast<std::int16_t>(base + 10 * static_cast<int>(k));
        r.samples.push_back({v, static_cast<std::int16_t>(v + 1), static_cast<std::int16_t>(v + 2),
                             static_cast<std::int16_t>(v + 3)});
    }
    return r;
}

} // namespace thermo4::test
