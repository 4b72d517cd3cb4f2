#include "link/HidUsbTransport.h"

#include <hidapi/hidapi.h>

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace thermo4::link {

namespace {
QString fromWide(const wchar_t* text) {
    return text != nullptr ? QString::fromWCharArray(text) : QString();
}
} // namespace

HidUsbTransport::HidUsbTransport() {
    m_initialised = hid_init() == 0;
}

HidUsbTransport::~HidUsbTransport() {
    close();
    if (m_initialised) {
        hid_exit();
    }
}

QString HidUsbTransport::permissionMessage(const QString& nodePath) {
    return QStringLiteral(
               "The meter is attached but %1 may not be opened by this user. Install the udev rule "
               "70-thermo4.rules (the package does; from the sources: sudo cp packaging/70-thermo4.rules "
               "/etc/udev/rules.d/), run sudo udevadm control --reload, then unplug and replug the meter.")
        .arg(nodePath);
}

QString HidUsbTransport::takeNotice() {
    QString notice;
    notice.swap(m_notice);
    return notice;
}

QString HidUsbTransport::permissionProblem(const QString& nodePath) {
    const QByteArray path = nodePath.toLocal8Bit();
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        return permissionMessage(nodePath);
    }
    return {};
}

void HidUsbTransport::checkPermission(std::uint16_t vendorId, std::uint16_t productId) {
    if (m_noticeGiven) {
        return;
    }
    hid_device_info* devices = hid_enumerate(vendorId, productId);
    for (const hid_device_info* d = devices; d != nullptr; d = d->next) {
        if (d->path == nullptr) {
            continue;
        }
        m_notice = permissionProblem(QString::fromLocal8Bit(d->path));
        if (!m_notice.isEmpty()) {
            m_noticeGiven = true;
            break;
        }
    }
    hid_free_enumeration(devices);
}

QString HidUsbTransport::locationOf(const QString& nodePath, const QString& sysRoot) {
    // /sys/class/hidraw/hidraw3/device leads to …/usb1/1-2/1-2:1.0/0003:04D9:E000.0001:
    // the interface's folder is "<bus>-<port>[.<port>…]:<configuration>.<interface>".
    const QString device = QFileInfo(nodePath).fileName();
    const QString resolved =
        QFileInfo(QStringLiteral("%1/class/hidraw/%2/device").arg(sysRoot, device)).canonicalFilePath();
    static const QRegularExpression interface(QStringLiteral("^(\\d+-\\d+(?:\\.\\d+)*):\\d+\\.\\d+$"));
    const QStringList parts = resolved.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (auto part = parts.crbegin(); part != parts.crend(); ++part) {
        if (const auto match = interface.match(*part); match.hasMatch())
            return match.captured(1);
    }
    return {};
}

bool HidUsbTransport::initialise() {
    if (!m_initialised)
        m_initialised = hid_init() == 0;
    if (!m_initialised)
        m_lastError = QStringLiteral("hidapi could not be initialised");
    return m_initialised;
}

std::vector<UsbMeterInfo> HidUsbTransport::list(std::uint16_t vendorId, std::uint16_t productId) {
    std::vector<UsbMeterInfo> meters;
    if (!initialise())
        return meters;
    hid_device_info* devices = hid_enumerate(vendorId, productId);
    for (const hid_device_info* d = devices; d != nullptr; d = d->next) {
        if (d->path == nullptr)
            continue;
        const QString path = QString::fromLocal8Bit(d->path);
        meters.push_back({path, fromWide(d->serial_number).trimmed(), locationOf(path)});
    }
    hid_free_enumeration(devices);
    return meters;
}

int HidUsbTransport::openPath(const QString& path) {
    close();
    if (!initialise())
        return -1;
    m_device = hid_open_path(path.toLocal8Bit().constData());
    if (m_device == nullptr) {
        m_lastError = fromWide(hid_error(nullptr));
        if (!m_noticeGiven) {
            m_notice = permissionProblem(path);
            m_noticeGiven = !m_notice.isEmpty();
        }
        return -1;
    }
    m_lastError.clear();
    return 0;
}

int HidUsbTransport::open(std::uint16_t vendorId, std::uint16_t productId) {
    close();
    if (!initialise())
        return -1;
    m_device = hid_open(vendorId, productId, nullptr);
    if (m_device == nullptr) {
        m_lastError = fromWide(hid_error(nullptr));
        checkPermission(vendorId, productId);
        return -1;
    }
    m_lastError.clear();
    return 0;
}

int HidUsbTransport::setTimeouts(int readMs, int /*writeMs*/) {
    // hidraw writes do not time out; reads wait at most readMs per report.
    if (m_device == nullptr) {
        return -1;
    }
    m_readTimeoutMs = std::max(readMs, 0);
    return 0;
}

int HidUsbTransport::writeReport(std::span<const std::uint8_t> bytes) {
    if (m_device == nullptr || bytes.size() > kReportSize) {
        return -1;
    }
    // Byte 0 is the report number (0: the device uses none), then one zero-padded report.
    std::array<unsigned char, kReportSize + 1> report{};
    std::copy(bytes.begin(), bytes.end(), report.begin() + 1);
    const int written = hid_write(m_device, report.data(), report.size());
    if (written < 0) {
        m_lastError = fromWide(hid_error(m_device));
        return -1;
    }
    return 0;
}

int HidUsbTransport::writeCommand(std::span<const std::uint8_t> frame) {
    return writeReport(frame);
}

int HidUsbTransport::writeBlock(std::span<const std::uint8_t> block) {
    return writeReport(block);
}

int HidUsbTransport::finishWrite() {
    return m_device != nullptr ? 0 : -1;
}

int HidUsbTransport::read(std::span<std::uint8_t> reply) {
    if (m_device == nullptr) {
        return -1;
    }
    std::size_t filled = 0;
    while (filled < reply.size()) {
        std::array<unsigned char, kReportSize> report{};
        const int got = hid_read_timeout(m_device, report.data(), report.size(), m_readTimeoutMs);
        if (got < 0) {
            // The device vanished or the node failed: the read fails, the handle goes.
            m_lastError = fromWide(hid_error(m_device));
            close();
            return -1;
        }
        if (got == 0) {
            m_lastError = QStringLiteral("no reply within %1 ms").arg(m_readTimeoutMs);
            return -1;
        }
        const std::size_t take = std::min(static_cast<std::size_t>(got), reply.size() - filled);
        std::copy_n(report.begin(), take, reply.begin() + static_cast<std::ptrdiff_t>(filled));
        filled += take;
    }
    return 0;
}

int HidUsbTransport::serialNumber(std::span<char> buffer) {
    if (m_device == nullptr || buffer.empty()) {
        return -1;
    }
    std::array<wchar_t, 64> text{};
    if (hid_get_serial_number_string(m_device, text.data(), text.size()) != 0) {
        m_lastError = fromWide(hid_error(m_device));
        return -1;
    }
    const QByteArray bytes = QString::fromWCharArray(text.data()).toLatin1();
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(bytes.size()), buffer.size() - 1);
    std::copy_n(bytes.constData(), n, buffer.begin());
    buffer[n] = '\0';
    return 0;
}

int HidUsbTransport::close() {
    if (m_device != nullptr) {
        hid_close(m_device);
        m_device = nullptr;
    }
    return 0;
}

} // namespace thermo4::link
