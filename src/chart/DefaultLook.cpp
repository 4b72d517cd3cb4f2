#include "chart/DefaultLook.h"

#include "chart/Graph1.h"

namespace thermo4::chart {

void ApplyDefaultLook(Graph1& g, int subsets, float yMax, float yMin) {
    g.setShowVertLineAnnotations(true);
    g.setAllowVertLineAnnotHotSpots(true);
    g.setLineAnnotationTextSize(80);
    g.setVertLineAnnotationColor(0, QColor(0, 0, 255));
    g.setVertLineAnnotationColor(1, QColor(255, 0, 0));
    g.setLineAnnotationTextSize(100);
    g.setShowGraphAnnotations(true);
    g.setGraphAnnotationTextSize(100);
    g.setGridStyle(GridDotted);
    g.setMainTitle(QString());
    g.setSubTitle(QStringLiteral(" "));
    static const char* const kLabels[kGraphChannels] = {"T1", "T2", "T3", "T4"};
    static const QColor kColors[kGraphChannels] = {QColor(0, 0, 255), QColor(0, 255, 255), QColor(0, 255, 0),
                                                   QColor(255, 0, 255)};
    for (int k = 0; k < kGraphChannels; ++k) {
        g.setSubsetLabel(k, QString::fromLatin1(kLabels[k]));
        g.setSubsetColor(k, kColors[k]);
    }
    g.setDateTimeMode(1);
    g.setUsingXDataII(true);
    g.setXAxisLabel(QStringLiteral("Time"));
    g.setAllowZooming(ZoomBoth);
    g.setScrollingHorzZoom(true);
    g.setScrollingVertZoom(true);
    g.setGraphForeColor(QColor(0, 128, 0));
    g.setGraphBackColor(QColor(0, 0, 0));
    g.setDeskColor(QColor(192, 192, 192));
    g.setTextColor(QColor(0, 0, 0));
    g.setAllowAxisPage(false);
    g.setArrowCursor(1);
    g.setMultiAxesSeparators(1);
    for (int axis = 0; axis < kGraphChannels; ++axis) {
        g.setMultiAxesSubsets(axis, 1);
        g.setMultiAxesProportions(axis, 0.25);
    }
    for (int axis = 0; axis < subsets && axis < kMaxAxes; ++axis) {
        g.setWorkingAxis(axis);
        g.setYAxisLabel(QString());
        g.setManualScaleControlY(ScaleManual);
        g.setManualMinY(yMin);
        g.setManualMaxY(yMax);
    }
}

} // namespace thermo4::chart
