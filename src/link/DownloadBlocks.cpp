#include "link/DownloadBlocks.h"

#include "link/DownloadProgress.h"

namespace thermo4::link {

namespace {
constexpr std::int32_t kMaxTransfer = static_cast<std::int32_t>(core::MemoryImage::kMaxDownloadSize);
/// Announced sizes below this (bytes) are not believed: the whole memory is read.
constexpr std::int32_t kMinTransfer = 256;
} // namespace

std::int32_t BlockNumber(std::span<const std::uint8_t> reply) {
    return reply[kBlockNumberHigh] * 256 + reply[kBlockNumberLow];
}

bool IsNextBlock(std::span<const std::uint8_t> reply, std::int32_t receivedBytes) {
    return BlockNumber(reply) == receivedBytes / kBlockBytes + 1;
}

std::int32_t TransferSize(std::uint32_t endAddress) {
    const std::int64_t announced = static_cast<std::int64_t>(endAddress) + 1;
    std::int64_t size = (announced > kMaxTransfer || announced < kMinTransfer) ? kMaxTransfer : announced;
    size = (size + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
    return static_cast<std::int32_t>(size);
}

bool DownloadTally::stopped() {
    m_cancelled = m_cancelled || (m_progress != nullptr && m_progress->cancelled());
    return m_cancelled;
}

void DownloadTally::append(std::span<const std::uint8_t> reply) {
    m_image.append(reply.first(core::MemoryImage::kBlockSize));
    m_received += kBlockBytes;
}

void DownloadTally::start(std::int32_t transferBytes, std::span<const std::uint8_t> reply) {
    if (m_progress != nullptr)
        m_progress->started(transferBytes);
    append(reply);
}

void DownloadTally::accept(std::span<const std::uint8_t> reply) {
    append(reply);
    if (m_progress != nullptr)
        m_progress->advanced(m_received);
}

void DownloadTally::waiting(int attempt, int attempts) {
    if (m_progress != nullptr)
        m_progress->waiting(attempt, attempts);
}

void DownloadTally::finished() {
    if (m_progress != nullptr)
        m_progress->finished();
}

} // namespace thermo4::link
