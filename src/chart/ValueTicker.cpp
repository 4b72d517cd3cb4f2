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

namespace {
// QCustomPlot's own choice of step (about five ticks, readable mantissas), reached from outside.
class DefaultStep : public QCPAxisTicker {
public:
    using QCPAxisTicker::getTickStep;
};
} // namespace

double ValueTicker::stepFor(const QCPRange& range, double length, double spacing) {
    const double step = DefaultStep().getTickStep(range);
    if (length <= 0.0 || !(range.size() > 0.0))
        return step;
    const double minStep = range.size() * spacing / length;
    return step >= minStep || !std::isfinite(minStep) ? step : readableStepAtLeast(minStep);
}

int ValueTicker::labelsOn(const QCPRange& range, double length, double spacing) {
    const double step = stepFor(range, length, spacing);
    if (!(step > 0.0) || !std::isfinite(step) || !(range.size() >= 0.0))
        return 0;
    constexpr double kSlack = 1e-9; // a tick on an end of the range still counts
    const double first = std::ceil(range.lower / step - kSlack);
    const double last = std::floor(range.upper / step + kSlack);
    return last >= first ? int(std::min(last - first + 1.0, 1e6)) : 0;
}

double ValueTicker::getTickStep(const QCPRange& range) {
    m_usedLength = axisLength();
    return stepFor(range, m_usedLength, QFontMetricsF(m_axis->tickLabelFont()).height() + kLabelGap);
}

} // namespace thermo4::chart
