#pragma once

#include "chart/GraphState.h"

#include <qcustomplot.h>

#include <QCursor>
#include <QWidget>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>

class QDialog;
class QPrinter;
class QScrollBar;
class QMouseEvent;

namespace thermo4::chart {

class AnnotationOverlay;
class CustomizeDialog;

/// A horizontal line at a value on the axis of a subset's curve, such as an alarm limit.
struct LimitLine {
    int subset = 0;
    double y = 0.0;
    QColor color = Qt::red;
    /// Drawn at the line's right end; may be empty.
    QString text;
    bool operator==(const LimitLine&) const = default;
};

/// The scientific-graph control of every graph window: holds subsets of points (X in days,
/// Y in °C or °F), scales, split axes, annotations and a table, draws them through QCustomPlot,
/// zooms, customizes, prints, and stores or loads its whole state as one byte block.
class Graph1 : public QWidget {
    Q_OBJECT
public:
    /// Named actions, as the windows request them.
    enum Action { ResetImage, InvalidateImage, ReinitAndReset, Customize, UndoZoom, PrintDialog };

    explicit Graph1(QWidget* parent = nullptr);
    ~Graph1() override;

    // Size and data
    int subsets() const { return m_state.subsets; }
    /// Number of curves (0 to kMaxSubsets); existing data are kept. False when out of range.
    bool setSubsets(int count);
    int points() const { return m_state.points; }
    /// Points per curve (0 to kMaxPoints); existing points are kept, new ones are blank.
    bool setPoints(int count);

    /// X of a cell in days; 0 outside the graph.
    double xDataII(int subset, int point) const;
    /// Writes X; subset −1 writes every cell of every subset. Writes outside the graph are ignored.
    void setXDataII(int subset, int point, double days);
    /// Y of a cell; the null value outside the graph.
    float yData(int subset, int point) const;
    /// Writes Y; subset −1 writes every cell of every subset.
    void setYData(int subset, int point, float value);
    /// Double-precision Y write, kept at single precision as every Y is.
    void setYDataII(int subset, int point, double value) { setYData(subset, point, float(value)); }
    /// Whole-array writes, point by point (subsets of point 0, then of point 1...) unless
    /// SubsetByPoint is on (all points of subset 0 first). Values beyond the graph are dropped.
    void setXDataII(std::span<const double> values);
    void setYData(std::span<const float> values);
    /// Appends one point to every subset: X in days and one Y per subset (missing Y: null).
    void appendPoint(double days, std::span<const float> values);

    double nullDataValueY() const { return m_state.settings.nullDataValueY; }
    void setNullDataValueY(double value);
    bool subsetByPoint() const { return m_state.settings.subsetByPoint; }
    void setSubsetByPoint(bool on) { m_state.settings.subsetByPoint = on; }
    bool usingXDataII() const { return m_state.settings.usingXDataII; }
    void setUsingXDataII(bool on) { m_state.settings.usingXDataII = on; }
    int dateTimeMode() const { return m_state.settings.dateTimeMode; }
    void setDateTimeMode(int mode);
    double lineGapThreshold() const { return m_state.settings.lineGapThreshold; }
    void setLineGapThreshold(double days);

