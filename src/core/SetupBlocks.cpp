#include "core/SetupBlocks.h"

#include "core/Bcd.h"
#include "core/Commands.h"

namespace thermo4::core {

namespace {

std::uint8_t low8(std::int32_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

void setAddress(CommandFrame& frame, std::int32_t address) {
    frame.param(1) = low8(address / 65536);
    frame.param(2) = low8((address % 65536) / 256);
    frame.param(3) = low8(address % 256);
}

} // namespace

void FillClockBlock(SetupBuffer& b, const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    b[0] = EncodeBcd(time.second());
    b[1] = EncodeBcd(time.minute());
    b[2] = EncodeBcd(time.hour());
    b[3] = EncodeBcd(date.day());
    b[4] = EncodeBcd(date.month());
    b[6] = EncodeBcd(date.year() % 100);
    b[7] = 0;
    b[8] = 'r';
    b[9] = 't';
    b[10] = 'c';
}

void FillDefaultsBlock(SetupBuffer& b) {
    struct Setting {
        std::size_t at;
        std::uint8_t value;
    };
    static constexpr Setting kDefaults[] = {
        {0, 'A'}, {1, 'L'}, {2, 'L'},   {3, 0},     {4, 0x00},  {5, 0xD4}, {6, 0xFF}, {7, 0xFC},
        {8, 0},   {9, 0},   {10, 0x00}, {11, 0x0A}, {12, 0xFF}, {13, 0},   {14, 2},   {15, 0x14},
        {18, 0},  {21, 0},  {22, 0},    {23, 0},    {24, 0},    {25, 0},   {30, 2},
    };
    for (const Setting& s : kDefaults) {
        b[s.at] = s.value;
    }
}

void SetEepromWriteFrame(CommandFrame& frame, std::int32_t address, std::int32_t data) {
    frame.setCommand(kEepromWrite);
    setAddress(frame, address);
    frame.param(4) = low8(data);
}

void SetEepromReadFrame(CommandFrame& frame, std::int32_t address) {
    frame.setCommand(kEepromRead);
    setAddress(frame, address);
}

void SetEepromAbortFrame(CommandFrame& frame) {
    frame.setCommand(kAbort);
}

std::array<EepromByte, kQuickRecordWrites> QuickRecordBytes(std::int32_t points, std::int32_t intervalSeconds,
                                                            const QDateTime& now) {
    const QDate date = now.date();
    const QTime time = now.time();
    const std::int32_t endMarker = kQuickRecordStart + 0x12 + points * 8;
    const std::int32_t last = endMarker + 1;
    const auto at = [](std::int32_t address, std::int32_t value) { return EepromByte{address, low8(value)}; };
    return {{
        at(8, 0),
        at(9, 1),
        at(kQuickRecordStart, 0xA5),
        at(kQuickRecordStart + 1, 0x5A),
        at(kQuickRecordStart + 2, 0x14),
        at(kQuickRecordStart + 3, EncodeBcd(date.year() - 2000)),
        at(kQuickRecordStart + 4, EncodeBcd(date.month())),
        at(kQuickRecordStart + 5, EncodeBcd(date.day())),
        at(kQuickRecordStart + 6, EncodeBcd(time.hour())),
        at(kQuickRecordStart + 7, EncodeBcd(time.minute())),
        at(kQuickRecordStart + 8, EncodeBcd(time.second())),
        at(kQuickRecordStart + 9, intervalSeconds / 60),
        at(kQuickRecordStart + 10, intervalSeconds % 60),
        at(kQuickRecordStart + 11, 8),
        at(kQuickRecordStart + 12, points / 256),
        at(kQuickRecordStart + 13, points % 256),
        at(kQuickRecordStart + 14, 0),
        at(kQuickRecordStart + 15, 0),
        at(kQuickRecordStart + 16, 0),
        at(kQuickRecordStart + 17, 0),
        at(endMarker, 0x5A),
        at(last, 0xA5),
        at(10, last / 65536),
        at(11, (last % 65536) / 256),
        at(12, last % 256),
    }};
}

} // namespace thermo4::core
