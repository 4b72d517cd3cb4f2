#include "core/MemoryImage.h"

namespace thermo4::core {

void MemoryImage::removeLastBlock() {
    m_bytes.resize(m_bytes.size() >= kBlockSize ? m_bytes.size() - kBlockSize : 0);
}

std::uint32_t MemoryEndAddress(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kEndAddressOffset + 3) {
        return 0;
    }
    return (std::uint32_t{bytes[kEndAddressOffset]} << 16) |
           (std::uint32_t{bytes[kEndAddressOffset + 1]} << 8) | bytes[kEndAddressOffset + 2];
}

int MemoryDataSetCount(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kDataSetCountOffset + 2) {
        return 0;
    }
    return (bytes[kDataSetCountOffset] << 8) | bytes[kDataSetCountOffset + 1];
}

} // namespace thermo4::core
