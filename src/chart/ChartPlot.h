#pragma once

#include <qcustomplot.h>

#include <functional>

namespace thermo4::chart {

/// The QCustomPlot of a Graph1: lays itself out a second time when the first pass changed the
/// length of an axis whose ticks depend on it (ValueTicker), so a resized window or a picture
/// of another size gets the ticks of its own axis lengths; and once more when its owner rebuilt
/// the axes for the size just laid out (the split view shown as one axis, or back).
class ChartPlot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;

    /// Called after each layout pass; returns true when it changed the layout elements.
    void setAfterLayout(std::function<bool()> check) { m_afterLayout = std::move(check); }

protected:
    void updateLayout() override;

private:
    void layOut();

    std::function<bool()> m_afterLayout;
};

} // namespace thermo4::chart
