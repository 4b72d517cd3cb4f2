// The service operations on the meter's EEPROM: the calibration, single bytes written and
// read back against their echo, and the quick-record settings.
#include "link/MeterSetup.h"

#include "core/Commands.h"
#include "core/SetupInput.h"
#include "link/SetupSteps.h"
#include "link/TransportCall.h"

namespace thermo4::link {

using core::LinkResult;
using namespace setup_steps;

LinkResult MeterSetup::attemptCalibration() {
    using R = core::CalibrationResult;
    LinkResult code = core::kLinkOk;
    const auto command = [&](char letter, LinkResult open, LinkResult timeouts, LinkResult write) {
        if (!openDevice()) {
            code = open;
        }
        if (!setTimeouts()) {
            code = timeouts;
        }
        m_frame.setCommand(letter);
        m_frame.param(1) = 0;
        m_frame.param(2) = 0;
        if (!sendFrame()) {
            code = write;
        }
        CallTransport([&] { return m_transport.finishWrite(); });
    };
    command(core::kCalibration1, R::kFirstOpen, R::kFirstTimeouts, R::kFirstWriteCommand);
    if (!readInto(m_calibrationFirst)) {
        code = R::kFirstRead;
    } else if (!core::ReplyHasOk(m_calibrationFirst, 28)) {
        code = R::kReplyCheck;
    }
    command(core::kCalibration2, R::kSecondOpen, R::kSecondTimeouts, R::kSecondWriteCommand);
    wait(kCalibrationWaitMs);
    if (!readInto(m_calibrationSecond)) {
        code = R::kSecondRead;
    } else if (!core::ReplyHasOk(m_calibrationSecond, 30)) {
        code = R::kReplyCheck;
    }
    return code;
}

// One EEPROM command on a fresh open, up to its reply: the first step that fails ends it with its code.
template <typename Codes, typename Fill>
LinkResult MeterSetup::eepromCommand(const Codes& codes, Fill&& fillFrame) {
    if (!openDevice()) {
        return codes.open;
    }
    if (!setTimeouts()) {
        return codes.timeouts;
    }
    fillFrame();
    if (!sendFrame()) {
        return codes.command;
    }
    CallTransport([&] { return m_transport.finishWrite(); });
    return readInto(m_buffer) ? core::kLinkOk : codes.read;
}

// An echo failure counts one attempt per differing byte, each with its own wait,
// and is followed by 'Q'; a failed step ends the attempt with the default cursor.
LinkResult MeterSetup::writeWithEcho(std::int32_t address, std::int32_t data) {
    LinkResult code = core::kLinkOk;
    int attempts = 0;
    while (attempts < kEepromAttempts) {
        code = eepromCommand(kEepromWriteCodes, [&] { core::SetEepromWriteFrame(m_frame, address, data); });
        if (code != core::kLinkOk) {
            hourglass(false);
            ++attempts;
            wait(kEepromRetryWaitMs);
            continue;
        }
        bool differed = false;
        for (std::size_t i = 0; i < 2; ++i) {
            if (m_buffer[i] != m_frame.bytes[i]) {
                differed = true;
                ++attempts;
                wait(kEepromRetryWaitMs);
            }
        }
        if (!differed) {
            return core::kLinkOk;
        }
        code = kEepromWriteCodes.check;
        wait(kEepromRetryWaitMs);
        sendAbort();
        wait(kEepromRetryWaitMs);
    }
    return code;
}

bool MeterSetup::writeEepromByte(const core::EepromByte& byte) {
    core::SetEepromWriteFrame(m_frame, byte.address, byte.value);
    const auto retried = [&](auto&& step) {
        for (int i = 0; i < kEepromAttempts; ++i) {
            if (step()) {
                return true;
            }
            hourglass(false);
            wait(kEepromRetryWaitMs);
        }
        return false;
    };
    if (!retried([&] { return sendFrame(); })) {
        return false;
    }
    CallTransport([&] { return m_transport.finishWrite(); });
    if (!retried([&] { return readInto(m_buffer); })) {
        return false;
    }
    return core::ReplyEchoesFrame(m_buffer, m_frame);
}

// Any failure ends the attempt and is followed by 'Q'; the first differing echo byte ends the check.
SetupOutcome MeterSetup::readWithEcho(std::int32_t address) {
    LinkResult code = core::kLinkOk;
    for (int attempt = 0; attempt < kEepromAttempts; ++attempt) {
        code = eepromCommand(kEepromReadCodes, [&] { core::SetEepromReadFrame(m_frame, address); });
        if (code == core::kLinkOk && !core::ReplyEchoesFrame(m_buffer, m_frame)) {
            code = kEepromReadCodes.check;
        }
        if (code == core::kLinkOk) {
            SetupOutcome outcome = fromCode(code);
            outcome.eepromValue = m_buffer[5];
            return outcome;
        }
        wait(kEepromRetryWaitMs);
        sendAbort();
        wait(kEepromRetryWaitMs);
    }
    return fromCode(code);
}

// A failed open or time-out setting is retried; the first write that fails ends
// the operation, leaving the bytes written before it in place.
SetupOutcome MeterSetup::writeQuickRecord(std::int32_t points, std::int32_t intervalSeconds) {
    using R = core::EepromWriteResult;
    LinkResult code = core::kLinkOk;
    for (int attempt = 0; attempt < kEepromAttempts; ++attempt) {
        code = !openDevice() ? R::kOpen : !setTimeouts() ? R::kTimeouts : core::kLinkOk;
        if (code != core::kLinkOk) {
            hourglass(false);
            wait(kEepromRetryWaitMs);
            continue;
        }
        for (const core::EepromByte& byte : core::QuickRecordBytes(points, intervalSeconds, m_clock.now())) {
            if (!writeEepromByte(byte)) {
                return fromCode(R::kWriteCommand);
            }
        }
        return fromCode(core::kLinkOk);
    }
    return fromCode(code);
}

} // namespace thermo4::link
