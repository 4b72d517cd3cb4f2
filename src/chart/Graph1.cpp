#include "chart/Graph1.h"

#include "chart/AnnotationOverlay.h"
#include "chart/CustomizeDialog.h"
#include "chart/DaysTicker.h"

#include <QGridLayout>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>

#include <cmath>

namespace thermo4::chart {

namespace {
constexpr double kSecondDays = 1.0 / 86400.0;
constexpr int kClickSlop = 3;          // pixels a press may move and still count as a click
constexpr double kHitRadius = 6.0;     // pixels around a point or mark that hit it
constexpr double kLineHitRadius = 4.0; // pixels either side of a line cursor
constexpr int kScrollSteps = 1000;
constexpr int kAxisEndMargin = 7; // pixels above and below each curve axis
const double kNaN = std::numeric_limits<double>::quiet_NaN();

const QColor kDefaultSubsetColors[] = {QColor(0, 0, 255),   QColor(0, 255, 255),  QColor(0, 255, 0),
                                       QColor(255, 0, 255), QColor(255, 0, 0),    QColor(255, 255, 0),
                                       QColor(0, 0, 0),     QColor(128, 128, 128)};

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

// Gives a range a width when its ends coincide, so the axis can still be drawn.
std::pair<double, double> widened(double lo, double hi, double pad) {
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {0.0, 1.0};
    if (lo == hi)
        return {lo - pad, hi + pad};
    return {lo, hi};
}
} // namespace

Graph1::Graph1(QWidget* parent) : QWidget(parent) {
    m_plot = new QCustomPlot(this);
    m_hScroll = new QScrollBar(Qt::Horizontal, this);
    m_vScroll = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {m_hScroll, m_vScroll}) {
        bar->setRange(0, 0);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, &Graph1::scrollBarMoved);
    }
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->addWidget(m_plot, 0, 0);
    grid->addWidget(m_vScroll, 0, 1);
    grid->addWidget(m_hScroll, 1, 0);

    m_plot->plotLayout()->clear(); // the default axis rect and legend; ours are built by resetImage
    m_plot->setAutoAddPlottableToLegend(false);
    m_plot->setMouseTracking(true);
    m_plot->setSelectionRectMode(QCP::srmNone);
    connect(m_plot->selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect& rect, QMouseEvent*) { zoomToPixelRect(rect); });
    connect(m_plot, &QCustomPlot::mousePress, this, &Graph1::handleMousePress);
    connect(m_plot, &QCustomPlot::mouseMove, this, &Graph1::handleMouseMove);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &Graph1::handleMouseRelease);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, &Graph1::handleMouseDoubleClick);

    m_daysTicker = QSharedPointer<DaysTicker>::create();
    m_numberTicker = QSharedPointer<QCPAxisTicker>::create();
    m_overlay = new AnnotationOverlay(m_plot, *this);

    for (int i = 0; i < int(std::size(kDefaultSubsetColors)); ++i)
        m_state.subsetStyle(i).color = kDefaultSubsetColors[i];
    m_series.resize(std::size_t(m_state.subsets));
    for (Series& s : m_series)
        s.data = QSharedPointer<QCPGraphDataContainer>::create();
    redraw();
}

Graph1::~Graph1() = default;

// ---------------------------------------------------------------- data

bool Graph1::setSubsets(int count) {
    if (!m_state.resizeData(count, m_state.points))
        return false;
    const std::size_t old = m_series.size();
    m_series.resize(std::size_t(count));
    for (std::size_t s = old; s < m_series.size(); ++s)
        m_series[s].data = QSharedPointer<QCPGraphDataContainer>::create();
    return true;
}

bool Graph1::setPoints(int count) {
    if (!m_state.resizeData(m_state.subsets, count))
        return false;
    for (Series& s : m_series) {
        if (count < s.plottedEnd) // plotted points were cut off
            s.rebuild = true;
        s.dirtyHigh = std::min(s.dirtyHigh, count - 1);
    }
    return true;
}

double Graph1::xDataII(int subset, int point) const {
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return 0.0;
    return m_state.x[subset][point];
}

float Graph1::yData(int subset, int point) const {
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return float(m_state.settings.nullDataValueY);
    return m_state.y[subset][point];
}

