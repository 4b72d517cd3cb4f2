#include "cli/MeterSource.h"

#include "cli/CliSupport.h"

namespace thermo4::cli {

namespace {

/// Takes every "--simulate" and "--simulate=SCENARIO" out of args, in order; their scenarios.
QStringList TakeSimulateForms(QStringList& args) {
    QStringList scenarios;
    for (qsizetype i = 1; i < args.size();) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--simulate") || arg.startsWith(QLatin1String("--simulate="))) {
            scenarios.append(arg.mid(11));
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    return scenarios;
}

/// Takes "--usb", "--usb=METER" and "--usb METER" (METER not an option) out of args;
/// the last METER given goes to meter. Returns whether there was one.
bool TakeUsbForms(QStringList& args, QString& meter) {
    bool found = false;
    for (qsizetype i = 1; i < args.size();) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--usb")) {
            found = true;
            args.removeAt(i);
            if (i < args.size() && !args.at(i).startsWith(QLatin1Char('-')))
                meter = args.takeAt(i);
        } else if (arg.startsWith(QLatin1String("--usb="))) {
            found = true;
            meter = arg.mid(6);
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    return found;
}

} // namespace

MeterSource::MeterSource(QStringList& args, Links links)
    : m_links(links),
      m_portOption(
          QStringLiteral("port"),
          QStringLiteral("Talk to the meter on the serial device DEV (e.g. /dev/rfcomm0, or the path "
                         "that thermo4-sim prints) instead of USB."),
          QStringLiteral("DEV")) {
    QStringList scenarios = TakeSimulateForms(args);
    m_simulate = !scenarios.isEmpty();
    if (m_simulate) {
        m_scenario = scenarios.takeFirst();
        m_moreScenarios = scenarios;
    }
    if (m_links != Links::Virtual) {
        m_usb = TakeUsbForms(args, m_usbMeter);
    }
}

void MeterSource::addTo(QCommandLineParser& parser) const {
    // The setup commands talk to the virtual meter in place of the one on USB, their only link.
    parser.addOption(QCommandLineOption(
        QStringLiteral("simulate"),
        m_links == Links::Usb
            ? QStringLiteral("Talk to the virtual meter; --simulate=SCENARIO runs it from a scenario file.")
            : QStringLiteral("Use the virtual meter instead of the USB meter;\n"
                             "--simulate=SCENARIO runs it from a scenario file (.json).")));
    if (m_links == Links::Virtual) {
        return;
    }
    parser.addOption(QCommandLineOption(
        QStringLiteral("usb"),
        QStringLiteral(
            "Talk to a meter on USB (the default): the first one no other program holds, or\n"
            "with --usb PATH|SERIAL the one at that hidraw path or with that USB serial number\n"
            "(thermo4-cli ports lists them). With --simulate it chooses among the virtual meters.")));
}

void MeterSource::addPortTo(QCommandLineParser& parser) const {
    if (m_links == Links::UsbOrSerial) {
        parser.addOption(m_portOption);
    }
}

bool MeterSource::read(const QCommandLineParser& parser) {
    if (m_links != Links::UsbOrSerial) {
        return true;
    }
    m_port = parser.value(m_portOption);
    if (m_port.isEmpty()) {
        return true;
    }
    // --usb with --simulate is one meter (among the virtual ones); either with --port is two.
    if (m_simulate) {
        PrintError(QStringLiteral("--simulate and --port cannot be used together"));
        return false;
    }
    if (m_usb) {
        PrintError(QStringLiteral("--usb and --port cannot be used together"));
        return false;
    }
    return true;
}

QStringList MeterSource::scenarios() const {
    return m_simulate ? QStringList{m_scenario} + m_moreScenarios : QStringList{};
}

session::MeterChoice MeterSource::choice() const {
    session::MeterChoice choice;
    choice.kind = m_simulate         ? session::MeterKind::Virtual
                  : m_port.isEmpty() ? session::MeterKind::Usb
                                     : session::MeterKind::Serial;
    choice.device = m_port;
    choice.scenario = m_scenario;
    choice.moreScenarios = m_moreScenarios;
    choice.usbMeter = m_usbMeter;
    choice.headless = true;
    return choice;
}

std::unique_ptr<session::Meter> MeterSource::makeMeter(link::Clock& clock) const {
    return makeMeter(choice(), clock);
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

} // namespace thermo4::cli
