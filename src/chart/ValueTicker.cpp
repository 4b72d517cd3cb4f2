#include "chart/ValueTicker.h"

#include <cmath>

namespace thermo4::chart {

double ValueTicker::axisLength() const {
    const QCPAxisRect* rect = m_axis->axisRect();
    return m_axis->orientation() == Qt::Vertical ? rect->height() : rect->width();
}

bool ValueTicker::stale() const {
    return axisLength() != m_usedLength;
}

double ValueTicker::readableStepAtLeast(double minStep) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(minStep)));
    for (const double mantissa : {1.0, 2.0, 2.5, 5.0}) {
        if (mantissa * magnitude >= minStep * (1.0 - 1e-9))
            return mantissa * magnitude;
    }
    return 10.0 * magnitude;
}

double ValueTicker::getTickStep(const QCPRange& range) {
    const double step = QCPAxisTicker::getTickStep(range);
    m_usedLength = axisLength();
    if (m_usedLength <= 0.0 || !(range.size() > 0.0))
        return step;
    const double spacing = QFontMetricsF(m_axis->tickLabelFont()).height() + kLabelGap;
    const double minStep = range.size() * spacing / m_usedLength;
    return step >= minStep || !std::isfinite(minStep) ? step : readableStepAtLeast(minStep);
}

} // namespace thermo4::chart
