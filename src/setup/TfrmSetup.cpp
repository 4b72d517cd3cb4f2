#include "setup/TfrmSetup.h"

#include "session/MeterSession.h"

namespace thermo4::ui {

TfrmSetup::TfrmSetup(MainFrame& frame) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Data Logger Setup"));
    resize(640, 480);
}

void TfrmSetup::FormClose() {
    // The poll may have been stopped by an operation of the dialog; it runs again from here.
    session().startPolling();
}

} // namespace thermo4::ui
