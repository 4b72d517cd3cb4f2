#include "core/SetupInput.h"

#include "core/Bcd.h"

namespace thermo4::core {

namespace {

constexpr std::int32_t kMaxIntervalField = 60;

/// A two-digit field as packed BCD from its characters; nothing unless it is one or two digits.
std::optional<std::uint8_t> twoDigitBcd(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 2) {
        return std::nullopt;
    }
    for (const QChar c : t) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
    }
    const int tens = t.size() == 1 ? 0 : t[0].unicode() - u'0';
    const int units = t[t.size() - 1].unicode() - u'0';
    return static_cast<std::uint8_t>(tens * 16 + units);
}

} // namespace

QString NotValidMessage(const QString& text) {
    return text + QStringLiteral(" is not valid.\n");
}

QString InvalidIntervalMessage() {
    return QStringLiteral("Invalid Input");
}

QString AccessCodeMessage() {
    return QStringLiteral("Password error !!");
}

std::optional<std::int32_t> ReadWholeNumber(const QString& text, std::int32_t min, std::int32_t max) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (!t.isEmpty() && (t[0] == u'-' || t[0] == u'+')) {
        i = 1;
    }
    if (i == t.size() || t.size() - i > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < u'0' || t[i] > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (t[i].unicode() - u'0');
    }
    if (t[0] == u'-') {
        value = -value;
    }
    if (value < min || value > max) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

IntervalEntry CheckIntervalEntry(const QString& minutes, const QString& seconds) {
    IntervalEntry entry;
    const auto m = twoDigitBcd(minutes);
    const auto s = twoDigitBcd(seconds);
    if (!m) {
        entry.code = IntervalResult::kInvalidMinutes;
    }
    if (!s) {
        entry.code = IntervalResult::kInvalidSeconds;
    }
    if (entry.code != kLinkOk) {
        return entry;
    }
    const int mValue = DecodeBcd(*m).value_or(0);
    const int sValue = DecodeBcd(*s).value_or(0);
    if (mValue > kMaxIntervalField || sValue > kMaxIntervalField) {
        entry.code = IntervalResult::kOutOfRange;
    } else if (mValue == 0 && sValue == 0) {
        entry.code = IntervalResult::kZeroInterval;
    } else {
        entry.minutesBcd = *m;
        entry.secondsBcd = *s;
    }
    return entry;
}

ServiceEntry CheckEepromWrite(const QString& accessCode, const QString& address, const QString& data) {
    if (accessCode != QLatin1String(kEepromAccessCode)) {
        return {AccessCodeMessage()};
    }
    ServiceEntry entry = CheckEepromRead(address);
    if (!entry.accepted()) {
        return entry;
    }
    const auto value = ReadWholeNumber(data, 0, kMaxEepromData);
    if (!value) {
        return {NotValidMessage(data)};
    }
    entry.second = *value;
    return entry;
}

ServiceEntry CheckEepromRead(const QString& address) {
    const auto value = ReadWholeNumber(address, 0, kMaxEepromAddress);
    if (!value) {
        return {NotValidMessage(address)};
    }
    return {QString(), *value, 0};
}

ServiceEntry CheckQuickRecord(const QString& points, const QString& intervalSeconds) {
    const auto num = ReadWholeNumber(points, 0, kMaxQuickRecordPoints);
    if (!num) {
        return {NotValidMessage(points)};
    }
    const auto interval = ReadWholeNumber(intervalSeconds, 0, kMaxQuickRecordIntervalS);
    if (!interval) {
        return {NotValidMessage(intervalSeconds)};
    }
    return {QString(), *num, *interval};
}

} // namespace thermo4::core
