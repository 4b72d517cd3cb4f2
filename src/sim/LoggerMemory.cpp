#include "sim/LoggerMemory.h"

#include <algorithm>

namespace thermo4::sim {

namespace {

std::uint8_t bcd(int value) {
    return static_cast<std::uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

} // namespace

LoggerMemory::LoggerMemory() {
    erase();
}

LoggerMemory LoggerMemory::fromImage(std::vector<std::uint8_t> image) {
    LoggerMemory memory;
    if (image.size() > kCapacity)
        image.resize(kCapacity);
    if (image.size() < kFirstRecord)
        image.resize(kFirstRecord, 0x00);
    memory.m_bytes = std::move(image);
    return memory;
}

void LoggerMemory::erase() {
    m_bytes.assign(kFirstRecord, 0x00);
    setHeader(0, kFirstRecord - 1);
}

void LoggerMemory::setHeader(int count, std::uint32_t endAddress) {
    m_bytes[8] = static_cast<std::uint8_t>(count >> 8);
    m_bytes[9] = static_cast<std::uint8_t>(count & 0xFF);
    m_bytes[10] = static_cast<std::uint8_t>(endAddress >> 16);
    m_bytes[11] = static_cast<std::uint8_t>((endAddress >> 8) & 0xFF);
    m_bytes[12] = static_cast<std::uint8_t>(endAddress & 0xFF);
}

int LoggerMemory::dataSetCount() const {
    return m_bytes[8] << 8 | m_bytes[9];
}

std::uint32_t LoggerMemory::endAddress() const {
    return static_cast<std::uint32_t>(m_bytes[10]) << 16 | static_cast<std::uint32_t>(m_bytes[11]) << 8 |
           m_bytes[12];
}

// A loaded image may carry any end address; records never go below 0xB00.
std::size_t LoggerMemory::appendOffset() const {
    return std::max<std::size_t>(std::size_t{endAddress()} + 1, kFirstRecord);
}

std::size_t LoggerMemory::freeBytes() const {
    const std::size_t offset = appendOffset();
    return offset >= kCapacity ? 0 : kCapacity - offset;
}

bool LoggerMemory::fits(std::size_t points) const {
    return points <= kMaxPoints && recordSize(points) <= freeBytes();
}

bool LoggerMemory::append(const LoggedDataSet& set) {
    const std::size_t n = set.samples.size();
    if (!fits(n) || dataSetCount() >= 0xFFFF)
        return false;
    const std::size_t at = appendOffset();
    const std::size_t size = recordSize(n);
    if (m_bytes.size() < at + size)
        m_bytes.resize(at + size, 0xFF);
    std::uint8_t* r = m_bytes.data() + at;
    const QDate date = set.start.date();
    const QTime time = set.start.time();
    const int interval = std::clamp(set.intervalSeconds, 0, 255 * 60 + 59);
    r[0] = 0xA5;
    r[1] = 0x5A;
    r[2] = 0x00;
    r[3] = bcd(std::clamp(date.year() - 2000, 0, 99));
    r[4] = bcd(date.month());
    r[5] = bcd(date.day());
    r[6] = bcd(time.hour());
    r[7] = bcd(time.minute());
    r[8] = bcd(time.second());
    r[9] = static_cast<std::uint8_t>(interval / 60);
    r[10] = static_cast<std::uint8_t>(interval % 60);
    r[11] = static_cast<std::uint8_t>((set.thermocoupleType & 0x0F) | (set.celsius ? 0x10 : 0x00));
    r[12] = static_cast<std::uint8_t>(n >> 8);
    r[13] = static_cast<std::uint8_t>(n & 0xFF);
    for (std::size_t c = 0; c < 4; ++c)
        r[14 + c] = static_cast<std::uint8_t>(set.offsets[c]);
    std::uint8_t* p = r + 18;
    for (const auto& point : set.samples) {
        for (const std::int16_t v : point) {
            const auto raw = static_cast<std::uint16_t>(v);
            *p++ = static_cast<std::uint8_t>(raw >> 8);
            *p++ = static_cast<std::uint8_t>(raw & 0xFF);
        }
    }
    p[0] = 0x5A;
    p[1] = 0xA5;
    setHeader(dataSetCount() + 1, static_cast<std::uint32_t>(at + size - 1));
    return true;
}

std::array<std::uint8_t, LoggerMemory::kBlockSize> LoggerMemory::block(int number) const {
    std::array<std::uint8_t, kBlockSize> out;
    out.fill(0xFF);
    if (number < 1)
        return out;
    const std::size_t from = static_cast<std::size_t>(number - 1) * kBlockSize;
    for (std::size_t i = 0; i < kBlockSize && from + i < m_bytes.size(); ++i)
        out[i] = m_bytes[from + i];
    return out;
}

} // namespace thermo4::sim