void Graph1::markDirty(int subset, int point) {
    Series& s = m_series[subset];
    s.dirtyLow = std::min(s.dirtyLow, point);
    s.dirtyHigh = std::max(s.dirtyHigh, point);
}

void Graph1::markAllDirty() {
    for (Series& s : m_series)
        s.rebuild = true;
}

template <class T>
void Graph1::writeCell(std::vector<std::vector<T>>& columns, int subset, int point, T value) {
    if (subset == -1) {
        for (auto& column : columns)
            std::fill(column.begin(), column.end(), value);
        markAllDirty();
        return;
    }
    if (subset < 0 || subset >= m_state.subsets || point < 0 || point >= m_state.points)
        return;
    columns[subset][point] = value;
    markDirty(subset, point);
}

template <class T> void Graph1::writeArray(std::vector<std::vector<T>>& columns, std::span<const T> values) {
    const std::size_t n = std::min(values.size(), std::size_t(m_state.subsets) * std::size_t(m_state.points));
    for (std::size_t j = 0; j < n; ++j) {
        if (m_state.settings.subsetByPoint)
            columns[j / m_state.points][j % m_state.points] = values[j];
        else
            columns[j % m_state.subsets][j / m_state.subsets] = values[j];
    }
    markAllDirty();
}

void Graph1::setXDataII(int subset, int point, double days) {
    writeCell(m_state.x, subset, point, days);
}

void Graph1::setYData(int subset, int point, float value) {
    writeCell(m_state.y, subset, point, value);
}

void Graph1::setXDataII(std::span<const double> values) {
    writeArray(m_state.x, values);
}

void Graph1::setYData(std::span<const float> values) {
    writeArray(m_state.y, values);
}

void Graph1::appendPoint(double days, std::span<const float> values) {
    const int point = m_state.points;
    if (!setPoints(point + 1))
        return;
    for (int s = 0; s < m_state.subsets; ++s) {
        setXDataII(s, point, days);
        setYData(s, point,
                 std::size_t(s) < values.size() ? values[s] : float(m_state.settings.nullDataValueY));
    }
}

void Graph1::setNullDataValueY(double value) {
    m_state.settings.nullDataValueY = value;
    markAllDirty();
}

void Graph1::setDateTimeMode(int mode) {
    m_state.settings.dateTimeMode = std::clamp(mode, 0, 1);
}

void Graph1::setLineGapThreshold(double days) {
    m_state.settings.lineGapThreshold = days;
    markAllDirty();
}

// ---------------------------------------------------------------- axes

void Graph1::setManualScaleControlX(int mode) {
    m_state.settings.manualScaleControlX = std::clamp(mode, int(ScaleAuto), int(ScaleManual));
}

void Graph1::setWorkingAxis(int axis) {
    m_state.settings.workingAxis = std::clamp(axis, 0, kMaxAxes - 1);
}

int Graph1::manualScaleControlY() const {
    const std::size_t a = std::size_t(m_state.settings.workingAxis);
    return a < m_state.axes.size() ? m_state.axes[a].manualScaleControlY : AxisState{}.manualScaleControlY;
}

void Graph1::setManualScaleControlY(int mode) {
    m_state.axis(m_state.settings.workingAxis).manualScaleControlY =
        std::clamp(mode, int(ScaleAuto), int(ScaleManual));
}

double Graph1::manualMinY() const {
    const std::size_t a = std::size_t(m_state.settings.workingAxis);
    return a < m_state.axes.size() ? m_state.axes[a].manualMinY : AxisState{}.manualMinY;
}

void Graph1::setManualMinY(double v) {
    m_state.axis(m_state.settings.workingAxis).manualMinY = v;
}

double Graph1::manualMaxY() const {
    const std::size_t a = std::size_t(m_state.settings.workingAxis);
    return a < m_state.axes.size() ? m_state.axes[a].manualMaxY : AxisState{}.manualMaxY;
}

void Graph1::setManualMaxY(double v) {
    m_state.axis(m_state.settings.workingAxis).manualMaxY = v;
}

QString Graph1::yAxisLabel() const {
    const std::size_t a = std::size_t(m_state.settings.workingAxis);
    return a < m_state.axes.size() ? m_state.axes[a].label : QString();
}

void Graph1::setYAxisLabel(const QString& text) {
    m_state.axis(m_state.settings.workingAxis).label = text;
}

