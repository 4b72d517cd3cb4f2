#pragma once

#include "link/DeviceLock.h"
#include "link/UsbTransport.h"

#include <optional>

namespace thermo4::link {

/// The meter this program talks to among those attached on USB, and its lock.
/// Every transaction opens the meter: the first open lists the attached
/// meters, takes the lock of the chosen one (by path or serial number) or of
/// the first free one, and opens it by its path; later opens go straight to
/// that meter while the lock is held. A meter another program holds is
/// skipped, or, when it was asked for by name, refused (takeNotice() says by
/// whom). The lock is kept until release() (the connection ended) or until
/// the meter cannot be opened any more.
class ChosenUsbTransport : public UsbTransport {
public:
    /// wanted: a path or serial number; empty for the first free meter.
    explicit ChosenUsbTransport(UsbTransport& bus, QString wanted = {});

    /// Another meter from now on (empty: the first free one); the held lock goes.
    void choose(const QString& wanted);
    QString wanted() const { return m_wanted; }
    /// Tried first when no meter is asked for by name (the one chosen last time).
    void setPreferred(const QString& pathOrSerial) { m_preferred = pathOrSerial; }
    /// The meter whose lock is held; nothing when none is.
    std::optional<UsbMeterInfo> current() const;
    /// Gives up the held meter: its lock goes, its handle is closed.
    void release();
    /// Why the last open found no meter, once per new reason: the holder of an
    /// asked-for meter, or that no attached meter has that name. Empty otherwise.
    QString takeNotice();

    std::vector<UsbMeterInfo> list(std::uint16_t vendorId, std::uint16_t productId) override;
    int openPath(const QString& path) override;
    int open(std::uint16_t vendorId, std::uint16_t productId) override;
    int setTimeouts(int readMs, int writeMs) override { return m_bus.setTimeouts(readMs, writeMs); }
    int writeCommand(std::span<const std::uint8_t> frame) override { return m_bus.writeCommand(frame); }
    int writeBlock(std::span<const std::uint8_t> block) override { return m_bus.writeBlock(block); }
    int finishWrite() override { return m_bus.finishWrite(); }
    int read(std::span<std::uint8_t> reply) override { return m_bus.read(reply); }
    int serialNumber(std::span<char> buffer) override { return m_bus.serialNumber(buffer); }
    int close() override { return m_bus.close(); }

    /// The meter is the one pathOrSerial names.
    static bool names(const UsbMeterInfo& meter, const QString& pathOrSerial);

private:
    /// Locks and opens meter; false (lock given back) when either fails.
    bool take(const UsbMeterInfo& meter);
    void setNotice(const QString& text);

    UsbTransport& m_bus;
    QString m_wanted;
    QString m_preferred;
    DeviceLock m_lock;
    std::optional<UsbMeterInfo> m_current;
    QString m_notice;
    QString m_lastNotice;
};

} // namespace thermo4::link
