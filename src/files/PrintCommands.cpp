#include "files/PrintCommands.h"

#include "chart/TablePrinter.h"
#include "graph/TfrmGraph.h"
#include "logger/TableListModel.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

namespace thermo4::ui {

namespace {

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
    if (graph.print(frame.printer()))
        reportMissingPdf(frame.printer(), *frame.services().prompts);
}

void printTable(MainFrame& frame, const TfrmList& table) {
    Prompts& prompts = *frame.services().prompts;
    QPrinter& printer = frame.printer();
    if (!prompts.print(printer))
        return;
    printer.setDocName(table.windowTitle());
    const int lines = table.rowCount() + 1; // the header row first
    const bool printed = chart::PrintTable(printer, lines, [&table](int line) {
        return line == 0 ? TableListModel::headerLabels() : table.rowCells(line - 1);
    });
    if (!printed)
        reportMissingPdf(printer, prompts);
}

} // namespace

void PrintActiveChild(MainFrame& frame) {
    MdiChild* child = frame.activeChild();
    if (auto* graph = qobject_cast<TfrmGraph*>(child))
        printGraph(frame, *graph);
    else if (auto* table = qobject_cast<TfrmList*>(child))
        printTable(frame, *table);
}

} // namespace thermo4::ui
