#pragma once

#include <qcustomplot.h>

namespace thermo4::chart {

/// The QCustomPlot of a Graph1: lays itself out a second time when the first pass changed the
/// length of an axis whose ticks depend on it (ValueTicker), so a resized window or a picture
/// of another size gets the ticks of its own axis lengths.
class ChartPlot : public QCustomPlot {
public:
    using QCustomPlot::QCustomPlot;

protected:
    void updateLayout() override;
};

} // namespace thermo4::chart
