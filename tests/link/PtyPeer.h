#pragma once

#include "link/SystemClock.h"
#include "sim/PtyMeterServer.h"
#include "sim/VirtualMeter.h"

#include <functional>
#include <memory>
#include <thread>

namespace thermo4::link::test {

/// The virtual meter served on a pseudo-terminal from a thread of its own, for
/// driving the real serial port code. The meter is set up before the thread
/// starts and not touched from the test afterwards.
class PtyPeer {
public:
    explicit PtyPeer(const std::function<void(sim::VirtualMeter&)>& setUp = {}, bool paced = false)
        : m_meter(std::make_unique<sim::VirtualMeter>(m_clock)) {
        if (setUp) {
            setUp(*m_meter);
        }
        m_server = std::make_unique<sim::PtyMeterServer>(*m_meter);
        m_server->setPaced(paced);
        m_open = m_server->open(&m_error);
        if (m_open) {
            m_thread = std::thread([server = m_server.get()] { server->run(nullptr); });
        }
    }
    ~PtyPeer() { unplug(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool isOpen() const { return m_open; }
    QString error() const { return m_error; }
    QString path() const { return m_server ? m_server->path() : QString(); }
    /// Stops serving and closes the terminal, as a device that goes away.
    void unplug() {
        if (m_thread.joinable()) {
            m_server->stop();
            m_thread.join();
        }
        m_server.reset();
    }

private:
    SystemClock m_clock;
    std::unique_ptr<sim::VirtualMeter> m_meter;
    std::unique_ptr<sim::PtyMeterServer> m_server;
    std::thread m_thread;
    bool m_open = false;
    QString m_error;
};

} // namespace thermo4::link::test
