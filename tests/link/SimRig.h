#pragma once

#include "link/LinkState.h"
#include "link/UsbMeterLink.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/ManualClock.h"

#include <functional>
#include <set>
#include <stdexcept>

namespace thermo4::link::test {

/// The virtual meter on a manual clock, plugged in over its in-process USB
/// transport, with the main window's link state beside it.
struct SimRig {
    ManualClock clock;
    sim::VirtualMeter meter{clock};
    sim::SimUsbTransport usb{meter};
    UsbMeterLink usbLink{usb, clock};
    LinkState state;

    UsbExchange exchange() { return usbLink.exchange(state.reply); }
    std::string letters() const { return meter.receivedLetters(); }
};

/// The steps of a USB transaction a test can make report failure.
enum class Step { None, Open, Timeouts, Write, Read };

/// Forwards every call to the real transport, then reports failure for the
/// chosen steps as a library would whose call went through but whose status
/// came back bad; or throws from the read, as a library raising an error.
class ReportingTransport : public UsbTransport {
public:
    explicit ReportingTransport(UsbTransport& inner) : m_inner(inner) {}

    std::set<Step> failing;
    bool throwOnRead = false;
    /// Replaces reply bytes 2 and 3 after a read (to spoil an "OK").
    bool spoilAcknowledge = false;

    /// Called at every open, before it is forwarded.
    std::function<void()> onOpen;

    int open(std::uint16_t v, std::uint16_t p) override {
        if (onOpen) {
            onOpen();
        }
        return report(Step::Open, m_inner.open(v, p));
    }
    int setTimeouts(int r, int w) override { return report(Step::Timeouts, m_inner.setTimeouts(r, w)); }
    int writeCommand(std::span<const std::uint8_t> f) override {
        return report(Step::Write, m_inner.writeCommand(f));
    }
    int writeBlock(std::span<const std::uint8_t> b) override { return m_inner.writeBlock(b); }
    int finishWrite() override { return m_inner.finishWrite(); }
    int read(std::span<std::uint8_t> reply) override {
        if (throwOnRead) {
            throw std::runtime_error("device error");
        }
        const int result = report(Step::Read, m_inner.read(reply));
        if (spoilAcknowledge && reply.size() > 3) {
            reply[2] = 'N';
            reply[3] = 'O';
        }
        return result;
    }
    int serialNumber(std::span<char> b) override { return m_inner.serialNumber(b); }
    int close() override { return m_inner.close(); }

private:
    int report(Step step, int result) const { return failing.count(step) > 0 ? -1 : result; }
    UsbTransport& m_inner;
};

} // namespace thermo4::link::test
