#pragma once

#include "app/MdiChild.h"

#include <array>
#include <cstdint>

class QToolButton;

namespace thermo4::ui {

/// A graph window. Its caption tells its role: "Real-Time Graph" (fed by the
/// live recording), "DataLogger" (downloaded data sets), or a file's name.
class TfrmGraph : public MdiChild {
    Q_OBJECT
public:
    static constexpr const char* kRealTimeCaption = "Real-Time Graph";
    static constexpr const char* kDataLoggerCaption = "DataLogger";

    TfrmGraph(TfrmMain& main, const QString& caption);

    /// Creates the real-time window, stores it in AppState::realTimeGraph and
    /// checks the View menu's "Real Time &Graph".
    static TfrmGraph* OpenRealTimeGraph(TfrmMain& main);

    /// One real-time sample at t (days since 1899-12-30); channelState bit n: Tn+1
    /// "OL", bit n+4: "----"; readings in °C.
    void AppendSample(double t, std::uint8_t channelState, const std::array<float, 4>& readings);

    void FormActivate() override;
    void FormClose() override;

    bool isRealTime() const;
    bool isDataLogger() const;

    /// The real-time window's "Clear" button; null until the window has one.
    QToolButton* tbntClr = nullptr;
};

} // namespace thermo4::ui
