#pragma once

#include "core/CommandFrame.h"

#include <QDateTime>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace thermo4::core {

/// The setup exchanges' shared 32-byte buffer: it receives their short replies
/// and is where the clock and defaults data blocks are built, so bytes a block
/// does not set carry the previous reply.
using SetupBuffer = std::array<std::uint8_t, 32>;

/// Writes the clock block for local date-time now into buffer: second, minute,
/// hour, day, month as packed BCD in bytes 0..4, the year in the century at 6,
/// 0 at 7, "rtc" at 8..10. Bytes 5 and 11..31 are left as they are.
void FillClockBlock(SetupBuffer& buffer, const QDateTime& now);

/// Writes the default settings block into buffer: "ALL", alarm off, limits 212
/// and −4, no data set, memory pointer 2815, interval 0:02, byte 15 = 20, type K,
/// T1−T2 off, offsets 0, auto power-off "30 minutes". Bytes 16, 17, 19, 20,
/// 26..29 and 31 are left as they are.
void FillDefaultsBlock(SetupBuffer& buffer);

/// The EEPROM commands put an address into frame bytes 2..4: high = address div
/// 65536, middle = (address mod 65536) div 256, low = address mod 256 (truncating
/// division), each as its low 8 bits.
void SetEepromWriteFrame(CommandFrame& frame, std::int32_t address, std::int32_t data);
/// The read command: letter 'r' and the address; byte 5 keeps what it held.
void SetEepromReadFrame(CommandFrame& frame, std::int32_t address);
/// The 'Q' sent after a failed EEPROM attempt: bytes 2..5 keep the preceding command's.
void SetEepromAbortFrame(CommandFrame& frame);

/// One byte an EEPROM write puts into the meter's memory.
struct EepromByte {
    std::int32_t address = 0;
    std::uint8_t value = 0;
    bool operator==(const EepromByte&) const = default;
};

inline constexpr std::size_t kQuickRecordWrites = 25;
/// Start of the first data-set record in the meter's memory.
inline constexpr std::int32_t kQuickRecordStart = 0x0B00;

/// The writes of a quick recording, in order: data-set count 1, a record header
/// at 0x0B00 for `points` points at `intervalSeconds` started at now (date and
/// time in BCD, the year less 2000, as the logger records them), its end marker
/// behind the samples and the end address pointing at the record's last byte.
std::array<EepromByte, kQuickRecordWrites> QuickRecordBytes(std::int32_t points, std::int32_t intervalSeconds,
                                                            const QDateTime& now);

} // namespace thermo4::core
