#pragma once

#include "core/CommandFrame.h"
#include "core/SetupBlocks.h"
#include "core/SetupInput.h"
#include "link/SetupOutcome.h"
#include "link/SetupProgress.h"
#include "link/UsbExchange.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace thermo4::link {

/// The way onto the link for a setup exchange: whoever owns the link waits for
/// its other users and keeps them off until release().
class LinkAccess {
public:
    virtual ~LinkAccess() = default;
    /// Takes the link; false when another transaction holds it (nothing is then sent).
    virtual bool acquire() = 0;
    /// Gives the link back (once for every acquire() that returned true).
    virtual void release() = 0;
};

/// The setup dialog's conversation with the meter over USB: information read-out,
/// clock, interval, erase, defaults, Bluetooth switch, calibration read-back,
/// EEPROM cells and quick recording. Keep one for the life of the program: its
/// command frame and its shared 32-byte buffer carry bytes from one operation to
/// the next (frame bytes 4 and 5 from the last EEPROM command, unset bytes of a
/// data block from the last reply). Typed fields are checked before anything is
/// sent, the poll taken or the cursor changed. One operation at a time: a call
/// made while another runs (from a window message processed during a wait) ends
/// Busy at once. Every wait goes through the clock and processes window messages.
class MeterSetup {
public:
    /// Attempts of the information, clock, interval, erase, defaults and calibration exchanges.
    static constexpr int kExchangeAttempts = 3;
    /// Attempts of the EEPROM, Bluetooth and quick-recording exchanges.
    static constexpr int kEepromAttempts = 5;
    /// Pause after a status label is cleared, so the user sees it empty (ms).
    static constexpr int kLabelPauseMs = 500;
    /// Pause between the steps of "Setup All" (ms).
    static constexpr int kStepPauseMs = 500;

    MeterSetup(UsbTransport& transport, Clock& clock, std::uint16_t vendorId = kUsbVendorId,
               std::uint16_t productId = kUsbProductId);

    /// Who hands out the link; none: the link is always free.
    void setLinkAccess(LinkAccess* access) { m_access = access; }
    /// Decimal separator of the firmware text (the calibration values are numbers).
    void setDecimalPoint(QChar decimalPoint) { m_decimalPoint = decimalPoint; }

    /// 'X': the settings and state (outcome.info), then the device's serial number.
    SetupOutcome readMeterInfo(SetupProgress* progress = nullptr);
    /// 't' with the computer's local date and time, taken anew in each attempt.
    SetupOutcome adjustMeterTime(SetupProgress* progress = nullptr);
    /// 'I' with the two fields' digits as BCD; "Invalid Input" refuses bad fields.
    SetupOutcome adjustRecordingInterval(const QString& minutes, const QString& seconds,
                                         SetupProgress* progress = nullptr);
    /// 'e': erases the logger memory.
    SetupOutcome eraseMeterMemory(SetupProgress* progress = nullptr);
    /// 's' with the default settings block.
    SetupOutcome setDefaultValues(SetupProgress* progress = nullptr);
    /// Writes 1 to EEPROM address 2 (Bluetooth on).
    SetupOutcome setBluetoothOn(SetupProgress* progress = nullptr);
    /// Defaults, Bluetooth on, clock, interval, erase and information in one go, with
    /// pauses between; stops after a failed Bluetooth write (its outcome carries the
    /// message "Setup Blooth On fail "). The outcomes of the steps that ran, in order.
    std::vector<SetupOutcome> setupAll(const QString& minutes, const QString& seconds,
                                       SetupProgress* progress = nullptr);
    /// 'Y' and 'Z': gains, external and CJC offsets (outcome.calibration). Read only.
    SetupOutcome readCalibration(SetupProgress* progress = nullptr);
    /// One EEPROM byte, after the access code; the address 0..0xFFFFFF, the data 0..255.
    SetupOutcome writeEeprom(const QString& accessCode, const QString& address, const QString& data,
                             SetupProgress* progress = nullptr);
    /// One EEPROM byte (outcome.eepromValue).
    SetupOutcome readEeprom(const QString& address, SetupProgress* progress = nullptr);
    /// Writes a data-set header of `points` points at `intervalSeconds` dated now
    /// into the meter's memory, so the memory holds exactly that one data set.
    SetupOutcome quickRecord(const QString& points, const QString& intervalSeconds,
                             SetupProgress* progress = nullptr);
    /// The operation request names, with its fields.
    SetupOutcome run(const SetupRequest& request, SetupProgress* progress = nullptr);

