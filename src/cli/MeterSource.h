#pragma once

#include "session/MeterFactory.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <memory>

namespace thermo4::link {
class Clock;
}

namespace thermo4::cli {

/// The meter options the commands that talk to a meter share (--simulate[=SCENARIO],
/// --port DEV, USB by default), read into the meter factory's choice.
class MeterSource {
public:
    /// Takes "--simulate" or "--simulate=SCENARIO" out of args (the parser
    /// cannot express an optional value). Returns whether it was there.
    static bool takeSimulateOption(QStringList& args, QString& scenario);
    /// The --simulate option as the help lists it (takeSimulateOption reads it).
    static QCommandLineOption simulateHelpOption();

    /// The command line names one meter: not both --simulate and --port. Prints
    /// the complaint and returns false when it names two.
    static bool checkChoice(bool simulate, const QString& port);
    /// The --port option of the commands that talk to a meter.
    static QCommandLineOption portOption();

    /// The meter those options name: the virtual one (run from scenario when one is
    /// given), the one on the serial device port, else the one on USB; polled by the command.
    static session::MeterChoice choice(bool simulate, const QString& scenario, const QString& port);
    /// Makes that meter on clock (which must outlive it); prints the reason on stderr
    /// and returns null when it cannot be made.
    static std::unique_ptr<session::Meter> makeMeter(const session::MeterChoice& choice, link::Clock& clock);
};

} // namespace thermo4::cli
