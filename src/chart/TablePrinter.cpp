#include "chart/TablePrinter.h"

#include "formats/TablePrintout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace thermo4::chart {

namespace {
/// Size 8 scaled to 400 pixels per inch, as it comes out on a 600-dpi printer
/// (points): small enough for the seven columns to fit a page's width.
constexpr double kPrintFontPoints = 8.0 * 400.0 / 600.0;
} // namespace

TablePrintLayout TablePrintLayoutFor(QPagedPaintDevice& device) {
    TablePrintLayout layout;
    layout.font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    layout.font.setPointSizeF(kPrintFontPoints);
    const QFontMetrics metrics(layout.font, &device);
    layout.lineHeight = metrics.boundingRect(QLatin1String(formats::kPrintMeasureText)).height();
    layout.linesPerPage = formats::LinesPerPage(device.height(), layout.lineHeight);
    return layout;
}

bool PrintTable(QPagedPaintDevice& device, int lines, const PrintedCells& cells) {
    const TablePrintLayout layout = TablePrintLayoutFor(device);
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setFont(layout.font);
    for (int r = 0; r < lines; ++r) {
        const formats::PrintedRowPlace place = formats::PlaceOfRow(r, layout.linesPerPage, layout.lineHeight);
        if (place.newPageBefore)
            device.newPage();
        // The line ends at y, so that the last line of a page is on the page.
        const QRect line(1, place.y - layout.lineHeight, device.width(), layout.lineHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                         formats::PrintedRow(cells(r)));
    }
    return painter.end();
}

} // namespace thermo4::chart
