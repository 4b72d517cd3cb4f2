#pragma once

#include "core/MemoryImage.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace thermo4::link {

class DownloadProgress;

/// Bytes of memory in one block, as the transfers count them.
inline constexpr std::int32_t kBlockBytes = static_cast<std::int32_t>(core::MemoryImage::kBlockSize);

// Trailer of a 36-byte block reply, after the 32 bytes of memory.
inline constexpr std::size_t kBlockNumberHigh = 32;
inline constexpr std::size_t kBlockNumberLow = 33;
/// The 8-bit sum of the 32 memory bytes (checked on the serial link).
inline constexpr std::size_t kBlockSum = 34;
/// core::kBlockReplyMarker in every block reply.
inline constexpr std::size_t kBlockMarker = 35;

/// The block number (from 1) a block reply carries in bytes 32 and 33.
std::int32_t BlockNumber(std::span<const std::uint8_t> reply);

/// True when the block reply carries the block that follows the receivedBytes
/// already held (a whole number of blocks).
bool IsNextBlock(std::span<const std::uint8_t> reply, std::int32_t receivedBytes);

/// Transfer size (bytes) of a logger download over either link, for the end
/// address read from the first block: the bytes in use, or 262 144 when that is
/// below 256 or above 262 144, rounded up to whole 32-byte blocks.
std::int32_t TransferSize(std::uint32_t endAddress);

/// What a download over either link has taken in, and the caller's progress it
/// keeps told: the blocks go into image in order, received() counts their bytes.
class DownloadTally {
public:
    /// progress may be null.
    DownloadTally(core::MemoryImage& image, DownloadProgress* progress)
        : m_image(image), m_progress(progress) {}

    /// True once the progress has asked to stop; from then on without asking again.
    bool stopped();
    /// stopped() has said true.
    bool cancelled() const { return m_cancelled; }
    std::int32_t received() const { return m_received; }
    /// The block reply carries the block that follows those received.
    bool isNextBlock(std::span<const std::uint8_t> reply) const { return IsNextBlock(reply, m_received); }

    /// The first block reply: the progress learns the transfer's size, the image gets the block.
    void start(std::int32_t transferBytes, std::span<const std::uint8_t> reply);
    /// A further block reply: the image gets it, the progress learns the new count.
    void accept(std::span<const std::uint8_t> reply);
    /// The meter is asked again (try attempt of attempts).
    void waiting(int attempt, int attempts);
    /// The download ends.
    void finished();

private:
    void append(std::span<const std::uint8_t> reply);

    core::MemoryImage& m_image;
    DownloadProgress* m_progress;
    std::int32_t m_received = 0;
    bool m_cancelled = false;
};

} // namespace thermo4::link
