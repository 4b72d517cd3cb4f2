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
    /// Takes every "--simulate" and "--simulate=SCENARIO" out of args (the parser
    /// cannot express an optional value): the first one's scenario goes to
    /// scenario, each further one (a further virtual meter) to more. Returns
    /// whether there was one.
    static bool takeSimulateOption(QStringList& args, QString& scenario, QStringList* more = nullptr);
    /// Takes "--usb", "--usb=METER" and "--usb METER" (METER not an option)
    /// out of args; METER, a hidraw path or USB serial number, goes to meter.
    static bool takeUsbOption(QStringList& args, QString& meter);
    /// The --usb option as the help lists it (takeUsbOption reads it).
    static QCommandLineOption usbHelpOption();
    /// The --simulate option as the help lists it (takeSimulateOption reads it).
    static QCommandLineOption simulateHelpOption();

    /// The command line names one meter: not both --simulate and --port. Prints
    /// the complaint and returns false when it names two.
    static bool checkChoice(bool simulate, const QString& port);
    /// The --port option of the commands that talk to a meter.
    static QCommandLineOption portOption();

    /// The meter those options name: the virtual one (run from scenario when one is
    /// given, with further virtual meters from moreScenarios), the one on the serial device
    /// port, else the USB meter usbMeter (a path or serial number; empty: the first free one);
    /// polled by the command.
    static session::MeterChoice choice(bool simulate, const QString& scenario, const QString& port,
                                       const QString& usbMeter = {}, const QStringList& moreScenarios = {});
    /// Makes that meter on clock (which must outlive it); prints the reason on stderr
    /// and returns null when it cannot be made.
    static std::unique_ptr<session::Meter> makeMeter(const session::MeterChoice& choice, link::Clock& clock);
};

} // namespace thermo4::cli
