#pragma once

#include <QString>
#include <QStringList>

namespace thermo4::link {

/// The serial devices to offer: what the system's port list names plus the
/// Bluetooth serial nodes it leaves out (/dev/rfcomm*), in the order
/// OrderSerialPorts gives.
QStringList ListSerialPorts();

/// Merges device paths without repeats and orders them: Bluetooth links
/// (rfcomm) first, then USB adapters (ttyUSB, ttyACM), then the rest; by name
/// within each kind, numbers compared as numbers (ttyS2 before ttyS10).
QStringList OrderSerialPorts(const QStringList& devices);

} // namespace thermo4::link