    // Axes
    int manualScaleControlX() const { return m_state.settings.manualScaleControlX; }
    void setManualScaleControlX(int mode);
    double manualMinX() const { return m_state.settings.manualMinX; }
    void setManualMinX(double v) { m_state.settings.manualMinX = v; }
    double manualMaxX() const { return m_state.settings.manualMaxX; }
    void setManualMaxX(double v) { m_state.settings.manualMaxX = v; }
    int workingAxis() const { return m_state.settings.workingAxis; }
    void setWorkingAxis(int axis);
    /// Y scale of the working axis.
    int manualScaleControlY() const;
    void setManualScaleControlY(int mode);
    double manualMinY() const;
    void setManualMinY(double v);
    double manualMaxY() const;
    void setManualMaxY(double v);
    /// Whether the manual Y range of the working axis holds when data lie outside it (a range the
    /// user chose); otherwise the axis widens to take the data in, never narrower than the range.
    bool holdRangeY() const;
    void setHoldRangeY(bool hold);
    /// The Y range of axis `axis` when not zoomed: its manual ends, widened to the data of its
    /// curves unless held. An axis the view does not have gives its manual range; the split
    /// view counts as split even while it is shown on one axis (compactView).
    std::pair<double, double> shownRangeY(int axis) const;
    QString yAxisLabel() const;
    void setYAxisLabel(const QString& text);
    QString xAxisLabel() const { return m_state.settings.xAxisLabel; }
    void setXAxisLabel(const QString& text) { m_state.settings.xAxisLabel = text; }
    /// Subsets on each axis; axis −1 writes every axis. When no axis has a count, all subsets
    /// share one axis (the single view).
    int multiAxesSubsets(int axis) const;
    void setMultiAxesSubsets(int axis, int count);
    /// Share of the height of each axis; axis −1 writes every axis.
    double multiAxesProportions(int axis) const;
    void setMultiAxesProportions(int axis, double share);
    int multiAxesSeparators() const { return m_state.settings.multiAxesSeparators; }
    void setMultiAxesSeparators(int kind);

    // Look
    QString mainTitle() const { return m_state.settings.mainTitle; }
    void setMainTitle(const QString& text) { m_state.settings.mainTitle = text; }
    QString subTitle() const { return m_state.settings.subTitle; }
    void setSubTitle(const QString& text) { m_state.settings.subTitle = text; }
    QString subsetLabel(int subset) const;
    void setSubsetLabel(int subset, const QString& text);
    QColor subsetColor(int subset) const;
    void setSubsetColor(int subset, const QColor& color);
    double subsetLineWidth(int subset) const;
    void setSubsetLineWidth(int subset, double pixels);
    int gridStyle() const { return m_state.settings.gridStyle; }
    void setGridStyle(int style);
    QColor graphForeColor() const { return m_state.settings.graphForeColor; }
    void setGraphForeColor(const QColor& c) { m_state.settings.graphForeColor = c; }
    QColor graphBackColor() const { return m_state.settings.graphBackColor; }
    void setGraphBackColor(const QColor& c) { m_state.settings.graphBackColor = c; }
    QColor deskColor() const { return m_state.settings.deskColor; }
    void setDeskColor(const QColor& c) { m_state.settings.deskColor = c; }
    QColor textColor() const { return m_state.settings.textColor; }
    void setTextColor(const QColor& c) { m_state.settings.textColor = c; }
    /// Family and 100 % point size of every text in the graph.
    QFont graphFont() const;
    void setGraphFont(const QFont& font);
    bool showLegend() const { return m_state.settings.showLegend; }
    void setShowLegend(bool on) { m_state.settings.showLegend = on; }

    // Behaviour
    int allowZooming() const { return m_state.settings.allowZooming; }
    void setAllowZooming(int mode);
    bool scrollingHorzZoom() const { return m_state.settings.scrollingHorzZoom; }
    void setScrollingHorzZoom(bool on) { m_state.settings.scrollingHorzZoom = on; }
    bool scrollingVertZoom() const { return m_state.settings.scrollingVertZoom; }
    void setScrollingVertZoom(bool on) { m_state.settings.scrollingVertZoom = on; }
    bool allowDataHotSpots() const { return m_state.settings.allowDataHotSpots; }
    void setAllowDataHotSpots(bool on) { m_state.settings.allowDataHotSpots = on; }
    bool allowGraphHotSpots() const { return m_state.settings.allowGraphHotSpots; }
    void setAllowGraphHotSpots(bool on) { m_state.settings.allowGraphHotSpots = on; }
    bool allowGraphAnnotHotSpots() const { return m_state.settings.allowGraphAnnotHotSpots; }
    void setAllowGraphAnnotHotSpots(bool on) { m_state.settings.allowGraphAnnotHotSpots = on; }
    bool allowVertLineAnnotHotSpots() const { return m_state.settings.allowVertLineAnnotHotSpots; }
    void setAllowVertLineAnnotHotSpots(bool on) { m_state.settings.allowVertLineAnnotHotSpots = on; }
    bool allowPopup() const { return m_state.settings.allowPopup; }
    void setAllowPopup(bool on) { m_state.settings.allowPopup = on; }
    /// Mouse cursor over the graph: 1 arrow, 2 text beam, 3 cross hair.
    int arrowCursor() const { return m_state.settings.arrowCursor; }
    void setArrowCursor(int kind);
    /// A cursor of the caller's own (for instance a cross from the resources).
    void setArrowCursor(const QCursor& cursor);

