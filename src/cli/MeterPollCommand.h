#pragma once

#include "cli/AlarmOption.h"
#include "cli/HeadlessPoll.h"
#include "cli/MeterSource.h"
#include "cli/MqttOption.h"
#include "link/SystemClock.h"
#include "session/MeterFactory.h"

#include <QCommandLineParser>
#include <QStringList>

#include <memory>
#include <optional>

namespace thermo4::cli {

/// What the commands that poll the meter without a window share (live, serve): the meter options
/// (--simulate[=S], --usb, --port DEV), --mqtt and the alarm options; the meter they name with
/// publishing and alarms attached; and the exit code and message for how the poll ended.
class MeterPollCommand {
public:
    /// Takes --simulate and --usb out of arguments (the parser cannot express them).
    explicit MeterPollCommand(const QStringList& arguments);

    /// Adds the shared options to parser.
    void addTo(QCommandLineParser& parser) const;
    /// Parses; a value means the command is done with that exit code (help, or a bad option).
    std::optional<int> parse(QCommandLineParser& parser) const;
    /// Checks the shared options after parse; false (complaint printed) on a bad one.
    bool read(const QCommandLineParser& parser);

    /// Makes the meter, starts publishing, attaches the alarms to poll and, for a meter on a
    /// serial port, waits until it answers. A value is the exit code of a failure (printed).
    std::optional<int> start(HeadlessPoll& poll);

    session::Meter& meter() { return *m_meter; }
    session::MeterSession& session() { return m_meter->session(); }
    link::Clock& clock() { return m_clock; }
    AlarmOption& alarms() { return m_alarms; }
    mqtt::LinkName linkName() const;

    /// The exit code for how poll ended, with its message on stderr.
    int finish(HeadlessPollEnd end, const HeadlessPoll& poll);

private:
    QStringList m_args;
    MeterSource m_source;
    MqttOption m_publishing;
    AlarmOption m_alarms;
    link::SystemClock m_clock;
    std::unique_ptr<session::Meter> m_meter;
};

} // namespace thermo4::cli
