#include "cli/MeterPollCommand.h"

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "session/MeterSession.h"

namespace thermo4::cli {

namespace {

/// Why no valid reading came for limitS seconds: nothing answered, or no reply was a valid live frame.
QString noReadingText(bool invalidReplies, int limitS) {
    return invalidReplies
               ? QStringLiteral("the meter's replies were not valid live frames for %1 s").arg(limitS)
               : QStringLiteral("no meter answered within %1 s").arg(limitS);
}

} // namespace

MeterPollCommand::MeterPollCommand(const QStringList& arguments)
    : m_args(arguments), m_source(m_args, MeterSource::Links::UsbOrSerial) {}

void MeterPollCommand::addTo(QCommandLineParser& parser) const {
    m_source.addTo(parser);
    m_publishing.addTo(parser);
    m_alarms.addTo(parser);
    m_source.addPortTo(parser);
}

std::optional<int> MeterPollCommand::parse(QCommandLineParser& parser) const {
    return ParseCommandLine(parser, m_args, 0, m_alarms.repeatable());
}

bool MeterPollCommand::read(const QCommandLineParser& parser) {
    return m_publishing.read(parser) && m_alarms.read(parser) && m_source.read(parser);
}

mqtt::LinkName MeterPollCommand::linkName() const {
    const session::MeterKind kind = m_source.choice().kind;
    return kind == session::MeterKind::Virtual  ? mqtt::LinkName::Simulated
           : kind == session::MeterKind::Serial ? mqtt::LinkName::Serial
                                                : mqtt::LinkName::Usb;
}

std::optional<int> MeterPollCommand::start(HeadlessPoll& poll) {
    m_meter = m_source.makeMeter(m_clock);
    if (!m_meter) {
        return kExitFailure;
    }
    if (!m_publishing.start(*m_meter, linkName())) {
        return kExitFailure;
    }
    m_alarms.attach(m_meter->session(), poll, m_publishing.publisher());
    // The poll finds a meter on USB by itself; one on a serial port is identified first.
    if (m_source.choice().kind == session::MeterKind::Serial && !m_meter->awaitMeter(poll.noReadingLimitMs)) {
        PrintError(noReadingText(m_meter->session().heardInvalidReplies(), poll.noReadingLimitMs / 1000));
        return kExitFailure;
    }
    return std::nullopt;
}

int MeterPollCommand::finish(HeadlessPollEnd end, const HeadlessPoll& poll) {
    const int limit = poll.noReadingLimitMs / 1000;
    switch (end) {
    case HeadlessPollEnd::SamplesDone:
    case HeadlessPollEnd::OutputFailed: // reported by the caller
        break;
    case HeadlessPollEnd::Stopped:
        return kExitAlarm;
    case HeadlessPollEnd::NoMeter:
        PrintError(noReadingText(false, limit));
        if (const QString notice = m_meter->takeNotice(); !notice.isEmpty()) {
            PrintError(notice);
        }
        return kExitFailure;
    case HeadlessPollEnd::InvalidFrames:
        PrintError(noReadingText(true, limit));
        return kExitFailure;
    case HeadlessPollEnd::MeterStopped:
        m_alarms.meterLost(m_clock.now());
        PrintError(QStringLiteral("the meter stopped answering: no reading for %1 s").arg(limit));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace thermo4::cli
