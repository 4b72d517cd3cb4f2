#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace thermo4::core {

/// A copy of the meter's data-logger memory from address 0 upward, filled 32
/// bytes at a time by a download or at once from a collection file.
class MemoryImage {
public:
    /// The largest transfer a download requests (bytes).
    static constexpr std::size_t kMaxDownloadSize = 0x40000;
    /// Bytes per download block.
    static constexpr std::size_t kBlockSize = 32;

    MemoryImage() = default;
    explicit MemoryImage(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}

    void clear() { m_bytes.clear(); }
    void append(std::uint8_t byte) { m_bytes.push_back(byte); }
    void append(std::span<const std::uint8_t> bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    /// Takes the last block (32 bytes) off again; takes all when fewer are held.
    void removeLastBlock();
    /// Replaces the whole content.
    void assign(std::span<const std::uint8_t> bytes) { m_bytes.assign(bytes.begin(), bytes.end()); }

    std::size_t size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.empty(); }
    /// The byte at offset, or 0 at and beyond size().
    std::uint8_t at(std::size_t offset) const { return offset < m_bytes.size() ? m_bytes[offset] : 0; }
    std::span<const std::uint8_t> bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

/// Offset of the number of data sets (2 bytes, high first) in the memory header.
inline constexpr std::size_t kDataSetCountOffset = 8;
/// Offset of the end address (3 bytes, high first): the offset of the last byte in use.
inline constexpr std::size_t kEndAddressOffset = 10;

/// End address from the memory header at the start of bytes (usually the first
/// download block); 0 when fewer than 13 bytes are given.
std::uint32_t MemoryEndAddress(std::span<const std::uint8_t> bytes);
/// Number of data sets from the memory header; 0 when fewer than 10 bytes are given.
int MemoryDataSetCount(std::span<const std::uint8_t> bytes);

} // namespace thermo4::core
