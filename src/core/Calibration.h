#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace thermo4::core {

/// The meter's calibration values per channel T1..T4, as its two calibration replies carry them.
struct CalibrationValues {
    std::array<float, 4> gain{};
    std::array<float, 4> externalOffset{};
    std::array<float, 4> cjcOffset{};
};

/// A value's three reply bytes: with a zero byte in front they are an IEEE
/// single-precision number in little-endian order (00 80 3F is 1.0).
float CalibrationValue(std::span<const std::uint8_t, 3> bytes);

/// The values of the 'Y' reply (gains, then external offsets, bytes 0..23) and the
/// 'Z' reply (CJC offsets, bytes 0..11). Nothing when either reply is shorter than 32
/// bytes; the "OK" bytes are the exchange's to check.
std::optional<CalibrationValues> DecodeCalibration(std::span<const std::uint8_t> first,
                                                   std::span<const std::uint8_t> second);

/// A calibration value as the dialog shows it: rounded to 10 significant digits,
/// in fixed notation with 8 decimals ("1.00000000"); scientific beyond 10 integer
/// digits, "NAN", "INF" or "-INF" for values that are not numbers.
QString CalibrationText(float value, QChar decimalPoint = u'.');

} // namespace thermo4::core
