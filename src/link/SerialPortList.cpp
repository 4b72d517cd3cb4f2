#include "link/SerialPortList.h"

#include <QDir>
#include <QSerialPortInfo>

#include <algorithm>
#include <tuple>

namespace thermo4::link {

namespace {

/// Where a device sorts: its kind, the name without its trailing number, the number.
std::tuple<int, QString, qulonglong, QString> sortKey(const QString& device) {
    const QString name = device.section(QLatin1Char('/'), -1);
    int kind = 3;
    if (name.startsWith(QLatin1String("rfcomm"))) {
        kind = 0;
    } else if (name.startsWith(QLatin1String("ttyUSB"))) {
        kind = 1;
    } else if (name.startsWith(QLatin1String("ttyACM"))) {
        kind = 2;
    }
    qsizetype digits = device.size();
    while (digits > 0 && device.at(digits - 1).isDigit()) {
        --digits;
    }
    bool ok = false;
    const qulonglong number = device.mid(digits).toULongLong(&ok);
    return {kind, device.left(digits), ok ? number : 0, device};
}

} // namespace

QStringList OrderSerialPorts(const QStringList& devices) {
    QStringList ordered = devices;
    ordered.removeAll(QString());
    ordered.removeDuplicates();
    std::sort(ordered.begin(), ordered.end(),
              [](const QString& a, const QString& b) { return sortKey(a) < sortKey(b); });
    return ordered;
}

QStringList ListSerialPorts() {
    QStringList devices;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        devices.append(port.systemLocation());
    }
    // Bound Bluetooth serial links (rfcomm bind) are tty devices the port list leaves out.
    const QDir dev(QStringLiteral("/dev"));
    for (const QString& name : dev.entryList({QStringLiteral("rfcomm*")}, QDir::System)) {
        devices.append(dev.filePath(name));
    }
    return OrderSerialPorts(devices);
}

} // namespace thermo4::link