    bool allowAxisPage() const { return m_state.settings.allowAxisPage; }
    void setAllowAxisPage(bool on) { m_state.settings.allowAxisPage = on; }
    bool allowFontPage() const { return m_state.settings.allowFontPage; }
    void setAllowFontPage(bool on) { m_state.settings.allowFontPage = on; }
    bool allowPage1() const { return m_state.settings.allowPage1; }
    void setAllowPage1(bool on) { m_state.settings.allowPage1 = on; }
    bool allowPage2() const { return m_state.settings.allowPage2; }
    void setAllowPage2(bool on) { m_state.settings.allowPage2 = on; }
    bool allowSubsetsPage() const { return m_state.settings.allowSubsetsPage; }
    void setAllowSubsetsPage(bool on) { m_state.settings.allowSubsetsPage = on; }

    // Accepted and stored for the windows that set them; no effect on the drawing.
    bool prepareImages() const { return m_state.settings.prepareImages; }
    void setPrepareImages(bool on) { m_state.settings.prepareImages = on; }
    bool noHelp() const { return m_state.settings.noHelp; }
    void setNoHelp(bool on) { m_state.settings.noHelp = on; }
    int allowDataLabels() const { return m_state.settings.allowDataLabels; }
    void setAllowDataLabels(int v) { m_state.settings.allowDataLabels = v; }
    bool noRandomPointsToExport() const { return m_state.settings.noRandomPointsToExport; }
    void setNoRandomPointsToExport(bool on) { m_state.settings.noRandomPointsToExport = on; }
    bool focalRect() const { return m_state.settings.focalRect; }
    void setFocalRect(bool on) { m_state.settings.focalRect = on; }
    bool allowBar() const { return m_state.settings.allowBar; }
    void setAllowBar(bool on) { m_state.settings.allowBar = on; }

    // Graph annotations, by index
    bool showGraphAnnotations() const { return m_state.settings.showGraphAnnotations; }
    void setShowGraphAnnotations(bool on) { m_state.settings.showGraphAnnotations = on; }
    int graphAnnotationTextSize() const { return m_state.settings.graphAnnotationTextSize; }
    void setGraphAnnotationTextSize(int percent);
    /// One past the highest index written so far.
    int graphAnnotationCount() const { return int(m_state.annotations.size()); }
    double graphAnnotationX(int index) const { return annotation(index).x; }
    void setGraphAnnotationX(int index, double x);
    double graphAnnotationY(int index) const { return annotation(index).y; }
    void setGraphAnnotationY(int index, double y);
    int graphAnnotationType(int index) const { return annotation(index).type; }
    void setGraphAnnotationType(int index, int type);
    QString graphAnnotationText(int index) const { return annotation(index).text; }
    void setGraphAnnotationText(int index, const QString& text);
    QColor graphAnnotationColor(int index) const { return annotation(index).color; }
    void setGraphAnnotationColor(int index, const QColor& color);

    /// Horizontal lines on the curves' axes, drawn over the curves; they belong to the view,
    /// not to the graph, so they are never stored with it. Redraws when they change.
    void setLimitLines(std::vector<LimitLine> lines);
    const std::vector<LimitLine>& limitLines() const { return m_limitLines; }

