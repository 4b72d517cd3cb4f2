#include "cli/AlarmOption.h"
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
    QStringList moreScenarios;
    const bool simulate = MeterSource::takeSimulateOption(args, scenario, &moreScenarios);
    QString usbMeter;
    MeterSource::takeUsbOption(args, usbMeter);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Polls the meter every 500 ms and prints one CSV line per valid live frame:\n"
                       "time,T1,T2,T3,T4 with the time as YYYY-MM-DDTHH:MM:SS.mmm and the readings in °C\n"
                       "with one decimal, or OL / ---- as the meter shows. The header comes with the\n"
                       "first reading. Fails when no valid reading comes for 5 s. The meter is the one on\n"
                       "USB unless --simulate or --port DEV (the meter on a serial device) says otherwise."));
    parser.addOption(MeterSource::simulateHelpOption());
    parser.addOption(MeterSource::usbHelpOption());
    const QCommandLineOption samplesOption(QStringLiteral("samples"),
                                           QStringLiteral("Stop after N lines (default: until interrupted)."),
                                           QStringLiteral("N"));
    parser.addOption(samplesOption);
    MqttOption publishing;
    publishing.addTo(parser);
    AlarmOption alarms;
    alarms.addTo(parser);
    const QCommandLineOption portOption = MeterSource::portOption();
    parser.addOption(portOption);
    if (auto done = ParseCommandLine(parser, args, 0, alarms.repeatable())) {
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
    if (!publishing.read(parser) || !alarms.read(parser)) {
        return kExitUsage;
    }

    const QString port = parser.value(portOption);
    if (!MeterSource::checkChoice(simulate, port)) {
        return kExitUsage;
    }

    MeterSource source;
    source.setUsbChoice(usbMeter, moreScenarios);
    if (!source.open(simulate, scenario, port)) {
        return kExitFailure;
    }
    link::HeadlessPoll poll;
    poll.samples = samples;
    if (!publishing.start(poll, simulate         ? mqtt::LinkName::Simulated
                                : port.isEmpty() ? mqtt::LinkName::Usb
                                                 : mqtt::LinkName::Serial)) {
        return kExitFailure;
    }
    alarms.attach(poll, publishing.publisher());
    const int limit = poll.noReadingLimitMs / 1000;
    // The poll finds a meter on USB by itself; one on a serial port is identified first.
    if (source.isSerial() && !source.waitForMeter(poll.noReadingLimitMs)) {
        PrintError(source.heardInvalidReplies()
                       ? QStringLiteral("the meter's replies were not valid live frames for %1 s").arg(limit)
                       : QStringLiteral("no meter answered within %1 s").arg(limit));
        return kExitFailure;
    }

    bool header = false;
    const auto end = poll.run(source.poller(), source.clock(), [&header](const QString& line) {
        if (!header) {
            header = true;
            if (!PrintOut(QString::fromLatin1(link::kLiveCsvHeader) + QLatin1Char('\n'))) {
                return false;
            }
        }
        return PrintOut(line + QLatin1Char('\n'));
    });
    switch (end) {
    case link::HeadlessPollEnd::SamplesDone:
    case link::HeadlessPollEnd::OutputFailed: // reported by the caller
        break;
    case link::HeadlessPollEnd::Stopped:
        return kExitAlarm;
    case link::HeadlessPollEnd::NoMeter:
        PrintError(QStringLiteral("no meter answered within %1 s").arg(limit));
        source.printNotice();
        return kExitFailure;
    case link::HeadlessPollEnd::InvalidFrames:
        PrintError(QStringLiteral("the meter's replies were not valid live frames for %1 s").arg(limit));
        return kExitFailure;
    case link::HeadlessPollEnd::MeterStopped:
        alarms.meterLost(source.clock().now());
        PrintError(QStringLiteral("the meter stopped answering: no reading for %1 s").arg(limit));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
