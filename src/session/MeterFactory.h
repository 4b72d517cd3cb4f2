#pragma once

#include "link/UsbMeterInfo.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace thermo4::link {
class Clock;
}

namespace thermo4::session {

class MeterSession;

/// Where the meter is.
enum class MeterKind {
    /// A real meter on USB (the serial link can still be chosen later, in the window).
    Usb,
    /// A meter on the serial device `device` only (none yet: a search chooses it); USB is never touched.
    Serial,
    /// The built-in virtual meter on USB, run from `scenario` when one is named.
    Virtual,
};

/// The meter a program talks to, as its command line chose it.
struct MeterChoice {
    MeterKind kind = MeterKind::Usb;
    /// Serial: the device (e.g. /dev/rfcomm0).
    QString device;
    /// Virtual: a scenario file; empty: the built-in behaviour.
    QString scenario;
    /// No MainTimer: the caller runs the poll itself (MeterSession::pollOnce).
    bool headless = false;
    /// Virtual: further virtual meters on the same USB bus, one per scenario file (empty: built-in).
    QStringList moreScenarios{};
    /// Usb and Virtual: the meter's path or USB serial number; empty: the first free meter.
    QString usbMeter{};
    /// Usb and Virtual without usbMeter: the meter tried first when it is attached and free.
    QString preferredUsbMeter{};
};

/// A meter made by MakeMeter: the transports it talks through and the session over them.
class Meter {
public:
    ~Meter();
    Meter(const Meter&) = delete;
    Meter& operator=(const Meter&) = delete;

    MeterSession& session();
    const MeterChoice& choice() const;
    /// Headless: waits up to limitMs for the meter to answer on the link the choice names
    /// (MeterSession::awaitMeter). True when it did.
    bool awaitMeter(int limitMs);
    /// The one-time message about the USB device (e.g. no permission on its node,
    /// or another program holding it); empty if none.
    QString takeNotice();

    /// The meters attached on USB (the virtual ones for a Virtual choice; none for Serial).
    std::vector<link::UsbMeterInfo> usbMeters();
    /// Talks to the USB meter pathOrSerial from the next connection on (empty:
    /// the first free one); the caller drops the current connection.
    void chooseUsbMeter(const QString& pathOrSerial);
    /// Without a meter asked for by name: tries pathOrSerial first whenever it is attached and free.
    void preferUsbMeter(const QString& pathOrSerial);
    /// The USB meter this program holds; nothing when it holds none.
    std::optional<link::UsbMeterInfo> usbMeter() const;
    /// The meter for people, so that two programs side by side cannot be taken
    /// one for the other: the serial device while connected over it, else the
    /// USB meter's serial number (its path when it reports none); empty when
    /// this program holds no meter.
    QString meterName() const;

private:
    friend std::unique_ptr<Meter> MakeMeter(const MeterChoice& choice, link::Clock& clock, QString* error);
    struct Parts;
    explicit Meter(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

/// The one way to a meter for every program: builds the transports the choice
/// names on clock (which must outlive the meter) and a session over them; a
/// Serial choice with a device has its port opened at once. Null, with error set to the
/// reason (the scenario's or the port's), when that fails.
std::unique_ptr<Meter> MakeMeter(const MeterChoice& choice, link::Clock& clock, QString* error);

} // namespace thermo4::session
