#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace thermo4::ui {

/// The about box: the program's title, "Version:" and its version, and an OK
/// button. Also serves as the splash at start-up and as the progress window of
/// the Bluetooth search (which hides the OK button and rewrites the title).
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Four Channel Thermometer Software";

    explicit TfrmAbout(QWidget* parent = nullptr);

    /// Shows the box modeless, on top and centred on the screen, without its OK
    /// button, and paints it at once (before the event loop runs).
    void showAsSplash();
    /// The OK button shows in the about box, not in a progress window.
    void showOkButton(bool shown);
    /// The caption and the title line (a progress window names its step there).
    void setTitle(const QString& title);

private:
    friend struct WindowTestAccess;

public:

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblVersionNumber = nullptr;
    QPushButton* btnOK = nullptr;
};

} // namespace thermo4::ui
