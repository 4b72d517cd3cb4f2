#pragma once

#include <QString>

#include <memory>

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
    /// The one-time message about the USB device (e.g. no permission on its node); empty if none.
    QString takeNotice();

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
