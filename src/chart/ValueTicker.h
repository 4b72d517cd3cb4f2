#pragma once

#include <qcustomplot.h>

namespace thermo4::chart {

/// Ticker of a value (Y) axis that keeps its labels apart: the usual readable step (about five
/// ticks), widened on a short axis to the next readable step that leaves at least a label's
/// height and a gap between neighbouring labels, so the labels of the split view's quarter-height
/// axes never pile on each other.
class ValueTicker : public QCPAxisTicker {
public:
    /// Space between two neighbouring labels beyond their own height, in pixels.
    static constexpr double kLabelGap = 4.0;

    explicit ValueTicker(const QCPAxis* axis) : m_axis(axis) {}

    /// Whether the axis is no longer as long as when the ticks were last chosen: QCustomPlot
    /// chooses ticks before it lays the axes out, so a new size needs a second layout pass.
    bool stale() const;

    /// Smallest step of 1, 2, 2.5 or 5 times a power of ten that is at least minStep (> 0).
    static double readableStepAtLeast(double minStep);
    /// The step this ticker chooses for range on an axis `length` pixels long whose neighbouring
    /// labels need `spacing` pixels (label height and gap).
    static double stepFor(const QCPRange& range, double length, double spacing);
    /// How many tick labels that step puts on the axis (ticks inside the range, ends included).
    static int labelsOn(const QCPRange& range, double length, double spacing);

protected:
    double getTickStep(const QCPRange& range) override;

private:
    double axisLength() const;

    const QCPAxis* m_axis;
    double m_usedLength = -1.0; // pixels the last choice was made for
};

} // namespace thermo4::chart
