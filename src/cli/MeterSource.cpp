#include "cli/MeterSource.h"

#include "cli/CliSupport.h"

#include "link/HidUsbTransport.h"
#include "link/SystemClock.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

namespace thermo4::cli {

struct MeterSource::Parts {
    link::SystemClock clock;
    std::unique_ptr<sim::VirtualMeter> meter;
    std::unique_ptr<sim::SimUsbTransport> simUsb;
    std::unique_ptr<link::HidUsbTransport> hidUsb;
    link::LinkState state;
    std::unique_ptr<link::MeterPoller> poller;
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

bool MeterSource::open(bool simulate, const QString& scenario) {
    if (simulate) {
        if (!openVirtualMeter(scenario)) {
            return false;
        }
    } else {
        m_parts->hidUsb = std::make_unique<link::HidUsbTransport>();
    }
    m_parts->poller = std::make_unique<link::MeterPoller>(m_parts->state, usb(), m_parts->clock);
    return true;
}

bool MeterSource::openVirtualMeter(const QString& scenario) {
    std::optional<sim::Scenario> loaded;
    if (!scenario.isEmpty()) {
        QString error;
        loaded = sim::LoadScenario(scenario, &error);
        if (!loaded) {
            PrintError(error);
            return false;
        }
    }
    m_parts->meter =
        std::make_unique<sim::VirtualMeter>(m_parts->clock, loaded && loaded->seed ? *loaded->seed : 1U);
    if (loaded) {
        sim::ApplyScenario(*loaded, *m_parts->meter);
    }
    m_parts->simUsb = std::make_unique<sim::SimUsbTransport>(*m_parts->meter);
    return true;
}

link::UsbTransport& MeterSource::usb() {
    if (m_parts->simUsb) {
        return *m_parts->simUsb;
    }
    return *m_parts->hidUsb;
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
