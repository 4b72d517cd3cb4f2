#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace thermo4::ui {

/// The items chosen in the minutes and the seconds box of a sampling rate (-1: none).
struct RateIndexes {
    int minutes = 0;
    int seconds = 0;
    bool operator==(const RateIndexes&) const = default;
};

/// The set-up dialog of a real-time recording: how many samples, how often, and
/// how long that takes. "Start" closes it with OK, "Cancel" without.
class TfrmSetupRealTime : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 402;
    static constexpr int kClientHeight = 175;
    /// Initial sample count: five places, blank-padded on the left.
    static constexpr const char* kInitialCount = " 2000";
    /// Items "00" to "60" of each rate box.
    static constexpr int kRateItems = 61;

    explicit TfrmSetupRealTime(QWidget* parent = nullptr);

    /// A minutes or seconds box of a sampling rate: items "00" to "60", item `index` chosen.
    static QComboBox* createRateBox(QWidget* parent, const char* name, int index);

    /// A duration in seconds as hours:minutes:seconds, minutes and seconds with two
    /// digits when padded ("1:06:40"), without leading zeros otherwise ("1:6:40").
    static QString periodText(qint64 seconds, bool padded);

    /// Either rate box changed: 00:00 becomes 00:02, then the period is recomputed.
    void ComboBox1Change();

    RateIndexes rateIndexes() const;
    void setRateIndexes(RateIndexes indexes);
    /// The recording period shown when the dialog opens, without leading zeros (seconds).
    void showPeriod(qint64 seconds);
    /// The sample count as typed.
    QString countText() const;

private:
    friend struct WindowTestAccess;

public:

    /// Sample count, up to five digits or blanks.
    QLineEdit* edtRealTimeNo = nullptr;
    QComboBox* ComboBox1 = nullptr; // minutes
    QComboBox* ComboBox2 = nullptr; // seconds
    /// Recording period, display only.
    QLineEdit* edtPeriod = nullptr;
    QPushButton* btnOpenSingleSet = nullptr; // "Start"
    QPushButton* Button1 = nullptr;          // "Cancel"
};

} // namespace thermo4::ui
