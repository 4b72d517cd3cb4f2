#pragma once

#include "session/MeterFactory.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <memory>

namespace thermo4::link {
class Clock;
}

namespace thermo4::cli {

/// The meter options of a command that talks to a meter (--simulate[=SCENARIO], once per
/// virtual meter; --usb [PATH|SERIAL], the default; --port DEV) and the meter they name.
/// Use: construct from the arguments before parsing, addTo (and addPortTo) the parser,
/// read after parsing, then makeMeter.
class MeterSource {
public:
    /// Which of the options a command takes.
    enum class Links {
        Virtual,    ///< --simulate only: the virtual meters stand in for the USB ones.
        Usb,        ///< --simulate and --usb: the setup exchanges go over USB only.
        UsbOrSerial ///< --simulate, --usb and --port.
    };

    /// Takes the options the parser cannot express (--simulate and --simulate=SCENARIO,
    /// and for Usb and UsbOrSerial "--usb", "--usb=METER" and "--usb METER") out of args.
    MeterSource(QStringList& args, Links links);

    /// Lists --simulate and, unless Links::Virtual, --usb in parser's help.
    void addTo(QCommandLineParser& parser) const;
    /// Adds --port (Links::UsbOrSerial only), apart from addTo so each command keeps its help order.
    void addPortTo(QCommandLineParser& parser) const;
    /// After parsing: reads --port and checks that the command line names one meter.
    /// Prints the complaint and returns false when it names two.
    bool read(const QCommandLineParser& parser);

    bool simulate() const { return m_simulate; }
    /// Every scenario given with --simulate, one per virtual meter (an empty one: the built-in run).
    QStringList scenarios() const;

    /// The meter the options name: the virtual one (run from the scenario, with further virtual
    /// meters), the one on the serial device, else the USB meter (a path or serial number;
    /// empty: the first free one); polled by the command.
    session::MeterChoice choice() const;
    /// Makes the meter of choice() on clock (which must outlive it); prints the reason on stderr
    /// and returns null when it cannot be made.
    std::unique_ptr<session::Meter> makeMeter(link::Clock& clock) const;
    /// makeMeter for a choice of the command's own.
    static std::unique_ptr<session::Meter> makeMeter(const session::MeterChoice& choice, link::Clock& clock);

private:
    Links m_links;
    bool m_simulate = false;
    QString m_scenario;
    QStringList m_moreScenarios;
    bool m_usb = false;
    QString m_usbMeter;
    QCommandLineOption m_portOption;
    QString m_port;
};

} // namespace thermo4::cli
