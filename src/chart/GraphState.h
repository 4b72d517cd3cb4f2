#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <cstdint>
#include <vector>

namespace thermo4::chart {

/// Y value that marks a point as "no reading": such a point is drawn as a gap.
inline constexpr double kDefaultNullValue = 9999.0;
/// Upper bounds that keep a damaged state block or a stray index from allocating gigabytes.
inline constexpr int kMaxSubsets = 16;
inline constexpr int kMaxPoints = 2'000'000;
inline constexpr int kMaxAxes = kMaxSubsets;
inline constexpr int kMaxGraphAnnotations = 100'000;
inline constexpr int kMaxLineAnnotations = 64;
inline constexpr int kMaxTableCells = 10'000;
/// Largest state block the limits above allow (full data plus room for texts and settings).
inline constexpr qint64 kMaxStateBytes = qint64(kMaxSubsets) * kMaxPoints * 12 + (qint64(64) << 20);

/// A colour with alpha, argument order alpha, red, green, blue.
inline QColor argb(int alpha, int red, int green, int blue) {
    return QColor(red, green, blue, alpha);
}

/// Grid line styles of the plotting area.
enum GridStyle : int { GridSolid = 0, GridThick = 1, GridDotted = 2, GridDashed = 3, GridNone = 4 };
/// Manual scale modes of an axis: automatic, manual minimum, manual maximum, both manual.
enum ManualScale : int { ScaleAuto = 0, ScaleManualMin = 1, ScaleManualMax = 2, ScaleManual = 3 };
/// Zoom directions: bit 0 horizontal, bit 1 vertical.
enum ZoomMode : int { ZoomNone = 0, ZoomHorizontal = 1, ZoomVertical = 2, ZoomBoth = 3 };
/// Graph annotation kinds that are drawn; any other type draws its text only.
enum AnnotationType : int { AnnotationText = 0, AnnotationDot = 1, AnnotationCross = 2 };
/// Table annotation placements: above the graph, below it, or at TAX/TAY inside axis 0.
enum TableLocation : int { TableTop = 0, TableBottom = 1, TableInsideAxis = 16 };
/// Table annotation borders.
enum TableBorder : int { BorderNone = 0, BorderLine = 1, BorderShadow = 2, BorderInset = 3 };

/// Look and behaviour settings of the graph control; scalar fields only.
struct GraphSettings {
    // Data handling
    double nullDataValueY = kDefaultNullValue;
    bool subsetByPoint = false;
    bool usingXDataII = true;
    int dateTimeMode = 1;           // 1: X in days since 1899-12-30; 0: plain numbers
    double lineGapThreshold = 1e20; // days between consecutive points beyond which they are not joined

    // X scale (days when dateTimeMode is 1)
    int manualScaleControlX = ScaleAuto;
    double manualMinX = 0.0;
    double manualMaxX = 1.0;
    int workingAxis = 0;
    int multiAxesSeparators = 0; // gap between split axes: 0 none, 1 thin, 2 medium, 3 thick

    // Texts and colours
    QString mainTitle;
    QString subTitle;
    QString xAxisLabel;
    QString fontFamily;
    int fontSize = 9; // points, the 100 % size of every text of the graph
    int gridStyle = GridSolid;
    QColor graphForeColor = Qt::black;        // axes and grid
    QColor graphBackColor = Qt::white;        // plotting area
    QColor deskColor = QColor(192, 192, 192); // around the plotting area
    QColor textColor = Qt::black;
    bool showLegend = true;

    // Interaction
    int allowZooming = ZoomNone;
    bool scrollingHorzZoom = false;
    bool scrollingVertZoom = false;
    bool allowDataHotSpots = false;
    bool allowGraphHotSpots = false;
    bool allowGraphAnnotHotSpots = false;
    bool allowVertLineAnnotHotSpots = false;
    bool allowPopup = true;
    int arrowCursor = 1; // 1 arrow, 2 text beam, 3 cross hair

    // Annotations
    bool showGraphAnnotations = true;
    int graphAnnotationTextSize = 100; // percent of fontSize
    bool showVertLineAnnotations = false;
    int lineAnnotationTextSize = 100; // percent of fontSize

    // Pages offered by the customization dialog
    bool allowAxisPage = true;
    bool allowFontPage = true;
    bool allowPage1 = true;
    bool allowPage2 = true;
    bool allowSubsetsPage = true;

