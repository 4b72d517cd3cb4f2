#include "chart/GraphState.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/JournalExport.h"
#include "core/DataSet.h"
#include "core/NumberText.h"
#include "formats/GraphFile.h"
#include "formats/GraphText.h"

#include <functional>

namespace thermo4::cli {

namespace {

// Two decimals, "." always; "OL" where a graph text export writes it, unless raw.
QString valueText(float value, bool raw) {
    if (!raw && formats::IsOverRangeForText(value)) {
        return QString::fromLatin1(formats::kOverRangeText);
    }
    return core::FixedText(static_cast<double>(value), 2, u".");
}

/// The CSV of the points: a header, then one line per point.
QString csvRows(std::size_t points, const std::function<double(std::size_t)>& time,
                const std::function<float(std::size_t point, std::size_t channel)>& value, bool raw) {
    QString out = QStringLiteral("time,T1,T2,T3,T4\n");
    out.reserve(out.size() + static_cast<qsizetype>(points) * 60);
    for (std::size_t k = 0; k < points; ++k) {
        out += IsoTime(time(k));
        for (std::size_t c = 0; c < 4; ++c) {
            out += QLatin1Char(',') + valueText(value(k, c), raw);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

/// The points of a graph file as the graph text export writes them: curves 0 to 3 up to
/// the first point without data (X 0); a missing curve reads as no reading.
int exportGraphFile(const QString& path, bool raw) {
    QByteArray block;
    QString error;
    chart::GraphState state;
    if (!formats::ReadGraphFile(path, chart::kMaxStateBytes, block, &error)) {
        PrintError(error);
        return kExitFailure;
    }
    if (!chart::parseGraphState(block, state, &error)) {
        PrintError(QStringLiteral("%1 is not a valid graph file: %2").arg(path, error));
        return kExitFailure;
    }
    std::size_t points = 0;
    const std::vector<double>& x = state.x.front();
    while (points < x.size() && x[points] != 0.0) {
        ++points;
    }
    PrintOut(csvRows(
        points, [&x](std::size_t k) { return x[k]; },
        [&state](std::size_t k, std::size_t c) {
            return c < state.y.size() && k < state.y[c].size() ? state.y[c][k] : float(core::kNoDataValue);
        },
        raw));
    return kExitOk;
}

} // namespace

// thermo4-cli export FILE.ch4 --set N: the samples of data set N as CSV, in the set's own unit.
int RunExport(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the samples of one data set of a collection file (.ch4) as CSV:\n"
                       "time,T1,T2,T3,T4 with the values in the data set's own unit (C or F);\n"
                       "values above 2500 or below -328 (no probe, over range) print as OL.\n"
                       "Given a graph file (.ghf), prints its points up to the first without data, as\n"
                       "the graph's text export does. Given a recording journal, prints all its samples\n"
                       "in the same form "
                       "(in \u00B0C, OL / ---- as recorded); --set does not apply."));
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("The collection file (.ch4), graph file (.ghf) or recording journal."));
    const QCommandLineOption setOption = SetOption();
    parser.addOption(setOption);
    const QCommandLineOption rawOption(QStringLiteral("raw"),
                                       QStringLiteral("Print every decoded value as a number, never OL."));
    parser.addOption(rawOption);
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }
    const QString path = parser.positionalArguments().at(0);
    if (IsJournalFile(path)) {
        return ExportJournal(path, parser.isSet(setOption));
    }
    if (path.endsWith(QLatin1String(".ghf"), Qt::CaseInsensitive)) {
        if (parser.isSet(setOption)) {
            PrintError(QStringLiteral("--set: %1 is a graph file, which holds one graph").arg(path));
            return kExitUsage;
        }
        return exportGraphFile(path, parser.isSet(rawOption));
    }
    core::DataSetCollection collection;
    int set = 0;
    if (auto failed = LoadChosenDataSet(parser, args.value(0), path, collection, set)) {
        return *failed;
    }
    const bool raw = parser.isSet(rawOption);
    const auto values = collection.valuesOf(set);
    const auto times = collection.timesOf(set);
    PrintOut(csvRows(
        values.size() / 4, [&times](std::size_t k) { return times[4 * k]; },
        [&values](std::size_t k, std::size_t c) { return values[4 * k + c]; }, raw));
    return kExitOk;
}

} // namespace thermo4::cli
