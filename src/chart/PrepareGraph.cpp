#include "chart/PrepareGraph.h"

#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "core/DataSet.h"
#include "core/TDateTime.h"

namespace thermo4::chart {

void PrepareGraph(Graph1& g, int subsets, float yMax, float yMin, double xMax, double xMin, int points,
                  bool defaultLook) {
    g.setPrepareImages(true);
    g.setNullDataValueY(kDefaultNullValue);
    g.setSubsetByPoint(false);
    g.setSubsets(subsets);
    g.setPoints(points);
    g.setNoHelp(true);
    g.setAllowPopup(false);
    for (int k = 0; k < g.subsets(); ++k) { // a whole-array write blanks every subset
        g.setXDataII(-1, k, 0.0);
        g.setYDataII(-1, k, kDefaultNullValue);
    }
    if (xMin != 0.0) {
        g.setManualScaleControlX(ScaleManual);
        g.setManualMinX(xMin);
        g.setManualMaxX(xMax);
    }
    g.setAllowDataLabels(0);
    if (defaultLook)
        ApplyDefaultLook(g, subsets, yMax, yMin);
    // A new graph's ranges are floors: data outside them widen the axes, even where a template
    // saved a range the user held in its own window.
    for (int axis = 0; axis < int(g.state().axes.size()); ++axis) {
        g.setWorkingAxis(axis);
        g.setHoldRangeY(false);
    }
    g.setWorkingAxis(0);
    g.setAllowGraphAnnotHotSpots(true);
    g.redraw();
}

bool PrepareDataSetGraph(Graph1& g, const core::DataSetCollection& sets, int k, bool defaultLook) {
    if (k < 0 || k >= sets.count())
        return false;
    const core::DataSet& set = sets.header(k);
    const int n = set.pointCount;
    const double t0 = set.startTime;
    PrepareGraph(g, kGraphChannels, kDataSetYMax, kDataSetYMin,
                 t0 + double(n) * set.intervalSeconds / core::kSecondsPerDay, t0, n, defaultLook);
    // The slice runs sample by sample, T1 to T4 inside each, as the control reads whole arrays.
    g.setXDataII(sets.timesOf(k));
    g.setYData(sets.valuesOf(k));
    g.undoZoom();
    g.redraw();
    return true;
}

} // namespace thermo4::chart
