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

/// The meter's data-logger memory, which is also its settings store: a header
/// (settings in bytes 2–31, the data-set count at 8–9 and the end address at
/// 10–12, big-endian) and data-set records from 0xB00 on, each "A5 5A", BCD start
/// date-time, interval, type/unit byte, point count, offsets, samples, "5A A5".
/// Also the builder tests use to make images with given data sets.
class LoggerMemory {
public:
    static constexpr std::size_t kCapacity = 262144;       ///< bytes, the most a download reads
    static constexpr std::size_t kFirstRecord = 0xB00;     ///< offset of the first record
    static constexpr std::size_t kLastRecordByte = 258815; ///< records end here at the latest (32 000 points)
    static constexpr std::size_t kBlockSize = 32;
    static constexpr std::size_t kMaxPoints = 65535;

    // Settings in the header, at the offsets of the meter's information reply.
    static constexpr std::size_t kBluetoothAt = 2;   ///< 1: Bluetooth on
    static constexpr std::size_t kAlarmAt = 3;       ///< 0: alarm off
    static constexpr std::size_t kHighLimitAt = 4;   ///< signed 16-bit, whole °F
    static constexpr std::size_t kLowLimitAt = 6;    ///< signed 16-bit, whole °F
    static constexpr std::size_t kCountAt = 8;       ///< data sets, 16-bit
    static constexpr std::size_t kEndAddressAt = 10; ///< 24-bit
    static constexpr std::size_t kIntervalAt = 13;   ///< minutes, then seconds
    static constexpr std::size_t kTypeAt = 18;       ///< thermocouple type 0..6
    static constexpr std::size_t kDifferenceAt = 21; ///< T1−T2 mode, 0 off
    static constexpr std::size_t kOffsetsAt = 22;    ///< T1..T4 offsets, signed tenths of °F
    static constexpr std::size_t kAutoOffAt = 30;    ///< auto power-off code, 0 off
    static constexpr std::size_t kFirmwareAt = 31;   ///< firmware version × 100
    static constexpr std::size_t kSettingsEnd = 32;
    /// Sample values the meter stores for a channel showing "OL" or "----".
    static constexpr std::int16_t kOverRangeSample = 32767;
    static constexpr std::int16_t kNoReadingSample = -32768;

    /// An empty memory with the meter's default settings: no data set, end address
    /// 0xAFF (the last header byte), interval 0:02, type K, limits 212 / −4 °F,
    /// auto power-off code 2, firmware 1.05.
    LoggerMemory();
    /// A memory holding image as it stands (e.g. a collection file), settings
    /// included; anything past kCapacity is dropped, a short image is extended
    /// to a whole header with zeros.
    static LoggerMemory fromImage(std::vector<std::uint8_t> image);

    /// Bytes one record of `points` points takes.
    static constexpr std::size_t recordSize(std::size_t points) { return 20 + 8 * points; }

    /// Appends a record after the last one and updates the header. False (and no
    /// change) when it would end past kLastRecordByte or has more than kMaxPoints points.
    bool append(const LoggedDataSet& set);
    /// Bytes still free for records behind the end address.
    std::size_t freeBytes() const;
    /// Whether a record of `points` points still fits.
    bool fits(std::size_t points) const;

    int dataSetCount() const;
    std::uint32_t endAddress() const;
    /// Drops every data set (as the meter's erase command does); settings stay.
    void erase();

    /// The byte at address, 0xFF beyond the stored image (as erased memory reads).
    std::uint8_t byteAt(std::size_t address) const;
    /// Writes one byte (the meter's EEPROM write); false beyond kCapacity.
    bool setByte(std::size_t address, std::uint8_t value);

    int intervalSeconds() const { return m_bytes[kIntervalAt] * 60 + m_bytes[kIntervalAt + 1]; }
    /// Clamped to 0..15359 s (255 min 59 s).
    void setIntervalSeconds(int seconds);
    std::uint8_t thermocoupleType() const { return m_bytes[kTypeAt]; }
    void setThermocoupleType(std::uint8_t type) { m_bytes[kTypeAt] = type; }
    std::array<std::int8_t, 4> offsets() const;
    std::int16_t signedWord(std::size_t address) const;

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
