#include "chart/Graph1.h"

#include "chart/ValueTicker.h"

#include <QScrollBar>

#include <cmath>
#include <tuple>

// Graph1: automatic and manual scales, zoom, its undo and the scroll bars of a zoomed view.

namespace thermo4::chart {

namespace {
constexpr double kSecondDays = 1.0 / 86400.0;
constexpr int kScrollSteps = 1000;

// Gives a range a width when its ends coincide, so the axis can still be drawn.
std::pair<double, double> widened(double lo, double hi, double pad) {
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {0.0, 1.0};
    if (lo == hi)
        return {lo - pad, hi + pad};
    return {lo, hi};
}

// Steps of a widened range: about this many between its ends.
constexpr double kStepsAcrossWidened = 10.0;

// lo..hi widened to take in dataLo..dataHi. An end that moves goes past the data to the next
// multiple of a readable step of the new span, so that the ticks stay round numbers.
std::pair<double, double> widenedToData(double lo, double hi, double dataLo, double dataHi) {
    if (dataLo >= lo && dataHi <= hi)
        return {lo, hi};
    const double span = std::max(hi, dataHi) - std::min(lo, dataLo);
    if (!(span > 0.0) || !std::isfinite(span))
        return {std::min(lo, dataLo), std::max(hi, dataHi)};
    const double step = ValueTicker::readableStepAtLeast(span / kStepsAcrossWidened);
    if (dataLo < lo)
        lo = (std::ceil(dataLo / step) - 1.0) * step;
    if (dataHi > hi)
        hi = (std::floor(dataHi / step) + 1.0) * step;
    return {lo, hi};
}
} // namespace

void Graph1::undoZoom() {
    m_zoomStack.clear();
    m_zoom.reset();
    applyRanges();
    updateScrollBars();
    invalidateImage();
}

void Graph1::undoZoomStep() {
    if (m_zoomStack.empty()) {
        undoZoom();
        return;
    }
    m_zoom = m_zoomStack.back();
    m_zoomStack.pop_back();
    if (m_zoomStack.empty())
        m_zoom.reset(); // the first entry is the unzoomed view, which follows the scales live
    applyRanges();
    updateScrollBars();
    invalidateImage();
}
std::pair<double, double> Graph1::baseXRange() const {
    const GraphSettings& s = m_state.settings;
    double lo = 0, hi = 0;
    bool any = false;
    for (const Series& ser : m_series) {
        if (!ser.hasKeys)
            continue;
        lo = any ? std::min(lo, ser.minKey) : ser.minKey;
        hi = any ? std::max(hi, ser.maxKey) : ser.maxKey;
        any = true;
    }
    if (!any)
        lo = 0, hi = 1;
    if (s.manualScaleControlX == ScaleManual || s.manualScaleControlX == ScaleManualMin)
        lo = s.manualMinX;
    if (s.manualScaleControlX == ScaleManual || s.manualScaleControlX == ScaleManualMax)
        hi = s.manualMaxX;
    return widened(lo, hi, s.dateTimeMode == 1 ? kSecondDays : 0.5);
}

std::pair<double, double> Graph1::baseYRange(int rect) const {
    return yRangeOf(*m_layout, rect);
}

std::pair<double, double> Graph1::yRangeOf(const Layout& layout, int rect) const {
    const std::size_t a = std::size_t(layout.axisOfRect[rect]);
    const AxisState axis = a < m_state.axes.size() ? m_state.axes[a] : AxisState{};
    double lo = 0, hi = 0;
    bool any = false;
    for (int s = 0; s < m_state.subsets && std::size_t(s) < layout.rectOfSubset.size(); ++s) {
        const Series& ser = m_series[s];
        if (layout.rectOfSubset[s] != rect || !ser.hasValues)
            continue;
        lo = any ? std::min(lo, ser.minValue) : ser.minValue;
        hi = any ? std::max(hi, ser.maxValue) : ser.maxValue;
        any = true;
    }
    const double dataLo = lo, dataHi = hi;
    if (any) { // a little room above and below the automatic range
        const double pad = (hi - lo) * 0.05;
        lo -= pad;
        hi += pad;
    } else {
        lo = 0, hi = 100;
    }
    const bool manualLo =
        axis.manualScaleControlY == ScaleManual || axis.manualScaleControlY == ScaleManualMin;
    const bool manualHi =
        axis.manualScaleControlY == ScaleManual || axis.manualScaleControlY == ScaleManualMax;
    if (manualLo)
        lo = axis.manualMinY;
    if (manualHi)
        hi = axis.manualMaxY;
    // Data outside a manual range widen it, unless the range is one the user holds.
    if (any && (manualLo || manualHi) && !axis.holdRange && lo < hi)
        std::tie(lo, hi) = widenedToData(lo, hi, dataLo, dataHi);
    return widened(lo, hi, 0.5);
}

std::pair<double, double> Graph1::shownRangeY(int axis) const {
    // The view the state chooses: a split view shown on one axis for want of height still
    // has its own range on each axis.
    const Layout layout = computeLayout(false);
    for (int r = 0; r < int(layout.axisOfRect.size()); ++r) {
        if (layout.axisOfRect[r] == axis)
            return yRangeOf(layout, r);
    }
    const AxisState a =
        axis >= 0 && std::size_t(axis) < m_state.axes.size() ? m_state.axes[std::size_t(axis)] : AxisState{};
    return {a.manualMinY, a.manualMaxY};
}

Graph1::View Graph1::currentView() const {
    View v;
    const auto [xl, xu] = m_zoom ? std::pair(m_zoom->xLower, m_zoom->xUpper) : baseXRange();
    v.xLower = xl;
    v.xUpper = xu;
    for (int r = 0; r < int(m_rects.size()); ++r) {
        if (m_zoom && std::size_t(r) < m_zoom->y.size() && m_zoom->y[r])
            v.y.push_back(m_zoom->y[r]);
        else
            v.y.push_back(baseYRange(r));
    }
    return v;
}

void Graph1::applyRanges() {
    if (!m_layout)
        return;
    const View v = currentView();
    const QCPRange x(v.xLower, v.xUpper);
    for (std::size_t r = 0; r < m_rects.size(); ++r) {
        m_rects[r]->axis(QCPAxis::atBottom)->setRange(x);
        m_rects[r]->axis(QCPAxis::atTop)->setRange(x);
        const QCPRange y(v.y[r]->first, v.y[r]->second);
        m_rects[r]->axis(QCPAxis::atLeft)->setRange(y);
        m_rects[r]->axis(QCPAxis::atRight)->setRange(y);
    }
    if (m_timeRect)
        m_timeRect->axis(QCPAxis::atBottom)->setRange(x);
}

bool Graph1::zoomToPixelRect(const QRect& pixels) {
    const QRect rect = pixels.normalized();
    const int mode = m_state.settings.allowZooming;
    int r = -1;
    for (int i = 0; i < int(m_rects.size()); ++i) {
        if (m_rects[i]->rect().contains(rect.center()))
            r = i;
    }
    if (mode == ZoomNone || r < 0)
        return false;
    const bool horizontal = (mode & ZoomHorizontal) && rect.width() >= kClickSlop;
    const bool vertical = (mode & ZoomVertical) && rect.height() >= kClickSlop;
    if (!horizontal && !vertical)
        return false;
    View next = currentView();
    QCPAxis* xAxis = m_rects[r]->axis(QCPAxis::atBottom);
    QCPAxis* yAxis = m_rects[r]->axis(QCPAxis::atLeft);
    if (horizontal) {
        next.xLower = xAxis->pixelToCoord(rect.left());
        next.xUpper = xAxis->pixelToCoord(rect.right());
    }
    if (vertical)
        next.y[r] = std::pair(yAxis->pixelToCoord(rect.bottom()), yAxis->pixelToCoord(rect.top()));
    m_zoomStack.push_back(m_zoom.value_or(currentView()));
    m_zoom = next;
    applyRanges();
    updateScrollBars();
    invalidateImage();
    emit onZoomIn();
    return true;
}

void Graph1::updateScrollBars() {
    m_syncingScroll = true;
    const auto place = [](QScrollBar* bar, bool show, double lo, double hi, double baseLo, double baseHi) {
        const double span = baseHi - baseLo;
        if (!show || !(span > 0) || hi - lo >= span) {
            bar->hide();
            return;
        }
        const int page = std::clamp(int(std::lround((hi - lo) / span * kScrollSteps)), 1, kScrollSteps);
        bar->setRange(0, kScrollSteps - page);
        bar->setPageStep(page);
        bar->setValue(int(std::lround((lo - baseLo) / span * kScrollSteps)));
        bar->show();
    };
    const GraphSettings& s = m_state.settings;
    if (m_zoom && m_layout) {
        const auto [bl, bu] = baseXRange();
        place(m_hScroll, s.scrollingHorzZoom, m_zoom->xLower, m_zoom->xUpper, bl, bu);
        const auto zoomedRect =
            std::find_if(m_zoom->y.begin(), m_zoom->y.end(), [](const auto& y) { return bool(y); });
        if (zoomedRect != m_zoom->y.end()) {
            const auto [yl, yu] = baseYRange(int(zoomedRect - m_zoom->y.begin()));
            // The bar runs top (maximum) to bottom (minimum), so it works on the mirrored range.
            place(m_vScroll, s.scrollingVertZoom, -(*zoomedRect)->second, -(*zoomedRect)->first, -yu, -yl);
        } else {
            m_vScroll->hide();
        }
    } else {
        m_hScroll->hide();
        m_vScroll->hide();
    }
    m_syncingScroll = false;
}

void Graph1::scrollBarMoved() {
    if (m_syncingScroll || !m_zoom || !m_layout)
        return;
    if (m_hScroll->isVisible()) {
        const auto [bl, bu] = baseXRange();
        const double width = m_zoom->xUpper - m_zoom->xLower;
        m_zoom->xLower = bl + (bu - bl) * m_hScroll->value() / kScrollSteps;
        m_zoom->xUpper = m_zoom->xLower + width;
    }
    if (m_vScroll->isVisible()) {
        for (int r = 0; r < int(m_zoom->y.size()); ++r) {
            auto& y = m_zoom->y[r];
            if (!y)
                continue;
            const auto [yl, yu] = baseYRange(r);
            const double height = y->second - y->first;
            y->second = yu - (yu - yl) * m_vScroll->value() / kScrollSteps;
            y->first = y->second - height;
            break; // the bar belongs to the first zoomed axis
        }
    }
    applyRanges();
    invalidateImage();
}
} // namespace thermo4::chart
