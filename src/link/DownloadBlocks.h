#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace thermo4::link {

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

} // namespace thermo4::link
