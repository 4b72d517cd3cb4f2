#pragma once

#include "ui/MdiChild.h"

namespace thermo4::ui {

/// The meter's setup dialog (caption "Data Logger Setup"): one at a time, a child window of the frame.
class TfrmSetup : public MdiChild {
    Q_OBJECT
public:
    explicit TfrmSetup(MainFrame& frame);

    void FormClose() override;
};

} // namespace thermo4::ui
