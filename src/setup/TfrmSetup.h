#pragma once

#include "link/SetupProgress.h"
#include "session/MeterSession.h"
#include "ui/MdiChild.h"

#include <QColor>

#include <array>
#include <functional>
#include <optional>

class QGroupBox;
class QHBoxLayout;
class QLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace thermo4::ui {

/// The meter's setup dialog (caption "Data Logger Setup"): information read-out,
/// clock, recording interval, erase, default settings, "Setup All", calibration
/// read-back, EEPROM cells and quick recording, each with its status label. The
/// operations are the session's (over USB, holding its link); the dialog shows
/// their progress. One runs at a time, and the dialog does not close before it
/// has ended.
class TfrmSetup : public MdiChild, private link::SetupProgress {
    Q_OBJECT
public:
    /// Status label colours: "OK" and the cleared label, and a failure.
    static const QColor kOkColor;
    static const QColor kFailColor;
    /// Shown instead of an operation while the meter is connected over the serial link.
    static const char* const kUsbOnlyMessage;
    /// Asked before the meter's memory is erased (Erase, "Setup All"); No is the default.
    static constexpr const char* kEraseQuestion =
        "Erase all data sets in the meter's memory? This cannot be undone.";

    explicit TfrmSetup(MainFrame& frame);

    /// An operation is running (its buttons are disabled meanwhile).
    bool operationRunning() const { return m_running; }

    bool FormCloseQuery() override;
    void FormClose() override;

protected:
    void showEvent(QShowEvent* event) override;

public slots:
    void Button1Click();  ///< AdjustMeterTime
    void Button2Click();  ///< AdjustRecordingInterval
    void Button3Click();  ///< EraseMeterMemory
    void Button4Click();  ///< ReadMeterInfo
    void Button5Click();  ///< SetDefaultValues
    void Button6Click();  ///< "Setup All"
    void Button7Click();  ///< calibration read
    void Button8Click();  ///< EEPROM write
    void Button9Click();  ///< EEPROM read
    void Button10Click(); ///< QUICK REC

private:
    QGroupBox* createInformationGroup();
    QGroupBox* createIntervalGroup();
    QGroupBox* createCalibrationGroup();
    QGroupBox* createEepromGroup();
    QGroupBox* createQuickRecordGroup();
    QPushButton* button(const char* name, const QString& caption, void (TfrmSetup::*handler)());
    QLabel* statusLabel(const char* name);
    /// A button with its status label beside it; right: both at the right end.
    static QHBoxLayout* statusRow(QPushButton* button, QLabel* status, bool right = false);
    QGroupBox* framed(const QString& title, QLayout* layout);
    QLineEdit* field(const char* name, const QString& text, bool readOnly = false);

    void run(const link::SetupRequest& request);
    /// Runs one operation: refused on the serial link; otherwise the buttons are
    /// disabled until it returns, and a close asked for meanwhile follows it.
    void runOperation(const std::function<void()>& operation);
    void setButtonsEnabled(bool enabled);
    /// Asks kEraseQuestion; true for Yes.
    bool eraseConfirmed();

    // What the operations tell the window.
    void started(link::SetupOperation operation) override { operationStarted(operation); }
    void exchanging(bool running) override { setHourglass(running); }
    void finished(const link::SetupOutcome& outcome) override { operationFinished(outcome); }
    void operationStarted(link::SetupOperation operation);
    void setHourglass(bool on);
    void operationFinished(const link::SetupOutcome& outcome);
    void showRefusal(const link::SetupOutcome& outcome);

    QLabel* labelOf(link::SetupOperation operation) const;
    static void setStatus(QLabel* label, const QString& text, const QColor& color);

    bool m_running = false;
    bool m_closeWhenDone = false;
    bool m_hourglass = false;
    bool m_placed = false;
    /// The groups and buttons, inside a scroll area that fills the window.
    QWidget* m_content = nullptr;
    /// The status label's text before the running operation cleared it.
    QString m_previousStatus;
    QColor m_previousColor;

    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QPushButton* Button7 = nullptr;
    QPushButton* Button8 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;

    QLabel* lblOK1 = nullptr;
    QLabel* lblOK2 = nullptr;
    QLabel* lblOK3 = nullptr;
    QLabel* lblOK4 = nullptr;
    QLabel* lblOK5 = nullptr;
    QLabel* lblOK6 = nullptr;
    QLabel* lblWriteOK = nullptr;
    QLabel* lblReadOK = nullptr;
    QLabel* lblQUICKRECOK = nullptr;

    QLineEdit* edtInt1 = nullptr;
    QLineEdit* edtInt2 = nullptr;
    /// txtVer … txtSN in the order the information read fills them.
    std::array<QLineEdit*, 16> m_infoFields{};
    std::array<QLineEdit*, 4> m_gainFields{};
    std::array<QLineEdit*, 4> m_extOffsetFields{};
    std::array<QLineEdit*, 4> m_cjcOffsetFields{};
    QLineEdit* txtWAddress = nullptr;
    QLineEdit* txtWData = nullptr;
    QLineEdit* edtPassword = nullptr;
    QLineEdit* txtRAddress = nullptr;
    QLineEdit* txtRData = nullptr;
    QLineEdit* txtQuick_REC_NUM = nullptr;
    QLineEdit* txtInterval = nullptr;
};

} // namespace thermo4::ui
