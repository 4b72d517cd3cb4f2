#pragma once

#include "link/DeviceLock.h"
#include "link/SerialPort.h"

#include <memory>

class QSerialPort;

namespace thermo4::link {

/// A serial device of the system (/dev/rfcomm0, /dev/ttyUSB0, a pseudo-terminal)
/// over QSerialPort: 9600 8N1 with RTS/CTS handshake and DTR raised. Devices
/// without modem lines (pseudo-terminals) refuse the DTR request; that is not
/// an error. A device that goes away (a Bluetooth link dropped, an adapter
/// pulled out) or fails a read or write closes the port. While the port is open its device's
/// DeviceLock is held. Waits block on the device's readiness; a
/// KeepAlive wait runs a local event loop meanwhile.
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    bool open(const QString& device) override;
    void close() override;
    bool isOpen() const override;
    QString deviceName() const override { return m_device; }
    QString errorString() const override { return m_error; }

    bool write(std::span<const std::uint8_t> bytes) override;
    std::size_t inputCount() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;
    void discardInput() override;
    std::size_t waitForInput(std::size_t count, int timeoutMs, SerialWait how) override;

private:
    /// Closes a port whose device went away.
    void dropIfLost();
    /// Moves what the device holds into the port's buffer without waiting.
    void takeArrived();
    /// Waits timeoutMs with nothing to watch (the port is closed).
    static void waitClosed(int timeoutMs, SerialWait how);

    std::unique_ptr<QSerialPort> m_port;
    /// Held while the port is open, so no other of our programs talks to the meter meanwhile.
    DeviceLock m_lock;
    QString m_device;
    QString m_error;
    /// The device reported itself gone; the port closes at the next call.
    bool m_lost = false;
    /// First failure reported since the last open (a QSerialPort::SerialPortError).
    int m_firstError = 0;
};

} // namespace thermo4::link
