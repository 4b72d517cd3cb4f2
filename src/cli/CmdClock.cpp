#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/SetupCommand.h"

namespace thermo4::cli {

// thermo4-cli clock: sets the meter's clock to the computer's local date and time.
int RunClock(const QStringList& arguments) {
    QStringList args = arguments;
    QCommandLineParser parser;
    SetupCommand command(args, parser);
    parser.setApplicationDescription(
        QStringLiteral("Sets the meter's clock to this computer's local date and time; prints OK.\n") +
        SetupCommand::meterHelp());
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    if (auto failed = command.open(parser)) {
        return *failed;
    }
    return command.confirm(command.run(link::SetupRequest::adjustTime()));
}

} // namespace thermo4::cli
