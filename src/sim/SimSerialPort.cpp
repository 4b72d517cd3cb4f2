#include "sim/SimSerialPort.h"

#include "link/Clock.h"

#include <algorithm>

namespace thermo4::sim {

SimSerialPort::SimSerialPort(link::Clock& clock) : m_clock(clock) {}

SerialMeterLine& SimSerialPort::attach(const QString& device, VirtualMeter& meter) {
    if (m_device == device) {
        close();
    }
    auto& line = m_lines[device];
    line = std::make_unique<SerialMeterLine>(meter);
    return *line;
}

void SimSerialPort::detach(const QString& device) {
    if (m_device == device && m_line != nullptr) {
        close();
        m_error = QStringLiteral("%1: the device went away").arg(device);
    }
    m_lines.erase(device);
}

std::int64_t SimSerialPort::nowUs() const {
    return m_clock.tickMs() * 1000;
}

bool SimSerialPort::open(const QString& device) {
    close();
    m_opened.append(device);
    m_device = device;
    const auto it = m_lines.find(device);
    if (it == m_lines.end()) {
        m_error = QStringLiteral("%1: no such device").arg(device);
        return false;
    }
    m_error.clear();
    m_line = it->second.get();
    m_written.clear();
    return true;
}

void SimSerialPort::close() {
    m_line = nullptr;
    m_input.clear();
    m_lineFreeUs = 0;
}

bool SimSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (m_line == nullptr) {
        return false;
    }
    m_written.insert(m_written.end(), bytes.begin(), bytes.end());
    const std::int64_t heard = nowUs() + static_cast<std::int64_t>(bytes.size()) * m_byteTimeUs;
    const std::vector<std::uint8_t> reply = m_line->receive(bytes);
    std::int64_t at = std::max(heard, m_lineFreeUs);
    for (const std::uint8_t b : reply) {
        at += m_byteTimeUs;
        m_input.push_back({b, at});
    }
    m_lineFreeUs = at;
    return true;
}

std::size_t SimSerialPort::inputCount() {
    if (m_line == nullptr) {
        return 0;
    }
    const std::int64_t now = nowUs();
    const auto firstLate =
        std::find_if(m_input.begin(), m_input.end(), [now](const Arrival& a) { return a.atUs > now; });
    return static_cast<std::size_t>(
        std::min<std::ptrdiff_t>(firstLate - m_input.begin(), static_cast<std::ptrdiff_t>(kInputBufferSize)));
}

std::size_t SimSerialPort::read(std::span<std::uint8_t> buffer) {
    const std::size_t n = std::min(buffer.size(), inputCount());
    for (std::size_t i = 0; i < n; ++i) {
        buffer[i] = m_input.front().byte;
        m_input.pop_front();
    }
    return n;
}

void SimSerialPort::discardInput() {
    const std::size_t n = inputCount();
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(n));
}

void SimSerialPort::wait(std::int64_t ms, link::SerialWait how) {
    if (ms <= 0) {
        return;
    }
    // A clock wait of n ends once more than n ms have passed, so n = ms - 1 waits ms.
    const int n = static_cast<int>(ms - 1);
    if (how == link::SerialWait::KeepAlive) {
        m_clock.delayWithMessages(n);
    } else {
        m_clock.delayBusy(n);
    }
}

std::size_t SimSerialPort::waitForInput(std::size_t count, int timeoutMs, link::SerialWait how) {
    if (count == 0 || inputCount() >= count) {
        return inputCount();
    }
    const std::int64_t start = m_clock.tickMs();
    std::int64_t until = start + std::max(timeoutMs, 0);
    if (m_line != nullptr && count > 0 && count <= m_input.size() && count <= kInputBufferSize) {
        const std::int64_t arrivesUs = m_input[count - 1].atUs;
        until = std::min(until, (arrivesUs + 999) / 1000); // the first tick at which it is there
    }
    wait(until - start, how);
    return inputCount();
}

} // namespace thermo4::sim
