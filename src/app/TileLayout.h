#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace thermo4::ui {

/// A window to tile: its smallest useful size, and whether that is also its only size.
struct TileWindow {
    QSize minimum;
    bool fixedSize = false;
};

/// Where Window > Tile puts each window of windows in area (pixels), in the same order.
/// Fixed-size windows keep their size, stacked in a column at the left; the others share the
/// rest in the grid of columns and rows whose cells come closest to their minimum sizes. A cell
/// is never smaller than the minimum of the window in it, and stays inside the area as far as
/// that minimum allows.
QList<QRect> TileRects(const QRect& area, const QList<TileWindow>& windows);

/// Where Window > Cascade puts each window of windows in area, in the same order: each one
/// `step` right of and below the one before, all as large as the area leaves the last one
/// (fixed-size windows keep their size), never smaller than a window's minimum; a window too
/// large for its place moves back into the area as far as its size allows.
QList<QRect> CascadeRects(const QRect& area, const QList<TileWindow>& windows, int step);

} // namespace thermo4::ui
