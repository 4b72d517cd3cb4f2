#include "setup/TfrmSetup.h"

#include "app/TfrmMain.h"

#include <QTimer>

namespace thermo4::ui {

TfrmSetup::TfrmSetup(TfrmMain& main) : MdiChild(main) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Data Logger Setup"));
    resize(640, 480);
}

void TfrmSetup::FormClose() {
    // The poll may have been stopped by an operation of the dialog; it runs again from here.
    frmMain().MainTimer->start();
}

} // namespace thermo4::ui
