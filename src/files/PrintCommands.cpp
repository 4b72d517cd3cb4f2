#include "files/PrintCommands.h"

#include "chart/Graph1.h"
#include "chart/GraphPrinter.h"
#include "chart/TablePrinter.h"
#include "graph/GraphAppearance.h"
#include "graph/TfrmGraph.h"
#include "logger/TableListModel.h"
#include "logger/TfrmList.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
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

/// A rate box's text, or the number it shows as a hint when its list does not hold it.
QString boxText(const QComboBox* box) {
    return box->currentIndex() >= 0 ? box->currentText() : box->placeholderText();
}

void printGraph(MainFrame& frame, TfrmGraph& graph) {
    graph.appearance->CustomizeForPrint();
    Prompts& prompts = *frame.services().prompts;
    QPrinter& printer = frame.printer();
    // A wide graph is offered on a landscape page; the user may still choose otherwise, and
    // the printer keeps its own orientation for the next printout.
    const QPageLayout::Orientation chosen = printer.pageLayout().orientation();
    QPageLayout page = printer.pageLayout();
    chart::OrientPageForGraph(page, graph.Graph1->size());
    printer.setPageOrientation(page.orientation());
    if (prompts.print(printer)) {
        printer.setDocName(graph.windowTitle());
        chart::PrintGraph(printer, *graph.Graph1, GraphWindowTexts(graph));
        reportMissingPdf(printer, prompts);
    }
    printer.setPageOrientation(chosen);
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

chart::GraphPrintTexts GraphWindowTexts(const TfrmGraph& graph) {
    chart::GraphPrintTexts t;
    t.caption = graph.windowTitle();
    t.startTime = graph.txtStartTime->text();
    t.samplingRate = boxText(graph.ComboBox1) + QLatin1Char(':') + boxText(graph.ComboBox2);
    t.dataCount = graph.txtDataNo->text();
    for (std::size_t k = 0; k < t.max.size(); ++k) {
        t.max[k] = graph.txtMax[k]->text();
        t.min[k] = graph.txtMin[k]->text();
        t.avg[k] = graph.txtAvg[k]->text();
    }
    return t;
}

void PrintActiveChild(MainFrame& frame) {
    MdiChild* child = frame.activeChild();
    if (auto* graph = qobject_cast<TfrmGraph*>(child))
        printGraph(frame, *graph);
    else if (auto* table = qobject_cast<TfrmList*>(child))
        printTable(frame, *table);
}

} // namespace thermo4::ui
