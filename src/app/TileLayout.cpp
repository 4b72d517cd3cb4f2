#include "app/TileLayout.h"

#include <algorithm>

namespace thermo4::ui {

QList<QRect> TileRects(const QRect& area, const QList<TileWindow>& windows) {
    QList<QRect> rects(windows.size());
    int columnWidth = 0;
    int top = area.top();
    QSize largestMinimum(1, 1);
    int shared = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const TileWindow& w = windows[i];
        if (w.fixedSize) {
            rects[i] = QRect(QPoint(area.left(), top), w.minimum);
            top += w.minimum.height();
            columnWidth = std::max(columnWidth, w.minimum.width());
        } else {
            largestMinimum = largestMinimum.expandedTo(w.minimum);
            ++shared;
        }
    }
    if (shared == 0)
        return rects;

    const QRect rest(area.left() + columnWidth, area.top(), std::max(0, area.width() - columnWidth),
                     area.height());
    // The grid whose cells, relative to the largest minimum, are least squeezed in their
    // tighter direction; ties go to fewer columns.
    int bestColumns = 1;
    double bestScale = -1.0;
    for (int columns = 1; columns <= shared; ++columns) {
        const int rows = (shared + columns - 1) / columns;
        const double scale = std::min(double(rest.width()) / columns / largestMinimum.width(),
                                      double(rest.height()) / rows / largestMinimum.height());
        if (scale > bestScale) {
            bestScale = scale;
            bestColumns = columns;
        }
    }
    const int rows = (shared + bestColumns - 1) / bestColumns;
    int cell = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows[i].fixedSize)
            continue;
        const int row = cell / bestColumns;
        const int column = cell % bestColumns;
        // The last row spreads its windows over the whole width.
        const int inRow = row == rows - 1 ? shared - row * bestColumns : bestColumns;
        const int left = rest.left() + rest.width() * column / inRow;
        const int right = rest.left() + rest.width() * (column + 1) / inRow;
        const int y0 = rest.top() + rest.height() * row / rows;
        const int y1 = rest.top() + rest.height() * (row + 1) / rows;
        QRect cellRect(left, y0, std::max(right - left, windows[i].minimum.width()),
                       std::max(y1 - y0, windows[i].minimum.height()));
        // A cell widened to its window's minimum overlaps a neighbour rather than leaving the area.
        cellRect.moveLeft(
            std::max(area.left(), std::min(cellRect.left(), area.right() + 1 - cellRect.width())));
        cellRect.moveTop(
            std::max(area.top(), std::min(cellRect.top(), area.bottom() + 1 - cellRect.height())));
        rects[i] = cellRect;
        ++cell;
    }
    return rects;
}

QList<QRect> CascadeRects(const QRect& area, const QList<TileWindow>& windows, int step) {
    QList<QRect> rects;
    const int last = std::max(0, int(windows.size()) - 1);
    const QSize shared(std::max(0, area.width() - last * step), std::max(0, area.height() - last * step));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const TileWindow& w = windows[i];
        const QSize size = w.fixedSize ? w.minimum : shared.expandedTo(w.minimum);
        QRect rect(area.topLeft() + QPoint(int(i) * step, int(i) * step), size);
        rect.moveLeft(std::max(area.left(), std::min(rect.left(), area.right() + 1 - rect.width())));
        rect.moveTop(std::max(area.top(), std::min(rect.top(), area.bottom() + 1 - rect.height())));
        rects.append(rect);
    }
    return rects;
}

} // namespace thermo4::ui
