#include "link/MeterSetup.h"

#include "core/Commands.h"
#include "core/SetupInput.h"
#include "link/SetupSteps.h"
#include "link/TransportCall.h"

#include <algorithm>

namespace thermo4::link {

using core::LinkResult;

using namespace setup_steps;

/// One command of the information, clock, interval, erase and defaults family.
struct MeterSetup::Exchange {
    enum class Block { None, Clock, Defaults };

    char letter;
    std::uint8_t p1 = 0;
    std::uint8_t p2 = 0;
    Block block = Block::None;
    /// Wait between the command and the read (ms), besides the data block's waits.
    int waitBeforeReadMs = 0;
    /// Where the reply lands: the shared buffer, or the information reply's own.
    std::span<std::uint8_t> reply;
    /// Reply bytes that must read "OK".
    std::size_t okAt = 2;
    StepCodes codes;
};

MeterSetup::MeterSetup(UsbTransport& transport, Clock& clock, std::uint16_t vendorId, std::uint16_t productId)
    : m_transport(transport), m_clock(clock), m_vendorId(vendorId), m_productId(productId) {}

template <typename Body>
SetupOutcome MeterSetup::guarded(SetupOperation operation, SetupProgress* progress, Body&& body) {
    if (m_running) {
        return busy(operation);
    }
    struct Running {
        MeterSetup& setup;
        Running(MeterSetup& s, SetupProgress* progress) : setup(s) {
            setup.m_running = true;
            setup.m_progress = progress;
        }
        ~Running() {
            setup.m_running = false;
            setup.m_progress = nullptr;
        }
    } running(*this, progress);
    return body();
}

SetupOutcome MeterSetup::operate(SetupOperation operation, Order order,
                                 const std::function<SetupOutcome()>& exchange,
                                 const std::function<std::optional<SetupOutcome>()>& check) {
    bool held = false;
    if (order == Order::PollFirst) {
        if (!takeLink()) {
            return busy(operation);
        }
        held = true;
    }
    if (m_progress) {
        m_progress->started(operation);
    }
    wait(kLabelPauseMs);
    if (check) {
        if (std::optional<SetupOutcome> refusal = check()) {
            refusal->operation = operation;
            finish(*refusal);
            if (held) {
                releaseLink();
            }
            return *refusal;
        }
    }
    if (!held && !takeLink()) {
        const SetupOutcome outcome = busy(operation);
        finish(outcome);
        return outcome;
    }
    hourglass(true);
    SetupOutcome outcome = exchange();
    outcome.operation = operation;
    hourglass(false);
    finish(outcome);
    releaseLink();
    return outcome;
}

SetupOutcome MeterSetup::busy(SetupOperation operation) const {
    SetupOutcome outcome;
    outcome.operation = operation;
    outcome.end = SetupOutcome::End::Busy;
    return outcome;
}

void MeterSetup::finish(const SetupOutcome& outcome) const {
    if (m_progress) {
        m_progress->finished(outcome);
    }
}

void MeterSetup::wait(int ms) {
    m_clock.delayWithMessages(ms);
}

void MeterSetup::hourglass(bool on) const {
    if (m_progress) {
        m_progress->exchanging(on);
    }
}

bool MeterSetup::takeLink() const {
    return m_access == nullptr || m_access->acquire();
}

void MeterSetup::releaseLink() const {
    if (m_access) {
        m_access->release();
    }
}

bool MeterSetup::openDevice() {
    return CallTransport([&] { return m_transport.open(m_vendorId, m_productId); }) == 0;
}

bool MeterSetup::setTimeouts() {
    return CallTransport([&] { return m_transport.setTimeouts(kUsbTimeoutMs, kUsbTimeoutMs); }) == 0;
}

bool MeterSetup::sendFrame() {
    return CallTransport([&] { return m_transport.writeCommand(m_frame.span()); }) == 0;
}

bool MeterSetup::readInto(std::span<std::uint8_t> reply) {
    return CallTransport([&] { return m_transport.read(reply); }) == 0;
}

void MeterSetup::sendAbort() {
    core::SetEepromAbortFrame(m_frame);
    sendFrame();
    CallTransport([&] { return m_transport.finishWrite(); });
}

QString MeterSetup::readSerialNumber() {
    std::array<char, kSerialNumberSize> text{};
    if (CallTransport([&] { return m_transport.serialNumber(text); }) != 0) {
        return {};
    }
    const auto end = std::find(text.begin(), text.end(), '\0');
    return QString::fromLatin1(text.data(), end - text.begin());
}

// Every step runs even after an earlier one failed; each failing step overwrites
// the code, so an attempt ends with the code of the last step that failed.
LinkResult MeterSetup::attemptExchange(const Exchange& x) {
    LinkResult code = core::kLinkOk;
    if (!openDevice()) {
        code = x.codes.open;
    }
    if (!setTimeouts()) {
        code = x.codes.timeouts;
    }
    m_frame.setCommand(x.letter);
    m_frame.param(1) = x.p1;
    m_frame.param(2) = x.p2;
    if (!sendFrame()) {
        code = x.codes.command;
    }
    CallTransport([&] { return m_transport.finishWrite(); });
    if (x.block != Exchange::Block::None) {
        wait(kBlockWaitMs);
        if (x.block == Exchange::Block::Clock) {
            core::FillClockBlock(m_buffer, m_clock.now());
        } else {
            core::FillDefaultsBlock(m_buffer);
        }
        if (CallTransport([&] { return m_transport.writeBlock(m_buffer); }) != 0) {
            code = x.codes.block;
        }
        CallTransport([&] { return m_transport.finishWrite(); });
        wait(kBlockWaitMs);
    }
    if (x.waitBeforeReadMs > 0) {
        wait(x.waitBeforeReadMs);
    }
    if (!readInto(x.reply)) {
        code = x.codes.read;
    } else if (!core::ReplyHasOk(x.reply, x.okAt)) {
        code = x.codes.check;
    }
    return code;
}

SetupOutcome MeterSetup::runExchange(const Exchange& x) {
    LinkResult code = core::kLinkOk;
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        code = attemptExchange(x);
        if (code == core::kLinkOk) {
            break;
        }
    }
    return fromCode(code);
}

