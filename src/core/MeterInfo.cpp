#include "core/MeterInfo.h"

#include "core/Commands.h"
#include "core/NumberText.h"

namespace thermo4::core {

namespace {

constexpr std::array<const char*, 7> kTypeLetters{"K", "J", "E", "T", "N", "R", "S"};
constexpr std::array<const char*, 7> kAutoOffTexts{"OFF",     "10 minutes", "30 minutes", "1 hour",
                                                   "2 hours", "4 hours",    "8 hours"};

template <std::size_t N> QString fromTable(const std::array<const char*, N>& table, std::uint8_t code) {
    return code < N ? QString::fromLatin1(table[code]) : QString();
}

QString onOff(std::uint8_t byte) {
    return byte != 0 ? QStringLiteral("ON") : QStringLiteral("OFF");
}

// A clock byte as its two upper-case hexadecimal digits: BCD reads as its decimal digits.
QString hex2(std::uint8_t byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

std::int16_t signedWord(std::span<const std::uint8_t> r, std::size_t at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(r[at] << 8 | r[at + 1]));
}

} // namespace

std::int32_t MemoryAvailable(std::uint32_t pointer) {
    return (kLastDataSetByte - static_cast<std::int32_t>(pointer & 0xFFFFFF)) / 8;
}

std::optional<MeterInfo> DecodeMeterInfo(std::span<const std::uint8_t> r, QChar decimalPoint) {
    if (r.size() < kMeterInfoSize || !ReplyHasOk(r, 0)) {
        return std::nullopt;
    }
    MeterInfo info;
    info.firmware = FixedText(r[31] * 0.01, 2, QString(decimalPoint));
    info.meterTime = QStringLiteral("%1/%2/20%3   %4:%5:%6")
                         .arg(hex2(r[44]), hex2(r[43]), hex2(r[46]), hex2(r[42]), hex2(r[41]), hex2(r[40]));
    info.interval = QStringLiteral("%1:%2").arg(r[13]).arg(r[14]);
    info.dataSets = QString::number(r[8] << 8 | r[9]);
    const std::uint32_t pointer = std::uint32_t{r[10]} << 16 | std::uint32_t{r[11]} << 8 | r[12];
    info.memoryAvailable = QString::number(MemoryAvailable(pointer));
    info.alarm = onOff(r[3]);
    info.hi = QString::number(signedWord(r, 4));
    info.lo = QString::number(signedWord(r, 6));
    info.t1t2 = onOff(r[21]);
    info.thermoType = fromTable(kTypeLetters, r[18]);
    info.autoOff = fromTable(kAutoOffTexts, r[30]);
    for (std::size_t c = 0; c < 4; ++c) {
        info.offsets[c] = QString::number(static_cast<std::int8_t>(r[22 + c]));
    }
    return info;
}

std::array<MeterInfoField, 16> MeterInfo::fields() const {
    return {{{"firmware", firmware},
             {"meter_time", meterTime},
             {"interval", interval},
             {"data_sets", dataSets},
             {"memory_available", memoryAvailable},
             {"alarm", alarm},
             {"hi", hi},
             {"lo", lo},
             {"t1_t2", t1t2},
             {"type", thermoType},
             {"auto_off", autoOff},
             {"t1_offset", offsets[0]},
             {"t2_offset", offsets[1]},
             {"t3_offset", offsets[2]},
             {"t4_offset", offsets[3]},
             {"serial", serialNumber}}};
}

} // namespace thermo4::core
