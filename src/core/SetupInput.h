#pragma once

#include "core/LinkResult.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace thermo4::core {

/// The code an EEPROM write asks for before anything is sent.
inline constexpr const char* kEepromAccessCode = "8737";

// Accepted ranges of the service fields. Beyond them the meter would be sent
// wrapped low bytes: another cell, another value, or a record past the end of memory.
inline constexpr std::int32_t kMaxEepromAddress = 0xFFFFFF;
inline constexpr std::int32_t kMaxEepromData = 0xFF;
/// The most points a quick recording may announce: its record still ends at kLastDataSetByte.
inline constexpr std::int32_t kMaxQuickRecordPoints = 31997;
/// 255 min 59 s, the longest interval a record holds.
inline constexpr std::int32_t kMaxQuickRecordIntervalS = 255 * 60 + 59;

/// What the user is told about a field that is not a whole number in range.
QString NotValidMessage(const QString& text);
/// What the user is told about an interval that cannot be sent.
QString InvalidIntervalMessage();
/// What the user is told about a wrong access code.
QString AccessCodeMessage();

/// A whole number typed into a field, with optional sign and surrounding blanks;
/// nothing when it is not one or lies outside min..max.
std::optional<std::int32_t> ReadWholeNumber(const QString& text, std::int32_t min, std::int32_t max);

/// The recording interval as typed in its two-digit minute and second fields.
struct IntervalEntry {
    /// kLinkOk, or the last input code noted (IntervalResult::kInvalidMinutes … kZeroInterval).
    LinkResult code = kLinkOk;
    /// Frame parameters: the typed digits as packed BCD ("60" gives 0x60).
    std::uint8_t minutesBcd = 0;
    std::uint8_t secondsBcd = 0;
    bool valid() const { return code == kLinkOk; }
};

/// Checks the interval fields: each must be one or two digits (620 minutes, 622
/// seconds), neither above 60 (623), not both 0 (624). The BCD bytes are built
/// from the characters, so "5" and "05" both give 0x05.
IntervalEntry CheckIntervalEntry(const QString& minutes, const QString& seconds);

/// A service input read into numbers, or the message that refuses it.
struct ServiceEntry {
    QString refusal; ///< empty when accepted
    std::int32_t first = 0;
    std::int32_t second = 0;
    bool accepted() const { return refusal.isEmpty(); }
};

/// EEPROM write: the access code first, then the address (0..0xFFFFFF) and the data byte (0..255).
ServiceEntry CheckEepromWrite(const QString& accessCode, const QString& address, const QString& data);
/// EEPROM read: the address (0..0xFFFFFF); second stays 0.
ServiceEntry CheckEepromRead(const QString& address);
/// Quick recording: NUM (0..kMaxQuickRecordPoints) and the interval in seconds (0..kMaxQuickRecordIntervalS).
ServiceEntry CheckQuickRecord(const QString& points, const QString& intervalSeconds);

} // namespace thermo4::core
