#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>

namespace thermo4::link {

/// How a wait on a serial port treats the program's events meanwhile.
enum class SerialWait {
    /// No events at all (the poll's and the identify's waits).
    Busy,
    /// Every event, user input included (the download's waits): the windows stay
    /// drawn and the progress window's Cancel is seen; the link guard keeps
    /// every other transaction off the port meanwhile.
    KeepAlive,
};

/// The serial-port operations the meter transactions use: open a device at the
/// meter's line settings, close, write, the input count, read, discard input,
/// and a wait for input with a time limit (the waits block on the port, never
/// spin). Device names are system paths (/dev/rfcomm0, /dev/ttyUSB0, a
/// pseudo-terminal). Failures are return values, never exceptions.
/// Implementations: QtSerialPort (a device of the system) and the virtual
/// meter's in-process port.
class SerialPort {
public:
    /// The meter's line: 9600 baud, 8 data bits, no parity, 1 stop bit.
    static constexpr int kBaudRate = 9600;
    /// Input buffer of the port (bytes).
    static constexpr std::size_t kInputBufferSize = 4096;

    virtual ~SerialPort() = default;

    /// Closes the port if it is open, then opens device at the meter's line
    /// settings and discards anything pending. False when it cannot be opened
    /// (no such device, in use, no permission); errorString() says why.
    virtual bool open(const QString& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    /// The device last given to open().
    virtual QString deviceName() const = 0;
    /// Why the last open or transfer failed (empty when nothing failed).
    virtual QString errorString() const = 0;

    /// Starts sending bytes and returns without waiting for them to leave.
    /// False when the port is closed or the device refused them.
    virtual bool write(std::span<const std::uint8_t> bytes) = 0;
    /// Bytes received and not yet read (0 when the port is closed).
    virtual std::size_t inputCount() = 0;
    /// Copies up to buffer.size() bytes that are already waiting into buffer and
    /// returns how many; never waits.
    virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
    /// Throws away every byte received so far.
    virtual void discardInput() = 0;
    /// Waits until at least count bytes are waiting or timeoutMs have passed,
    /// whichever comes first, and returns the input count. On a port closed
    /// when the wait starts it waits the whole time (nothing can arrive, and a
    /// caller waiting in a loop must not spin); a port that closes during the
    /// wait (its device went away) may end it early.
    virtual std::size_t waitForInput(std::size_t count, int timeoutMs, SerialWait how) = 0;
};

} // namespace thermo4::link
