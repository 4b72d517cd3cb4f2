#include "cli/SetupCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"

namespace thermo4::cli {

SetupCommand::SetupCommand(QStringList& args, QCommandLineParser& parser)
    : m_usbOption(QStringLiteral("usb"), QStringLiteral("Talk to the meter on USB (the default).")),
      m_simulateOption(
          QStringLiteral("simulate"),
          QStringLiteral("Talk to the virtual meter; --simulate=SCENARIO runs it from a scenario file.")) {
    m_simulate = MeterSource::takeSimulateOption(args, m_scenario);
    parser.addOption(m_simulateOption);
    parser.addOption(m_usbOption);
}

QString SetupCommand::meterHelp() {
    return QStringLiteral("Talks to the meter on USB, or with --simulate[=SCENARIO] to the virtual meter.\n"
                          "A failure prints \"Fail code=\" and the code of the step that failed.");
}

std::optional<int> SetupCommand::open(const QCommandLineParser& parser) {
    if (m_simulate && parser.isSet(m_usbOption)) {
        PrintError(QStringLiteral("--simulate and --usb exclude each other"));
        return kExitUsage;
    }
    if (!m_source.open(m_simulate, m_scenario)) {
        return kExitFailure;
    }
    m_setup = std::make_unique<link::MeterSetup>(m_source.usb(), m_source.clock());
    return std::nullopt;
}

int SetupCommand::finish(const link::SetupOutcome& outcome) {
    using End = link::SetupOutcome::End;
    switch (outcome.end) {
    case End::Ok:
        return kExitOk;
    case End::Refused: {
        QString why = outcome.message.trimmed();
        if (outcome.code != core::kLinkOk) {
            why += QStringLiteral(" (code %1)").arg(outcome.code);
        }
        PrintError(why);
        return kExitUsage;
    }
    case End::Failed:
    case End::Busy:
        break;
    }
    PrintError(QStringLiteral("Fail code=%1").arg(outcome.code));
    m_source.printNotice();
    return kExitFailure;
}

int SetupCommand::confirm(const link::SetupOutcome& outcome) {
    const int code = finish(outcome);
    if (code == kExitOk) {
        PrintOut(QStringLiteral("OK\n"));
    }
    return code;
}

} // namespace thermo4::cli
