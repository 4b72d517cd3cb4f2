#pragma once

#include "alarm/AlarmRule.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace thermo4::ui {

class Prompts;

/// The alarm dialog of the Real Time menu: per channel a switch and a high and a low
/// limit (empty: none), the hold time, the hysteresis and the sound switch. Limits and
/// hysteresis are shown and entered in the unit the meter shows; the settings keep °C.
class TfrmSetupAlarms : public QDialog {
    Q_OBJECT
public:
    TfrmSetupAlarms(const alarm::AlarmSettings& settings, bool sound, bool fahrenheit, Prompts& prompts,
                    QWidget* parent = nullptr);

    /// The settings as entered; nothing (after telling the user why) when a field is wrong.
    std::optional<alarm::AlarmSettings> enteredSettings();
    bool soundOn() const;
    /// What OK took.
    const alarm::AlarmSettings& acceptedSettings() const { return m_entered; }

    void accept() override;

    // Controls
    std::array<QCheckBox*, 4> chkOn{};
    std::array<QLineEdit*, 4> edtHigh{};
    std::array<QLineEdit*, 4> edtLow{};
    QLineEdit* edtHold = nullptr;
    QLineEdit* edtHysteresis = nullptr;
    QCheckBox* chkSound = nullptr;

private:
    Prompts& m_prompts;
    bool m_fahrenheit;
    alarm::AlarmSettings m_entered;
};

} // namespace thermo4::ui
