#include "link/SetupOutcome.h"

namespace thermo4::link {

namespace {

bool showsCode(SetupOperation operation) {
    switch (operation) {
    case SetupOperation::ReadInfo:
    case SetupOperation::AdjustTime:
    case SetupOperation::Erase:
    case SetupOperation::SetDefaults:
    case SetupOperation::Calibration:
        return true;
    case SetupOperation::AdjustInterval:
    case SetupOperation::BluetoothOn:
    case SetupOperation::EepromWrite:
    case SetupOperation::EepromRead:
    case SetupOperation::QuickRecord:
        return false;
    }
    return false;
}

} // namespace

QString SetupOutcome::statusText() const {
    switch (end) {
    case End::Ok:
        return QStringLiteral("OK");
    case End::Failed:
        return showsCode(operation) ? QStringLiteral("Fail code=%1").arg(code) : QStringLiteral("Fail");
    case End::Refused:
    case End::Busy:
        return {};
    }
    return {};
}

} // namespace thermo4::link
