#include "formats/TablePrintout.h"

#include "formats/TextImport.h"

#include <algorithm>

namespace thermo4::formats {

QString PrintedRow(const QStringList& cells) {
    QString line;
    for (qsizetype column = 0; column < cells.size(); ++column) {
        if (column > 0)
            line += QLatin1Char(' ');
        const int width = column == kPrintTimeColumn ? kPrintTimeWidth : kPrintCellWidth;
        line += cells.at(column).leftJustified(width, QLatin1Char(' '), false);
    }
    return line;
}

QStringList TableColumnTitles() {
    return {QStringLiteral("No"), QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("T1"),
            QStringLiteral("T2"), QStringLiteral("T3"),   QStringLiteral("T4")};
}

QString TableCellText(const ImportedTable& table, int row, int column) {
    if (row < 0 || row >= table.rowCount() || column < 0)
        return {};
    if (column == 0)
        return QString::number(row + 1);
    return table.field(row, column - 1).toString();
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
