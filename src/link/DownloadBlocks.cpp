#include "link/DownloadBlocks.h"

#include "core/MemoryImage.h"

namespace thermo4::link {

namespace {
constexpr std::int32_t kBlockSize = static_cast<std::int32_t>(core::MemoryImage::kBlockSize);
constexpr std::int32_t kMaxTransfer = static_cast<std::int32_t>(core::MemoryImage::kMaxDownloadSize);
/// Announced sizes below this (bytes) are not believed: the whole memory is read.
constexpr std::int32_t kMinTransfer = 256;
} // namespace

std::int32_t BlockNumber(std::span<const std::uint8_t> reply) {
    return reply[kBlockNumberHigh] * 256 + reply[kBlockNumberLow];
}

bool IsNextBlock(std::span<const std::uint8_t> reply, std::int32_t receivedBytes) {
    return BlockNumber(reply) == receivedBytes / kBlockSize + 1;
}

std::int32_t TransferSize(std::uint32_t endAddress) {
    const std::int64_t announced = static_cast<std::int64_t>(endAddress) + 1;
    std::int64_t size = (announced > kMaxTransfer || announced < kMinTransfer) ? kMaxTransfer : announced;
    size = (size + kBlockSize - 1) / kBlockSize * kBlockSize;
    return static_cast<std::int32_t>(size);
}

} // namespace thermo4::link