int Graph1::multiAxesSubsets(int axis) const {
    return axis >= 0 && std::size_t(axis) < m_state.axes.size() ? m_state.axes[axis].subsets : 0;
}

void Graph1::setMultiAxesSubsets(int axis, int count) {
    count = std::clamp(count, 0, kMaxSubsets);
    if (axis == -1) {
        for (AxisState& a : m_state.axes)
            a.subsets = count;
    } else if (axis >= 0 && axis < kMaxAxes) {
        m_state.axis(axis).subsets = count;
    }
}

double Graph1::multiAxesProportions(int axis) const {
    return axis >= 0 && std::size_t(axis) < m_state.axes.size() ? m_state.axes[axis].proportion : 0.0;
}

void Graph1::setMultiAxesProportions(int axis, double share) {
    if (!std::isfinite(share))
        return;
    if (axis == -1) {
        for (AxisState& a : m_state.axes)
            a.proportion = share;
    } else if (axis >= 0 && axis < kMaxAxes) {
        m_state.axis(axis).proportion = share;
    }
}

void Graph1::setMultiAxesSeparators(int kind) {
    m_state.settings.multiAxesSeparators = std::clamp(kind, 0, 3);
}

// ---------------------------------------------------------------- look

QString Graph1::subsetLabel(int subset) const {
    return subset >= 0 && std::size_t(subset) < m_state.subsetStyles.size()
               ? m_state.subsetStyles[subset].label
               : QString();
}

void Graph1::setSubsetLabel(int subset, const QString& text) {
    if (subset >= 0 && subset < kMaxSubsets)
        m_state.subsetStyle(subset).label = text;
}

QColor Graph1::subsetColor(int subset) const {
    return subset >= 0 && std::size_t(subset) < m_state.subsetStyles.size()
               ? m_state.subsetStyles[subset].color
               : SubsetStyle{}.color;
}

void Graph1::setSubsetColor(int subset, const QColor& color) {
    if (subset >= 0 && subset < kMaxSubsets && color.isValid())
        m_state.subsetStyle(subset).color = color;
}

double Graph1::subsetLineWidth(int subset) const {
    return subset >= 0 && std::size_t(subset) < m_state.subsetStyles.size()
               ? m_state.subsetStyles[subset].lineWidth
               : SubsetStyle{}.lineWidth;
}

void Graph1::setSubsetLineWidth(int subset, double pixels) {
    if (subset >= 0 && subset < kMaxSubsets && pixels >= 0.0 && pixels <= 100.0)
        m_state.subsetStyle(subset).lineWidth = pixels;
}

void Graph1::setGridStyle(int style) {
    m_state.settings.gridStyle = std::clamp(style, int(GridSolid), int(GridNone));
}

QFont Graph1::graphFont() const {
    const QString family =
        m_state.settings.fontFamily.isEmpty() ? font().family() : m_state.settings.fontFamily;
    return QFont(family, m_state.settings.fontSize);
}

void Graph1::setGraphFont(const QFont& f) {
    m_state.settings.fontFamily = f.family();
    if (f.pointSize() > 0)
        m_state.settings.fontSize = std::clamp(f.pointSize(), 1, 200);
}

double Graph1::textScale(int percent) const {
    constexpr double kSmallestReadable = 7.0; // points
    return std::max(kSmallestReadable, m_state.settings.fontSize * percent / 100.0);
}

// ---------------------------------------------------------------- behaviour

void Graph1::setAllowZooming(int mode) {
    m_state.settings.allowZooming = std::clamp(mode, int(ZoomNone), int(ZoomBoth));
}

void Graph1::setArrowCursor(int kind) {
    m_state.settings.arrowCursor = std::clamp(kind, 0, 3);
    m_customCursor.reset();
    applyCursor();
}

void Graph1::setArrowCursor(const QCursor& cursor) {
    m_customCursor = cursor;
    applyCursor();
}

void Graph1::applyCursor() {
    if (m_customCursor) {
        m_plot->setCursor(*m_customCursor);
        return;
    }
    switch (m_state.settings.arrowCursor) {
    case 2:
        m_plot->setCursor(Qt::IBeamCursor);
        break;
    case 3:
        m_plot->setCursor(Qt::CrossCursor);
        break;
    default:
        m_plot->setCursor(Qt::ArrowCursor);
        break;
    }
}

