#pragma once

#include "chart/Graph1.h"
#include "chart/GraphState.h"

#include <QDateTime>

#include <cmath>
#include <memory>
#include <vector>

namespace thermo4::chart::test {

/// 2024-03-01 12:00:00 in days since 1899-12-30.
inline constexpr double kT0 = 45352.5;
inline constexpr double kSecond = 1.0 / 86400.0;

/// A state where every field differs from its default, so a field lost on the way shows.
inline GraphState richState() {
    GraphState st;
    GraphSettings& s = st.settings;
    s.nullDataValueY = 8888.0;
    s.subsetByPoint = true;
    s.usingXDataII = false;
    s.dateTimeMode = 0;
    s.lineGapThreshold = 0.5;
    s.manualScaleControlX = ScaleManualMax;
    s.manualMinX = kT0;
    s.manualMaxX = kT0 + 0.01;
    s.workingAxis = 2;
    s.multiAxesSeparators = 1;
    s.mainTitle = QStringLiteral("Furnace run");
    s.subTitle = QStringLiteral("Zone 2 – °C");
    s.xAxisLabel = QStringLiteral("Time");
    s.fontFamily = QStringLiteral("Sans");
    s.fontSize = 11;
    s.gridStyle = GridDotted;
    s.graphForeColor = QColor(0, 128, 0);
    s.graphBackColor = QColor(Qt::black);
    s.deskColor = QColor(10, 20, 30);
    s.textColor = QColor(200, 100, 50);
    s.showLegend = false;
    s.allowZooming = ZoomBoth;
    s.scrollingHorzZoom = true;
    s.scrollingVertZoom = true;
    s.allowDataHotSpots = true;
    s.allowGraphHotSpots = true;
    s.allowGraphAnnotHotSpots = true;
    s.allowVertLineAnnotHotSpots = true;
    s.allowPopup = false;
    s.arrowCursor = 2;
    s.showGraphAnnotations = false;
    s.graphAnnotationTextSize = 80;
    s.showVertLineAnnotations = true;
    s.lineAnnotationTextSize = 120;
    s.allowAxisPage = false;
    s.allowFontPage = false;
    s.allowPage1 = false;
    s.allowPage2 = false;
    s.allowSubsetsPage = false;
    s.prepareImages = false;
    s.noHelp = true;
    s.allowDataLabels = 2;
    s.noRandomPointsToExport = true;
    s.focalRect = false;
    s.allowBar = false;

    st.subsetStyles = {{QStringLiteral("T1"), QColor(0, 0, 255), 1.5},
                       {QStringLiteral("T2"), QColor(0, 255, 255), 2}};
    st.axes = {{1, 0.25, ScaleManual, -10, 50, QStringLiteral("°C"), true},
               {1, 0.75, ScaleManualMin, -20, 100, {}}};
    st.annotations.resize(6);
    st.annotations[2] = {kT0 + 3 * kSecond, 21.5, AnnotationCross, QStringLiteral("12:00:03\r21.5"),
                         Qt::black};
    st.annotations[5] = {kT0 + 9 * kSecond, -4.0, AnnotationText, QStringLiteral("door opened"),
                         QColor(255, 0, 0)};
    st.lineAnnotations = {{kT0 + kSecond, QColor(0, 0, 255), QStringLiteral("A")},
                          {kT0 + 2 * kSecond, Qt::red, {}}};
    st.table.resize(3, 2);
    st.table.text = {QStringLiteral("Start Time:"), QStringLiteral("x"),       QStringLiteral("Data No:"),
                     QStringLiteral("7"),           QStringLiteral("T1 MAX:"), QStringLiteral("OL")};
    st.table.colors[1] = argb(255, 255, 0, 0);
    st.table.show = true;
    st.table.location = TableTop;
    st.table.x = 550;
    st.table.y = 50;
    st.table.moveable = true;
    st.table.backColor = argb(129, 255, 255, 255);
    st.table.headerRows = 1;
    st.table.headerColumn = true;
    st.table.border = BorderInset;
    st.table.textSize = 60;

    st.resizeData(3, 40);
    for (int s2 = 0; s2 < 3; ++s2) {
        for (int p = 0; p < 40; ++p) {
            st.x[s2][p] = kT0 + p * kSecond;
            st.y[s2][p] = (p % 7 == 3) ? 8888.0f : float(20 + s2 + p * 0.1);
        }
    }
    return st;
}

/// A shown control of the benchmark's size, so the layout has real pixels.
inline std::unique_ptr<Graph1> shownGraph(int width = 1200, int height = 800) {
    auto g = std::make_unique<Graph1>();
    g->resize(width, height);
    g->show();
    return g;
}

/// Four curves of `points` samples one second apart, split view, manual scales.
inline void fillFourChannels(Graph1& g, int points) {
    g.setSubsets(4);
    g.setPoints(points);
    for (int a = 0; a < 4; ++a) {
        g.setMultiAxesSubsets(a, 1);
        g.setMultiAxesProportions(a, 0.25);
        g.setWorkingAxis(a);
        g.setManualScaleControlY(ScaleManual);
        g.setManualMinY(-10);
        g.setManualMaxY(50);
    }
    g.setWorkingAxis(0);
    g.setManualScaleControlX(ScaleManual);
    g.setManualMinX(kT0);
    g.setManualMaxX(kT0 + points * kSecond);
    for (int p = 0; p < points; ++p) {
        for (int s = 0; s < 4; ++s) {
            g.setXDataII(s, p, kT0 + p * kSecond);
            g.setYData(s, p, float(10 * s + std::sin(p * 0.1) * 5));
        }
    }
}

/// Keys and values of a curve's plotted data (NaN values kept).
inline std::vector<std::pair<double, double>> plotted(const Graph1& g, int subset) {
    std::vector<std::pair<double, double>> out;
    const QCPGraph* graph = g.graphOf(subset);
    if (!graph)
        return out;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        out.emplace_back(it->key, it->value);
    return out;
}

/// Equality that counts two NaN values as equal (gaps in the same place).
inline bool samePlotted(const std::vector<std::pair<double, double>>& a,
                        const std::vector<std::pair<double, double>>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const bool bothNaN = std::isnan(a[i].second) && std::isnan(b[i].second);
        if (a[i].first != b[i].first || (!bothNaN && a[i].second != b[i].second))
            return false;
    }
    return true;
}

} // namespace thermo4::chart::test
