#include "cli/AlarmOption.h"
#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/HeadlessPoll.h"
#include "cli/MeterSource.h"
#include "cli/MqttOption.h"
#include "link/SystemClock.h"
#include "session/MeterFactory.h"
#include "session/MeterSession.h"

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

    link::SystemClock clock;
    const session::MeterChoice choice =
        MeterSource::choice(simulate, scenario, port, usbMeter, moreScenarios);
    const std::unique_ptr<session::Meter> meter = MeterSource::makeMeter(choice, clock);
    if (!meter) {
        return kExitFailure;
    }
    session::MeterSession& session = meter->session();
    HeadlessPoll poll;
    poll.samples = samples;
    if (!publishing.start(*meter, simulate         ? mqtt::LinkName::Simulated
                                  : port.isEmpty() ? mqtt::LinkName::Usb
                                                   : mqtt::LinkName::Serial)) {
        return kExitFailure;
    }
    alarms.attach(session, poll, publishing.publisher());
    const int limit = poll.noReadingLimitMs / 1000;
    // The poll finds a meter on USB by itself; one on a serial port is identified first.
    if (choice.kind == session::MeterKind::Serial && !meter->awaitMeter(poll.noReadingLimitMs)) {
        PrintError(session.heardInvalidReplies()
                       ? QStringLiteral("the meter's replies were not valid live frames for %1 s").arg(limit)
                       : QStringLiteral("no meter answered within %1 s").arg(limit));
        return kExitFailure;
    }

    bool header = false;
    const auto end = poll.run(session, clock, [&header](const QString& line) {
        if (!header) {
            header = true;
            if (!PrintOut(QString::fromLatin1(kLiveCsvHeader) + QLatin1Char('\n'))) {
                return false;
            }
        }
        return PrintOut(line + QLatin1Char('\n'));
    });
    switch (end) {
    case HeadlessPollEnd::SamplesDone:
    case HeadlessPollEnd::OutputFailed: // reported by the caller
        break;
    case HeadlessPollEnd::Stopped:
        return kExitAlarm;
    case HeadlessPollEnd::NoMeter:
        PrintError(QStringLiteral("no meter answered within %1 s").arg(limit));
        if (const QString notice = meter->takeNotice(); !notice.isEmpty()) {
            PrintError(notice);
        }
        return kExitFailure;
    case HeadlessPollEnd::InvalidFrames:
        PrintError(QStringLiteral("the meter's replies were not valid live frames for %1 s").arg(limit));
        return kExitFailure;
    case HeadlessPollEnd::MeterStopped:
        alarms.meterLost(clock.now());
        PrintError(QStringLiteral("the meter stopped answering: no reading for %1 s").arg(limit));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
