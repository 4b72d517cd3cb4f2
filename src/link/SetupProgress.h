#pragma once

#include "link/SetupOutcome.h"

#include <QString>

namespace thermo4::link {

/// One setup operation with the texts its fields held when it was asked for; the
/// operation checks them itself (a bad field ends Refused, nothing sent).
struct SetupRequest {
    SetupOperation operation = SetupOperation::ReadInfo;
    QString first;
    QString second;
    QString third;

    static SetupRequest readInfo() { return {SetupOperation::ReadInfo, {}, {}, {}}; }
    static SetupRequest adjustTime() { return {SetupOperation::AdjustTime, {}, {}, {}}; }
    static SetupRequest adjustInterval(const QString& minutes, const QString& seconds) {
        return {SetupOperation::AdjustInterval, minutes, seconds, {}};
    }
    static SetupRequest erase() { return {SetupOperation::Erase, {}, {}, {}}; }
    static SetupRequest setDefaults() { return {SetupOperation::SetDefaults, {}, {}, {}}; }
    static SetupRequest bluetoothOn() { return {SetupOperation::BluetoothOn, {}, {}, {}}; }
    static SetupRequest calibration() { return {SetupOperation::Calibration, {}, {}, {}}; }
    static SetupRequest eepromWrite(const QString& accessCode, const QString& address, const QString& data) {
        return {SetupOperation::EepromWrite, accessCode, address, data};
    }
    static SetupRequest eepromRead(const QString& address) {
        return {SetupOperation::EepromRead, address, {}, {}};
    }
    static SetupRequest quickRecord(const QString& points, const QString& intervalSeconds) {
        return {SetupOperation::QuickRecord, points, intervalSeconds, {}};
    }
};

/// What a setup operation tells whoever shows it, in this order: started, then
/// (unless the input was refused or the link was busy) exchanging(true) and
/// exchanging(false) around the exchange, which may repeat around retry pauses,
/// and finished once for every started.
class SetupProgress {
public:
    virtual ~SetupProgress() = default;
    /// The operation begins; nothing is sent yet, so what the window shows of it is stale.
    virtual void started(SetupOperation) {}
    /// The exchange with the meter runs (true) or has paused or ended (false).
    virtual void exchanging(bool) {}
    /// The operation has ended.
    virtual void finished(const SetupOutcome&) {}
};

} // namespace thermo4::link