    bool running() const { return m_running; }
    const core::CommandFrame& frame() const { return m_frame; }
    const core::SetupBuffer& buffer() const { return m_buffer; }

private:
    struct Exchange;
    /// Whether an operation clears its label before or after it has taken the link.
    enum class Order { LabelFirst, PollFirst };

    template <typename Body>
    SetupOutcome guarded(SetupOperation operation, SetupProgress* progress, Body&& body);
    /// The frame around every exchange: label and pause, the input check (a refusal
    /// ends here, before the link is taken), the link and the hourglass, the exchange,
    /// and the way back. started and finished come in pairs.
    SetupOutcome operate(SetupOperation operation, Order order, const std::function<SetupOutcome()>& exchange,
                         const std::function<std::optional<SetupOutcome>()>& check = {});
    SetupOutcome busy(SetupOperation operation) const;
    void finish(const SetupOutcome& outcome) const;
    void wait(int ms);
    void hourglass(bool on) const;
    bool takeLink() const;
    void releaseLink() const;

    SetupOutcome doReadMeterInfo();
    SetupOutcome doAdjustMeterTime();
    SetupOutcome doAdjustRecordingInterval(const QString& minutes, const QString& seconds);
    SetupOutcome doEraseMeterMemory();
    SetupOutcome doSetDefaultValues();
    SetupOutcome doSetBluetoothOn();

    /// Runs the three attempts of one exchange between the poll hand-over steps.
    SetupOutcome runExchange(const Exchange& exchange);
    core::LinkResult attemptExchange(const Exchange& exchange);
    core::LinkResult attemptCalibration();
    /// guarded + operate for the service functions whose fields check() reads into numbers.
    SetupOutcome checkedService(SetupOperation operation, SetupProgress* progress,
                                const std::function<core::ServiceEntry()>& check,
                                const std::function<SetupOutcome(const core::ServiceEntry&)>& exchange);
    template <typename Codes, typename Fill>
    core::LinkResult eepromCommand(const Codes& codes, Fill&& fillFrame);
    /// Up to five read attempts with the echo check; the byte read on success.
    SetupOutcome readWithEcho(std::int32_t address);
    SetupOutcome writeQuickRecord(std::int32_t points, std::int32_t intervalSeconds);
    /// Up to five write attempts with the echo check; 0 or the last EepromWriteResult code.
    core::LinkResult writeWithEcho(std::int32_t address, std::int32_t data);
    /// One write on an open device: the send and the read each tried up to five times.
    bool writeEepromByte(const core::EepromByte& byte);
    void sendAbort();
    QString readSerialNumber();

    bool openDevice();
    bool setTimeouts();
    bool sendFrame();
    bool readInto(std::span<std::uint8_t> reply);

    UsbTransport& m_transport;
    Clock& m_clock;
    std::uint16_t m_vendorId;
    std::uint16_t m_productId;
    LinkAccess* m_access = nullptr;
    /// Whoever shows the running operation; null between operations.
    SetupProgress* m_progress = nullptr;
    QChar m_decimalPoint = u'.';
    bool m_running = false;

    core::CommandFrame m_frame;
    core::SetupBuffer m_buffer{};
    std::array<std::uint8_t, core::kMeterInfoSize> m_info{};
    core::SetupBuffer m_calibrationFirst{};
    core::SetupBuffer m_calibrationSecond{};
};

} // namespace thermo4::link
