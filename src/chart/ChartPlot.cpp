#include "chart/ChartPlot.h"

#include "chart/ValueTicker.h"

#include <algorithm>

namespace thermo4::chart {

void ChartPlot::layOut() {
    QCustomPlot::updateLayout();
    const QList<QCPAxisRect*> rects = axisRects();
    const bool stale = std::any_of(rects.begin(), rects.end(), [](const QCPAxisRect* rect) {
        const auto* ticker = dynamic_cast<const ValueTicker*>(rect->axis(QCPAxis::atLeft)->ticker().data());
        return ticker && ticker->stale();
    });
    if (stale)
        QCustomPlot::updateLayout();
}

void ChartPlot::updateLayout() {
    layOut();
    if (m_afterLayout && m_afterLayout())
        layOut();
}

} // namespace thermo4::chart
