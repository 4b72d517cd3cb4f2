#include "cli/MeterSource.h"

#include "cli/CliSupport.h"

namespace thermo4::cli {

bool MeterSource::takeSimulateOption(QStringList& args, QString& scenario, QStringList* more) {
    QStringList scenarios;
    for (qsizetype i = 1; i < args.size();) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--simulate") || arg.startsWith(QLatin1String("--simulate="))) {
            scenarios.append(arg.mid(11));
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    if (scenarios.isEmpty())
        return false;
    scenario = scenarios.takeFirst();
    if (more)
        *more = scenarios;
    return true;
}

bool MeterSource::takeUsbOption(QStringList& args, QString& meter) {
    bool found = false;
    for (qsizetype i = 1; i < args.size();) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--usb")) {
            found = true;
            args.removeAt(i);
            if (i < args.size() && !args.at(i).startsWith(QLatin1Char('-')))
                meter = args.takeAt(i);
        } else if (arg.startsWith(QLatin1String("--usb="))) {
            found = true;
            meter = arg.mid(6);
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    return found;
}

QCommandLineOption MeterSource::usbHelpOption() {
    return QCommandLineOption(
        QStringLiteral("usb"),
        QStringLiteral(
            "Talk to a meter on USB (the default): the first one no other program holds, or\n"
            "with --usb PATH|SERIAL the one at that hidraw path or with that USB serial number\n"
            "(thermo4-cli ports lists them). With --simulate it chooses among the virtual meters."));
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

session::MeterChoice MeterSource::choice(bool simulate, const QString& scenario, const QString& port,
                                         const QString& usbMeter, const QStringList& moreScenarios) {
    session::MeterChoice choice;
    choice.kind = simulate         ? session::MeterKind::Virtual
                  : port.isEmpty() ? session::MeterKind::Usb
                                   : session::MeterKind::Serial;
    choice.device = port;
    choice.scenario = scenario;
    choice.moreScenarios = moreScenarios;
    choice.usbMeter = usbMeter;
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
