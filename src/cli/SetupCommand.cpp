#include "cli/SetupCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "session/MeterSession.h"

namespace thermo4::cli {

SetupCommand::SetupCommand(QStringList& args, QCommandLineParser& parser)
    : m_source(args, MeterSource::Links::Usb) {
    m_source.addTo(parser);
}

QString SetupCommand::meterHelp() {
    return QStringLiteral("Talks to the meter on USB, or with --simulate[=SCENARIO] to the virtual meter.\n"
                          "A failure prints \"Fail code=\" and the code of the step that failed.");
}

std::optional<int> SetupCommand::open(const QCommandLineParser& parser) {
    if (!m_source.read(parser)) {
        return kExitUsage;
    }
    m_meter = m_source.makeMeter(m_clock);
    if (!m_meter) {
        return kExitFailure;
    }
    return std::nullopt;
}

link::SetupOutcome SetupCommand::run(const link::SetupRequest& request) {
    return m_meter->session().runSetup(request);
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
    if (const QString notice = m_meter->takeNotice(); !notice.isEmpty()) {
        PrintError(notice);
    }
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
