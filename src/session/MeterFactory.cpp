#include "session/MeterFactory.h"

#include "link/HidUsbTransport.h"
#include "link/NoUsbTransport.h"
#include "link/QtSerialPort.h"
#include "session/MeterSession.h"
#include "sim/Scenario.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"

#include <utility>

namespace thermo4::session {

struct Meter::Parts {
    MeterChoice choice;
    std::unique_ptr<sim::VirtualMeter> virtualMeter;
    std::unique_ptr<link::UsbTransport> usb;
    link::HidUsbTransport* hidUsb = nullptr;
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
    if (notice.isEmpty() && m_parts->hidUsb)
        notice = m_parts->hidUsb->takeNotice();
    return notice;
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
        parts->virtualMeter = sim::MakeVirtualMeter(clock, choice.scenario, &why);
        if (!parts->virtualMeter)
            return fail(why);
        parts->usb = std::make_unique<sim::SimUsbTransport>(*parts->virtualMeter);
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
    parts->session = std::make_unique<MeterSession>(clock, *parts->usb, parts->serialPort);
    parts->session->setPollOnTimer(!choice.headless);
    if (choice.kind == MeterKind::Serial)
        parts->session->setSerialDevice(choice.device);
    if (link::HidUsbTransport* hid = parts->hidUsb) {
        parts->session->setLinkNoticeSource([hid] { return hid->takeNotice(); });
        QObject::connect(parts->session.get(), &MeterSession::linkNotice,
                         [notice = &parts->notice](const QString& text) { *notice = text; });
    }
    return std::unique_ptr<Meter>(new Meter(std::move(parts)));
}

} // namespace thermo4::session
