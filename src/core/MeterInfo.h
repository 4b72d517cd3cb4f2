#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace thermo4::core {

/// Bytes of the answer to the information command 'X'.
inline constexpr std::size_t kMeterInfoSize = 64;
/// The last byte data-set memory may use; memory available counts 8 bytes per point up to it.
inline constexpr std::int32_t kLastDataSetByte = 258815;

/// One field of the information read-out: the name the command-line tool prints and the text.
struct MeterInfoField {
    const char* name;
    QString text;
};

/// The meter's settings and state as the setup dialog shows them, one text per field.
/// A code outside its table (thermocouple type, auto power-off) leaves its text empty.
struct MeterInfo {
    QString firmware;               ///< version × 0.01 with two decimals ("1.05")
    QString meterTime;              ///< "MM/DD/20YY   hh:mm:ss" from the clock bytes
    QString interval;               ///< "m:s" without leading zeros ("2:5")
    QString dataSets;               ///< data sets in memory
    QString memoryAvailable;        ///< points still free: (258815 − memory pointer) / 8
    QString alarm;                  ///< "ON" / "OFF"
    QString hi;                     ///< high alarm limit
    QString lo;                     ///< low alarm limit
    QString t1t2;                   ///< T1−T2 difference mode, "ON" / "OFF"
    QString thermoType;             ///< "K" … "S"
    QString autoOff;                ///< "OFF", "10 minutes" … "8 hours"
    std::array<QString, 4> offsets; ///< T1..T4 offsets
    QString serialNumber;           ///< not in the reply: the USB device's serial-number text

    /// The sixteen fields in the order the dialog fills them.
    std::array<MeterInfoField, 16> fields() const;
};

/// The texts of a 64-byte information reply. Nothing when the reply is shorter
/// or lacks "OK" in bytes 0 and 1. decimalPoint separates the firmware's decimals.
std::optional<MeterInfo> DecodeMeterInfo(std::span<const std::uint8_t> reply, QChar decimalPoint = u'.');

/// Points still free for a memory pointer (the header's end address), truncating toward zero.
std::int32_t MemoryAvailable(std::uint32_t pointer);

} // namespace thermo4::core
