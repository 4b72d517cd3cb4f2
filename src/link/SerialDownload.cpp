#include "link/SerialDownload.h"

#include "core/Commands.h"
#include "core/MemoryDecoder.h"
#include "link/DownloadBlocks.h"

#include <algorithm>
#include <array>
#include <span>

namespace thermo4::link {

namespace {
constexpr std::size_t kBlockReply = core::kBlockReplySize;
/// One read takes at most this many of the waiting bytes (only the first 36 are examined).
constexpr std::size_t kReceiveBufferSize = 260;
constexpr int kFirstBlockAttempts = 3;
// Time limits (ms).
constexpr std::int64_t kFirstReplyMs = 3000;
constexpr std::int64_t kNextReplyMs = 5000;
constexpr std::int64_t kNoProgressMs = 5000;
/// A partial reply older than this (strictly) is dropped and asked for again.
constexpr std::int64_t kPartialReplyMs = 1500;
/// "p" is sent at most this many times while the next block does not start.
constexpr int kNextRequests = 10;
/// Longest piece of a wait (ms): a cancel is seen within this time.
constexpr std::int64_t kCancelCheckMs = 100;
/// More refused blocks in a row than this give up the transfer.
constexpr int kMaxRefusals = 20;

/// One download's exchanges and counters (all in bytes).
class SerialDownloadRun {
public:
    SerialDownloadRun(SerialExchange& exchange, core::MemoryImage& image, DownloadProgress* progress)
        : m_s(exchange), m_tally(image, progress) {}

    core::LinkResult run();

private:
    void send(char letter) {
        // A failed write shows as a missing reply.
        m_s.frame.setCommand(letter);
        m_s.port.write(m_s.frame.span());
    }
    std::int64_t now() const { return m_s.clock.tickMs(); }
    bool stopped() { return m_tally.stopped(); }
    /// Waits until count bytes are waiting, the tick reaches deadline, the port
    /// goes away or the download is cancelled; a cancel is seen within kCancelCheckMs.
    std::size_t waitUntil(std::size_t count, std::int64_t deadline) {
        for (;;) {
            const std::int64_t left = deadline - now();
            if (left <= 0 || stopped()) {
                return m_s.port.inputCount();
            }
            const std::size_t waiting = m_s.port.waitForInput(
                count, static_cast<int>(std::min(left, kCancelCheckMs)), SerialWait::KeepAlive);
            if (waiting >= count || !m_s.port.isOpen()) {
                return waiting;
            }
        }
    }
    /// Tells the progress that the meter is asked again; false when it answers with a cancel.
    bool notifyWaiting(int attempt, int attempts) {
        m_tally.waiting(attempt, attempts);
        return !stopped();
    }
    /// Reads the waiting bytes, at most 260; true when a whole block reply came.
    bool readReply(std::size_t waiting) {
        const std::size_t take = std::min(waiting, m_buffer.size());
        return m_s.port.read(std::span(m_buffer).first(take)) >= kBlockReply;
    }
    bool sumOk() const { return core::Checksum8(m_buffer, 0, kBlockBytes - 1) == m_buffer[kBlockSum]; }
    bool isNextBlock() const { return m_tally.isNextBlock(m_buffer); }
    bool allReceived() const { return m_tally.received() >= m_transfer; }
    bool firstBlock();
    void requestNext();
    void blockLoop();

    SerialExchange& m_s;
    DownloadTally m_tally;
    std::array<std::uint8_t, kReceiveBufferSize> m_buffer{};
    std::int32_t m_transfer = 0;
};

bool SerialDownloadRun::firstBlock() {
    m_s.port.discardInput();
    for (int attempt = 0; attempt < kFirstBlockAttempts && !stopped(); ++attempt) {
        if (attempt > 0 && !notifyWaiting(attempt + 1, kFirstBlockAttempts)) {
            return false;
        }
        const std::int64_t asked = now();
        send(core::kDownloadStart);
        const std::size_t waiting = waitUntil(kBlockReply, asked + kFirstReplyMs);
        if (waiting < kBlockReply) {
            m_s.port.discardInput();
            continue;
        }
        if (readReply(waiting) && sumOk() && m_buffer[kBlockMarker] == core::kBlockReplyMarker &&
            isNextBlock()) {
            send(core::kDownloadNext);
            return true;
        }
    }
    return false;
}

void SerialDownloadRun::requestNext() {
    if (allReceived()) {
        // The last block is in: the reply to this "p" is not needed, so it is not awaited.
        send(core::kDownloadNext);
        return;
    }
    for (int request = 0; request < kNextRequests && m_s.port.isOpen() && !stopped(); ++request) {
        if (request > 0 && !notifyWaiting(request + 1, kNextRequests)) {
            return;
        }
        send(core::kDownloadNext);
        if (waitUntil(1, now() + kNextReplyMs) > 0) {
            return;
        }
    }
}

void SerialDownloadRun::blockLoop() {
    int failures = 0;
    std::int64_t lastProgress = now();
    for (;;) {
        if (stopped()) {
            return;
        }
        if (failures > kMaxRefusals) {
            send(core::kDownloadEnd);
            return;
        }
        const std::size_t waiting = m_s.port.inputCount();
        bool acted = true;
        if (waiting >= kBlockReply) {
            if (readReply(waiting) && sumOk() && isNextBlock()) {
                failures = 0;
                // Shown before the wait for the next block, which may be long.
                m_tally.accept(m_buffer);
                requestNext();
            } else {
                ++failures;
                send(core::kRepeatBlock);
            }
            lastProgress = now();
        } else if (waiting > 0 && now() - lastProgress > kPartialReplyMs) {
            readReply(waiting); // dropped
            ++failures;
            send(core::kRepeatBlock);
            lastProgress = now();
        } else {
            acted = false;
        }
        if (allReceived() || now() - lastProgress >= kNoProgressMs || !m_s.port.isOpen()) {
            return;
        }
        if (!acted) {
            // Nothing to do until more bytes come or a time limit is reached.
            if (waiting == 0) {
                waitUntil(1, lastProgress + kNoProgressMs);
            } else {
                waitUntil(kBlockReply,
                          std::min(lastProgress + kPartialReplyMs + 1, lastProgress + kNoProgressMs));
            }
        }
    }
}

core::LinkResult SerialDownloadRun::run() {
    core::LinkResult result = core::DownloadResult::kNoFirstBlock;
    if (firstBlock()) {
        m_transfer = TransferSize(core::MemoryEndAddress(std::span(m_buffer).first(kBlockReply)));
        m_tally.start(m_transfer, m_buffer);
        blockLoop();
        send(core::kAbort);
        result = allReceived() ? core::DownloadResult::kOk : core::DownloadResult::kIncomplete;
    } else if (m_tally.cancelled()) {
        // A "P" is out: the meter may still start the transfer, so it is ended as any other.
        send(core::kAbort);
    }
    if (m_tally.cancelled() && result != core::DownloadResult::kOk) {
        result = core::DownloadResult::kCancelled;
    }
    m_tally.finished();
    return result;
}
} // namespace

core::LinkResult DownloadOverSerial(SerialExchange& exchange, core::MemoryImage& image,
                                    DownloadProgress* progress) {
    return SerialDownloadRun(exchange, image, progress).run();
}

} // namespace thermo4::link
