#include "cli/MeterSource.h"

#include "cli/CliSupport.h"

#include "core/Commands.h"
#include "link/HidUsbTransport.h"
#include "link/NoUsbTransport.h"
#include "link/QtSerialPort.h"
#include "link/SerialMeterLink.h"
#include "link/SystemClock.h"
#include "link/UsbMeterLink.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

namespace thermo4::cli {

namespace {

/// Time between two identify attempts on a serial port (ms).
constexpr int kIdentifyPeriodMs = 500;

} // namespace

struct MeterSource::Parts {
    link::SystemClock clock;
    std::unique_ptr<sim::VirtualMeter> meter;
    std::unique_ptr<link::UsbTransport> usb;
    link::HidUsbTransport* hidUsb = nullptr;
    std::unique_ptr<link::QtSerialPort> serialPort;
    std::unique_ptr<link::SerialMeterLink> serialLink;
    std::unique_ptr<link::UsbMeterLink> usbLink;
    link::LinkState state;
    std::unique_ptr<link::MeterPoller> poller;
    bool invalidReplies = false;
};

MeterSource::MeterSource() : m_parts(std::make_unique<Parts>()) {}

MeterSource::~MeterSource() = default;

bool MeterSource::takeSimulateOption(QStringList& args, QString& scenario) {
    bool found = false;
    for (qsizetype i = args.size() - 1; i >= 1; --i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--simulate")) {
            found = true;
            args.removeAt(i);
        } else if (arg.startsWith(QLatin1String("--simulate="))) {
            found = true;
            scenario = arg.mid(11);
            args.removeAt(i);
        }
    }
    return found;
}

QCommandLineOption MeterSource::simulateHelpOption() {
    return QCommandLineOption(QStringLiteral("simulate"),
                              QStringLiteral("Use the virtual meter instead of the USB meter;\n"
                                             "--simulate=SCENARIO runs it from a scenario file (.json)."));
}

bool MeterSource::checkChoice(bool simulate, const QString& port) {
    if (simulate && !port.isEmpty()) {
        PrintError(QStringLiteral("--simulate and --port cannot be used together"));
        return false;
    }
    return true;
}

QCommandLineOption MeterSource::portOption() {
    return QCommandLineOption(
        QStringLiteral("port"),
        QStringLiteral("Talk to the meter on the serial device DEV (e.g. /dev/rfcomm0, or the path that "
                       "thermo4-sim prints) instead of USB."),
        QStringLiteral("DEV"));
}

session::MeterChoice MeterSource::choice(bool simulate, const QString& scenario, const QString& port) {
    session::MeterChoice choice;
    choice.kind = simulate         ? session::MeterKind::Virtual
                  : port.isEmpty() ? session::MeterKind::Usb
                                   : session::MeterKind::Serial;
    choice.device = port;
    choice.scenario = scenario;
    choice.headless = true;
    return choice;
}

std::unique_ptr<session::Meter> MeterSource::makeMeter(const session::MeterChoice& choice,
                                                       link::Clock& clock) {
    QString error;
    std::unique_ptr<session::Meter> meter = session::MakeMeter(choice, clock, &error);
    if (!meter) {
        PrintError(error);
    }
    return meter;
}

bool MeterSource::open(bool simulate, const QString& scenario, const QString& port) {
    Parts& p = *m_parts;
    if (!checkChoice(simulate, port)) {
        return false;
    }
    if (simulate) {
        QString error;
        p.meter = sim::MakeVirtualMeter(p.clock, scenario, &error);
        if (!p.meter) {
            PrintError(error);
            return false;
        }
        p.usb = std::make_unique<sim::SimUsbTransport>(*p.meter);
    } else if (!port.isEmpty()) {
        p.serialPort = std::make_unique<link::QtSerialPort>();
        if (!p.serialPort->open(port)) {
            PrintError(p.serialPort->errorString());
            return false;
        }
        p.serialLink = std::make_unique<link::SerialMeterLink>(*p.serialPort, p.clock);
        p.usb = std::make_unique<link::NoUsbTransport>();
    } else {
        auto hid = std::make_unique<link::HidUsbTransport>();
        p.hidUsb = hid.get();
        p.usb = std::move(hid);
    }
    p.usbLink = std::make_unique<link::UsbMeterLink>(*p.usb, p.clock);
    p.poller = std::make_unique<link::MeterPoller>(p.state, *p.usbLink, p.clock);
    return true;
}

bool MeterSource::isSerial() const {
    return m_parts->serialLink != nullptr;
}

bool MeterSource::waitForMeter(int limitMs) {
    Parts& p = *m_parts;
    const std::int64_t start = p.clock.tickMs();
    for (;;) {
        const std::int64_t attempt = p.clock.tickMs();
        if (p.serialLink) {
            // What came since the last attempt (the late rest of a reply) would
            // stand in front of this one's reply.
            p.serialPort->discardInput();
            if (p.serialLink->identify(p.state.reply)) {
                p.state.setCurrent(p.serialLink.get());
                return true;
            }
            p.invalidReplies = p.invalidReplies || p.serialLink->replyWasInvalid();
        } else if (p.poller->tick().event == link::PollEvent::Connected) {
            return true;
        }
        if (p.clock.tickMs() - start >= limitMs) {
            return false;
        }
        const std::int64_t rest = attempt + kIdentifyPeriodMs - p.clock.tickMs();
        if (rest > 0) {
            p.clock.delayBusy(static_cast<int>(rest - 1));
        }
    }
}

bool MeterSource::heardInvalidReplies() const {
    return m_parts->invalidReplies;
}

link::MeterLink& MeterSource::link() {
    if (m_parts->serialLink) {
        return *m_parts->serialLink;
    }
    return *m_parts->usbLink;
}

void MeterSource::abortTransfer() {
    if (isSerial()) {
        return;
    }
    m_parts->usbLink->abortTransfer();
}

link::UsbTransport& MeterSource::usb() {
    return *m_parts->usb;
}

link::Clock& MeterSource::clock() {
    return m_parts->clock;
}

link::LinkState& MeterSource::state() {
    return m_parts->state;
}

link::MeterPoller& MeterSource::poller() {
    return *m_parts->poller;
}

void MeterSource::printNotice() {
    if (m_parts->hidUsb) {
        if (const QString notice = m_parts->hidUsb->takeNotice(); !notice.isEmpty()) {
            PrintError(notice);
        }
    }
}

} // namespace thermo4::cli
