#pragma once

#include "app/MdiChild.h"
#include "core/MeterStatus.h"

#include <array>

class QLabel;
class QToolButton;

namespace thermo4::ui {

/// The virtual panel: the meter's display as a child window (caption "PANEL"),
/// refreshed from every valid live frame, with "No Connection" while no meter
/// answers. This first version shows the four channels as text.
class TfrmPanel : public MdiChild {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 313;
    static constexpr int kClientHeight = 716;

    explicit TfrmPanel(TfrmMain& main);

    /// Draws a decoded live frame.
    void RefreshPanel(const core::MeterStatus& status);
    /// One blink tick (every 500 ms), after AppState::blinkPhase was toggled.
    void Blink();

    void FormActivate() override;
    bool FormCloseQuery() override;
    void FormClose() override;

    QLabel* lblNoConnection = nullptr;
    /// Link icon: blinks while the live link is the serial port.
    QLabel* ingBlutoothLink = nullptr;
    std::array<QLabel*, 4> lblReading{};
    QToolButton* btnClose = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace thermo4::ui
