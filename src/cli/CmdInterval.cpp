#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/SetupCommand.h"

#include <QRegularExpression>

#include <algorithm>

namespace thermo4::cli {

// thermo4-cli interval MM:SS: sets the logger's recording interval.
int RunInterval(const QStringList& arguments) {
    QStringList args = arguments;
    QCommandLineParser parser;
    SetupCommand command(args, parser);
    parser.setApplicationDescription(
        QStringLiteral("Sets the meter's recording interval; prints OK. Minutes and seconds have one or\n"
                       "two digits each, from 00 to 60, not both 00 (the meter's own range is 00:01 to\n"
                       "59:59).\n") +
        SetupCommand::meterHelp());
    parser.addPositionalArgument(QStringLiteral("MM:SS"), QStringLiteral("Minutes and seconds, e.g. 01:30."));
    // A negative interval ("-1:30") is a wrong interval, not a cluster of options: it goes
    // behind "--", where the parser takes it as the argument.
    const auto negative = std::stable_partition(args.begin() + 1, args.end(), [](const QString& arg) {
        return !(arg.size() > 1 && arg.front() == QLatin1Char('-') && arg.at(1).isDigit());
    });
    if (negative != args.end()) {
        args.insert(negative - args.begin(), QStringLiteral("--"));
    }
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }
    static const QRegularExpression form(QStringLiteral(R"(^\d{1,2}:\d{1,2}$)"));
    const QString interval = parser.positionalArguments().at(0);
    if (!form.match(interval).hasMatch()) {
        PrintError(QStringLiteral("Invalid Input: %1 is not MM:SS").arg(interval));
        return kExitUsage;
    }
    const QStringList parts = interval.split(QLatin1Char(':'));
    if (auto failed = command.open(parser)) {
        return *failed;
    }
    return command.confirm(command.run(link::SetupRequest::adjustInterval(parts.at(0), parts.at(1))));
}

} // namespace thermo4::cli
