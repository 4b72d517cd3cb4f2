#pragma once

#include <QColor>
#include <QCursor>
#include <QLocale>
#include <QPoint>
#include <QPointF>
#include <QString>

#include <optional>

namespace thermo4::chart {
class Graph1;
}

namespace thermo4::ui {

/// What a click on a graph does (GraphShared::clickTool): nothing, a text mark or a cross.
inline constexpr int kNormalTool = -99;
inline constexpr int kTextTool = 0;
inline constexpr int kCrossTool = 2;
/// Graph annotation holding the label of the last clicked data point.
inline constexpr int kDataPointLabel = 2;
/// Resource of the cross tool's cursor (32 × 32 pixels, hot spot at the top-left corner).
inline constexpr const char* kCrossCursorResource = ":/cursors/CROSS";

/// Colours as the settings keep them (0x00BBGGRR) and back.
QColor ColorFromBgr(int bgr);
int BgrFromColor(const QColor& color);

/// The cross tool's cursor: the cross drawn 15 pixels right of and below the hot spot, where
/// the mark goes.
QCursor CrossCursor();

/// Offset in pixels from the pointer to the tip of a tool's cursor: (1, 7) for the text tool,
/// (15, 15) for the cross tool, none otherwise.
QPoint ToolTipOffset(int tool);

/// Where a mark placed with `tool` by a click at `mouse` (pixels of the plot) goes, in graph
/// values of axis 0 (days, degrees). Nothing when the cursor's tip lies outside the area of
/// axis 0 (its edges count as inside), where a mark could not be drawn.
std::optional<QPointF> MarkPosition(const chart::Graph1& control, int tool, const QPoint& mouse);

/// The index a new mark takes after the last mark `last`: the next one, skipping indexes
/// where this control still shows a mark (one from a file or template), so that a mark never
/// replaces another. A mark moved to X 0 by a Clear or hidden by a double click is free again.
int NextMarkIndex(const chart::Graph1& control, int last);

/// Writes mark `index`: its type (text or cross), place (days, degrees), text and colour.
void SetMark(chart::Graph1& control, int index, int type, const QPointF& at, const QString& text,
             const QColor& color);
/// Hides a mark: it becomes an empty text mark, which draws nothing.
void HideMark(chart::Graph1& control, int index);
/// Moves the data-point label to point `point` of subset `subset`: a black cross with the
/// point's time (as TimeText writes it), a line break and its value with one decimal.
void LabelDataPoint(chart::Graph1& control, int subset, int point, const QLocale& locale);
/// Gives every annotation from index 0 to `last` the colour.
void RecolorMarks(chart::Graph1& control, int last, const QColor& color);

/// The read-out of the mouse at `mouse` (pixels of the plot): the value with one decimal, "@"
/// and the time, on the axis under the mouse. Nothing outside the plotting area.
std::optional<QString> MouseReadOut(const chart::Graph1& control, const QPoint& mouse, const QLocale& locale);

} // namespace thermo4::ui