    // Kept for callers that set them; they do not change the drawing of this control.
    bool prepareImages = true;
    bool noHelp = false;
    int allowDataLabels = 0;
    bool noRandomPointsToExport = false;
    bool focalRect = true;
    bool allowBar = true;

    bool operator==(const GraphSettings&) const = default;
};

/// Label, colour and line width of one subset (curve).
struct SubsetStyle {
    QString label;
    QColor color = Qt::blue;
    double lineWidth = 1.0; // pixels
    bool operator==(const SubsetStyle&) const = default;
};

/// One Y axis of the split view, addressed through the working axis.
struct AxisState {
    int subsets = 0;         // subsets on this axis (0: not a separate axis)
    double proportion = 0.0; // share of the height
    int manualScaleControlY = ScaleAuto;
    double manualMinY = 0.0;
    double manualMaxY = 100.0;
    QString label;
    bool holdRange = false; // manual ends hold even when data lie outside them
    bool operator==(const AxisState&) const = default;
};

/// A mark placed in graph coordinates of axis 0.
struct GraphAnnotation {
    double x = 0.0;
    double y = 0.0;
    int type = AnnotationText;
    QString text;
    QColor color = Qt::black;
    bool operator==(const GraphAnnotation&) const = default;
};

/// A vertical line across the plotting area at an X value.
struct LineAnnotation {
    double x = 0.0;
    QColor color = Qt::black;
    QString text;
    bool operator==(const LineAnnotation&) const = default;
};

/// The one table of texts drawn into the graph.
struct TableAnnotation {
    int rows = 0;
    int columns = 0;
    std::vector<QString> text; // rows × columns, row by row
    std::vector<QColor> colors;
    bool show = false;
    int location = TableInsideAxis;
    int x = 0; // thousandths of the plotting area's width from its left edge
    int y = 0; // thousandths of its height from its top edge
    bool moveable = false;
    QColor backColor = Qt::white;
    int headerRows = 0;
    bool headerColumn = false;
    int border = BorderLine;
    int textSize = 100; // percent of fontSize
    bool operator==(const TableAnnotation&) const = default;

    /// Resizes to rows × columns keeping the cells that stay inside; false when too large.
    bool resize(int newRows, int newColumns);
    int cellIndex(int row, int column) const { return row * columns + column; }
    bool contains(int row, int column) const {
        return row >= 0 && column >= 0 && row < rows && column < columns;
    }
};

/// Everything the graph control holds: settings, data, annotations. A value type, so a
/// load can be parsed aside and swapped in only when it is complete.
struct GraphState {
    GraphSettings settings;
    std::vector<SubsetStyle> subsetStyles; // may be longer than subsets
    std::vector<AxisState> axes;           // may be longer than the axes in use
    std::vector<GraphAnnotation> annotations;
    std::vector<LineAnnotation> lineAnnotations;
    TableAnnotation table;
    int subsets = 1;
    int points = 4;
    std::vector<std::vector<double>> x; // [subset][point], days
    std::vector<std::vector<float>> y;  // [subset][point]

    GraphState();
    bool operator==(const GraphState&) const = default;

    /// Resizes the data; new cells hold X 0 and the null value. False (and no change) when out of range.
    bool resizeData(int newSubsets, int newPoints);
    /// Whether a point holds nothing to draw: X 0 with the null value.
    bool isBlank(int subset, int point) const {
        return x[subset][point] == 0.0 && y[subset][point] == float(settings.nullDataValueY);
    }
    SubsetStyle& subsetStyle(int subset);
    AxisState& axis(int index);
};

/// Serialized form: magic, version, body, CRC-32 of everything before it.
QByteArray serializeGraphState(const GraphState& state);
/// Parses a block written by serializeGraphState. On failure returns false, fills error and
/// leaves out untouched.
bool parseGraphState(const QByteArray& block, GraphState& out, QString* error = nullptr);

/// CRC-32 (IEEE, reflected) of a byte range.
std::uint32_t crc32(const char* data, qsizetype size);

inline constexpr std::uint32_t kStateMagic = 0x53473454; // "T4GS" read little-endian
/// Version 2 adds each axis's holdRange; version 1 blocks still load (their axes widen to the data).
inline constexpr std::uint32_t kStateVersion = 2;
inline constexpr std::uint32_t kOldestStateVersion = 1;

} // namespace thermo4::chart
