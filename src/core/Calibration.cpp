#include "core/Calibration.h"

#include "core/Commands.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace thermo4::core {

namespace {

constexpr int kSignificantDigits = 10;
constexpr int kDecimals = 8;
/// From here on a value has more integer digits than significant ones.
constexpr double kScientificFrom = 1e10;

void readValues(std::span<const std::uint8_t> reply, std::span<float> out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = CalibrationValue(reply.subspan(3 * i).first<3>());
    }
}

} // namespace

float CalibrationValue(std::span<const std::uint8_t, 3> b) {
    const std::uint32_t bits =
        std::uint32_t{b[0]} << 8 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 24;
    return std::bit_cast<float>(bits);
}

std::optional<CalibrationValues> DecodeCalibration(std::span<const std::uint8_t> first,
                                                   std::span<const std::uint8_t> second) {
    if (first.size() < kShortReplySize || second.size() < kShortReplySize) {
        return std::nullopt;
    }
    CalibrationValues values;
    readValues(first, values.gain);
    readValues(first.subspan(12), values.externalOffset);
    readValues(second, values.cjcOffset);
    return values;
}

QString CalibrationText(float value, QChar decimalPoint) {
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    }
    // Round to the significant digits first, then lay out the decimals (QString
    // numbers ignore the process locale).
    const double rounded =
        QString::number(static_cast<double>(value), 'e', kSignificantDigits - 1).toDouble();
    QString result = std::fabs(rounded) >= kScientificFrom
                         ? QString::number(rounded, 'E', kSignificantDigits - 1)
                         : QString::number(rounded, 'f', kDecimals);
    // A value that rounds to zero shows no sign.
    const bool zero =
        std::none_of(result.cbegin(), result.cend(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    if (zero && result.startsWith(u'-')) {
        result.remove(0, 1);
    }
    return result.replace(QLatin1Char('.'), decimalPoint);
}

} // namespace thermo4::core
