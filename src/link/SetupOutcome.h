#pragma once

#include "core/Calibration.h"
#include "core/LinkResult.h"
#include "core/MeterInfo.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace thermo4::link {

/// The operations of the meter's setup dialog, each with its own status label.
enum class SetupOperation {
    ReadInfo,
    AdjustTime,
    AdjustInterval,
    Erase,
    SetDefaults,
    BluetoothOn,
    Calibration,
    EepromWrite,
    EepromRead,
    QuickRecord,
};

/// How one setup operation ended, and what it read.
struct SetupOutcome {
    enum class End {
        Ok,      ///< an attempt succeeded
        Failed,  ///< every attempt failed; code is the last attempt's
        Refused, ///< the input was not accepted; nothing was sent, message says why
        Busy,    ///< another operation holds the link; nothing was sent
    };

    SetupOperation operation = SetupOperation::ReadInfo;
    End end = End::Ok;
    /// 0 on success; the failing step's code (core::LinkResult blocks) or the interval's input code.
    core::LinkResult code = core::kLinkOk;
    /// For the user: why the input was refused, or a failure that stops "Setup All".
    QString message;
    /// ReadInfo: the fields, serial number included.
    std::optional<core::MeterInfo> info;
    /// Calibration: the twelve values.
    std::optional<core::CalibrationValues> calibration;
    /// EepromRead: the byte read.
    std::optional<std::uint8_t> eepromValue;

    bool ok() const { return end == End::Ok; }
    /// The status label's text: "OK", "Fail code=" and the code, or "Fail" for the
    /// operations that show no code (interval, EEPROM, quick recording, Bluetooth);
    /// empty when nothing was sent.
    QString statusText() const;
};

} // namespace thermo4::link