    // Vertical line annotations (line cursors)
    bool showVertLineAnnotations() const { return m_state.settings.showVertLineAnnotations; }
    void setShowVertLineAnnotations(bool on) { m_state.settings.showVertLineAnnotations = on; }
    int lineAnnotationTextSize() const { return m_state.settings.lineAnnotationTextSize; }
    void setLineAnnotationTextSize(int percent);
    int vertLineAnnotationCount() const { return int(m_state.lineAnnotations.size()); }
    double vertLineAnnotation(int index) const;
    void setVertLineAnnotation(int index, double x);
    QColor vertLineAnnotationColor(int index) const;
    void setVertLineAnnotationColor(int index, const QColor& color);
    QString vertLineAnnotationText(int index) const;
    void setVertLineAnnotationText(int index, const QString& text);

    // Table annotation
    int TARows() const { return m_state.table.rows; }
    void setTARows(int rows);
    int TAColumns() const { return m_state.table.columns; }
    void setTAColumns(int columns);
    QString TAText(int row, int column) const;
    void setTAText(int row, int column, const QString& text);
    QColor TAColor(int row, int column) const;
    void setTAColor(int row, int column, const QColor& color);
    bool showTableAnnotation() const { return m_state.table.show; }
    void setShowTableAnnotation(bool on) { m_state.table.show = on; }
    int TALocation() const { return m_state.table.location; }
    void setTALocation(int location) { m_state.table.location = location; }
    int TAX() const { return m_state.table.x; }
    void setTAX(int thousandths);
    int TAY() const { return m_state.table.y; }
    void setTAY(int thousandths);
    bool TAMoveable() const { return m_state.table.moveable; }
    void setTAMoveable(bool on) { m_state.table.moveable = on; }
    QColor TABackColor() const { return m_state.table.backColor; }
    void setTABackColor(const QColor& color) { m_state.table.backColor = color; }
    int TAHeaderRows() const { return m_state.table.headerRows; }
    void setTAHeaderRows(int rows) { m_state.table.headerRows = std::max(0, rows); }
    bool TAHeaderColumn() const { return m_state.table.headerColumn; }
    void setTAHeaderColumn(bool on) { m_state.table.headerColumn = on; }
    int TABorder() const { return m_state.table.border; }
    void setTABorder(int border);
    int TATextSize() const { return m_state.table.textSize; }
    void setTATextSize(int percent);
    /// Where the table annotation is drawn, in pixels of the plot; empty when hidden.
    QRectF tableAnnotationRect() const;

    // Actions
    void performAction(Action action);
    /// Brings the drawing in line with the state: layout, data, look and scales.
    void resetImage();
    /// Draws the graph again.
    void invalidateImage();
    /// The redraw sequence: resetImage then invalidateImage.
    void redraw();
    /// Rebuilds every drawing object from the state, then draws.
    void reinitAndReset();
    /// The modal customization dialog; dialogResult() is 1 when it closed with OK.
    void customize();
    /// Returns to the scales in force before the first zoom step.
    void undoZoom();
    /// Returns to the scales in force before the last zoom step.
    void undoZoomStep();
    /// The print dialog; prints the graph when accepted.
    void printDialog();
    int dialogResult() const { return m_dialogResult; }
    /// Runs the control's modal dialogs (customization, print); returns the dialog's result.
    using DialogRunner = std::function<int(QDialog&)>;
    /// Replaces QDialog::exec for those dialogs, so tests can answer them without a screen;
    /// an empty runner restores exec.
    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

    /// The customization dialog for the current state, not shown (tests fill it and accept it).
    std::unique_ptr<CustomizeDialog> createCustomizeDialog(QWidget* parent = nullptr) const;
    /// Applies an accepted dialog: its fields go into the state, dialogResult becomes 1, redraw.
    void applyCustomizeDialog(const CustomizeDialog& dialog);

