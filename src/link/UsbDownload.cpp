#include "link/UsbDownload.h"

#include "core/Commands.h"
#include "link/DownloadBlocks.h"
#include "link/TransportCall.h"

#include <span>

namespace thermo4::link {

namespace {
/// Resume attempts in a row without a block before the download gives up.
constexpr int kResumeAttempts = 5;
// Waits (ms) that give the meter time to act on a command.
constexpr int kReplyWaitMs = 100;
constexpr int kRetryWaitMs = 1000;
constexpr int kResumeWaitMs = 300;

/// One download's exchanges and counters (all in bytes).
class UsbDownloadRun {
public:
    UsbDownloadRun(UsbExchange& exchange, core::MemoryImage& image, DownloadProgress* progress)
        : m_s(exchange), m_tally(image, progress) {}

    core::LinkResult run();

private:
    bool send(char letter) {
        m_s.frame.setCommand(letter);
        return CallTransport([&] { return m_s.transport.writeCommand(m_s.frame.span()); }) == 0;
    }
    void finishWrite() {
        CallTransport([&] { return m_s.transport.finishWrite(); });
    }
    bool readReply(std::size_t size) {
        return CallTransport([&] { return m_s.transport.read(std::span(m_s.reply).first(size)); }) == 0;
    }
    bool readBlock() { return readReply(core::kBlockReplySize); }
    void closeDevice() {
        CallTransport([&] { return m_s.transport.close(); });
    }
    bool isNextBlock() const { return m_tally.isNextBlock(m_s.reply); }
    bool stopped() { return m_tally.stopped(); }
    void accept() {
        m_remaining -= kBlockBytes;
        m_tally.accept(m_s.reply);
    }
    core::LinkResult firstBlock();
    void mainPhase();
    core::LinkResult resumePhase(core::LinkResult result);

