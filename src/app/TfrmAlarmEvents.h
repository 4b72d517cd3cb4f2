#pragma once

#include "alarm/AlarmRule.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTableWidget;

namespace thermo4::ui {

class AlarmWatch;
class Prompts;

/// A small window listing this run's alarm beginnings and ends (time, channel, kind,
/// limit, value, on/off) as they come; Save writes them as CSV.
class TfrmAlarmEvents : public QDialog {
    Q_OBJECT
public:
    /// watch must outlive the window.
    TfrmAlarmEvents(AlarmWatch& watch, Prompts& prompts, QWidget* parent = nullptr);

    /// Asks for a file and writes the events into it through the safe writer; false when
    /// cancelled or the file could not be written (the user was told why).
    bool btnSaveClick();

    QTableWidget* Grid1 = nullptr;
    QPushButton* btnSave = nullptr;

private:
    void addRow(const alarm::AlarmEvent& event);

    AlarmWatch& m_watch;
    Prompts& m_prompts;
};

} // namespace thermo4::ui
