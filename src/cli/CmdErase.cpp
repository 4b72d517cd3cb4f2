#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/SetupCommand.h"

namespace thermo4::cli {

// thermo4-cli erase --yes: erases the logger memory.
int RunErase(const QStringList& arguments) {
    QStringList args = arguments;
    QCommandLineParser parser;
    SetupCommand command(args, parser);
    parser.setApplicationDescription(
        QStringLiteral("Erases every data set in the meter's logger memory (its settings stay); prints OK.\n"
                       "Does nothing without --yes.\n") +
        SetupCommand::meterHelp());
    const QCommandLineOption yesOption(QStringLiteral("yes"),
                                       QStringLiteral("Confirm that the recorded data sets are to be lost."));
    parser.addOption(yesOption);
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    if (!parser.isSet(yesOption)) {
        PrintError(QStringLiteral("erase deletes every data set in the meter; add --yes to go ahead"));
        return kExitUsage;
    }
    if (auto failed = command.open(parser)) {
        return *failed;
    }
    return command.confirm(command.run(link::SetupRequest::erase()));
}

} // namespace thermo4::cli