    // Zoom
    bool isZoomed() const { return !m_zoomStack.empty(); }
    /// Zooms to a rectangle given in pixels of the plot, as a drag of the mouse does.
    bool zoomToPixelRect(const QRect& rect);

    // Pointer queries
    /// Last mouse position over the graph, in pixels of the plot.
    QPoint lastMousePosition() const { return m_lastMouse; }
    /// The plotting area (all axes of the split view together), in pixels of the plot.
    QRect plottingArea() const;
    /// Graph values X and Y of a pixel position, using the X axis and Y axis `axis`.
    QPointF pixelToGraph(const QPointF& pixel, int axis = 0) const;
    QPointF graphToPixel(const QPointF& value, int axis = 0) const;
    /// Index of the axis under a pixel position, −1 outside every axis.
    int axisAt(const QPointF& pixel) const;

    // Whole state
    QByteArray storeState() const;
    /// Replaces settings, data and annotations by those of a stored block. A truncated, foreign
    /// or damaged block is refused with a reason and leaves the control unchanged.
    bool loadState(const QByteArray& block, QString* error = nullptr);
    const GraphState& state() const { return m_state; }

    // Output
    /// The graph printout (GraphPrinter.h) on one page of printer, without window texts.
    void print(QPrinter& printer);
    /// The graph laid out and drawn at width × height pixels, as the bytes of a PNG file;
    /// empty when it cannot be drawn or encoded.
    QByteArray pngBytes(int width, int height);
    /// The graph as a one-page PDF drawn in vectors, laid out at width × height pixels like
    /// pngBytes on a page of that size at 96 dpi; empty on failure.
    QByteArray pdfBytes(int width, int height);
    /// pngBytes and pdfBytes (0 means the widget's size) written through the safe writer: on
    /// failure the old file stays and `error` says why.
    bool savePng(const QString& path, int width = 0, int height = 0, QString* error = nullptr);
    bool savePdf(const QString& path, int width = 0, int height = 0, QString* error = nullptr);

    /// The drawing engine, for inspection (tests, benchmarks).
    QCustomPlot* plot() const { return m_plot; }
    /// Curve of a subset after the last resetImage, or null.
    QCPGraph* graphOf(int subset) const;
    int axisRectCount() const { return int(m_rects.size()); }
    QCPAxisRect* axisRect(int index) const;
    /// Whether the split view is shown as one axis because its axes would be too short for
    /// kMinAxisLabels labels each at the size last laid out; it splits again once they fit.
    bool compactView() const { return m_compactView; }
    /// Labels every axis of the split view must have room for.
    static constexpr int kMinAxisLabels = 3;

signals:
    void onClick();
    void onMouseMove();
    void onZoomIn();
    void onDataHotSpot(int subset, int point);
    void onGraphHotSpot(double x, double y);
    void onGraphAnnotHotSpot(bool doubleClick, int index);
    void onVertLineAnnotMoved(int index, double x);
    void onCustomizeDlg();

private:
    static constexpr int kClickSlop = 3; // pixels a press may move and still count as a click

    // Cached plotted form of one subset: only non-blank points, gaps as NaN.
    struct Series {
        QSharedPointer<QCPGraphDataContainer> data;
        int plottedEnd = 0; // points at or after this index are blank
        int dirtyLow = std::numeric_limits<int>::max();
        int dirtyHigh = -1;
        bool rebuild = true;
        double minKey = 0, maxKey = 0, minValue = 0, maxValue = 0;
        bool hasKeys = false, hasValues = false;
        /// Widens the cached key and value ranges by one plotted point (NaN values do not count).
        void include(double key, double value);
    };
    struct View {
        double xLower, xUpper;
        std::vector<std::optional<std::pair<double, double>>> y; // per axis rect
    };
    struct Layout {
        std::vector<int> rectOfSubset;
        std::vector<int> axisOfRect;
        std::vector<double> stretch;
        int separators = 0;
        bool mainTitle = false, subTitle = false, legend = false;
        int subsets = 0;
        bool operator==(const Layout&) const = default;
    };