// ---------------------------------------------------------------- annotations

const GraphAnnotation& Graph1::annotation(int index) const {
    static const GraphAnnotation kNone;
    return index >= 0 && std::size_t(index) < m_state.annotations.size() ? m_state.annotations[index] : kNone;
}

namespace {
// Element `index` of a list that grows on demand up to `cap` entries; null beyond.
template <class T> T* grownTo(std::vector<T>& list, int index, int cap) {
    if (index < 0 || index >= cap)
        return nullptr;
    if (list.size() <= std::size_t(index))
        list.resize(std::size_t(index) + 1);
    return &list[std::size_t(index)];
}
} // namespace

GraphAnnotation* Graph1::annotationForWrite(int index) {
    return grownTo(m_state.annotations, index, kMaxGraphAnnotations);
}

void Graph1::setGraphAnnotationX(int index, double x) {
    if (auto* a = annotationForWrite(index))
        a->x = x;
}

void Graph1::setGraphAnnotationY(int index, double y) {
    if (auto* a = annotationForWrite(index))
        a->y = y;
}

void Graph1::setGraphAnnotationType(int index, int type) {
    if (auto* a = annotationForWrite(index))
        a->type = type;
}

void Graph1::setGraphAnnotationText(int index, const QString& text) {
    if (auto* a = annotationForWrite(index))
        a->text = text;
}

void Graph1::setGraphAnnotationColor(int index, const QColor& color) {
    if (auto* a = annotationForWrite(index); a && color.isValid())
        a->color = color;
}

void Graph1::setGraphAnnotationTextSize(int percent) {
    m_state.settings.graphAnnotationTextSize = std::clamp(percent, 1, 1000);
}

void Graph1::setLineAnnotationTextSize(int percent) {
    m_state.settings.lineAnnotationTextSize = std::clamp(percent, 1, 1000);
}

LineAnnotation* Graph1::lineForWrite(int index) {
    return grownTo(m_state.lineAnnotations, index, kMaxLineAnnotations);
}

double Graph1::vertLineAnnotation(int index) const {
    return index >= 0 && std::size_t(index) < m_state.lineAnnotations.size()
               ? m_state.lineAnnotations[index].x
               : 0.0;
}

void Graph1::setVertLineAnnotation(int index, double x) {
    if (auto* l = lineForWrite(index))
        l->x = x;
}

QColor Graph1::vertLineAnnotationColor(int index) const {
    return index >= 0 && std::size_t(index) < m_state.lineAnnotations.size()
               ? m_state.lineAnnotations[index].color
               : LineAnnotation{}.color;
}

void Graph1::setVertLineAnnotationColor(int index, const QColor& color) {
    if (auto* l = lineForWrite(index); l && color.isValid())
        l->color = color;
}

QString Graph1::vertLineAnnotationText(int index) const {
    return index >= 0 && std::size_t(index) < m_state.lineAnnotations.size()
               ? m_state.lineAnnotations[index].text
               : QString();
}

void Graph1::setVertLineAnnotationText(int index, const QString& text) {
    if (auto* l = lineForWrite(index))
        l->text = text;
}

// ---------------------------------------------------------------- table annotation

void Graph1::setTARows(int rows) {
    m_state.table.resize(rows, m_state.table.columns);
}

void Graph1::setTAColumns(int columns) {
    m_state.table.resize(m_state.table.rows, columns);
}

QString Graph1::TAText(int row, int column) const {
    return m_state.table.contains(row, column) ? m_state.table.text[m_state.table.cellIndex(row, column)]
                                               : QString();
}

void Graph1::setTAText(int row, int column, const QString& text) {
    if (m_state.table.contains(row, column))
        m_state.table.text[m_state.table.cellIndex(row, column)] = text;
}

QColor Graph1::TAColor(int row, int column) const {
    return m_state.table.contains(row, column) ? m_state.table.colors[m_state.table.cellIndex(row, column)]
                                               : QColor(Qt::black);
}

void Graph1::setTAColor(int row, int column, const QColor& color) {
    if (m_state.table.contains(row, column) && color.isValid())
        m_state.table.colors[m_state.table.cellIndex(row, column)] = color;
}

void Graph1::setTAX(int thousandths) {
    m_state.table.x = std::clamp(thousandths, -100000, 100000);
}

