#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "formats/FileSystem.h"
#include "link/SerialPortList.h"
#include "link/SystemClock.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"

#include <algorithm>

namespace thermo4::cli {

// thermo4-cli search [DEV...]: the program's Bluetooth search over the given devices.
int RunSearch(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tries each serial device in turn, as the program's Bluetooth search does, and prints\n"
        "the one where the meter answered. Without DEV it tries every device that\n"
        "'thermo4-cli ports' lists. Fails when no meter answers."));
    parser.addPositionalArgument(QStringLiteral("DEV"), QStringLiteral("A serial device to try."),
                                 QStringLiteral("[DEV...]"));
    const auto given = std::count_if(args.begin() + 1, args.end(),
                                     [](const QString& arg) { return !arg.startsWith(QLatin1Char('-')); });
    if (auto done = ParseCommandLine(parser, args, given)) {
        return *done;
    }
    const QStringList devices =
        parser.positionalArguments().isEmpty() ? link::ListSerialPorts() : parser.positionalArguments();
    if (devices.isEmpty()) {
        PrintError(QStringLiteral("there is no serial device to search; give one, e.g. /dev/rfcomm0"));
        return kExitFailure;
    }

    link::SystemClock clock;
    // A meter on the serial link with no device chosen yet: nothing is opened before the search.
    const std::unique_ptr<session::Meter> meter =
        MeterSource::makeMeter({session::MeterKind::Serial, {}, {}, true}, clock);
    if (!meter) {
        return kExitFailure;
    }
    const auto found =
        meter->session().searchSerial(devices, [](int, const QString& title) { PrintError(title); });
    if (!found) {
        // A device that is not there is named as such, as live and download do.
        qsizetype missing = 0;
        for (const QString& device : devices) {
            if (formats::KindOf(device) == formats::PathKind::Missing) {
                PrintError(QStringLiteral("%1: no such device").arg(device));
                ++missing;
            }
        }
        if (missing < devices.size()) {
            PrintError(QStringLiteral("no meter answered on %1 device(s)").arg(devices.size() - missing));
        }
        return kExitFailure;
    }
    PrintOut(devices.at(*found) + QLatin1Char('\n'));
    return kExitOk;
}

} // namespace thermo4::cli
