#include "core/DataSet.h"

#include <algorithm>

namespace thermo4::core {

const char* ThermocoupleLetter(std::uint8_t type) {
    static constexpr std::array<const char*, 7> kLetters{"K", "J", "E", "T", "N", "R", "S"};
    return type < kLetters.size() ? kLetters[type] : "K";
}

DataSetCollection::DataSetCollection(std::vector<DataSet> headers, std::vector<float> values,
                                     std::vector<double> times)
    : m_headers(std::move(headers)), m_values(std::move(values)), m_times(std::move(times)) {
    m_starts.reserve(m_headers.size());
    std::size_t start = 0;
    for (const DataSet& set : m_headers) {
        m_starts.push_back(start);
        start += 4 * static_cast<std::size_t>(std::max(set.pointCount, 0));
    }
}

namespace {

// Slices are clipped to what is held, so headers that promise more points than
// were given never lead past the end of the sequences.
template <typename T>
std::span<const T> sliceOf(const std::vector<T>& all, std::size_t start, std::int32_t points) {
    start = std::min(start, all.size());
    const std::size_t length = 4 * static_cast<std::size_t>(std::max(points, 0));
    return std::span<const T>(all).subspan(start, std::min(length, all.size() - start));
}

} // namespace

std::span<const float> DataSetCollection::valuesOf(int i) const {
    return sliceOf(m_values, startIndex(i), header(i).pointCount);
}

std::span<const double> DataSetCollection::timesOf(int i) const {
    return sliceOf(m_times, startIndex(i), header(i).pointCount);
}

} // namespace thermo4::core