    const GraphAnnotation& annotation(int index) const;
    GraphAnnotation* annotationForWrite(int index);
    LineAnnotation* lineForWrite(int index);
    void markDirty(int subset, int point);
    void markAllDirty();
    template <class T> void writeCell(std::vector<std::vector<T>>& columns, int subset, int point, T value);
    template <class T> void writeArray(std::vector<std::vector<T>>& columns, std::span<const T> values);
    /// The layout of the state's view; with compact, a split view put on one axis.
    Layout computeLayout(bool compact) const;
    void rebuildLayout(const Layout& layout);
    /// After a layout pass: switches between the split view and its compact form when the
    /// height laid out calls for the other; true when it rebuilt the layout.
    bool fitViewToHeight();
    /// Whether every axis of the split layout would show kMinAxisLabels labels in the height
    /// the axes grid was last given.
    bool splitFits(const Layout& split) const;
    /// The plotted form of a cell: none for a point never written, NaN Y (a gap) for the null
    /// value and for a reading that is no temperature.
    std::optional<QCPGraphData> plottedPoint(int subset, int point) const;
    void syncSeries(int subset);
    void rebuildSeries(int subset);
    void applyLook();
    void applyRanges();
    std::pair<double, double> baseXRange() const;
    std::pair<double, double> baseYRange(int rect) const;
    /// Y range of rect `rect` of layout when not zoomed.
    std::pair<double, double> yRangeOf(const Layout& layout, int rect) const;
    View currentView() const;
    void applyCursor();
    void updateScrollBars();
    void scrollBarMoved();
    double textScale(int percent) const;

    void handleMousePress(QMouseEvent* event);
    void handleMouseMove(QMouseEvent* event);
    void handleMouseRelease(QMouseEvent* event);
    void handleMouseDoubleClick(QMouseEvent* event);
    void handleClick(const QPoint& pos);
    int annotationAt(const QPointF& pixel) const;
    int lineAnnotationAt(const QPointF& pixel) const;
    std::optional<std::pair<int, int>> dataPointAt(const QPointF& pixel) const;
    void showPopup(const QPoint& pos);
    int runDialog(QDialog& dialog);

    friend class AnnotationOverlay;

    GraphState m_state;
    std::vector<Series> m_series;
    QCustomPlot* m_plot = nullptr;
    QScrollBar* m_hScroll = nullptr;
    QScrollBar* m_vScroll = nullptr;
    AnnotationOverlay* m_overlay = nullptr;
    QCPMarginGroup* m_marginGroup = nullptr;
    std::vector<QCPAxisRect*> m_rects;
    QCPLayoutGrid* m_axesGrid = nullptr; // holds the curve axes and the time axis
    QCPAxisRect* m_timeRect = nullptr;   // carries the time labels below the last axis
    QCPTextElement* m_mainTitle = nullptr;
    QCPTextElement* m_subTitle = nullptr;
    QCPLegend* m_legend = nullptr;
    std::vector<QCPGraph*> m_graphs;
    std::vector<LimitLine> m_limitLines;
    std::optional<Layout> m_layout;
    bool m_compactView = false;
    QSharedPointer<QCPAxisTicker> m_daysTicker;
    QSharedPointer<QCPAxisTicker> m_numberTicker;
    std::vector<View> m_zoomStack; // views before each zoom step; the current zoom is m_zoom
    std::optional<View> m_zoom;
    std::optional<QCursor> m_customCursor;
    QPoint m_lastMouse;
    QPoint m_pressPos;
    bool m_pressed = false;
    bool m_moved = false;
    int m_dragLine = -1;
    std::optional<QPoint> m_tableDragOffset;
    bool m_syncingScroll = false;
    int m_dialogResult = 0;
    DialogRunner m_dialogRunner;
};

} // namespace thermo4::chart
