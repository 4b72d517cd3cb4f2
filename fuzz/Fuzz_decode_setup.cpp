// Setup replies and typed setup fields of any content: the information reply
// gives its sixteen texts or nothing, calibration values always give a text,
// and an accepted interval holds two BCD bytes of at most 60.
#include "core/Bcd.h"
#include "core/Calibration.h"
#include "core/MeterInfo.h"
#include "core/SetupInput.h"

#include <cstdlib>

using namespace thermo4::core;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    if (const auto info = DecodeMeterInfo(input)) {
        if (size < kMeterInfoSize || info->thermoType.size() > 1 || info->meterTime.size() != 21) {
            std::abort();
        }
    } else if (size >= kMeterInfoSize && input[0] == 'O' && input[1] == 'K') {
        std::abort();
    }
    if (size >= 64) {
        const auto values = DecodeCalibration(input.first(32), input.subspan(32, 32));
        if (!values) {
            std::abort();
        }
        for (const float v : values->gain) {
            if (CalibrationText(v).isEmpty()) {
                std::abort();
            }
        }
    }
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const IntervalEntry entry =
        CheckIntervalEntry(text.left(colon), colon < 0 ? QString() : text.mid(colon + 1));
    if (entry.valid()) {
        const int minutes = DecodeBcd(entry.minutesBcd).value_or(99);
        const int seconds = DecodeBcd(entry.secondsBcd).value_or(99);
        if (minutes > 60 || seconds > 60 || minutes + seconds == 0) {
            std::abort();
        }
    }
    (void)CheckQuickRecord(text, text);
    return 0;
}
