#include "cli/MeterSource.h"

#include "cli/CliSupport.h"

namespace thermo4::cli {

bool MeterSource::takeSimulateOption(QStringList& args, QString& scenario) {
    bool found = false;
    for (qsizetype i = args.size() - 1; i >= 1; --i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--simulate")) {
            found = true;
            args.removeAt(i);
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            found = true;
            scenario = arg.mid(11);
            args.removeAt(i);
        }
    }
    return found;
}

QCommandLineOption MeterSource::simulateHelpOption() {
    return QCommandLineOption(QStringLiteral("simulate"),
                              QStringLiteral("Use the virtual meter instead of the USB meter;\n"
                                             "--simulate=SCENARIO runs it from a scenario file (.json)."));
}

bool MeterSource::checkChoice(bool simulate, const QString& port) {
    if (simulate && !port.isEmpty()) {
        PrintError(QStringLiteral("--simulate and --port cannot be used together"));
        return false;
    }
    return true;
}

QCommandLineOption MeterSource::portOption() {
    return QCommandLineOption(
        QStringLiteral("port"),
        QStringLiteral("Talk to the meter on the serial device DEV (e.g. /dev/rfcomm0, or the path that "
                       "thermo4-sim prints) instead of USB."),
        QStringLiteral("DEV"));
}

session::MeterChoice MeterSource::choice(bool simulate, const QString& scenario, const QString& port) {
    session::MeterChoice choice;
    choice.kind = simulate         ? session::MeterKind::Virtual
                  : port.isEmpty() ? session::MeterKind::Usb
                                   : session::MeterKind::Serial;
    choice.device = port;
    choice.scenario = scenario;
    choice.headless = true;
    return choice;
}

std::unique_ptr<session::Meter> MeterSource::makeMeter(const session::MeterChoice& choice,
                                                       link::Clock& clock) {
    QString error;
    std::unique_ptr<session::Meter> meter = session::MakeMeter(choice, clock, &error);
    if (!meter) {
        PrintError(error);
    }
    return meter;
}

} // namespace thermo4::cli