void Graph1::setTAY(int thousandths) {
    m_state.table.y = std::clamp(thousandths, -100000, 100000);
}

void Graph1::setTABorder(int border) {
    m_state.table.border = std::clamp(border, int(BorderNone), int(BorderInset));
}

void Graph1::setTATextSize(int percent) {
    m_state.table.textSize = std::clamp(percent, 1, 1000);
}

QRectF Graph1::tableAnnotationRect() const {
    return m_overlay->tableRect();
}

// ---------------------------------------------------------------- actions

void Graph1::performAction(Action action) {
    switch (action) {
    case ResetImage:
        resetImage();
        break;
    case InvalidateImage:
        invalidateImage();
        break;
    case ReinitAndReset:
        reinitAndReset();
        break;
    case Customize:
        customize();
        break;
    case UndoZoom:
        undoZoom();
        break;
    case PrintDialog:
        printDialog();
        break;
    }
}

void Graph1::resetImage() {
    const Layout layout = computeLayout();
    if (!m_layout || *m_layout != layout) {
        rebuildLayout(layout);
        m_layout = layout;
        m_zoom.reset();
        m_zoomStack.clear();
    }
    for (int s = 0; s < m_state.subsets; ++s)
        syncSeries(s);
    applyLook();
    applyRanges();
    updateScrollBars();
}

void Graph1::invalidateImage() {
    m_plot->replot(QCustomPlot::rpQueuedRefresh);
}

void Graph1::redraw() {
    resetImage();
    invalidateImage();
}

void Graph1::reinitAndReset() {
    m_layout.reset();
    markAllDirty();
    redraw();
}

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

std::unique_ptr<CustomizeDialog> Graph1::createCustomizeDialog(QWidget* parent) const {
    return std::make_unique<CustomizeDialog>(m_state, std::max(1, axisRectCount()), parent);
}

void Graph1::applyCustomizeDialog(const CustomizeDialog& dialog) {
    dialog.applyTo(m_state);
    m_dialogResult = 1;
    applyCursor();
    redraw();
}

void Graph1::customize() {
    m_dialogResult = 0;
    const auto dialog = createCustomizeDialog(this);
    if (runDialog(*dialog) == QDialog::Accepted)
        applyCustomizeDialog(*dialog);
    emit onCustomizeDlg();
}

void Graph1::printDialog() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (runDialog(dialog) == QDialog::Accepted)
        print(printer);
}

