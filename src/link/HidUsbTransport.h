#pragma once

#include "link/UsbTransport.h"

#include <QString>

#include <cstddef>

struct hid_device_;

namespace thermo4::link {

/// The meter over hidraw (hidapi). How the bytes travel in HID reports:
/// every report is kReportSize bytes, without a report number (report ID 0).
/// A 7-byte command frame or a 32-byte data block goes out as one output
/// report, zero-padded. A reply of n bytes (32, 36 or 64) is the bytes of
/// the input reports that follow, in order, until n are held (one report when
/// the meter's reports are 64 bytes long); the rest of the last one is dropped.
/// Each report is awaited for at most the read time-out set by setTimeouts; a
/// report that does not come in time fails the read. open() closes a handle left open by an
/// earlier transaction first, so reports from before the open are never read.
class HidUsbTransport : public UsbTransport {
public:
    /// Bytes per HID report, both ways (the report number is not counted).
    static constexpr std::size_t kReportSize = 64;

    HidUsbTransport();
    ~HidUsbTransport() override;
    HidUsbTransport(const HidUsbTransport&) = delete;
    HidUsbTransport& operator=(const HidUsbTransport&) = delete;

    std::vector<UsbMeterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override;
    int openPath(const QString& path) override;
    int open(std::uint16_t vendorId, std::uint16_t productId) override;
    int setTimeouts(int readMs, int writeMs) override;
    int writeCommand(std::span<const std::uint8_t> frame) override;
    int writeBlock(std::span<const std::uint8_t> block) override;
    int finishWrite() override;
    int read(std::span<std::uint8_t> reply) override;
    int serialNumber(std::span<char> buffer) override;
    int close() override;

    /// The reason of the last failure, for logs (empty after a success).
    QString lastError() const { return m_lastError; }
    /// A message for the user, once: the meter is attached but its hidraw node
    /// may not be opened by this user, with the udev fix. Empty afterwards and
    /// whenever there is nothing new to say.
    QString takeNotice();

    /// The user-facing text about a hidraw node this user may not open.
    static QString permissionMessage(const QString& nodePath);
    /// permissionMessage(nodePath) when this user may not read and write the
    /// node; empty when it may (or when the node does not exist).
    static QString permissionProblem(const QString& nodePath);
    /// The bus-port ("1-2") of the USB device behind a hidraw node, read from
    /// sysfs below sysRoot; empty when the node is not a USB device's.
    static QString locationOf(const QString& nodePath, const QString& sysRoot = QStringLiteral("/sys"));

private:
    int writeReport(std::span<const std::uint8_t> bytes);
    bool initialise();
    void checkPermission(std::uint16_t vendorId, std::uint16_t productId);

    hid_device_* m_device = nullptr;
    int m_readTimeoutMs = 100;
    QString m_lastError;
    QString m_notice;
    bool m_noticeGiven = false;
    bool m_initialised = false;
};

} // namespace thermo4::link
