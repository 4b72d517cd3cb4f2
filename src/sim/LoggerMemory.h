#pragma once

#include <QDateTime>

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace thermo4::sim {

/// One data set as the meter's logger records it.
struct LoggedDataSet {
    QDateTime start;                                  ///< local time of the first sample (whole seconds)
    int intervalSeconds = 1;                          ///< s between samples, 0..15359 (255 min 59 s)
    bool celsius = true;                              ///< the set's unit (samples are stored in °F anyway)
    std::uint8_t thermocoupleType = 0;                ///< 0..15
    std::array<std::int8_t, 4> offsets{};             ///< T1..T4 offsets, tenths of °F
    std::vector<std::array<std::int16_t, 4>> samples; ///< T1..T4 per point, tenths of °F
};

/// The meter's data-logger memory: a header (data-set count at 8–9, end address at
/// 10–12, big-endian) and data-set records from 0xB00 on, each "A5 5A", BCD start
/// date-time, interval, type/unit byte, point count, offsets, samples, "5A A5".
/// Also the builder tests use to make images with given data sets.
class LoggerMemory {
public:
    static constexpr std::size_t kCapacity = 262144;   ///< bytes, the most a download reads
    static constexpr std::size_t kFirstRecord = 0xB00; ///< offset of the first record
    static constexpr std::size_t kBlockSize = 32;
    static constexpr std::size_t kMaxPoints = 65535;
    /// Sample values the meter stores for a channel showing "OL" or "----".
    static constexpr std::int16_t kOverRangeSample = 32767;
    static constexpr std::int16_t kNoReadingSample = -32768;

    /// An empty memory: no data set, end address 0xAFF (the last header byte).
    LoggerMemory();
    /// A memory holding image as it stands (e.g. a collection file); anything past
    /// kCapacity is dropped, a short image is extended to a whole header.
    static LoggerMemory fromImage(std::vector<std::uint8_t> image);

    /// Bytes one record of `points` points takes.
    static constexpr std::size_t recordSize(std::size_t points) { return 20 + 8 * points; }

    /// Appends a record after the last one and updates the header. False (and no
    /// change) when it would not fit in kCapacity or has more than kMaxPoints points.
    bool append(const LoggedDataSet& set);
    /// Bytes still free behind the end address.
    std::size_t freeBytes() const;
    /// Whether a record of `points` points still fits.
    bool fits(std::size_t points) const;

    int dataSetCount() const;
    std::uint32_t endAddress() const;
    /// Empties the memory (as the meter's erase command does).
    void erase();

    /// Block `number` (1-based: memory bytes 32(n−1) .. 32n−1); bytes beyond the
    /// stored image read as 0xFF, as erased memory does. Block 0 reads as 0xFF.
    std::array<std::uint8_t, kBlockSize> block(int number) const;
    /// The stored image from offset 0 (at least through the end address).
    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }

private:
    void setHeader(int count, std::uint32_t endAddress);
    std::size_t appendOffset() const;

    std::vector<std::uint8_t> m_bytes;
};

} // namespace thermo4::sim
