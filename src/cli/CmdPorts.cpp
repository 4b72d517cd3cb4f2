#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "link/SerialPortList.h"

namespace thermo4::cli {

// thermo4-cli ports: the serial devices the program's device list offers, one a line.
int RunPorts(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prints the serial devices a meter may be on, one path a line: the system's serial\n"
                       "ports and the bound Bluetooth serial links (/dev/rfcomm*), Bluetooth first.\n"
                       "Pseudo-terminals (thermo4-sim) are not listed: give their path directly."));
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    for (const QString& device : link::ListSerialPorts()) {
        PrintOut(device + QLatin1Char('\n'));
    }
    return kExitOk;
}

} // namespace thermo4::cli
