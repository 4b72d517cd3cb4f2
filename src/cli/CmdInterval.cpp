#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/SetupCommand.h"

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
    if (auto done = ParseCommandLine(parser, args, 1)) {
        return *done;
    }
    const QStringList parts = parser.positionalArguments().at(0).split(QLatin1Char(':'));
    if (parts.size() != 2) {
        PrintError(QStringLiteral("Invalid Input: expected MM:SS, not \"%1\"")
                       .arg(parser.positionalArguments().at(0)));
        return kExitUsage;
    }
    if (auto failed = command.open(parser)) {
        return *failed;
    }
    return command.confirm(command.setup().adjustRecordingInterval(parts.at(0), parts.at(1)));
}

} // namespace thermo4::cli
