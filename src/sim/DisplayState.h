#pragma once

#include <array>
#include <cstdint>

namespace thermo4::sim {

/// What one channel's row of digits shows besides a number.
enum class ChannelShow : std::uint8_t {
    Reading,   ///< the reading in digits
    OverRange, ///< "OL"
    NoReading, ///< "----" (no probe)
};

/// Which statistics labels the LCD lights.
enum class StatsLabel : std::uint8_t { None, Max, Min, Avg, All };

/// Everything the meter's LCD shows at one moment, plus the mode bits the live frame
/// carries. Readings are in tenths of a degree in the meter's current unit.
struct DisplayState {
    std::array<int, 4> tenths{};                     ///< T1..T4, tenths of °C or °F (−32768..32767)
    std::array<ChannelShow, 4> show{};               ///< per channel: number, "OL" or "----"
    bool fahrenheit = false;                         ///< unit of tenths and of the unit icons
    std::uint8_t thermocoupleType = 0;               ///< 0 K, 1 J, 2 E, 3 T, 4 N, 5 R, 6 S
    bool hold = false;                               ///< HOLD icon
    StatsLabel statsLabel = StatsLabel::None;        ///< MAX/MIN/AVG labels lit through the frame
    bool statsMode = false;                          ///< the labels follow the panel's blink instead
    bool statsBlink = false;                         ///< the labels blink (with statsMode)
    bool recording = false;                          ///< the meter's own logger is recording
    bool recBlink = false;                           ///< REC/FULL icons blink
    bool recIcon = false;                            ///< REC icon
    bool full = false;                               ///< FULL icon: logger memory full
    bool recall = false;                             ///< Recall icon
    bool mem = false;                                ///< MEM icon
    bool backlight = false;                          ///< LCD backlight on
    int batteryLevel = 3;                            ///< 0..3 bars; −1 lights no battery icon
    bool alarm = false;                              ///< alarm icon
    bool alarmHi = false;                            ///< "Hi" label
    bool alarmLo = false;                            ///< "Lo" label
    bool autoOff = true;                             ///< auto power-off icon
    bool bluetooth = false;                          ///< Bluetooth icon
    bool difference = false;                         ///< "T1-T2" label
    std::array<std::uint8_t, 2> smallGlyphs{16, 16}; ///< left, right small digit (glyph 16 blank)

    bool operator==(const DisplayState&) const = default;
};

} // namespace thermo4::sim
