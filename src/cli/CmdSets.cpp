#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "core/DataSetTable.h"

namespace thermo4::cli {

// thermo4-cli sets FILE.ch4: one CSV line per data set, columns as the data-set
// table shows them but with an ISO start time and "." decimals.
int RunSets(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the data sets of a collection file (.ch4) as CSV:\n"
                       "set,start,interval,points,unit,type,t1_offset,t2_offset,t3_offset,t4_offset"));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The collection file (.ch4)."));
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }
    core::DataSetCollection collection;
    if (auto failed = LoadCollection(parser.positionalArguments().at(0), collection)) {
        return *failed;
    }

    const QLocale c = QLocale::c();
    QString out =
        QStringLiteral("set,start,interval,points,unit,type,t1_offset,t2_offset,t3_offset,t4_offset\n");
    for (int i = 0; i < collection.count(); ++i) {
        const core::DataSet& set = collection.header(i);
        const auto row = core::DataSetTableRow(i + 1, set, c);
        QStringList fields{row[0], IsoTime(set.startTime)};
        for (std::size_t col = 3; col < row.size(); ++col) {
            fields << row[col];
        }
        out += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    PrintOut(out);
    return kExitOk;
}

} // namespace thermo4::cli
