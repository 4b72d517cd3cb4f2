#include "chart/Graph1.h"

#include "chart/AnnotationOverlay.h"
#include "chart/ChartPlot.h"
#include "chart/CustomizeDialog.h"
#include "chart/DaysTicker.h"
#include "chart/GraphPrinter.h"
#include "chart/PdfPrintout.h"

#include "formats/SafeFileWriter.h"

#include <QBuffer>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>

#include <cmath>

// The control's construction, its properties, actions, dialogs, whole state and output. The data
// arrays, the QCustomPlot layout, scales and zoom, and the mouse live in the Graph1*.cpp beside it.

namespace thermo4::chart {

namespace {
const QColor kDefaultSubsetColors[] = {QColor(0, 0, 255),   QColor(0, 255, 255),  QColor(0, 255, 0),
                                       QColor(255, 0, 255), QColor(255, 0, 0),    QColor(255, 255, 0),
                                       QColor(0, 0, 0),     QColor(128, 128, 128)};
} // namespace

Graph1::Graph1(QWidget* parent) : QWidget(parent) {
    auto* plot = new ChartPlot(this);
    plot->setAfterLayout([this] { return fitViewToHeight(); });
    m_plot = plot;
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

bool Graph1::holdRangeY() const {
    const std::size_t a = std::size_t(m_state.settings.workingAxis);
    return a < m_state.axes.size() && m_state.axes[a].holdRange;
}

void Graph1::setHoldRangeY(bool hold) {
    m_state.axis(m_state.settings.workingAxis).holdRange = hold;
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

void Graph1::setLimitLines(std::vector<LimitLine> lines) {
    if (lines == m_limitLines)
        return;
    m_limitLines = std::move(lines);
    invalidateImage();
}

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
    const Layout layout = computeLayout(m_compactView);
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
    QPageLayout page = printer.pageLayout();
    OrientPageForGraph(page, size());
    printer.setPageLayout(page);
    QPrintDialog dialog(&printer, this);
    if (runDialog(dialog) == QDialog::Accepted)
        print(printer);
}

int Graph1::runDialog(QDialog& dialog) {
    return m_dialogRunner ? m_dialogRunner(dialog) : dialog.exec();
}

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

void Graph1::print(QPrinter& printer) {
    PrintGraph(printer, *this, GraphPrintTextsOf(*this, QString(), QLocale()));
}

QByteArray Graph1::pngBytes(int width, int height) {
    resetImage();
    const QPixmap pixmap = m_plot->toPixmap(width, height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (pixmap.isNull() || !buffer.open(QIODevice::WriteOnly) || !pixmap.save(&buffer, "PNG"))
        return {};
    return bytes;
}

QByteArray Graph1::pdfBytes(int width, int height) {
    resetImage();
    if (width <= 0 || height <= 0)
        return {};
    constexpr int kDpi = 96; // the resolution the screen and pngBytes lay fonts out at
    const QSizeF points(width * 72.0 / kDpi, height * 72.0 / kDpi);
    const QPageLayout page(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF());
    return PdfPrintout(page, kDpi, QString(), [&](QPagedPaintDevice& device) {
        QCPPainter painter(&device);
        if (!painter.isActive())
            return false;
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        m_plot->toPainter(&painter, width, height);
        return painter.end();
    });
}

namespace {
bool saveBytes(const QString& path, const QByteArray& bytes, QString* error) {
    const QString why = bytes.isEmpty() ? QStringLiteral("Cannot draw the graph for \"%1\".").arg(path)
                                        : formats::WriteFileSafely(path, bytes);
    if (error)
        *error = why;
    return why.isEmpty();
}
} // namespace

bool Graph1::savePng(const QString& path, int width, int height, QString* error) {
    return saveBytes(
        path, pngBytes(width > 0 ? width : m_plot->width(), height > 0 ? height : m_plot->height()), error);
}

bool Graph1::savePdf(const QString& path, int width, int height, QString* error) {
    return saveBytes(
        path, pdfBytes(width > 0 ? width : m_plot->width(), height > 0 ? height : m_plot->height()), error);
}

} // namespace thermo4::chart
