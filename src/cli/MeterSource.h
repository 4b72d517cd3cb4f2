#pragma once

#include "link/Clock.h"
#include "link/LinkState.h"
#include "link/MeterLink.h"
#include "link/MeterPoller.h"
#include "link/UsbMeterLink.h"
#include "link/UsbTransport.h"
#include "session/MeterFactory.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <memory>

namespace thermo4::cli {

/// The meter a headless command talks to: the virtual meter (optionally run
/// from a scenario file), a real one over hidraw, or one on a serial port, all
/// on the system clock.
class MeterSource {
public:
    MeterSource();
    ~MeterSource();
    MeterSource(const MeterSource&) = delete;
    MeterSource& operator=(const MeterSource&) = delete;

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

    /// Sets up the meter: the virtual one, the serial device port when one is
    /// given, else USB. On failure prints the reason on stderr and returns false.
    bool open(bool simulate, const QString& scenario, const QString& port = {});

    /// Whether the meter is reached over a serial port.
    bool isSerial() const;
    /// Waits up to limitMs for the meter to answer the identify with the model
    /// code (over USB through the poll, on a serial port by identifying every
    /// 500 ms); afterwards the link state says connected.
    bool waitForMeter(int limitMs);
    /// After waitForMeter failed on a serial port: whether bytes came that were not the
    /// meter's reply (rather than nothing at all).
    bool heardInvalidReplies() const;
    /// The link the meter is reached over.
    link::MeterLink& link();
    /// After a failed download: tells a USB meter the transfer is off ("Q";
    /// the serial download has sent it already).
    void abortTransfer();

    link::UsbTransport& usb();
    /// The USB link over usb() and clock(): identify, live read, download.
    link::UsbMeterLink& usbLink();
    link::Clock& clock();
    /// The connection state and poll of this command, over usb() and clock().
    link::LinkState& state();
    link::MeterPoller& poller();
    /// Prints the one-time message about the real meter (hidraw permissions), if there is one.
    void printNotice();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace thermo4::cli
