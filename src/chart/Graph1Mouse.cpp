#include "chart/Graph1.h"

#include "chart/AnnotationOverlay.h"

#include <QMenu>

#include <cmath>

// Graph1: pixel and graph coordinates, mouse tools (zoom box, hot spots, dragging a line cursor
// or the table annotation) and the pop-up menu.

namespace thermo4::chart {

namespace {
constexpr double kHitRadius = 6.0;     // pixels around a point or mark that hit it
constexpr double kLineHitRadius = 4.0; // pixels either side of a line cursor
const double kNoValue = std::numeric_limits<double>::quiet_NaN();
} // namespace

QRect Graph1::plottingArea() const {
    QRect area;
    for (QCPAxisRect* rect : m_rects)
        area = area.united(rect->rect());
    return area;
}

int Graph1::axisAt(const QPointF& pixel) const {
    for (int r = 0; r < int(m_rects.size()); ++r) {
        const QRect rect = m_rects[r]->rect();
        if (pixel.x() >= rect.left() && pixel.x() <= rect.right() + 1 && pixel.y() >= rect.top() &&
            pixel.y() <= rect.bottom() + 1)
            return m_layout ? m_layout->axisOfRect[r] : 0;
    }
    return -1;
}

namespace {
// The axis rect that shows Y axis `axis`, or the first one.
QCPAxisRect* rectForAxis(const std::vector<QCPAxisRect*>& rects, const std::vector<int>& axisOfRect,
                         int axis) {
    for (std::size_t r = 0; r < rects.size() && r < axisOfRect.size(); ++r) {
        if (axisOfRect[r] == axis)
            return rects[r];
    }
    return rects.empty() ? nullptr : rects.front();
}
} // namespace

QPointF Graph1::pixelToGraph(const QPointF& pixel, int axis) const {
    QCPAxisRect* rect = rectForAxis(m_rects, m_layout ? m_layout->axisOfRect : std::vector<int>{}, axis);
    if (!rect)
        return {};
    return {rect->axis(QCPAxis::atBottom)->pixelToCoord(pixel.x()),
            rect->axis(QCPAxis::atLeft)->pixelToCoord(pixel.y())};
}

QPointF Graph1::graphToPixel(const QPointF& value, int axis) const {
    QCPAxisRect* rect = rectForAxis(m_rects, m_layout ? m_layout->axisOfRect : std::vector<int>{}, axis);
    if (!rect)
        return {kNoValue, kNoValue};
    return {rect->axis(QCPAxis::atBottom)->coordToPixel(value.x()),
            rect->axis(QCPAxis::atLeft)->coordToPixel(value.y())};
}

void Graph1::handleMousePress(QMouseEvent* event) {
    m_pressPos = event->pos();
    m_lastMouse = event->pos();
    m_pressed = true;
    m_moved = false;
    m_dragLine = -1;
    m_tableDragOffset.reset();
    QCP::SelectionRectMode mode = QCP::srmNone;
    if (event->button() == Qt::LeftButton) {
        const QRectF table = m_overlay->tableRect();
        if (m_state.settings.allowVertLineAnnotHotSpots && m_state.settings.showVertLineAnnotations)
            m_dragLine = lineAnnotationAt(event->pos());
        if (m_dragLine < 0 && m_state.table.moveable && table.contains(event->pos()))
            m_tableDragOffset = (QPointF(event->pos()) - table.topLeft()).toPoint();
        else if (m_dragLine < 0 && m_state.settings.allowZooming != ZoomNone)
            mode = QCP::srmCustom;
    }
    // QCustomPlot looks at the mode right after this signal, so it applies to this very press.
    m_plot->setSelectionRectMode(mode);
}

void Graph1::handleMouseMove(QMouseEvent* event) {
    m_lastMouse = event->pos();
    if (m_pressed && (event->pos() - m_pressPos).manhattanLength() > kClickSlop)
        m_moved = true;
    if (m_pressed && m_moved && m_dragLine >= 0 && std::size_t(m_dragLine) < m_state.lineAnnotations.size()) {
        m_state.lineAnnotations[m_dragLine].x = pixelToGraph(event->pos()).x();
        invalidateImage();
    } else if (m_pressed && m_moved && m_tableDragOffset) {
        const QPoint pos = m_overlay->tablePositionFor(QPointF(event->pos() - *m_tableDragOffset));
        m_state.table.x = pos.x();
        m_state.table.y = pos.y();
        invalidateImage();
    }
    emit onMouseMove();
}

void Graph1::handleMouseRelease(QMouseEvent* event) {
    if (!m_pressed)
        return;
    m_pressed = false;
    m_lastMouse = event->pos();
    if (m_dragLine >= 0 && m_moved && std::size_t(m_dragLine) < m_state.lineAnnotations.size())
        emit onVertLineAnnotMoved(m_dragLine, m_state.lineAnnotations[m_dragLine].x);
    else if (!m_moved && event->button() == Qt::LeftButton)
        handleClick(event->pos());
    else if (!m_moved && event->button() == Qt::RightButton && m_state.settings.allowPopup)
        showPopup(event->globalPosition().toPoint());
    m_dragLine = -1;
    m_tableDragOffset.reset();
}

void Graph1::handleMouseDoubleClick(QMouseEvent* event) {
    m_lastMouse = event->pos();
    if (!m_state.settings.allowGraphAnnotHotSpots || event->button() != Qt::LeftButton)
        return;
    if (const int index = annotationAt(event->pos()); index >= 0)
        emit onGraphAnnotHotSpot(true, index);
}

void Graph1::handleClick(const QPoint& pos) {
    const GraphSettings& s = m_state.settings;
    if (s.allowGraphAnnotHotSpots) {
        if (const int index = annotationAt(pos); index >= 0)
            emit onGraphAnnotHotSpot(false, index);
    }
    if (s.allowDataHotSpots) {
        if (const auto hit = dataPointAt(pos))
            emit onDataHotSpot(hit->first, hit->second);
    }
    if (s.allowGraphHotSpots && axisAt(pos) >= 0) {
        const QPointF value = pixelToGraph(pos, axisAt(pos));
        emit onGraphHotSpot(value.x(), value.y());
    }
    emit onClick();
}

int Graph1::annotationAt(const QPointF& pixel) const {
    if (!m_state.settings.showGraphAnnotations || m_rects.empty())
        return -1;
    for (int i = int(m_state.annotations.size()) - 1; i >= 0; --i) { // topmost (drawn last) first
        const GraphAnnotation& a = m_state.annotations[i];
        const bool mark = a.type == AnnotationCross || a.type == AnnotationDot;
        if (!mark && a.text.isEmpty())
            continue; // nothing drawn, nothing to hit
        const QPointF anchor = m_overlay->annotationAnchor(i);
        if (!m_rects.front()->rect().contains(anchor.toPoint()))
            continue;
        if ((mark && QLineF(anchor, pixel).length() <= kHitRadius) ||
            m_overlay->annotationTextRect(i).contains(pixel))
            return i;
    }
    return -1;
}

int Graph1::lineAnnotationAt(const QPointF& pixel) const {
    if (!plottingArea().contains(pixel.toPoint()))
        return -1;
    for (int i = 0; i < int(m_state.lineAnnotations.size()); ++i) {
        const double px = graphToPixel(QPointF(m_state.lineAnnotations[i].x, 0)).x();
        if (std::abs(px - pixel.x()) <= kLineHitRadius)
            return i;
    }
    return -1;
}

std::optional<std::pair<int, int>> Graph1::dataPointAt(const QPointF& pixel) const {
    if (!m_layout)
        return std::nullopt;
    int rect = -1;
    for (int r = 0; r < int(m_rects.size()); ++r) {
        if (m_rects[r]->rect().contains(pixel.toPoint()))
            rect = r;
    }
    if (rect < 0)
        return std::nullopt;
    QCPAxis* xAxis = m_rects[rect]->axis(QCPAxis::atBottom);
    QCPAxis* yAxis = m_rects[rect]->axis(QCPAxis::atLeft);
    const float null = float(m_state.settings.nullDataValueY);
    // Only points whose X lies within the hit radius can be hit: narrow the scan to them.
    const double x0 = xAxis->pixelToCoord(pixel.x() - kHitRadius);
    const double x1 = xAxis->pixelToCoord(pixel.x() + kHitRadius);
    const double xLo = std::min(x0, x1), xHi = std::max(x0, x1);
    double best = kHitRadius * kHitRadius;
    std::optional<std::pair<int, int>> hit;
    for (int s = 0; s < m_state.subsets; ++s) {
        if (m_layout->rectOfSubset[s] != rect)
            continue;
        const auto& xs = m_state.x[s];
        const auto& ys = m_state.y[s];
        for (int i = 0; i < m_state.points; ++i) {
            if (xs[i] < xLo || xs[i] > xHi || ys[i] == null)
                continue;
            const double dx = xAxis->coordToPixel(xs[i]) - pixel.x();
            const double dy = yAxis->coordToPixel(ys[i]) - pixel.y();
            if (dx * dx + dy * dy <= best) {
                best = dx * dx + dy * dy;
                hit = std::pair(s, i);
            }
        }
    }
    return hit;
}

void Graph1::showPopup(const QPoint& globalPos) {
    QMenu menu(this);
    menu.addAction(tr("Customize..."), this, &Graph1::customize);
    QAction* undo = menu.addAction(tr("Undo Zoom"), this, &Graph1::undoZoom);
    undo->setEnabled(isZoomed());
    menu.addAction(tr("Print..."), this, &Graph1::printDialog);
    menu.exec(globalPos);
}
} // namespace thermo4::chart
