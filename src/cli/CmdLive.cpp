#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessPoll.h"
#include "cli/MeterPollCommand.h"

namespace thermo4::cli {

// thermo4-cli live: the poll without a window, one CSV line per valid live frame.
int RunLive(const QStringList& arguments) {
    MeterPollCommand command(arguments);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Polls the meter every 500 ms and prints one CSV line per valid live frame:\n"
                       "time,T1,T2,T3,T4 with the time as YYYY-MM-DDTHH:MM:SS.mmm and the readings in °C\n"
                       "with one decimal, or OL / ---- as the meter shows. The header comes with the\n"
                       "first reading. Fails when no valid reading comes for 5 s. The meter is the one on\n"
                       "USB unless --simulate or --port DEV (the meter on a serial device) says otherwise."));
    const QCommandLineOption samplesOption(QStringLiteral("samples"),
                                           QStringLiteral("Stop after N lines (default: until interrupted)."),
                                           QStringLiteral("N"));
    parser.addOption(samplesOption);
    command.addTo(parser);
    if (auto done = command.parse(parser)) {
        return *done;
    }
    int samples = 0;
    if (parser.isSet(samplesOption)) {
        bool ok = false;
        samples = parser.value(samplesOption).toInt(&ok);
        if (!ok || samples < 1) {
            PrintError(QStringLiteral("--samples wants a whole number above 0, not \"%1\"")
                           .arg(parser.value(samplesOption)));
            return kExitUsage;
        }
    }
    if (!command.read(parser)) {
        return kExitUsage;
    }

    HeadlessPoll poll;
    poll.samples = samples;
    if (auto failed = command.start(poll)) {
        return *failed;
    }
    bool header = false;
    const auto end = poll.run(command.session(), command.clock(), [&header](const QString& line) {
        if (!header) {
            header = true;
            if (!PrintOut(QString::fromLatin1(kLiveCsvHeader) + QLatin1Char('\n'))) {
                return false;
            }
        }
        return PrintOut(line + QLatin1Char('\n'));
    });
    return command.finish(end, poll);
}

} // namespace thermo4::cli
