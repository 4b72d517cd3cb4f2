#pragma once

#include "link/Clock.h"
#include "link/LinkState.h"
#include "link/MeterPoller.h"
#include "link/UsbTransport.h"

#include <QCommandLineOption>
#include <QString>
#include <QStringList>

#include <memory>

namespace thermo4::cli {

/// The meter a headless command talks to: the virtual meter (optionally run
/// from a scenario file) or a real one over hidraw, both on the system clock.
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

    /// Sets up the meter; on failure prints the reason on stderr and returns false.
    bool open(bool simulate, const QString& scenario);

    link::UsbTransport& usb();
    link::Clock& clock();
    /// The connection state and poll of this command, over usb() and clock().
    link::LinkState& state();
    link::MeterPoller& poller();
    /// Prints the one-time message about the real meter (hidraw permissions), if there is one.
    void printNotice();

private:
    bool openVirtualMeter(const QString& scenario);

    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace thermo4::cli
