#include "link/UsbTransactions.h"

#include "core/Commands.h"
#include "link/TransportCall.h"

#include <algorithm>
#include <span>

namespace thermo4::link {

namespace {

bool openWithTimeouts(UsbExchange& s) {
    return s.transport.open(s.vendorId, s.productId) == 0 &&
           s.transport.setTimeouts(kUsbTimeoutMs, kUsbTimeoutMs) == 0;
}

// The poll's transactions report failure as false; after a throw the device is closed.
template <typename Body> bool guarded(UsbExchange& s, Body&& body) {
    return Guarded(std::forward<Body>(body), [&] {
        CallTransport([&] { return s.transport.close(); });
        return false;
    });
}
} // namespace

bool IdentifyUsb(UsbExchange& s, char letter) {
    return guarded(s, [&] {
        bool ok = false;
        if (openWithTimeouts(s)) {
            s.frame.setCommand(letter);
            // A failed write shows up as a failed or stale read.
            s.transport.writeCommand(s.frame.span());
            s.transport.finishWrite();
            ok = s.transport.read(std::span(s.reply).first(core::kShortReplySize)) == 0;
        }
        s.transport.close();
        return ok;
    });
}

bool ReadLiveFrameUsb(UsbExchange& s) {
    return guarded(s, [&] {
        if (!openWithTimeouts(s)) {
            s.transport.close();
            return false;
        }
        s.frame.setCommand(core::kLiveRead);
        ++s.sequence; // 8-bit: wraps from 255 to 0
        s.frame.param(4) = s.sequence;
        s.transport.writeCommand(s.frame.span());
        s.transport.finishWrite();
        std::fill(s.reply.begin(), s.reply.end(), std::uint8_t{0});
        const bool ok = s.transport.read(std::span(s.reply).first(core::kLiveFrameSize)) == 0;
        s.transport.close();
        return ok;
    });
}

core::LinkResult PanelTransaction(UsbTransport& transport, const core::CommandFrame& frame,
                                  std::uint16_t vendorId, std::uint16_t productId) {
    // A step that is allowed to fail: the next one runs all the same.
    const auto failed = [](auto&& step) { return CallTransport(step) != 0; };
    core::LinkResult code = core::kLinkOk;
    if (failed([&] { return transport.open(vendorId, productId); })) {
        code = core::PanelKeyResult::kOpen;
    }
    if (failed([&] { return transport.setTimeouts(kUsbTimeoutMs, kUsbTimeoutMs); })) {
        code = core::PanelKeyResult::kTimeouts;
    }
    if (failed([&] { return transport.writeCommand(frame.span()); })) {
        code = core::PanelKeyResult::kWriteCommand;
    }
    failed([&] { return transport.finishWrite(); });
    return Guarded(
        [&] {
            std::array<std::uint8_t, core::kShortReplySize> reply{};
            if (transport.read(reply) != 0) {
                return core::PanelKeyResult::kRead;
            }
            if (!core::ReplyHasOk(reply, 2)) {
                return core::PanelKeyResult::kReplyCheck;
            }
            return code;
        },
        [] { return core::PanelKeyResult::kLibraryError; });
}

} // namespace thermo4::link
