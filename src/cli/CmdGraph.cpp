#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "chart/PrepareGraph.h"
#include "chart/StatisticsTable.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "formats/GraphFile.h"
#include "formats/SafeFileWriter.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace thermo4::cli {

namespace {

enum class Output { GraphFile, Png, Pdf };

// Picture sizes in pixels: large enough for the legend and the whole statistics table, small
// enough that the picture stays within a few hundred MiB while it is drawn.
constexpr QSize kDefaultSize(1200, 800);
constexpr QSize kMinSize(640, 400);
constexpr QSize kMaxSize(5000, 5000);

std::optional<Output> outputKind(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("ghf")) {
        return Output::GraphFile;
    }
    if (suffix == QLatin1String("png")) {
        return Output::Png;
    }
    if (suffix == QLatin1String("pdf")) {
        return Output::Pdf;
    }
    return std::nullopt;
}

std::optional<QSize> parseSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*(\d{1,6})\s*[xX]\s*(\d{1,6})\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() < kMinSize.width() || size.height() < kMinSize.height() ||
        size.width() > kMaxSize.width() || size.height() > kMaxSize.height()) {
        return std::nullopt;
    }
    return size;
}

} // namespace

// thermo4-cli graph FILE.ch4 --set N -o OUT: data set N as the data-logger window draws it,
// saved as a graph file or drawn into a PNG or PDF picture with its statistics table.
int RunGraph(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws one data set of a collection file (.ch4) as the program's graph window does:\n"
                       "OUT.ghf is a graph file the program opens; OUT.png and OUT.pdf are pictures of the\n"
                       "graph with its legend and the statistics table (start time, sampling, points, and\n"
                       "MAX, MIN and AVG of each channel). The look is the built-in one, or that of a graph\n"
                       "file given with --template. Texts follow the regional settings. Needs no display."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The collection file (.ch4)."));
    parser.addOption(SetOption());
    const QCommandLineOption outputOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                          QStringLiteral("The file to write: .ghf, .png or .pdf."),
                                          QStringLiteral("OUT"));
    parser.addOption(outputOption);
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("Picture size in pixels, %1x%2 to %3x%4 (default %5x%6); a PDF page has this size "
                       "at 96 dpi.")
            .arg(kMinSize.width())
            .arg(kMinSize.height())
            .arg(kMaxSize.width())
            .arg(kMaxSize.height())
            .arg(kDefaultSize.width())
            .arg(kDefaultSize.height()),
        QStringLiteral("WxH"));
    parser.addOption(sizeOption);
    const QCommandLineOption templateOption(
        QStringLiteral("template"),
        QStringLiteral("Take the look (colours, scales, titles) from this graph file."),
        QStringLiteral("GHF"));
    parser.addOption(templateOption);
    const QCommandLineOption titleOption(QStringLiteral("title"),
                                         QStringLiteral("Title above the graph (default: the look's title)."),
                                         QStringLiteral("TEXT"));
    parser.addOption(titleOption);
    const QCommandLineOption fitOption(
        QStringLiteral("fit-y"),
        QStringLiteral("Fit each Y axis to its data. Without it each axis has the look's "
                       "range, widened to take in data outside it."));
    parser.addOption(fitOption);
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }

    const QString output = parser.value(outputOption);
    if (output.isEmpty()) {
        PrintError(
            QStringLiteral("-o OUT is required (.ghf, .png or .pdf); see %1 --help").arg(args.value(0)));
        return kExitUsage;
    }
    const std::optional<Output> kind = outputKind(output);
    if (!kind) {
        PrintError(QStringLiteral("-o: \"%1\" does not end in .ghf, .png or .pdf").arg(output));
        return kExitUsage;
    }
    QSize size = kDefaultSize;
    if (parser.isSet(sizeOption)) {
        if (*kind == Output::GraphFile) {
            PrintError(QStringLiteral("--size applies to .png and .pdf pictures, not to a graph file"));
            return kExitUsage;
        }
        const std::optional<QSize> parsed = parseSize(parser.value(sizeOption));
        if (!parsed) {
            PrintError(QStringLiteral("--size: \"%1\" is not WIDTHxHEIGHT in pixels from %2x%3 to %4x%5")
                           .arg(parser.value(sizeOption))
                           .arg(kMinSize.width())
                           .arg(kMinSize.height())
                           .arg(kMaxSize.width())
                           .arg(kMaxSize.height()));
            return kExitUsage;
        }
        size = *parsed;
    }

    core::DataSetCollection collection;
    int set = 0;
    if (auto failed =
            LoadChosenDataSet(parser, args.value(0), parser.positionalArguments().at(0), collection, set)) {
        return *failed;
    }
    chart::Graph1 graph;
    bool fromTemplate = false;
    if (parser.isSet(templateOption)) {
        QString error;
        if (!chart::LoadGraphState(graph, parser.value(templateOption), &error)) {
            PrintError(QStringLiteral("--template: %1").arg(error));
            return kExitFailure;
        }
        fromTemplate = true;
    }
    chart::PrepareDataSetGraph(graph, collection, set, !fromTemplate);
    if (parser.isSet(fitOption)) {
        for (int axis = 0; axis < graph.subsets(); ++axis) {
            graph.setWorkingAxis(axis);
            graph.setManualScaleControlY(chart::ScaleAuto);
        }
        graph.setWorkingAxis(0);
    }
    if (parser.isSet(titleOption)) {
        graph.setMainTitle(parser.value(titleOption));
    }

    QString error;
    if (*kind == Output::GraphFile) {
        graph.redraw();
        error = formats::WriteGraphFile(output, graph.storeState());
    } else {
        chart::ShowStatisticsTable(graph,
                                   chart::DataSetStatisticsValues(graph, collection.header(set), QLocale()));
        const QByteArray picture = *kind == Output::Png ? graph.pngBytes(size.width(), size.height())
                                                        : graph.pdfBytes(size.width(), size.height());
        error =
            picture.isEmpty()
                ? QStringLiteral("cannot draw the graph at %1x%2 pixels").arg(size.width()).arg(size.height())
                : formats::WriteFileSafely(output, picture);
    }
    if (!error.isEmpty()) {
        PrintError(error);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