SetupOutcome MeterSetup::doReadMeterInfo() {
    return operate(SetupOperation::ReadInfo, Order::LabelFirst, [&] {
        const Exchange x{core::kReadInfo, 0, 0, Exchange::Block::None, 0, m_info, 0, kInfoCodes};
        SetupOutcome outcome = runExchange(x);
        if (outcome.ok()) {
            outcome.info = core::DecodeMeterInfo(m_info, m_decimalPoint);
            if (outcome.info) {
                outcome.info->serialNumber = readSerialNumber();
            }
        }
        return outcome;
    });
}

SetupOutcome MeterSetup::doAdjustMeterTime() {
    return operate(SetupOperation::AdjustTime, Order::PollFirst, [&] {
        return runExchange({core::kSetClock, 0, 0, Exchange::Block::Clock, 0, m_buffer, 2, kClockCodes});
    });
}

SetupOutcome MeterSetup::doAdjustRecordingInterval(const QString& minutes, const QString& seconds) {
    core::IntervalEntry entry;
    return operate(
        SetupOperation::AdjustInterval, Order::LabelFirst,
        [&] {
            return runExchange({core::kInterval, entry.minutesBcd, entry.secondsBcd, Exchange::Block::None, 0,
                                m_buffer, 2, kIntervalCodes});
        },
        [&]() -> std::optional<SetupOutcome> {
            entry = core::CheckIntervalEntry(minutes, seconds);
            if (entry.valid()) {
                return std::nullopt;
            }
            return refused(core::InvalidIntervalMessage(), entry.code);
        });
}

SetupOutcome MeterSetup::doEraseMeterMemory() {
    return operate(SetupOperation::Erase, Order::PollFirst, [&] {
        return runExchange(
            {core::kErase, 0, 0, Exchange::Block::None, kEraseWaitMs, m_buffer, 2, kEraseCodes});
    });
}

SetupOutcome MeterSetup::doSetDefaultValues() {
    return operate(SetupOperation::SetDefaults, Order::PollFirst, [&] {
        return runExchange({core::kDefaults, 0, 0, Exchange::Block::Defaults, 0, m_buffer, 2, kClockCodes});
    });
}

SetupOutcome MeterSetup::doSetBluetoothOn() {
    return operate(SetupOperation::BluetoothOn, Order::LabelFirst, [&] {
        SetupOutcome outcome = fromCode(writeWithEcho(kBluetoothAddress, kBluetoothOn));
        if (!outcome.ok()) {
            outcome.message = QStringLiteral("Setup Blooth On fail ");
        }
        return outcome;
    });
}

SetupOutcome MeterSetup::readMeterInfo(SetupProgress* progress) {
    return guarded(SetupOperation::ReadInfo, progress, [&] { return doReadMeterInfo(); });
}

SetupOutcome MeterSetup::adjustMeterTime(SetupProgress* progress) {
    return guarded(SetupOperation::AdjustTime, progress, [&] { return doAdjustMeterTime(); });
}

SetupOutcome MeterSetup::adjustRecordingInterval(const QString& minutes, const QString& seconds,
                                                 SetupProgress* progress) {
    return guarded(SetupOperation::AdjustInterval, progress,
                   [&] { return doAdjustRecordingInterval(minutes, seconds); });
}

SetupOutcome MeterSetup::eraseMeterMemory(SetupProgress* progress) {
    return guarded(SetupOperation::Erase, progress, [&] { return doEraseMeterMemory(); });
}

