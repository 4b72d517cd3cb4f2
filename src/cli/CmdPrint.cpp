#include "chart/Graph1.h"
#include "chart/GraphPrinter.h"
#include "chart/GraphStateFile.h"
#include "chart/PdfPrintout.h"
#include "chart/TablePrinter.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/CupsJob.h"
#include "formats/SafeFileWriter.h"
#include "formats/TablePrintout.h"
#include "formats/TextImport.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <functional>
#include <optional>

namespace thermo4::cli {

namespace {

/// Shape of a graph window opened from a file: it fills the program's client area, which is
/// wider than high, so its printout goes on a landscape page.
constexpr QSize kOpenedGraphShape(16, 9);

/// The printout of the window a file opens into, as a PDF of a given page: what goes into the
/// file, or to the printer.
struct Printout {
    std::function<QByteArray(const QPageLayout&)> pdf;
    /// The page suits the printout: a graph's is turned to landscape.
    std::function<void(QPageLayout&)> orient = [](QPageLayout&) {};
};

QString fullName(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

/// Where the printout goes: a PDF file, a named printer or the default one; empty with an
/// error on stderr when that printer does not exist.
std::optional<QString> chosenPrinter(const QString& name) {
    const QPrinterInfo info =
        name.isEmpty() ? QPrinterInfo::defaultPrinter() : QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        PrintError(name.isEmpty() ? QStringLiteral("no default printer; name one with --printer NAME or "
                                                   "write a PDF with -o OUT.pdf")
                                  : QStringLiteral("no printer named \"%1\"").arg(name));
        return std::nullopt;
    }
    return info.printerName();
}

} // namespace

// thermo4-cli print FILE [-o OUT.pdf | --printer NAME]: the printout of the window the file opens
// into, as File ▸ Print makes it, on a printer or into a PDF.
int RunPrint(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints a file as the program's File > Print prints the window it opens into, without dialogs:\n"
        "a graph file (.ghf) as the graph printout (caption, header fields, the graph with its legend,\n"
        "axes, curves and marks, and MAX, MIN and AVG of each channel, on one landscape page); a text\n"
        "file (.txt tab-separated, .csv comma-separated) as the table printout (the table's columns\n"
        "in a fixed-width font, as many lines a page as fit). Goes into the PDF file -o names, or as a\n"
        "PDF job through the printing system (CUPS) to the printer --printer names or to the default\n"
        "printer, on that printer's paper. Needs no display."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The file to print: .ghf, .txt or .csv."));
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("Write the printout into this PDF file."),
                                          QStringLiteral("OUT.pdf"));
    parser.addOption(outputOption);
    const QCommandLineOption printerOption(
        QStringLiteral("printer"),
        QStringLiteral("Print on this printer (as the system's printer list names it)."),
        QStringLiteral("NAME"));
    parser.addOption(printerOption);
    if (auto done = ParseCommandLine(parser, args, 1))
        return *done;

    const QString output = parser.value(outputOption);
    if (parser.isSet(outputOption) && parser.isSet(printerOption)) {
        PrintError(QStringLiteral("-o and --printer exclude each other"));
        return kExitUsage;
    }
    if (parser.isSet(outputOption) && QFileInfo(output).suffix().toLower() != QLatin1String("pdf")) {
        PrintError(QStringLiteral("-o: \"%1\" does not end in .pdf").arg(output));
        return kExitUsage;
    }
    const QString path = parser.positionalArguments().at(0);
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext != QLatin1String("ghf") && ext != QLatin1String("txt") && ext != QLatin1String("csv")) {
        PrintError(QStringLiteral("\"%1\" is not a graph file (.ghf) or a text file (.txt, .csv)").arg(path));
        return kExitUsage;
    }

    // The file first: a file that cannot be read prints nothing anywhere.
    const QString title = fullName(path);
    chart::Graph1 graph;
    formats::ImportedTable table;
    Printout printout;
    if (ext == QLatin1String("ghf")) {
        QString error;
        if (!chart::LoadGraphState(graph, path, &error)) {
            PrintError(error);
            return kExitFailure;
        }
        // As a graph window opened from the file shows it.
        graph.setAllowDataLabels(0);
        graph.reinitAndReset();
        const chart::GraphPrintTexts texts = chart::GraphPrintTextsOf(graph, title, QLocale());
        printout.pdf = [&graph, texts](const QPageLayout& page) {
            return chart::GraphPrintoutPdf(graph, texts, page);
        };
        printout.orient = [](QPageLayout& page) { chart::OrientPageForGraph(page, kOpenedGraphShape); };
    } else {
        table =
            formats::ReadTextTable(path, ext == QLatin1String("csv") ? QLatin1Char(',') : QLatin1Char('\t'));
        if (!table.error.isEmpty()) {
            PrintError(table.error);
            return kExitFailure;
        }
        // A table window shows one empty row when the file holds none; the header comes first.
        const int lines = std::max(1, table.rowCount()) + 1;
        const QStringList titles = formats::TableColumnTitles();
        const chart::PrintedCells cells = [&table, titles](int line) {
            if (line == 0)
                return titles;
            QStringList row;
            for (int c = 0; c < titles.size(); ++c)
                row << formats::TableCellText(table, line - 1, c);
            return row;
        };
        // At the resolution the program's printer has, so that the lines a page holds agree.
        const int resolution = QPrinter(QPrinter::HighResolution).resolution();
        printout.pdf = [lines, cells, resolution, title](const QPageLayout& page) {
            return chart::PdfPrintout(page, resolution, title, [&](QPagedPaintDevice& device) {
                return chart::PrintTable(device, lines, cells);
            });
        };
    }

    // Where it goes: a PDF on the paper a PDF printer has, or a job on a printer's own paper.
    std::optional<QString> printerName;
    if (!parser.isSet(outputOption)) {
        printerName = chosenPrinter(parser.value(printerOption));
        if (!printerName)
            return kExitFailure;
    }
    QPrinter target(QPrinter::HighResolution);
    if (printerName)
        target.setPrinterName(*printerName);
    else
        target.setOutputFormat(QPrinter::PdfFormat);
    QPageLayout page = target.pageLayout();
    printout.orient(page);
    const QByteArray pdf = printout.pdf(page);
    if (pdf.isEmpty()) {
        PrintError(QStringLiteral("cannot draw the printout of \"%1\"").arg(path));
        return kExitFailure;
    }
    const QString error =
        printerName ? SubmitPdfJob(*printerName, title, pdf) : formats::WriteFileSafely(output, pdf);
    if (!error.isEmpty()) {
        PrintError(
            printerName
                ? QStringLiteral("the printer \"%1\" did not take the printout: %2").arg(*printerName, error)
                : error);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
