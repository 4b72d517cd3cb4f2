#include "link/SerialTransactions.h"

#include "core/Commands.h"

#include <algorithm>
#include <array>

namespace thermo4::link {

namespace {

/// Wait before and after the progress call of each search pass (ms).
constexpr int kSearchStepWaitMs = 100;

/// Reads count waiting bytes; the first keep.size() go to keep, the rest are
/// dropped. Returns the number read (fewer when the port fails).
std::size_t readKeepingFirst(SerialPort& port, std::size_t count, std::span<std::uint8_t> keep) {
    std::array<std::uint8_t, 256> chunk{};
    std::size_t total = 0;
    while (total < count) {
        const std::size_t got = port.read(std::span(chunk).first(std::min(chunk.size(), count - total)));
        if (got == 0) {
            break;
        }
        if (total < keep.size()) {
            std::copy_n(chunk.begin(), std::min(got, keep.size() - total), keep.begin() + total);
        }
        total += got;
    }
    return total;
}

} // namespace

std::size_t IdentifySerialReply(SerialExchange& s, ReplyBuffer& reply) {
    s.frame.setCommand(core::kIdentify);
    s.port.write(s.frame.span());
    const std::size_t waiting =
        s.port.waitForInput(core::kShortReplySize, kSerialIdentifyWaitMs, SerialWait::Busy);
    return readKeepingFirst(s.port, waiting, reply);
}

bool IdentifySerial(SerialExchange& s, ReplyBuffer& reply) {
    return IdentifySerialReply(s, reply) >= core::kShortReplySize && core::ReplyHasModelCode(reply);
}

bool ReadLiveFrameSerial(SerialExchange& s, ReplyBuffer& reply, bool* invalid) {
    if (invalid) {
        *invalid = false;
    }
    s.frame.setCommand(core::kLiveRead);
    if (s.port.isOpen() && !s.port.write(s.frame.span())) {
        s.port.close();
    }
    s.clock.delayBusy(kSerialLiveReadWaitMs);
    if (!s.port.isOpen()) {
        return false;
    }
    const std::size_t waiting = s.port.inputCount();
    if (waiting < core::kLiveFrameSize) {
        return false;
    }
    if (readKeepingFirst(s.port, waiting, reply) < core::kLiveFrameSize) {
        return false;
    }
    const bool valid = core::LiveFrameMarkersOk(reply) && core::Checksum8(reply, 1, 61) == reply[62];
    if (invalid) {
        *invalid = !valid;
    }
    return valid;
}

std::optional<int> SearchSerialPorts(SerialExchange& s, const QStringList& ports, ReplyBuffer& reply,
                                     const SerialSearchProgress& progress) {
    s.port.close();
    const auto n = static_cast<int>(ports.size());
    int k = 0;
    for (int pass = 0; pass < n; ++pass) {
        s.clock.delayWithMessages(kSearchStepWaitMs);
        const QString& device = ports.at(k);
        if (progress) {
            progress(k, QStringLiteral("Searching on ") + device);
        }
        s.clock.delayWithMessages(kSearchStepWaitMs);
        if (!s.port.open(device)) {
            ++k;
            continue;
        }
        if (IdentifySerialReply(s, reply) < core::kShortReplySize) {
            s.port.close();
            ++k;
            continue;
        }
        if (core::ReplyHasModelCode(reply)) {
            return k;
        }
        // Another model answered: the same port is tried again in the next pass.
        s.port.close();
    }
    return std::nullopt;
}

} // namespace thermo4::link