SetupOutcome MeterSetup::setDefaultValues(SetupProgress* progress) {
    return guarded(SetupOperation::SetDefaults, progress, [&] { return doSetDefaultValues(); });
}

SetupOutcome MeterSetup::setBluetoothOn(SetupProgress* progress) {
    return guarded(SetupOperation::BluetoothOn, progress, [&] { return doSetBluetoothOn(); });
}

std::vector<SetupOutcome> MeterSetup::setupAll(const QString& minutes, const QString& seconds,
                                               SetupProgress* progress) {
    std::vector<SetupOutcome> outcomes;
    if (m_running) {
        outcomes.push_back(busy(SetupOperation::SetDefaults));
        return outcomes;
    }
    guarded(SetupOperation::SetDefaults, progress, [&] {
        outcomes.push_back(doSetDefaultValues());
        wait(kStepPauseMs);
        outcomes.push_back(doSetBluetoothOn());
        if (!outcomes.back().ok()) {
            return outcomes.back();
        }
        outcomes.push_back(doAdjustMeterTime());
        wait(kStepPauseMs);
        outcomes.push_back(doAdjustRecordingInterval(minutes, seconds));
        wait(kStepPauseMs);
        outcomes.push_back(doEraseMeterMemory());
        wait(kStepPauseMs);
        outcomes.push_back(doReadMeterInfo());
        return outcomes.back();
    });
    return outcomes;
}

SetupOutcome MeterSetup::run(const SetupRequest& request, SetupProgress* progress) {
    switch (request.operation) {
    case SetupOperation::ReadInfo:
        return readMeterInfo(progress);
    case SetupOperation::AdjustTime:
        return adjustMeterTime(progress);
    case SetupOperation::AdjustInterval:
        return adjustRecordingInterval(request.first, request.second, progress);
    case SetupOperation::Erase:
        return eraseMeterMemory(progress);
    case SetupOperation::SetDefaults:
        return setDefaultValues(progress);
    case SetupOperation::BluetoothOn:
        return setBluetoothOn(progress);
    case SetupOperation::Calibration:
        return readCalibration(progress);
    case SetupOperation::EepromWrite:
        return writeEeprom(request.first, request.second, request.third, progress);
    case SetupOperation::EepromRead:
        return readEeprom(request.first, progress);
    case SetupOperation::QuickRecord:
        return quickRecord(request.first, request.second, progress);
    }
    return busy(request.operation);
}

SetupOutcome MeterSetup::readCalibration(SetupProgress* progress) {
    return guarded(SetupOperation::Calibration, progress, [&] {
        return operate(SetupOperation::Calibration, Order::LabelFirst, [&] {
            LinkResult code = core::kLinkOk;
            for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
                code = attemptCalibration();
                if (code == core::kLinkOk) {
                    break;
                }
            }
            SetupOutcome outcome = fromCode(code);
            if (outcome.ok()) {
                outcome.calibration = core::DecodeCalibration(m_calibrationFirst, m_calibrationSecond);
            }
            return outcome;
        });
    });
}

SetupOutcome
MeterSetup::checkedService(SetupOperation operation, SetupProgress* progress,
                           const std::function<core::ServiceEntry()>& check,
                           const std::function<SetupOutcome(const core::ServiceEntry&)>& exchange) {
    return guarded(operation, progress, [&] {
        core::ServiceEntry entry;
        return operate(
            operation, Order::LabelFirst, [&] { return exchange(entry); },
            [&]() -> std::optional<SetupOutcome> {
                entry = check();
                return entry.accepted() ? std::nullopt : std::optional(refused(entry.refusal));
            });
    });
}

SetupOutcome MeterSetup::writeEeprom(const QString& accessCode, const QString& address, const QString& data,
                                     SetupProgress* progress) {
    return checkedService(
        SetupOperation::EepromWrite, progress,
        [&] { return core::CheckEepromWrite(accessCode, address, data); },
        [&](const core::ServiceEntry& entry) { return fromCode(writeWithEcho(entry.first, entry.second)); });
}

SetupOutcome MeterSetup::readEeprom(const QString& address, SetupProgress* progress) {
    return checkedService(
        SetupOperation::EepromRead, progress, [&] { return core::CheckEepromRead(address); },
        [&](const core::ServiceEntry& entry) { return readWithEcho(entry.first); });
}

SetupOutcome MeterSetup::quickRecord(const QString& points, const QString& intervalSeconds,
                                     SetupProgress* progress) {
    return checkedService(
        SetupOperation::QuickRecord, progress,
        [&] { return core::CheckQuickRecord(points, intervalSeconds); },
        [&](const core::ServiceEntry& entry) { return writeQuickRecord(entry.first, entry.second); });
}

} // namespace thermo4::link
