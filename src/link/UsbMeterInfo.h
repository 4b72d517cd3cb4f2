#pragma once

#include <QString>

#include <cstdint>

namespace thermo4::link {

/// The meter's USB identifiers.
inline constexpr std::uint16_t kUsbVendorId = 0x04D9;
inline constexpr std::uint16_t kUsbProductId = 0xE000;

/// One meter attached on USB, as the listing reports it.
struct UsbMeterInfo {
    /// What UsbTransport::openPath() takes: the hidraw node (/dev/hidraw3), or the virtual meter's name.
    QString path;
    /// The USB serial number; empty when the device reports none.
    QString serial;
    /// Bus and port (e.g. "1-2"); empty when unknown.
    QString location;

    /// How the meter is named to people and in the settings: its serial number, else its path.
    QString name() const { return serial.isEmpty() ? path : serial; }
};

} // namespace thermo4::link
