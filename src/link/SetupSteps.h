#pragma once

// What the setup operations share: their waits, the result codes of each exchange family and
// how a code becomes an outcome. Only MeterSetup's sources include this.

#include "core/LinkResult.h"
#include "link/SetupOutcome.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace thermo4::link::setup_steps {

using core::LinkResult;

inline constexpr int kBlockWaitMs = 100;
inline constexpr int kEraseWaitMs = 10;
inline constexpr int kCalibrationWaitMs = 100;
inline constexpr int kEepromRetryWaitMs = 300;
inline constexpr std::int32_t kBluetoothAddress = 2;
inline constexpr std::int32_t kBluetoothOn = 1;
inline constexpr std::size_t kSerialNumberSize = 32;

/// The codes of one exchange family, one per step that can fail.
struct StepCodes {
    LinkResult open;
    LinkResult timeouts;
    LinkResult command;
    LinkResult block;
    LinkResult read;
    LinkResult check;
};

inline constexpr StepCodes kInfoCodes{
    core::MeterInfoResult::kOpen, core::MeterInfoResult::kTimeouts,  core::MeterInfoResult::kWriteCommand, 0,
    core::MeterInfoResult::kRead, core::MeterInfoResult::kReplyCheck};
inline constexpr StepCodes kClockCodes{core::ClockResult::kOpen,         core::ClockResult::kTimeouts,
                                       core::ClockResult::kWriteCommand, core::ClockResult::kWriteBlock,
                                       core::ClockResult::kRead,         core::ClockResult::kReplyCheck};
inline constexpr StepCodes kIntervalCodes{
    core::IntervalResult::kOpen, core::IntervalResult::kTimeouts,  core::IntervalResult::kWriteCommand, 0,
    core::IntervalResult::kRead, core::IntervalResult::kReplyCheck};
inline constexpr StepCodes kEepromReadCodes{
    core::EepromReadResult::kOpen,         core::EepromReadResult::kTimeouts,
    core::EepromReadResult::kWriteCommand, 0,
    core::EepromReadResult::kRead,         core::EepromReadResult::kEchoCheck};
inline constexpr StepCodes kEepromWriteCodes{
    core::EepromWriteResult::kOpen,         core::EepromWriteResult::kTimeouts,
    core::EepromWriteResult::kWriteCommand, 0,
    core::EepromWriteResult::kRead,         core::EepromWriteResult::kEchoCheck};
inline constexpr StepCodes kEraseCodes{core::EraseResult::kOpen,         core::EraseResult::kTimeouts,
                                       core::EraseResult::kWriteCommand, 0,
                                       core::EraseResult::kRead,         core::EraseResult::kReplyCheck};

inline SetupOutcome fromCode(LinkResult code) {
    SetupOutcome outcome;
    outcome.end = code == core::kLinkOk ? SetupOutcome::End::Ok : SetupOutcome::End::Failed;
    outcome.code = code;
    return outcome;
}

inline SetupOutcome refused(QString message, LinkResult code = core::kLinkOk) {
    SetupOutcome outcome;
    outcome.end = SetupOutcome::End::Refused;
    outcome.code = code;
    outcome.message = std::move(message);
    return outcome;
}

} // namespace thermo4::link::setup_steps
