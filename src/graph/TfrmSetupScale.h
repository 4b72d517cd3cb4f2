#pragma once

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace thermo4::ui {

/// Y range of one channel's axis, in whole degrees.
struct ScaleRange {
    int min = 0;
    int max = 0;
    bool operator==(const ScaleRange&) const = default;
};
/// Ranges of T1 to T4.
using ScaleRanges = std::array<ScaleRange, 4>;

/// The dialog's fields read as integers: the ranges, or the text that was not an integer.
struct ScaleReading {
    std::optional<ScaleRanges> ranges;
    QString invalidText;
};

/// The Y-axis dialog: a minimum and a maximum for each channel's axis, and whether to keep
/// them in the graph template.
class TfrmSetupScale : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 512;
    static constexpr int kClientHeight = 268;
    static constexpr const char* kCaption = "Y Axis Maximum And Minimum Scale Setup";

    explicit TfrmSetupScale(QWidget* parent = nullptr);

    void setRanges(const ScaleRanges& ranges);
    /// The eight fields as integers. When some are not, invalidText is the last of them in the
    /// order T4 MAX, T4 MIN, T3 MAX, T3 MIN ... T1 MIN (so the bad field nearest to T1 MIN).
    ScaleReading readRanges() const;
    /// A whole decimal number that fits an int, blanks around it allowed; nothing otherwise.
    static std::optional<int> parseInteger(const QString& text);
    /// "Save this setting " is checked: the ranges go into the graph template too.
    bool keepInTemplate() const;

private:
    friend struct WindowTestAccess;

public:

    /// edtT1Min .. edtT4Min and edtT1Max .. edtT4Max.
    std::array<QLineEdit*, 4> edtMin{};
    std::array<QLineEdit*, 4> edtMax{};
    QCheckBox* chkSave = nullptr; // "Save this setting "
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace thermo4::ui
