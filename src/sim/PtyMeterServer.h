#pragma once

#include "sim/SerialMeterLine.h"

#include <QString>

#include <atomic>

namespace thermo4::sim {

class VirtualMeter;

/// The virtual meter on a pseudo-terminal: a program that opens path() as a
/// serial port talks to the meter as over a serial line. Paced, every reply
/// keeps to 9600-baud line time: it starts once the command's bytes would have
/// crossed the line and then comes byte by byte, 1.04 ms apart. The terminal's
/// other end stays open for the server's whole life, so a program may close and
/// open the path again.
class PtyMeterServer {
public:
    /// Line time of one byte at 9600 baud, 10 bits a byte (ns).
    static constexpr std::int64_t kByteTimeNs = 1'041'667;

    explicit PtyMeterServer(VirtualMeter& meter);
    ~PtyMeterServer();
    PtyMeterServer(const PtyMeterServer&) = delete;
    PtyMeterServer& operator=(const PtyMeterServer&) = delete;

    /// Opens the pseudo-terminal pair; false with the reason in error.
    bool open(QString* error);
    /// The path a program opens as its serial port (e.g. /dev/pts/3).
    QString path() const { return m_path; }
    void setPaced(bool paced) { m_paced = paced; }
    SerialMeterLine& line() { return m_line; }

    /// Answers on the terminal until stop() is called; false (with the reason
    /// in error) when the terminal fails.
    bool run(QString* error);
    /// Makes run() return. Safe from a signal handler and from another thread.
    void stop();

private:
    SerialMeterLine m_line;
    QString m_path;
    int m_master = -1;
    int m_slave = -1;
    int m_stop = -1;
    bool m_paced = false;
};

} // namespace thermo4::sim
