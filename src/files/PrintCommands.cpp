#include "files/PrintCommands.h"

#include "chart/Graph1.h"
#include "formats/TablePrintout.h"
#include "graph/TfrmGraph.h"
#include "logger/TableListModel.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

namespace thermo4::ui {

namespace {

/// Size 8 scaled to 400 pixels per inch, as it comes out on a 600-dpi printer
/// (points): small enough for the seven columns to fit a page's width.
constexpr double kPrintFontPoints = 8.0 * 400.0 / 600.0;

/// A PDF that was asked for but not written (a folder that cannot be written):
/// the printing system says nothing, so the window does.
void reportMissingPdf(const QPrinter& printer, Prompts& prompts) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return;
    if (!QFileInfo(printer.outputFileName()).isFile())
        prompts.error(QStringLiteral("Cannot print to \"%1\".")
                          .arg(QDir::toNativeSeparators(printer.outputFileName())));
}

void printGraph(MainFrame& frame, TfrmGraph& graph) {
    chart::Graph1& g = *graph.Graph1;
    const auto allowPages = [&g](bool on) {
        g.setAllowFontPage(on);
        g.setAllowPage1(on);
        g.setAllowPage2(on);
        g.setAllowSubsetsPage(on);
    };
    allowPages(false);
    g.performAction(chart::Graph1::Customize);
    allowPages(true);
    Prompts& prompts = *frame.services().prompts;
    QPrinter& printer = frame.printer();
    if (!prompts.print(printer))
        return;
    g.print(printer);
    reportMissingPdf(printer, prompts);
}

} // namespace

TablePrintLayout TablePrintLayoutFor(QPrinter& printer) {
    TablePrintLayout layout;
    layout.font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    layout.font.setPointSizeF(kPrintFontPoints);
    const QFontMetrics metrics(layout.font, &printer);
    layout.lineHeight = metrics.boundingRect(QLatin1String(formats::kPrintMeasureText)).height();
    layout.linesPerPage = formats::LinesPerPage(printer.height(), layout.lineHeight);
    return layout;
}

bool PrintTable(QPrinter& printer, const TfrmList& table) {
    const TablePrintLayout layout = TablePrintLayoutFor(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.setFont(layout.font);
    const int rows = table.rowCount() + 1; // the header row first
    for (int r = 0; r < rows; ++r) {
        const formats::PrintedRowPlace place = formats::PlaceOfRow(r, layout.linesPerPage, layout.lineHeight);
        if (place.newPageBefore)
            printer.newPage();
        const QStringList cells = r == 0 ? TableListModel::headerLabels() : table.rowCells(r - 1);
        // The line ends at y, so that the last line of a page is on the page.
        const QRect line(1, place.y - layout.lineHeight, printer.width(), layout.lineHeight);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                         formats::PrintedRow(cells));
    }
    return painter.end();
}

void PrintActiveChild(MainFrame& frame) {
    MdiChild* child = frame.activeChild();
    if (auto* graph = qobject_cast<TfrmGraph*>(child)) {
        printGraph(frame, *graph);
        return;
    }
    auto* table = qobject_cast<TfrmList*>(child);
    if (!table)
        return;
    Prompts& prompts = *frame.services().prompts;
    QPrinter& printer = frame.printer();
    if (!prompts.print(printer))
        return;
    if (!PrintTable(printer, *table))
        reportMissingPdf(printer, prompts);
}

} // namespace thermo4::ui
