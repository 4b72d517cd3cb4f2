#pragma once

#include "core/Calibration.h"
#include "sim/LiveFrameEncoder.h"
#include "sim/LoggerMemory.h"
#include "sim/MeterFaults.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace thermo4::link {
class Clock;
}

namespace thermo4::sim {

class VirtualMeter;

/// A virtual-meter setup read from a JSON scenario file:
/// { "model": "418", "live_frames": ["<128 hex digits>", …], "memory": "image.ch4",
///   "faults": { "fail_block_reads": [5], "stall_after_block": 10, … } }
/// plus optional "seed", "thermocouple_type", "probes", "fixed_celsius",
/// "record_interval_s", "calibration": { "gain": [4 numbers],
/// "external_offset": [4], "cjc_offset": [4] }, and the meter's place on USB:
/// "usb_path" (where it is listed, e.g. "/dev/hidraw-sim1") and "serial" (its
/// USB serial number). Every key is optional; unknown keys are refused.
struct Scenario {
    std::string model = "418";
    std::vector<LiveFrame> liveFrames;               ///< replayed in order, then again
    std::optional<std::vector<std::uint8_t>> memory; ///< raw logger image (.ch4)
    MeterFaults faults;
    std::optional<std::uint32_t> seed;
    std::optional<std::uint8_t> thermocoupleType;
    std::array<ChannelShow, 4> probes{};
    std::array<std::optional<double>, 4> fixedCelsius{};
    std::optional<int> recordIntervalSeconds;
    std::optional<core::CalibrationValues> calibration;
    std::optional<std::string> usbPath;
    std::optional<std::string> serial;
};

/// Parses scenario JSON; relative paths ("memory") are taken from baseDir. On
/// failure returns nothing and puts a message naming the offending key in error.
std::optional<Scenario> ParseScenario(const QByteArray& json, const QDir& baseDir, QString* error);
/// Reads and parses a scenario file (at most 16 MiB).
std::optional<Scenario> LoadScenario(const QString& path, QString* error);
/// Sets meter up as the scenario says (model, frames, memory, faults, probes…).
void ApplyScenario(const Scenario& scenario, VirtualMeter& meter);
/// The virtual meter on clock, run from the scenario file at scenarioPath (its
/// seed and setup) or, when the path is empty, as it comes. Nothing when the
/// file cannot be read or is wrong; error then says why (with the file's name).
std::unique_ptr<VirtualMeter> MakeVirtualMeter(link::Clock& clock, const QString& scenarioPath,
                                               QString* error);

/// One virtual meter per scenario path (an empty path: the meter as it comes), in order;
/// none, with error set, when any of them cannot be made.
std::vector<std::unique_ptr<VirtualMeter>>
MakeVirtualMeters(link::Clock& clock, const QStringList& scenarioPaths, QString* error);

/// 128 hexadecimal digits (either case, nothing else) to a live frame.
std::optional<LiveFrame> LiveFrameFromHex(const QString& hex, QString* error);
/// A live frame as 128 lower-case hexadecimal digits.
QString LiveFrameToHex(const LiveFrame& frame);

} // namespace thermo4::sim
