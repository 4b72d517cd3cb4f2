#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "cli/MeterSource.h"
#include "link/HidUsbTransport.h"
#include "link/SerialPortList.h"
#include "link/SystemClock.h"
#include "link/UsbMeterInfo.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

namespace thermo4::cli {

// thermo4-cli ports: the meters on USB, then the serial devices the program's device list offers.
int RunPorts(const QStringList& arguments) {
    QStringList args = arguments;
    const MeterSource source(args, MeterSource::Links::Virtual);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the meters attached on USB, one a line as usb,PATH,SERIAL (the hidraw path and\n"
        "the USB serial number, empty when the meter reports none; either names the meter\n"
        "for --usb), then the serial devices a meter may be on, one path a line: the\n"
        "system's serial ports and the bound Bluetooth serial links (/dev/rfcomm*),\n"
        "Bluetooth first. Pseudo-terminals (thermo4-sim) are not listed: give their path\n"
        "directly. With --simulate (once per virtual meter) the USB lines are the virtual meters."));
    source.addTo(parser);
    if (auto done = ParseCommandLine(parser, args, 0)) {
        return *done;
    }
    link::SystemClock clock;
    std::vector<std::unique_ptr<sim::VirtualMeter>> meters;
    std::unique_ptr<link::UsbTransport> usb;
    if (source.simulate()) {
        QString error;
        meters = sim::MakeVirtualMeters(clock, source.scenarios(), &error);
        if (meters.empty()) {
            PrintError(error);
            return kExitFailure;
        }
        usb = std::make_unique<sim::SimUsbTransport>(meters);
    } else {
        usb = std::make_unique<link::HidUsbTransport>();
    }
    for (const link::UsbMeterInfo& meter : usb->list(link::kUsbVendorId, link::kUsbProductId)) {
        PrintOut(QStringLiteral("usb,%1,%2\n").arg(meter.path, meter.serial));
    }
    for (const QString& device : link::ListSerialPorts()) {
        PrintOut(device + QLatin1Char('\n'));
    }
    return kExitOk;
}

} // namespace thermo4::cli
