#pragma once

#include "link/SerialPort.h"
#include "sim/SerialMeterLine.h"

#include <QStringList>

#include <deque>
#include <map>
#include <memory>

namespace thermo4::link {
class Clock;
}

namespace thermo4::sim {

class VirtualMeter;

/// Serial ports in process, each with a virtual meter on its line, timed on the
/// shared Clock: a reply arrives after the command and its own bytes have
/// crossed the line (at the byte time set, 0 by default: at once). A wait
/// moves to the moment the bytes it waits for arrive, or to its time limit, so
/// on a ManualClock it takes no real time. Discarding input drops only what
/// has arrived; bytes still on the line come later.
class SimSerialPort : public link::SerialPort {
public:
    /// Line time of one byte at 9600 baud, 10 bits a byte (µs).
    static constexpr std::int64_t kByteTime9600Us = 1042;

    explicit SimSerialPort(link::Clock& clock);

    /// Puts meter behind device (replacing what was there); returns its line.
    SerialMeterLine& attach(const QString& device, VirtualMeter& meter);
    /// Takes device away, as an adapter pulled out: a port open on it closes.
    void detach(const QString& device);
    /// Line time of one byte (µs); 0 delivers replies at once.
    void setByteTimeUs(std::int64_t us) { m_byteTimeUs = us < 0 ? 0 : us; }

    /// Every open() so far, in order (successful or not).
    const QStringList& opened() const { return m_opened; }
    /// Bytes written since the port was last opened.
    const std::vector<std::uint8_t>& written() const { return m_written; }

    bool open(const QString& device) override;
    void close() override;
    bool isOpen() const override { return m_line != nullptr; }
    QString deviceName() const override { return m_device; }
    QString errorString() const override { return m_error; }

    bool write(std::span<const std::uint8_t> bytes) override;
    std::size_t inputCount() override;
    std::size_t read(std::span<std::uint8_t> buffer) override;
    void discardInput() override;
    std::size_t waitForInput(std::size_t count, int timeoutMs, link::SerialWait how) override;

private:
    struct Arrival {
        std::uint8_t byte;
        std::int64_t atUs;
    };
    std::int64_t nowUs() const;
    void wait(std::int64_t ms, link::SerialWait how);

    link::Clock& m_clock;
    std::map<QString, std::unique_ptr<SerialMeterLine>> m_lines;
    SerialMeterLine* m_line = nullptr;
    QString m_device;
    QString m_error;
    std::int64_t m_byteTimeUs = 0;
    /// When the meter's side of the line is free to start the next reply (µs).
    std::int64_t m_lineFreeUs = 0;
    std::deque<Arrival> m_input;
    std::vector<std::uint8_t> m_written;
    QStringList m_opened;
};

} // namespace thermo4::sim
