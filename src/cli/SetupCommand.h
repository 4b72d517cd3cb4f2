#pragma once

#include "cli/MeterSource.h"
#include "link/SetupProgress.h"
#include "link/SystemClock.h"
#include "session/MeterFactory.h"

#include <QCommandLineParser>
#include <QStringList>

#include <memory>
#include <optional>

namespace thermo4::cli {

/// What the setup commands (info, clock, interval, erase) share: the choice of
/// meter (--simulate[=SCENARIO], once per virtual meter, or --usb [PATH|SERIAL],
/// the default, which also chooses among virtual meters; setup goes over USB only),
/// the setup exchanges with it, and how an outcome becomes the exit code.
class SetupCommand {
public:
    /// Takes --simulate[=SCENARIO] and --usb [PATH|SERIAL] out of args and lists both in parser's help.
    SetupCommand(QStringList& args, QCommandLineParser& parser);

    /// The help lines about the meter options, for the command's description.
    static QString meterHelp();

    /// After parsing: sets the meter up (kExitFailure when it cannot be). Nothing when the meter is ready.
    std::optional<int> open(const QCommandLineParser& parser);
    /// Runs one setup operation on the meter (after open()).
    link::SetupOutcome run(const link::SetupRequest& request);

    /// The exit code of outcome: kExitOk on success; otherwise the reason on stderr
    /// ("Fail code=…", or why the input was refused) and kExitFailure or kExitUsage.
    int finish(const link::SetupOutcome& outcome);
    /// finish() for a change to the meter: prints OK on success.
    int confirm(const link::SetupOutcome& outcome);

private:
    MeterSource m_source;
    link::SystemClock m_clock;
    std::unique_ptr<session::Meter> m_meter;
};

} // namespace thermo4::cli
