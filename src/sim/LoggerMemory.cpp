#include "sim/LoggerMemory.h"

#include <algorithm>

namespace thermo4::sim {

namespace {

std::uint8_t bcd(int value) {
    return static_cast<std::uint8_t>(((value / 10) % 10) << 4 | (value % 10));
}

} // namespace

LoggerMemory::LoggerMemory() : m_bytes(kFirstRecord, 0x00) {
    static constexpr std::uint8_t kDefaults[kSettingsEnd] = {
        0, 0, 0, 0, 0x00, 0xD4, 0xFF, 0xFC, 0, 0, 0x00, 0x0A, 0xFF, 0, 2, 0x14,
        0, 0, 0, 0, 0,    0,    0,    0,    0, 0, 0,    0,    0,    0, 2, 105};
    std::copy(std::begin(kDefaults), std::end(kDefaults), m_bytes.begin());
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
    m_bytes.resize(kFirstRecord);
    setHeader(0, kFirstRecord - 1);
}

std::uint8_t LoggerMemory::byteAt(std::size_t address) const {
    return address < m_bytes.size() ? m_bytes[address] : 0xFF;
}

bool LoggerMemory::setByte(std::size_t address, std::uint8_t value) {
    if (address >= kCapacity)
        return false;
    if (address >= m_bytes.size())
        m_bytes.resize(address + 1, 0xFF);
    m_bytes[address] = value;
    return true;
}

void LoggerMemory::setIntervalSeconds(int seconds) {
    const int s = std::clamp(seconds, 0, 255 * 60 + 59);
    m_bytes[kIntervalAt] = static_cast<std::uint8_t>(s / 60);
    m_bytes[kIntervalAt + 1] = static_cast<std::uint8_t>(s % 60);
}

std::array<std::int8_t, 4> LoggerMemory::offsets() const {
    std::array<std::int8_t, 4> out{};
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = static_cast<std::int8_t>(m_bytes[kOffsetsAt + i]);
    return out;
}

std::int16_t LoggerMemory::signedWord(std::size_t address) const {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(byteAt(address) << 8 | byteAt(address + 1)));
}

void LoggerMemory::setHeader(int count, std::uint32_t endAddress) {
    m_bytes[kCountAt] = static_cast<std::uint8_t>(count >> 8);
    m_bytes[kCountAt + 1] = static_cast<std::uint8_t>(count & 0xFF);
    m_bytes[kEndAddressAt] = static_cast<std::uint8_t>(endAddress >> 16);
    m_bytes[kEndAddressAt + 1] = static_cast<std::uint8_t>((endAddress >> 8) & 0xFF);
    m_bytes[kEndAddressAt + 2] = static_cast<std::uint8_t>(endAddress & 0xFF);
}

int LoggerMemory::dataSetCount() const {
    return m_bytes[kCountAt] << 8 | m_bytes[kCountAt + 1];
}

std::uint32_t LoggerMemory::endAddress() const {
    return static_cast<std::uint32_t>(m_bytes[kEndAddressAt]) << 16 |
           static_cast<std::uint32_t>(m_bytes[kEndAddressAt + 1]) << 8 | m_bytes[kEndAddressAt + 2];
}

// A loaded image may carry any end address; records never go below 0xB00.
std::size_t LoggerMemory::appendOffset() const {
    return std::max<std::size_t>(std::size_t{endAddress()} + 1, kFirstRecord);
}

std::size_t LoggerMemory::freeBytes() const {
    const std::size_t offset = appendOffset();
    return offset > kLastRecordByte ? 0 : kLastRecordByte + 1 - offset;
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
