#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace thermo4::ui {

/// Moves a top-level window so that its frame is centred on its screen.
void CenterOnScreen(QWidget* window);

/// One small window class with several roles: the download and graphing
/// progress window, the save/open progress window and the range dialog of the
/// exports and printouts. Every control starts hidden; each role shows its own.
/// It stays on top and is centred on the screen when shown.
class TfrmScope : public QDialog {
    Q_OBJECT
public:
    /// The result a running loop checks (Cancel pressed) or a modal use returns.
    enum class Result { None, Ok, Cancel };

    explicit TfrmScope(QWidget* parent = nullptr);

    Result modalResult() const { return m_result; }
    void resetResult() { m_result = Result::None; }

    /// Progress bar and its two counters with their captions ("bytes received", "total bytes").
    QProgressBar* Progress1 = nullptr;
    QLabel* SText1 = nullptr;
    QLabel* SText2 = nullptr;
    QLabel* lblBytesReceived = nullptr;
    QLabel* lblTotalBytes = nullptr;
    /// Range choice: "&All" or "&Select" with "&from" and "&to".
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* radAll = nullptr;
    QRadioButton* radNo = nullptr;
    QLineEdit* edtSelFrom = nullptr;
    QLineEdit* edtSelTo = nullptr;
    /// OK and Cancel.
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BitBtn1Click();
    void BitBtn2Click();

    Result m_result = Result::None;
};

} // namespace thermo4::ui
