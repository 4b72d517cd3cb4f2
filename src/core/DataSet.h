#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace thermo4::core {

/// A reading that is not to be drawn (the chart's null value).
inline constexpr double kNoDataValue = 9999.0;

/// Thermocouple type letters by code 0..6; any other code shows "K".
const char* ThermocoupleLetter(std::uint8_t type);

/// One recorded series of the four channels.
struct DataSet {
    /// Time of the first sample, days since 1899-12-30 local time.
    double startTime = 0.0;
    /// Seconds between two samples.
    std::int32_t intervalSeconds = 0;
    /// Samples per channel, 0 to 65535.
    std::int32_t pointCount = 0;
    /// True: values are in °C and the unit shows "C"; false: °F and "F".
    bool celsius = false;
    /// 0..15 as stored; see ThermocoupleLetter.
    std::uint8_t thermocoupleType = 0;
    /// T1..T4 offsets as the meter stored them, tenths of °F; shown, never applied.
    std::array<std::int8_t, 4> offsets{};

    bool operator==(const DataSet&) const = default;
};

/// The data sets of the last successful decode, in memory order. Values and
/// times are kept in two parallel sequences, set after set; entry 4k + c of a
/// set's slice is channel c (T1 = 0) of sample k. Replaced only as a whole.
class DataSetCollection {
public:
    DataSetCollection() = default;
    /// Takes headers, values and times as they are. values.size() and
    /// times.size() must both be 4 × the sum of the point counts.
    DataSetCollection(std::vector<DataSet> headers, std::vector<float> values, std::vector<double> times);

    int count() const { return static_cast<int>(m_headers.size()); }
    bool isEmpty() const { return m_headers.empty(); }
    const DataSet& header(int i) const { return m_headers[static_cast<std::size_t>(i)]; }
    const std::vector<DataSet>& headers() const { return m_headers; }
    /// Index of data set i's first entry in values() and times().
    std::size_t startIndex(int i) const { return m_starts[static_cast<std::size_t>(i)]; }
    const std::vector<float>& values() const { return m_values; }
    const std::vector<double>& times() const { return m_times; }
    /// Data set i's slice of values(): 4 × pointCount entries.
    std::span<const float> valuesOf(int i) const;
    /// Data set i's slice of times(), parallel to valuesOf(i).
    std::span<const double> timesOf(int i) const;

    bool operator==(const DataSetCollection&) const = default;

private:
    std::vector<DataSet> m_headers;
    std::vector<std::size_t> m_starts;
    std::vector<float> m_values;
    std::vector<double> m_times;
};

} // namespace thermo4::core
