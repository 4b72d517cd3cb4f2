#include "link/ChosenUsbTransport.h"

#include <algorithm>
#include <utility>

namespace thermo4::link {

ChosenUsbTransport::ChosenUsbTransport(UsbTransport& bus, QString wanted)
    : m_bus(bus), m_wanted(std::move(wanted)) {}

bool ChosenUsbTransport::names(const UsbMeterInfo& meter, const QString& pathOrSerial) {
    return !pathOrSerial.isEmpty() && (meter.path == pathOrSerial || meter.serial == pathOrSerial);
}

void ChosenUsbTransport::choose(const QString& wanted) {
    release();
    m_wanted = wanted;
    m_lastNotice.clear();
}

std::optional<UsbMeterInfo> ChosenUsbTransport::current() const {
    return m_current;
}

void ChosenUsbTransport::release() {
    if (m_current)
        m_preferred = m_current->path;
    m_bus.close();
    m_lock.release();
    m_current.reset();
}

QString ChosenUsbTransport::takeNotice() {
    return std::exchange(m_notice, QString());
}

void ChosenUsbTransport::setNotice(const QString& text) {
    // The poll opens every half second: a refusal is said once, not at every tick.
    if (text != m_lastNotice)
        m_notice = text;
    m_lastNotice = text;
}

std::vector<UsbMeterInfo> ChosenUsbTransport::list(std::uint16_t vendorId, std::uint16_t productId) {
    return m_bus.list(vendorId, productId);
}

int ChosenUsbTransport::openPath(const QString& path) {
    if (m_current && m_current->path == path)
        return m_bus.openPath(path);
    release();
    return take({path, {}, {}}) ? 0 : -1;
}

bool ChosenUsbTransport::take(const UsbMeterInfo& meter) {
    if (!m_lock.acquire(meter.path))
        return false;
    if (m_bus.openPath(meter.path) != 0) {
        m_lock.release();
        return false;
    }
    m_current = meter;
    m_lastNotice.clear();
    return true;
}

int ChosenUsbTransport::open(std::uint16_t vendorId, std::uint16_t productId) {
    if (m_current) {
        if (m_bus.openPath(m_current->path) == 0)
            return 0;
        release(); // unplugged, or its node went away: look again
    }
    std::vector<UsbMeterInfo> meters = m_bus.list(vendorId, productId);
    if (!m_wanted.isEmpty()) {
        std::erase_if(meters, [this](const UsbMeterInfo& m) { return !names(m, m_wanted); });
        if (meters.empty()) {
            setNotice(QStringLiteral("no meter %1 is attached on USB").arg(m_wanted));
            return -1;
        }
    } else {
        std::stable_partition(meters.begin(), meters.end(),
                              [this](const UsbMeterInfo& m) { return names(m, m_preferred); });
    }
    QString refusal;
    for (const UsbMeterInfo& meter : meters) {
        if (take(meter))
            return 0;
        if (refusal.isEmpty())
            refusal = m_lock.refusal();
    }
    if (!refusal.isEmpty())
        setNotice(refusal); // every attached meter is held by other programs
    return -1;
}

} // namespace thermo4::link
