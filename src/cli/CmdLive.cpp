#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "cli/MqttOption.h"
#include "link/HeadlessPoll.h"

namespace thermo4::cli {

// thermo4-cli live: the poll without a window, one CSV line per valid live frame.
int RunLive(const QStringList& arguments) {
    QStringList args = arguments;
    QString scenario;
    const bool simulate = MeterSource::takeSimulateOption(args, scenario);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Polls the meter every 500 ms and prints one CSV line per valid live frame:\n"
                       "time,T1,T2,T3,T4 in °C with one decimal, or OL / ---- as the meter shows.\n"
                       "--simulate[=SCENARIO] uses the virtual meter (optionally run from a scenario file)\n"
                       "instead of the USB meter. Fails when no meter answers within 5 s."));
    const QCommandLineOption samplesOption(QStringLiteral("samples"),
                                           QStringLiteral("Stop after N lines (default: until interrupted)."),
                                           QStringLiteral("N"));
    parser.addOption(samplesOption);
    MqttOption publishing;
    publishing.addTo(parser);
    if (auto done = ParseCommandLine(parser, args, 0)) {
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
    if (!publishing.read(parser)) {
        return kExitUsage;
    }

    MeterSource source;
    if (!source.open(simulate, scenario)) {
        return kExitFailure;
    }
    link::HeadlessPoll poll;
    poll.samples = samples;
    if (!publishing.start(poll, simulate ? mqtt::LinkName::Simulated : mqtt::LinkName::Usb)) {
        return kExitFailure;
    }

    PrintOut(QString::fromLatin1(link::kLiveCsvHeader) + QLatin1Char('\n'));
    const auto end = poll.run(source.poller(), source.clock(),
                              [](const QString& line) { PrintOut(line + QLatin1Char('\n')); });
    if (end == link::HeadlessPollEnd::NoMeter) {
        PrintError(QStringLiteral("no meter answered within %1 s").arg(poll.silenceLimitMs / 1000));
        source.printNotice();
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
