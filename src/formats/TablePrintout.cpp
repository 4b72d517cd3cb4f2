#include "formats/TablePrintout.h"

#include <algorithm>

namespace thermo4::formats {

QString PrintedRow(const QStringList& cells) {
    QString line;
    for (qsizetype column = 0; column < cells.size(); ++column) {
        const QString& cell = cells.at(column);
        const qsizetype width = column == kPrintTimeColumn ? kPrintTimeWidth : kPrintCellWidth;
        line += cell;
        line += QString(2 * std::max<qsizetype>(0, width - cell.size()), QLatin1Char(' '));
    }
    return line;
}

int LinesPerPage(int pageHeight, int lineHeight) {
    if (lineHeight <= 0)
        return 1;
    return std::max(1, pageHeight / lineHeight);
}

PrintedRowPlace PlaceOfRow(int row, int linesPerPage, int lineHeight) {
    const int lines = std::max(1, linesPerPage);
    const int onPage = row % lines;
    return {row / lines, (onPage + 1) * lineHeight, onPage == 0 && row != 0};
}

} // namespace thermo4::formats
