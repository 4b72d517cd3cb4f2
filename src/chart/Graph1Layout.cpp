#include "chart/Graph1.h"

#include "chart/DaysTicker.h"
#include "chart/ValueTicker.h"

// Graph1: the layout of titles, legend and split axes in QCustomPlot, and the look applied to it.

namespace thermo4::chart {

namespace {
constexpr int kAxisEndMargin = 7; // pixels above and below each curve axis

QPen gridPen(int style, const QColor& color) {
    switch (style) {
    case GridThick:
        return QPen(color, 2, Qt::SolidLine);
    case GridDotted:
        return QPen(color, 1, Qt::DotLine);
    case GridDashed:
        return QPen(color, 1, Qt::DashLine);
    case GridNone:
        return QPen(Qt::NoPen);
    default:
        return QPen(color, 0, Qt::SolidLine);
    }
}

int separatorPixels(int kind) {
    static constexpr int kPixels[] = {0, 3, 6, 10};
    return kPixels[std::clamp(kind, 0, 3)];
}

// Stacks the curve axes so that their plotting areas, not their outer boxes, share the height
// in the given proportions; the last row holds the time axis at its own height.
class AxesGrid : public QCPLayoutGrid {
public:
    explicit AxesGrid(std::vector<double> proportions) : m_proportions(std::move(proportions)) {
        double sum = 0;
        for (double p : m_proportions)
            sum += p;
        for (double& p : m_proportions)
            p /= sum;
    }

protected:
    void updateLayout() override {
        const int n = int(m_proportions.size());
        if (rowCount() != n + 1) {
            QCPLayoutGrid::updateLayout();
            return;
        }
        // Auto margins are known here: QCustomPlot computes them before the layout pass.
        const auto marginHeight = [](QCPLayoutElement* e) {
            return e ? e->margins().top() + e->margins().bottom() : 0;
        };
        double margins = 0;
        for (int r = 0; r < n; ++r)
            margins += marginHeight(element(r, 0));
        const double available = mRect.height() - marginHeight(element(n, 0)) - mRowSpacing * n;
        const double inner = std::max(0.0, available - margins);
        for (int r = 0; r < n; ++r)
            setRowStretchFactor(r, std::max(1e-6, m_proportions[r] * inner + marginHeight(element(r, 0))));
        setRowStretchFactor(n, 1e-6);
        QCPLayoutGrid::updateLayout();
    }

private:
    std::vector<double> m_proportions;
};
} // namespace

Graph1::Layout Graph1::computeLayout(bool compact) const {
    Layout l;
    const int n = m_state.subsets;
    l.subsets = n;
    l.rectOfSubset.assign(std::size_t(n), 0);
    int next = 0;
    for (std::size_t a = 0; a < m_state.axes.size() && next < n; ++a) {
        const int count = m_state.axes[a].subsets;
        if (count <= 0)
            continue;
        const int rect = int(l.axisOfRect.size());
        l.axisOfRect.push_back(int(a));
        l.stretch.push_back(m_state.axes[a].proportion);
        for (int k = 0; k < count && next < n; ++k)
            l.rectOfSubset[next++] = rect;
    }
    if (l.axisOfRect.empty() || (compact && l.axisOfRect.size() > 1)) { // single view: all on axis 0
        l.axisOfRect = {0};
        l.stretch = {1.0};
        std::fill(l.rectOfSubset.begin(), l.rectOfSubset.end(), 0);
    } else {
        for (; next < n; ++next) // subsets no axis claims share the last axis
            l.rectOfSubset[next] = int(l.axisOfRect.size()) - 1;
    }
    for (double& s : l.stretch) {
        if (!(s > 0.0))
            s = 1.0 / double(l.stretch.size());
    }
    l.separators = separatorPixels(m_state.settings.multiAxesSeparators);
    l.mainTitle = !m_state.settings.mainTitle.trimmed().isEmpty();
    l.subTitle = !m_state.settings.subTitle.trimmed().isEmpty();
    l.legend = m_state.settings.showLegend && n > 0;
    return l;
}

void Graph1::rebuildLayout(const Layout& layout) {
    m_plot->clearGraphs();
    m_graphs.clear();
    m_plot->plotLayout()->clear();
    delete m_marginGroup;
    m_rects.clear();
    m_axesGrid = nullptr;
    m_timeRect = nullptr;
    m_mainTitle = m_subTitle = nullptr;
    m_legend = nullptr;

    QCPLayoutGrid* top = m_plot->plotLayout();
    int row = 0;
    if (layout.mainTitle) {
        m_mainTitle = new QCPTextElement(m_plot);
        top->addElement(row++, 0, m_mainTitle);
    }
    if (layout.subTitle) {
        m_subTitle = new QCPTextElement(m_plot);
        top->addElement(row++, 0, m_subTitle);
    }
    if (layout.legend) {
        m_legend = new QCPLegend;
        top->addElement(row++, 0, m_legend);
        m_legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        m_legend->setWrap(0);
        m_legend->setLayer(QStringLiteral("legend"));
        m_legend->setMargins(QMargins(4, 2, 4, 2));
    }
    auto* axes = new AxesGrid(layout.stretch);
    top->addElement(row, 0, axes);
    m_axesGrid = axes;
    for (int r = 0; r < row; ++r)
        top->setRowStretchFactor(r, 0.001);
    axes->setRowSpacing(layout.separators);

    m_marginGroup = new QCPMarginGroup(m_plot);
    const int count = int(layout.axisOfRect.size());
    for (int r = 0; r < count; ++r) {
        auto* rect = new QCPAxisRect(m_plot, true);
        axes->addElement(r, 0, rect);
        rect->setMarginGroup(QCP::msLeft | QCP::msRight, m_marginGroup);
        // No tick labels above or below a curve axis: a small fixed margin leaves room for
        // the half of the end labels of the value axis that reaches past the plotting area.
        rect->setAutoMargins(QCP::msLeft | QCP::msRight);
        rect->setMargins(QMargins(0, kAxisEndMargin, 0, kAxisEndMargin));
        rect->setRangeDrag(Qt::Orientations());
        rect->setRangeZoom(Qt::Orientations());
        for (auto type : {QCPAxis::atTop, QCPAxis::atRight}) {
            rect->axis(type)->setVisible(true);
            rect->axis(type)->setTicks(false);
            rect->axis(type)->setTickLabels(false);
        }
        rect->axis(QCPAxis::atBottom)->setTickLabels(false);
        QCPAxis* value = rect->axis(QCPAxis::atLeft);
        value->setTicker(QSharedPointer<ValueTicker>::create(value));
        m_rects.push_back(rect);
    }
    // The time labels sit on an axis of zero height below the last curve axis, so that every
    // curve axis has the same margins and the split axes get equal plotting heights.
    m_timeRect = new QCPAxisRect(m_plot, true);
    axes->addElement(count, 0, m_timeRect);
    m_timeRect->setMinimumSize(0, 0); // axis rects ask for 50 × 50 px by default
    m_timeRect->setMaximumSize(QWIDGETSIZE_MAX, 0);
    m_timeRect->setMarginGroup(QCP::msLeft | QCP::msRight, m_marginGroup);
    m_timeRect->setAutoMargins(QCP::msLeft | QCP::msRight | QCP::msBottom);
    m_timeRect->setMargins(QMargins());
    m_timeRect->setRangeDrag(Qt::Orientations());
    m_timeRect->setRangeZoom(Qt::Orientations());
    for (auto type : {QCPAxis::atLeft, QCPAxis::atTop, QCPAxis::atRight})
        m_timeRect->axis(type)->setVisible(false);
    m_timeRect->axis(QCPAxis::atBottom)->grid()->setVisible(false);
    m_timeRect->axis(QCPAxis::atLeft)->grid()->setVisible(false);

    for (int s = 0; s < layout.subsets; ++s) {
        QCPAxisRect* rect = m_rects[layout.rectOfSubset[s]];
        auto* g = new QCPGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        g->setData(m_series[s].data);
        if (m_legend)
            g->addToLegend(m_legend);
        m_graphs.push_back(g);
    }
}

bool Graph1::splitFits(const Layout& split) const {
    const int n = int(split.axisOfRect.size());
    const double height = m_axesGrid ? m_axesGrid->rect().height() : 0.0;
    if (n < 2 || height <= 0.0)
        return true; // nothing to split, or not laid out yet
    // The curve axes share what the time axis, the gaps between axes and their end margins
    // leave, as AxesGrid shares it.
    const QMargins time = m_timeRect ? m_timeRect->margins() : QMargins();
    const double inner =
        height - time.top() - time.bottom() - double(split.separators) * n - double(n) * 2 * kAxisEndMargin;
    double shares = 0;
    for (double s : split.stretch)
        shares += s;
    const double spacing = QFontMetricsF(graphFont()).height() + ValueTicker::kLabelGap;
    for (int r = 0; r < n; ++r) {
        const auto [lo, hi] = yRangeOf(split, r);
        const double length = inner * split.stretch[std::size_t(r)] / shares;
        if (length <= 0.0 || ValueTicker::labelsOn(QCPRange(lo, hi), length, spacing) < kMinAxisLabels)
            return false;
    }
    return true;
}

bool Graph1::fitViewToHeight() {
    // A control not on the screen has no size of its own: its view waits until it is shown, or
    // is drawn into a picture of a given size.
    if (!m_plot->isVisible() && m_plot->viewport() == m_plot->rect())
        return false;
    const bool compact = !splitFits(computeLayout(false));
    if (compact == m_compactView)
        return false;
    m_compactView = compact;
    resetImage();
    return true;
}

QCPGraph* Graph1::graphOf(int subset) const {
    return subset >= 0 && std::size_t(subset) < m_graphs.size() ? m_graphs[subset] : nullptr;
}

QCPAxisRect* Graph1::axisRect(int index) const {
    return index >= 0 && std::size_t(index) < m_rects.size() ? m_rects[index] : nullptr;
}

void Graph1::applyLook() {
    const GraphSettings& s = m_state.settings;
    const QFont base = graphFont();
    m_plot->setBackground(s.deskColor);
    if (m_mainTitle) {
        QFont f = base;
        f.setPointSizeF(textScale(140));
        f.setBold(true);
        m_mainTitle->setFont(f);
        m_mainTitle->setTextColor(s.textColor);
        m_mainTitle->setText(s.mainTitle);
    }
    if (m_subTitle) {
        QFont f = base;
        f.setPointSizeF(textScale(115));
        m_subTitle->setFont(f);
        m_subTitle->setTextColor(s.textColor);
        m_subTitle->setText(s.subTitle);
    }
    if (m_legend) {
        m_legend->setFont(base);
        m_legend->setTextColor(s.textColor);
        m_legend->setBrush(Qt::NoBrush);
        m_legend->setBorderPen(Qt::NoPen);
    }
    const QSharedPointer<QCPAxisTicker> ticker = s.dateTimeMode == 1 ? m_daysTicker : m_numberTicker;
    const QPen fore(s.graphForeColor, 0);
    const auto styleAxis = [&](QCPAxis* axis) {
        axis->setBasePen(fore);
        axis->setTickPen(fore);
        axis->setSubTickPen(fore);
        axis->setTickLabelFont(base);
        axis->setTickLabelColor(s.textColor);
        axis->setLabelFont(base);
        axis->setLabelColor(s.textColor);
        axis->grid()->setPen(gridPen(s.gridStyle, s.graphForeColor));
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(Qt::NoPen); // the zero line looks like any other grid line
    };
    for (std::size_t r = 0; r < m_rects.size(); ++r) {
        QCPAxisRect* rect = m_rects[r];
        rect->setBackground(QBrush(s.graphBackColor));
        for (QCPAxis* axis : rect->axes())
            styleAxis(axis);
        rect->axis(QCPAxis::atBottom)->setTicker(ticker);
        rect->axis(QCPAxis::atTop)->setTicker(ticker);
        const std::size_t a = std::size_t(m_layout ? m_layout->axisOfRect[r] : 0);
        rect->axis(QCPAxis::atLeft)->setLabel(a < m_state.axes.size() ? m_state.axes[a].label : QString());
    }
    if (m_timeRect) {
        QCPAxis* time = m_timeRect->axis(QCPAxis::atBottom);
        styleAxis(time);
        time->setTicker(ticker);
        time->setLabel(s.xAxisLabel);
        time->grid()->setVisible(false);
    }
    for (std::size_t k = 0; k < m_graphs.size(); ++k) {
        const SubsetStyle style = k < m_state.subsetStyles.size() ? m_state.subsetStyles[k] : SubsetStyle{};
        m_graphs[k]->setPen(QPen(style.color, style.lineWidth));
        m_graphs[k]->setName(style.label);
    }
    applyCursor();
}
} // namespace thermo4::chart