    UsbExchange& m_s;
    DownloadTally m_tally;
    std::int32_t m_transfer = 0;
    std::int32_t m_remaining = 0;
};

core::LinkResult UsbDownloadRun::firstBlock() {
    if (CallTransport([&] { return m_s.transport.open(m_s.vendorId, m_s.productId); }) != 0) {
        return core::DownloadResult::kOpen;
    }
    if (CallTransport([&] { return m_s.transport.setTimeouts(kUsbTimeoutMs, kUsbTimeoutMs); }) != 0) {
        return core::DownloadResult::kTimeouts;
    }
    m_s.frame.param(1) = 0;
    m_s.frame.param(2) = 1;
    if (!send(core::kDownloadStart)) {
        return core::DownloadResult::kWriteStart;
    }
    finishWrite();
    m_s.clock.delayWithMessages(kReplyWaitMs);
    if (!readBlock()) {
        return core::DownloadResult::kReadFirst;
    }
    if (m_s.reply[kBlockMarker] != core::kBlockReplyMarker) {
        return core::DownloadResult::kBadMarker;
    }
    m_transfer = TransferSize(core::MemoryEndAddress(m_s.reply));
    m_remaining = m_transfer - kBlockBytes;
    m_tally.start(m_transfer, m_s.reply);
    return core::DownloadResult::kOk;
}

void UsbDownloadRun::mainPhase() {
    while (m_remaining != 0 && !stopped()) {
        if (!send(core::kDownloadNext)) {
            closeDevice();
            return;
        }
        finishWrite();
        if (readBlock()) {
            if (!isNextBlock()) {
                // Out of order (a meter that re-sent a block after "r", say):
                // appending it would shift every later sample. The resume
                // phase repositions at the first missing block.
                return;
            }
            accept();
            continue;
        }
        m_s.clock.delayWithMessages(kRetryWaitMs);
        if (stopped()) {
            return;
        }
        if (!send(core::kDownloadRetry)) {
            closeDevice();
            return;
        }
        finishWrite();
        if (!readBlock()) {
            return;
        }
        // The reply to "r" is dropped; the next "p" asks again.
    }
}

core::LinkResult UsbDownloadRun::resumePhase(core::LinkResult result) {
    int attempts = 0;
    while (m_tally.received() < m_transfer && attempts < kResumeAttempts && !stopped()) {
        m_tally.waiting(attempts + 1, kResumeAttempts);
        if (stopped()) {
            break;
        }
        result = core::DownloadResult::kOk;
        m_s.frame.setCommand(core::kLiveRead);
        ++m_s.sequence;
        m_s.frame.param(4) = m_s.sequence;
        CallTransport([&] { return m_s.transport.writeCommand(m_s.frame.span()); });
        finishWrite();
        readReply(core::kShortReplySize);
        m_s.clock.delayWithMessages(kResumeWaitMs);
        if (stopped()) {
            break;
        }

        // Fetches the last block held again (dropped); "p" then gives the first missing one.
        const std::int32_t block = m_tally.received() / kBlockBytes;
        SeekBlockUsb(m_s, block);
        m_s.clock.delayWithMessages(kResumeWaitMs);
        if (stopped()) {
            break;
        }
        if (SeekBlockUsb(m_s, block) != core::DownloadResult::kOk) {
            result = core::DownloadResult::kResumeSeek;
            ++attempts;
            continue;
        }
        while (m_remaining != 0 && !stopped()) {
            if (!send(core::kDownloadNext)) {
                closeDevice();
                result = core::DownloadResult::kResumeWrite;
                ++attempts;
                break;
            }
            finishWrite();
            if (!readBlock() || !isNextBlock()) {
                result = core::DownloadResult::kResumeRead;
                ++attempts;
                break;
            }
            attempts = 0;
            accept();
        }
        if (result == core::DownloadResult::kOk && !m_tally.cancelled()) {
            send(core::kDownloadEnd);
        }
    }
    return result;
}

core::LinkResult UsbDownloadRun::run() {
    core::LinkResult result = firstBlock();
    if (result == core::DownloadResult::kOk) {
        mainPhase();
        if (m_remaining == 0 && !send(core::kDownloadEnd)) {
            result = core::DownloadResult::kEndWriteFailed;
        }
        result = resumePhase(result);
        if (m_tally.cancelled() && m_tally.received() < m_transfer) {
            // Ended as a complete transfer ends, so the meter serves the poll again.
            send(core::kDownloadEnd);
            result = core::DownloadResult::kCancelled;
        }
    }
    m_tally.finished();
    return result;
}
} // namespace

core::LinkResult DownloadOverUsb(UsbExchange& exchange, core::MemoryImage& image,
                                 DownloadProgress* progress) {
    return UsbDownloadRun(exchange, image, progress).run();
}

core::LinkResult SeekBlockUsb(UsbExchange& s, std::int32_t block) {
    if (CallTransport([&] { return s.transport.open(s.vendorId, s.productId); }) != 0) {
        return core::DownloadResult::kOpen;
    }
    s.clock.delayWithMessages(kReplyWaitMs);
    if (CallTransport([&] { return s.transport.setTimeouts(kUsbTimeoutMs, kUsbTimeoutMs); }) != 0) {
        return core::DownloadResult::kTimeouts;
    }
    s.clock.delayWithMessages(kReplyWaitMs);
    const auto high = static_cast<std::uint8_t>((block >> 8) & 0xFF);
    const auto low = static_cast<std::uint8_t>(block & 0xFF);
    s.frame.param(1) = high;
    s.frame.param(2) = low;
    s.frame.setCommand(core::kDownloadStart);
    if (CallTransport([&] { return s.transport.writeCommand(s.frame.span()); }) != 0) {
        return core::DownloadResult::kWriteStart;
    }
    CallTransport([&] { return s.transport.finishWrite(); });
    s.clock.delayWithMessages(kReplyWaitMs);
    if (CallTransport([&] { return s.transport.read(std::span(s.reply).first(core::kBlockReplySize)); }) !=
        0) {
        return core::DownloadResult::kReadFirst;
    }
    if (s.reply[kBlockMarker] != core::kBlockReplyMarker) {
        return core::DownloadResult::kBadMarker;
    }
    return BlockNumber(s.reply) == block ? core::DownloadResult::kOk : core::DownloadResult::kWrongBlock;
}

} // namespace thermo4::link
