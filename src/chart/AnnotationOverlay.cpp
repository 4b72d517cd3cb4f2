#include "chart/AnnotationOverlay.h"

#include "chart/Graph1.h"

#include <numeric>

namespace thermo4::chart {

namespace {
constexpr double kCrossHalf = 5.0;   // pixels from the centre of a cross to its arm's end
constexpr double kCellPadding = 3.0; // pixels around a table cell's text

QString displayText(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
// A mark in a colour close to the plotting area's (the black data-point label on the black
// default background) gets a contrasting backing so it stays readable; none otherwise.
QColor backingFor(const QColor& ink, const QColor& background) {
    if (std::abs(ink.lightness() - background.lightness()) >= 96)
        return {};
    return ink.lightness() < 128 ? QColor(255, 255, 255, 200) : QColor(0, 0, 0, 200);
}
} // namespace

AnnotationOverlay::AnnotationOverlay(QCustomPlot* plot, const Graph1& owner)
    : QCPLayerable(plot, QStringLiteral("overlay")), m_owner(owner) {}

void AnnotationOverlay::applyDefaultAntialiasingHint(QCPPainter* painter) const {
    applyAntialiasingHint(painter, true, QCP::aeItems);
}

QFont AnnotationOverlay::annotationFont() const {
    QFont f = m_owner.graphFont();
    f.setPointSizeF(m_owner.textScale(m_owner.m_state.settings.graphAnnotationTextSize));
    return f;
}

QFont AnnotationOverlay::lineFont() const {
    QFont f = m_owner.graphFont();
    f.setPointSizeF(m_owner.textScale(m_owner.m_state.settings.lineAnnotationTextSize));
    return f;
}

QFont AnnotationOverlay::tableFont(bool bold) const {
    QFont f = m_owner.graphFont();
    f.setPointSizeF(m_owner.textScale(m_owner.m_state.table.textSize));
    f.setBold(bold);
    return f;
}

QRectF AnnotationOverlay::area() const {
    return m_owner.m_rects.empty() ? QRectF() : QRectF(m_owner.m_rects.front()->rect());
}

QPointF AnnotationOverlay::annotationAnchor(int index) const {
    const GraphAnnotation& a = m_owner.annotation(index);
    return m_owner.graphToPixel(QPointF(a.x, a.y), 0);
}

QRectF AnnotationOverlay::annotationTextRect(int index) const {
    const GraphAnnotation& a = m_owner.annotation(index);
    if (a.text.isEmpty())
        return {};
    const QFontMetricsF fm(annotationFont());
    const QSizeF size = fm.size(0, displayText(a.text));
    const QPointF p = annotationAnchor(index);
    if (a.type == AnnotationCross || a.type == AnnotationDot) // label beside the mark, above right
        return QRectF(QPointF(p.x() + kCrossHalf + 2, p.y() - size.height() - 2), size);
    return QRectF(QPointF(p.x(), p.y() - size.height() / 2), size); // text starts at the point
}

std::vector<double>
AnnotationOverlay::tableColumns(const std::function<double(const QString&, bool)>& advance) const {
    const TableAnnotation& t = m_owner.m_state.table;
    std::vector<double> widths(std::size_t(t.columns), 0.0);
    for (int r = 0; r < t.rows; ++r) {
        for (int c = 0; c < t.columns; ++c) {
            const bool header = r < t.headerRows || (c == 0 && t.headerColumn);
            widths[c] = std::max(widths[c], advance(t.text[t.cellIndex(r, c)], header) + 2 * kCellPadding);
        }
    }
    return widths;
}

double AnnotationOverlay::tableRowHeight() const {
    return std::max(QFontMetricsF(tableFont(false)).height(), QFontMetricsF(tableFont(true)).height()) +
           kCellPadding;
}

QPointF AnnotationOverlay::tableOrigin(int x, int y) const {
    const QRectF a = area();
    return {a.left() + a.width() * x / 1000.0, a.top() + a.height() * y / 1000.0};
}

QPoint AnnotationOverlay::tablePositionFor(const QPointF& topLeft) const {
    const QRectF a = area();
    if (a.width() <= 0 || a.height() <= 0)
        return {};
    return {int(std::lround((topLeft.x() - a.left()) * 1000.0 / a.width())),
            int(std::lround((topLeft.y() - a.top()) * 1000.0 / a.height()))};
}

QRectF AnnotationOverlay::tableRect() const {
    const TableAnnotation& t = m_owner.m_state.table;
    if (!t.show || t.rows <= 0 || t.columns <= 0 || m_owner.m_rects.empty())
        return {};
    const QFontMetricsF plain(tableFont(false));
    const QFontMetricsF bold(tableFont(true));
    return tableBox(tableColumns(
        [&](const QString& text, bool header) { return (header ? bold : plain).horizontalAdvance(text); }));
}

QRectF AnnotationOverlay::tableBox(const std::vector<double>& widths) const {
    const TableAnnotation& t = m_owner.m_state.table;
    const QSizeF size(std::accumulate(widths.begin(), widths.end(), 0.0), tableRowHeight() * t.rows);
    const QRectF a = m_owner.plottingArea();
    switch (t.location) {
    case TableTop:
        return QRectF(QPointF(a.center().x() - size.width() / 2, a.top() + 2), size);
    case TableBottom:
        return QRectF(QPointF(a.center().x() - size.width() / 2, a.bottom() - size.height() - 2), size);
    default:
        return QRectF(tableOrigin(t.x, t.y), size);
    }
}

void AnnotationOverlay::draw(QCPPainter* painter) {
    if (m_owner.m_rects.empty())
        return;
    drawLimitLines(painter);
    if (m_owner.m_state.settings.showVertLineAnnotations)
        drawLines(painter);
    if (m_owner.m_state.settings.showGraphAnnotations)
        drawAnnotations(painter);
    drawTable(painter);
}

void AnnotationOverlay::drawLines(QCPPainter* painter) const {
    const QRectF a = m_owner.plottingArea();
    painter->save();
    painter->setClipRect(a);
    painter->setFont(lineFont());
    for (const LineAnnotation& line : m_owner.m_state.lineAnnotations) {
        const double px = m_owner.graphToPixel(QPointF(line.x, 0), 0).x();
        if (!std::isfinite(px) || px < a.left() || px > a.right())
            continue;
        painter->setPen(QPen(line.color, 1));
        painter->drawLine(QPointF(px, a.top()), QPointF(px, a.bottom()));
        if (!line.text.isEmpty())
            painter->drawText(QPointF(px + 3, a.top() + painter->fontMetrics().ascent() + 2), line.text);
    }
    painter->restore();
}

void AnnotationOverlay::drawLimitLines(QCPPainter* painter) const {
    painter->save();
    painter->setFont(lineFont());
    for (const LimitLine& line : m_owner.m_limitLines) {
        const QCPGraph* graph = m_owner.graphOf(line.subset);
        if (graph == nullptr || graph->valueAxis() == nullptr)
            continue;
        const QCPAxis* axis = graph->valueAxis();
        const QRectF r = axis->axisRect()->rect();
        const double py = axis->coordToPixel(line.y);
        if (!std::isfinite(py) || py < r.top() || py > r.bottom())
            continue;
        painter->setClipRect(r);
        painter->setPen(QPen(line.color, 1, Qt::DashLine));
        painter->drawLine(QPointF(r.left(), py), QPointF(r.right(), py));
        if (!line.text.isEmpty()) {
            const double width = painter->fontMetrics().horizontalAdvance(line.text);
            painter->drawText(QPointF(r.right() - width - 4, py - 3), line.text);
        }
    }
    painter->restore();
}

void AnnotationOverlay::drawAnnotations(QCPPainter* painter) const {
    painter->save();
    painter->setClipRect(area());
    painter->setFont(annotationFont());
    const auto& list = m_owner.m_state.annotations;
    for (int i = 0; i < int(list.size()); ++i) {
        const GraphAnnotation& a = list[i];
        const QPointF p = annotationAnchor(i);
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        const QColor backing = backingFor(a.color, m_owner.m_state.settings.graphBackColor);
        if (backing.isValid()) {
            painter->setPen(QPen(backing, 4));
            if (a.type == AnnotationCross) {
                painter->drawLine(p + QPointF(-kCrossHalf, 0), p + QPointF(kCrossHalf, 0));
                painter->drawLine(p + QPointF(0, -kCrossHalf), p + QPointF(0, kCrossHalf));
            }
            if (!a.text.isEmpty())
                painter->fillRect(annotationTextRect(i).adjusted(-2, -1, 2, 1), backing);
        }
        painter->setPen(QPen(a.color, 1.5));
        if (a.type == AnnotationCross) {
            painter->drawLine(p + QPointF(-kCrossHalf, 0), p + QPointF(kCrossHalf, 0));
            painter->drawLine(p + QPointF(0, -kCrossHalf), p + QPointF(0, kCrossHalf));
        } else if (a.type == AnnotationDot) {
            painter->setBrush(a.color);
            painter->drawEllipse(p, 2.5, 2.5);
        }
        if (!a.text.isEmpty())
            painter->drawText(annotationTextRect(i), Qt::AlignLeft | Qt::AlignVCenter, displayText(a.text));
    }
    painter->restore();
}

void AnnotationOverlay::drawTable(QCPPainter* painter) const {
    const TableAnnotation& t = m_owner.m_state.table;
    if (tableRect().isEmpty())
        return;
    const QFont plain = tableFont(false);
    const QFont bold = tableFont(true);
    painter->save();
    // The texts measured as this painter lays them out: on a printer or in a PDF they can be
    // wider than on the screen.
    const std::vector<double> widths = tableColumns([&](const QString& text, bool header) {
        painter->setFont(header ? bold : plain);
        return painter->boundingRect(QRectF(), Qt::AlignLeft | Qt::AlignVCenter, text).width();
    });
    const QRectF box = tableBox(widths);
    const double rowHeight = tableRowHeight();
    painter->setPen(Qt::NoPen);
    painter->setBrush(t.backColor);
    painter->drawRect(box);
    switch (t.border) {
    case BorderLine:
        painter->setPen(QPen(m_owner.m_state.settings.textColor, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box);
        break;
    case BorderShadow:
        painter->setPen(QPen(QColor(0, 0, 0, 120), 3));
        painter->drawLine(box.topRight() + QPointF(2, 3), box.bottomRight() + QPointF(2, 2));
        painter->drawLine(box.bottomLeft() + QPointF(3, 2), box.bottomRight() + QPointF(2, 2));
        break;
    case BorderInset: // dark top and left edges, light bottom and right
        painter->setPen(QPen(QColor(96, 96, 96), 1));
        painter->drawLine(box.topLeft(), box.topRight());
        painter->drawLine(box.topLeft(), box.bottomLeft());
        painter->setPen(QPen(QColor(240, 240, 240), 1));
        painter->drawLine(box.bottomLeft(), box.bottomRight());
        painter->drawLine(box.topRight(), box.bottomRight());
        break;
    default:
        break;
    }
    for (int r = 0; r < t.rows; ++r) {
        double x = box.left();
        for (int c = 0; c < t.columns; ++c) {
            const bool header = r < t.headerRows || (c == 0 && t.headerColumn);
            painter->setFont(header ? bold : plain);
            painter->setPen(t.colors[t.cellIndex(r, c)]);
            const QRectF cell(x + kCellPadding, box.top() + r * rowHeight, widths[c] - 2 * kCellPadding,
                              rowHeight);
            painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, t.text[t.cellIndex(r, c)]);
            x += widths[c];
        }
    }
    painter->restore();
}

} // namespace thermo4::chart
