#pragma once

#include "ui/Paths.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace thermo4::link {
class Clock;
class SerialPort;
class UsbTransport;
} // namespace thermo4::link

namespace thermo4::session {
class Meter;
class MeterSession;
} // namespace thermo4::session

namespace thermo4::ui {

class Prompts;

/// What the windows need from outside: the clock, the USB meter (real or
/// virtual), the serial port, the prompts, the paths, where the settings live,
/// and how a file is opened with the desktop's default handler. main() fills
/// it; tests fill it with a manual clock, the virtual meter and scripted
/// prompts. Pointers are not owned and must outlive the main window.
struct AppServices {
    link::Clock* clock = nullptr;
    /// The meter session main() made with the meter factory; it outlives the main window.
    /// Null: the main window makes its own over usb and serialPort.
    session::MeterSession* session = nullptr;
    /// The meter main() made (session is its session): the USB meters to list and
    /// choose, and the name of the one held. Null: the device list has serial ports only.
    session::Meter* meter = nullptr;
    link::UsbTransport* usb = nullptr;
    /// The serial port object of the device list, the search and the serial link.
    link::SerialPort* serialPort = nullptr;
    Prompts* prompts = nullptr;
    Paths paths;
    /// The USB meter is the built-in virtual meter (--simulate).
    bool simulated = false;
    /// Data Logger > Setup is offered (--service); hidden otherwise.
    bool service = false;
    /// An INI file for the two persisted settings; empty: the user's native settings store.
    QString settingsFile;
    /// Where earlier versions kept the settings, read when the store above has neither value:
    /// an INI file when settingsFile is set (empty: none), else the former native store.
    QString formerSettingsFile;
    /// Opens a local file or URL with the desktop's default handler; empty: QDesktopServices.
    std::function<bool(const QUrl&)> openUrl;
    /// Ends the event loop (File > Exit); empty: QCoreApplication::exit(0).
    std::function<void()> exitLoop;
    /// A one-time message from the USB link for the user (e.g. no permission on
    /// the device node, with the fix); empty when there is nothing new.
    std::function<QString()> takeLinkNotice;
};

} // namespace thermo4::ui
