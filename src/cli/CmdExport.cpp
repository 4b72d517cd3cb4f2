#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/JournalExport.h"
#include "formats/GraphText.h"

namespace thermo4::cli {

namespace {

// Two decimals, "." always; "OL" where a graph text export writes it, unless raw.
QString valueText(float value, bool raw) {
    if (!raw && formats::IsOverRangeForText(value)) {
        return QString::fromLatin1(formats::kOverRangeText);
    }
    return formats::FixedText(static_cast<double>(value), 2, QStringLiteral("."));
}

} // namespace

// thermo4-cli export FILE.ch4 --set N: the samples of data set N as CSV, in the set's own unit.
int RunExport(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the samples of one data set of a collection file (.ch4) as CSV:\n"
                       "time,T1,T2,T3,T4 with the values in the data set's own unit (C or F);\n"
                       "values above 2500 or below -328 (no probe, over range) print as OL.\n"
                       "Given a recording journal instead, prints all its samples in the same form\n"
                       "(in \u00B0C, OL / ---- as recorded); --set does not apply."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The collection file (.ch4) or recording journal."));
    const QCommandLineOption setOption(
        QStringLiteral("set"), QStringLiteral("Number of the data set, from 1."), QStringLiteral("N"));
    parser.addOption(setOption);
    const QCommandLineOption rawOption(QStringLiteral("raw"),
                                       QStringLiteral("Print every decoded value as a number, never OL."));
    parser.addOption(rawOption);
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }
    const QString path = parser.positionalArguments().at(0);
    if (IsJournalFile(path)) {
        if (parser.isSet(setOption)) {
            PrintError(
                QStringLiteral("--set: %1 is a recording journal, which holds one recording").arg(path));
            return kExitUsage;
        }
        return ExportJournal(path);
    }
    if (!parser.isSet(setOption)) {
        PrintError(QStringLiteral("--set N is required; see %1 --help").arg(args.value(0)));
        return kExitUsage;
    }
    bool ok = false;
    const int number = parser.value(setOption).toInt(&ok);
    if (!ok || number < 1) {
        PrintError(QStringLiteral("--set: \"%1\" is not a data set number (1, 2, ...)")
                       .arg(parser.value(setOption)));
        return kExitUsage;
    }

    core::DataSetCollection collection;
    if (auto failed = LoadCollection(path, collection)) {
        return *failed;
    }
    if (number > collection.count()) {
        PrintError(
            QStringLiteral("--set %1: the file holds %2 data set(s)").arg(number).arg(collection.count()));
        return kExitFailure;
    }

    const bool raw = parser.isSet(rawOption);
    const auto values = collection.valuesOf(number - 1);
    const auto times = collection.timesOf(number - 1);
    QString out = QStringLiteral("time,T1,T2,T3,T4\n");
    out.reserve(out.size() + static_cast<qsizetype>(values.size()) * 10);
    for (std::size_t k = 0; k + 3 < values.size(); k += 4) {
        out += IsoTime(times[k]);
        for (std::size_t c = 0; c < 4; ++c) {
            out += QLatin1Char(',') + valueText(values[k + c], raw);
        }
        out += QLatin1Char('\n');
    }
    PrintOut(out);
    return kExitOk;
}

} // namespace thermo4::cli
