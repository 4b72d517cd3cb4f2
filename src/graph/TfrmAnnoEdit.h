#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace thermo4::ui {

/// Asks for the text of a text mark: one edit field, OK and Cancel.
class TfrmAnnoEdit : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 304;
    static constexpr int kClientHeight = 62;

    explicit TfrmAnnoEdit(QWidget* parent = nullptr);

    /// The text typed.
    QString text() const;

private:
    friend struct WindowTestAccess;

public:

    QLineEdit* Edit1 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

} // namespace thermo4::ui
