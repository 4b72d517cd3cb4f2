#include "chart/Graph1.h"

#include "core/GraphStatistics.h"

#include <cmath>

// Graph1: the data arrays and their plotted, cached form.

namespace thermo4::chart {

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

bool Graph1::setSubsets(int count) {
    if (!m_state.resizeData(count, m_state.points))
        return false;
    const std::size_t old = m_series.size();
    m_series.resize(std::size_t(count));
    for (std::size_t s = old; s < m_series.size(); ++s)
        m_series[s].data = QSharedPointer<QCPGraphDataContainer>::create();
    return true;
}

bool Graph1::setPoints(int count) {
    if (!m_state.resizeData(m_state.subsets, count))
        return false;
    for (Series& s : m_series) {
        if (count < s.plottedEnd) // plotted points were cut off
            s.rebuild = true;
        s.dirtyHigh = std::min(s.dirtyHigh, count - 1);
    }
    return true;
}

double Graph1::xDataII(int subset, int point) const {
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return 0.0;
    return m_state.x[subset][point];
}

float Graph1::yData(int subset, int point) const {
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return float(m_state.settings.nullDataValueY);
    return m_state.y[subset][point];
}

void Graph1::markDirty(int subset, int point) {
    Series& s = m_series[subset];
    s.dirtyLow = std::min(s.dirtyLow, point);
    s.dirtyHigh = std::max(s.dirtyHigh, point);
}

void Graph1::markAllDirty() {
    for (Series& s : m_series)
        s.rebuild = true;
}

template <class T>
void Graph1::writeCell(std::vector<std::vector<T>>& columns, int subset, int point, T value) {
    if (subset == -1) {
        for (auto& column : columns)
            std::fill(column.begin(), column.end(), value);
        markAllDirty();
        return;
    }
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return;
    columns[subset][point] = value;
    markDirty(subset, point);
}

template <class T> void Graph1::writeArray(std::vector<std::vector<T>>& columns, std::span<const T> values) {
    const std::size_t n = std::min(values.size(), std::size_t(m_state.subsets) * std::size_t(m_state.points));
    for (std::size_t j = 0; j < n; ++j) {
        if (m_state.settings.subsetByPoint)
            columns[j / m_state.points][j % m_state.points] = values[j];
        else
            columns[j % m_state.subsets][j / m_state.subsets] = values[j];
    }
    markAllDirty();
}

void Graph1::setXDataII(int subset, int point, double days) {
    writeCell(m_state.x, subset, point, days);
}

void Graph1::setYData(int subset, int point, float value) {
    writeCell(m_state.y, subset, point, value);
}

void Graph1::setXDataII(std::span<const double> values) {
    writeArray(m_state.x, values);
}

void Graph1::setYData(std::span<const float> values) {
    writeArray(m_state.y, values);
}

void Graph1::appendPoint(double days, std::span<const float> values) {
    const int point = m_state.points;
    if (!setPoints(point + 1))
        return;
    for (int s = 0; s < m_state.subsets; ++s) {
        setXDataII(s, point, days);
        setYData(s, point,
                 std::size_t(s) < values.size() ? values[s] : float(m_state.settings.nullDataValueY));
    }
}

void Graph1::setNullDataValueY(double value) {
    m_state.settings.nullDataValueY = value;
    markAllDirty();
}

void Graph1::setDateTimeMode(int mode) {
    m_state.settings.dateTimeMode = std::clamp(mode, 0, 1);
}

void Graph1::setLineGapThreshold(double days) {
    m_state.settings.lineGapThreshold = days;
    markAllDirty();
}
void Graph1::Series::include(double key, double value) {
    minKey = hasKeys ? std::min(minKey, key) : key;
    maxKey = hasKeys ? std::max(maxKey, key) : key;
    hasKeys = true;
    if (std::isfinite(value)) {
        minValue = hasValues ? std::min(minValue, value) : value;
        maxValue = hasValues ? std::max(maxValue, value) : value;
        hasValues = true;
    }
}

std::optional<QCPGraphData> Graph1::plottedPoint(int subset, int point) const {
    const double key = m_state.x[subset][point];
    const float y = m_state.y[subset][point];
    const float null = float(m_state.settings.nullDataValueY);
    if ((key == 0.0 && y == null) || !std::isfinite(key)) // never written, or no place in time
        return std::nullopt;
    // The null value, and a reading that is no temperature (a channel without a probe, over
    // range), leave a gap.
    return QCPGraphData(key, y == null || !core::IsTemperature(y) ? kNaN : double(y));
}

void Graph1::syncSeries(int subset) {
    Series& ser = m_series[subset];
    const double gap = m_state.settings.lineGapThreshold;
    if (!ser.rebuild && ser.dirtyHigh >= 0 && ser.dirtyLow >= ser.plottedEnd) {
        // Only points after the last plotted one changed: append them when they keep the order.
        for (int i = ser.dirtyLow; i <= ser.dirtyHigh && i < m_state.points; ++i) {
            const auto point = plottedPoint(subset, i);
            if (!point)
                continue;
            const double key = point->key;
            if (!ser.data->isEmpty()) {
                const double last = (ser.data->constEnd() - 1)->key;
                if (key < last) {
                    ser.rebuild = true;
                    break;
                }
                if (key - last > gap)
                    ser.data->add(QCPGraphData(last + (key - last) / 2, kNaN));
            }
            ser.data->add(*point);
            ser.plottedEnd = i + 1;
            ser.include(key, point->value);
        }
    } else if (ser.dirtyHigh >= 0 && ser.dirtyLow < ser.plottedEnd) {
        ser.rebuild = true;
    }
    if (ser.rebuild)
        rebuildSeries(subset);
    ser.rebuild = false;
    ser.dirtyLow = std::numeric_limits<int>::max();
    ser.dirtyHigh = -1;
}

void Graph1::rebuildSeries(int subset) {
    Series& ser = m_series[subset];
    const double gap = m_state.settings.lineGapThreshold;
    QVector<QCPGraphData> plotted;
    plotted.reserve(m_state.points);
    bool sorted = true;
    ser.plottedEnd = 0;
    ser.hasKeys = ser.hasValues = false;
    double last = 0.0;
    for (int i = 0; i < m_state.points; ++i) {
        const auto point = plottedPoint(subset, i);
        if (!point)
            continue;
        const double key = point->key;
        if (!plotted.isEmpty()) {
            if (key < last)
                sorted = false;
            else if (key - last > gap)
                plotted.append(QCPGraphData(last + (key - last) / 2, kNaN));
        }
        plotted.append(*point);
        last = key;
        ser.plottedEnd = i + 1;
        ser.include(key, point->value);
    }
    ser.data->set(plotted, sorted);
}
} // namespace thermo4::chart
