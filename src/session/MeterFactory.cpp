#include "session/MeterFactory.h"

#include "link/ChosenUsbTransport.h"
#include "link/HidUsbTransport.h"
#include "link/NoUsbTransport.h"
#include "link/QtSerialPort.h"
#include "link/UsbExchange.h"
#include "session/MeterSession.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

#include <utility>

namespace thermo4::session {

struct Meter::Parts {
    MeterChoice choice;
    std::vector<std::unique_ptr<sim::VirtualMeter>> virtualMeters;
    std::unique_ptr<link::UsbTransport> usb;
    link::HidUsbTransport* hidUsb = nullptr;
    /// The chosen meter over usb, and its lock; what the session talks through.
    std::unique_ptr<link::ChosenUsbTransport> chosen;
    link::QtSerialPort serialPort;
    std::unique_ptr<MeterSession> session;
    /// A notice the session announced that nobody has taken yet.
    QString notice;
};

Meter::Meter(std::unique_ptr<Parts> parts) : m_parts(std::move(parts)) {}

Meter::~Meter() = default;

MeterSession& Meter::session() {
    return *m_parts->session;
}

const MeterChoice& Meter::choice() const {
    return m_parts->choice;
}

bool Meter::awaitMeter(int limitMs) {
    const link::LinkKind over =
        m_parts->choice.kind == MeterKind::Serial ? link::LinkKind::Serial : link::LinkKind::Usb;
    return m_parts->session->awaitMeter(over, limitMs);
}

QString Meter::takeNotice() {
    QString notice = std::exchange(m_parts->notice, QString());
    if (notice.isEmpty() && m_parts->chosen)
        notice = m_parts->chosen->takeNotice();
    if (notice.isEmpty() && m_parts->hidUsb)
        notice = m_parts->hidUsb->takeNotice();
    return notice;
}

std::vector<link::UsbMeterInfo> Meter::usbMeters() {
    if (!m_parts->chosen)
        return {};
    return m_parts->chosen->list(link::kUsbVendorId, link::kUsbProductId);
}

void Meter::chooseUsbMeter(const QString& pathOrSerial) {
    if (m_parts->chosen)
        m_parts->chosen->choose(pathOrSerial);
}

void Meter::preferUsbMeter(const QString& pathOrSerial) {
    if (m_parts->chosen)
        m_parts->chosen->setPreferred(pathOrSerial);
}

std::optional<link::UsbMeterInfo> Meter::usbMeter() const {
    return m_parts->chosen ? m_parts->chosen->current() : std::nullopt;
}

QString Meter::meterName() const {
    const MeterSession& session = *m_parts->session;
    if (session.serialLink())
        return session.serialDevice();
    if (const auto meter = usbMeter())
        return meter->name();
    return {};
}

std::unique_ptr<Meter> MakeMeter(const MeterChoice& choice, link::Clock& clock, QString* error) {
    auto parts = std::make_unique<Meter::Parts>();
    parts->choice = choice;
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return std::unique_ptr<Meter>();
    };
    switch (choice.kind) {
    case MeterKind::Virtual: {
        QString why;
        parts->virtualMeters =
            sim::MakeVirtualMeters(clock, QStringList{choice.scenario} + choice.moreScenarios, &why);
        if (parts->virtualMeters.empty())
            return fail(why);
        parts->usb = std::make_unique<sim::SimUsbTransport>(parts->virtualMeters);
        break;
    }
    case MeterKind::Serial:
        // Without a device (a search chooses one) nothing is opened yet.
        if (!choice.device.isEmpty() && !parts->serialPort.open(choice.device))
            return fail(parts->serialPort.errorString());
        parts->usb = std::make_unique<link::NoUsbTransport>();
        break;
    case MeterKind::Usb: {
        auto hid = std::make_unique<link::HidUsbTransport>();
        parts->hidUsb = hid.get();
        parts->usb = std::move(hid);
        break;
    }
    }
    link::UsbTransport* usb = parts->usb.get();
    if (choice.kind != MeterKind::Serial) {
        parts->chosen = std::make_unique<link::ChosenUsbTransport>(*parts->usb, choice.usbMeter);
        parts->chosen->setPreferred(choice.preferredUsbMeter);
        usb = parts->chosen.get();
    }
    parts->session = std::make_unique<MeterSession>(clock, *usb, parts->serialPort);
    parts->session->setPollOnTimer(!choice.headless);
    if (choice.kind == MeterKind::Serial)
        parts->session->setSerialDevice(choice.device);
    if (link::ChosenUsbTransport* chosen = parts->chosen.get()) {
        // The meter's lock is held for as long as the program is connected to it.
        QObject::connect(parts->session.get(), &MeterSession::connectionChanged,
                         [chosen](ConnectionChange change) {
                             if (change == ConnectionChange::Lost)
                                 chosen->release();
                         });
        QObject::connect(parts->session.get(), &MeterSession::identifyFailed,
                         [chosen] { chosen->release(); });
        link::HidUsbTransport* hid = parts->hidUsb;
        parts->session->setLinkNoticeSource([chosen, hid] {
            const QString notice = chosen->takeNotice();
            return notice.isEmpty() && hid ? hid->takeNotice() : notice;
        });
        QObject::connect(parts->session.get(), &MeterSession::linkNotice,
                         [notice = &parts->notice](const QString& text) { *notice = text; });
    }
    return std::unique_ptr<Meter>(new Meter(std::move(parts)));
}

} // namespace thermo4::session