int Graph1::runDialog(QDialog& dialog) {
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

// ---------------------------------------------------------------- layout and drawing objects

Graph1::Layout Graph1::computeLayout() const {
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
    if (l.axisOfRect.empty()) { // single view: every subset on axis 0
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

// ---------------------------------------------------------------- plotted data

void Graph1::Series::include(double key, double value) {
    minKey = hasKeys ? std::min(minKey, key) : key;
    maxKey = hasKeys ? std::max(maxKey, key) : key;
    hasKeys = true;
    if (std::isfinite(value)) {
        minValue = hasValues ? std::min(minValue, value) : value;
        maxValue = hasValues ? std::max(maxValue, value) : value;
        hasValues = true;
    }
}

std::optional<QCPGraphData> Graph1::plottedPoint(int subset, int point) const {
    const double key = m_state.x[subset][point];
    const float y = m_state.y[subset][point];
    const float null = float(m_state.settings.nullDataValueY);
    if ((key == 0.0 && y == null) || !std::isfinite(key)) // never written, or no place in time
        return std::nullopt;
    return QCPGraphData(key, y == null ? kNaN : double(y));
}

void Graph1::syncSeries(int subset) {
    Series& ser = m_series[subset];
    const double gap = m_state.settings.lineGapThreshold;
    if (!ser.rebuild && ser.dirtyHigh >= 0 && ser.dirtyLow >= ser.plottedEnd) {
        // Only points after the last plotted one changed: append them when they keep the order.
        for (int i = ser.dirtyLow; i <= ser.dirtyHigh && i < m_state.points; ++i) {
            const auto point = plottedPoint(subset, i);
            if (!point)
                continue;
            const double key = point->key;
            if (!ser.data->isEmpty()) {
                const double last = (ser.data->constEnd() - 1)->key;
                if (key < last) {
                    ser.rebuild = true;
                    break;
                }
                if (key - last > gap)
                    ser.data->add(QCPGraphData(last + (key - last) / 2, kNaN));
            }
            ser.data->add(*point);
            ser.plottedEnd = i + 1;
            ser.include(key, point->value);
        }
    } else if (ser.dirtyHigh >= 0 && ser.dirtyLow < ser.plottedEnd) {
        ser.rebuild = true;
    }
    if (ser.rebuild)
        rebuildSeries(subset);
    ser.rebuild = false;
    ser.dirtyLow = std::numeric_limits<int>::max();
    ser.dirtyHigh = -1;
}

void Graph1::rebuildSeries(int subset) {
    Series& ser = m_series[subset];
    const double gap = m_state.settings.lineGapThreshold;
    QVector<QCPGraphData> plotted;
    plotted.reserve(m_state.points);
    bool sorted = true;
    ser.plottedEnd = 0;
    ser.hasKeys = ser.hasValues = false;
    double last = 0.0;
    for (int i = 0; i < m_state.points; ++i) {
        const auto point = plottedPoint(subset, i);
        if (!point)
            continue;
        const double key = point->key;
        if (!plotted.isEmpty()) {
            if (key < last)
                sorted = false;
            else if (key - last > gap)
                plotted.append(QCPGraphData(last + (key - last) / 2, kNaN));
        }
        plotted.append(*point);
        last = key;
        ser.plottedEnd = i + 1;
        ser.include(key, point->value);
    }
    ser.data->set(plotted, sorted);
}

// ---------------------------------------------------------------- scales and zoom

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
    const std::size_t a = std::size_t(m_layout->axisOfRect[rect]);
    const AxisState axis = a < m_state.axes.size() ? m_state.axes[a] : AxisState{};
    double lo = 0, hi = 0;
    bool any = false;
    for (int s = 0; s < m_state.subsets; ++s) {
        const Series& ser = m_series[s];
        if (m_layout->rectOfSubset[s] != rect || !ser.hasValues)
            continue;
        lo = any ? std::min(lo, ser.minValue) : ser.minValue;
        hi = any ? std::max(hi, ser.maxValue) : ser.maxValue;
        any = true;
    }
    if (any) { // a little room above and below the automatic range
        const double pad = (hi - lo) * 0.05;
        lo -= pad;
        hi += pad;
    } else {
        lo = 0, hi = 100;
    }
    if (axis.manualScaleControlY == ScaleManual || axis.manualScaleControlY == ScaleManualMin)
        lo = axis.manualMinY;
    if (axis.manualScaleControlY == ScaleManual || axis.manualScaleControlY == ScaleManualMax)
        hi = axis.manualMaxY;
    return widened(lo, hi, 0.5);
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

// ---------------------------------------------------------------- pointer queries

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
        return {kNaN, kNaN};
    return {rect->axis(QCPAxis::atBottom)->coordToPixel(value.x()),
            rect->axis(QCPAxis::atLeft)->coordToPixel(value.y())};
}

// ---------------------------------------------------------------- mouse

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

// ---------------------------------------------------------------- whole state

QByteArray Graph1::storeState() const {
    return serializeGraphState(m_state);
}

bool Graph1::loadState(const QByteArray& block, QString* error) {
    GraphState loaded;
    if (!parseGraphState(block, loaded, error))
        return false;
    m_state = std::move(loaded);
    m_series.assign(std::size_t(m_state.subsets), Series{});
    for (Series& s : m_series)
        s.data = QSharedPointer<QCPGraphDataContainer>::create();
    m_layout.reset(); // graphs must be tied to the new containers
    m_customCursor.reset();
    applyCursor();
    return true;
}

// ---------------------------------------------------------------- output

void Graph1::print(QPrinter& printer) {
    resetImage();
    QCPPainter painter(&printer);
    if (!painter.isActive())
        return;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int width = std::max(m_plot->width(), 600);
    const int height = std::max(m_plot->height(), 400);
    const double scale = std::min(page.width() / width, page.height() / height);
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.scale(scale, scale);
    m_plot->toPainter(&painter, width, height);
}

bool Graph1::savePng(const QString& path, int width, int height) {
    resetImage();
    return m_plot->savePng(path, width, height);
}

bool Graph1::savePdf(const QString& path, int width, int height) {
    resetImage();
    return m_plot->savePdf(path, width, height);
}

} // namespace thermo4::chart
