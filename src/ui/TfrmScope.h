#pragma once

#include "formats/ExportRange.h"

#include <QDialog>
#include <QElapsedTimer>

#include <cstdint>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace thermo4::ui {

class Prompts;

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

    /// The range dialog of the exports ("Save File"): "&All" items 1..last, or
    /// "&Select" from..to. Nothing when it is not closed with OK, or when a field
    /// is not an integer (then "invalid integer" is shown).
    static std::optional<formats::ExportRange> AskExportRange(QWidget* parent, int last, Prompts& prompts);

    /// Shows the window, not modal, as the progress window of a file command:
    /// caption, SText1's text, Progress1 from 0 to total (no bar when total is
    /// 0) and the Cancel button.
    void showFileProgress(const QString& caption, const QString& text, int total);
    /// Called after each line with the lines done so far: moves the bar (or shows
    /// the count in SText1 when showCount) and lets the window's events through
    /// on the first line and then every kEventIntervalMs, so the counter moves
    /// and Cancel is seen without an event-loop pass per line. False once Cancel
    /// was pressed.
    bool lineDone(int count, bool showCount);
    /// Longest time between two event passes of a running file command (ms).
    static constexpr int kEventIntervalMs = 50;

    /// Shows the window, not modal and without Cancel, as the progress window of a command that
    /// watches its windows itself: caption, SText1's text and Progress1 from 0 to total.
    void showProgress(const QString& caption, const QString& text, int total);
    /// Moves Progress1 to done.
    void setProgress(int done);

    /// Shows the window, not modal, as the progress window of a logger download of total bytes
    /// (0: not known yet, a busy bar): caption "Data Retriving Progress", bar and counters at 0,
    /// and Cancel.
    void showDownloadProgress(std::int32_t total);
    /// Starts bar and counters again for a transfer of total bytes (0: a busy bar).
    void setDownloadTotal(std::int32_t total);
    /// Bar and "bytes received" counter at received bytes.
    void setReceived(std::int32_t received);
    /// The line under the counters: why the download waits.
    void showWaiting(const QString& text);
    void hideWaiting();
    /// Cancel stays in sight but can no longer be pressed (a cancel is under way).
    void disableCancel();

signals:
    /// Cancel was pressed (also while the window is not modal).
    void cancelPressed();

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend struct WindowTestAccess;

public:

    void BitBtn1Click();
    void BitBtn2Click();

    /// Progress bar and its two counters with their captions ("bytes received", "total bytes").
    QProgressBar* Progress1 = nullptr;
    QLabel* SText1 = nullptr;
    QLabel* SText2 = nullptr;
    QLabel* lblBytesReceived = nullptr;
    QLabel* lblTotalBytes = nullptr;
    /// Under the counters: that the meter is not answering.
    QLabel* lblWaiting = nullptr;
    /// Range choice: "&All" or "&Select" with "&from" and "&to".
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* radAll = nullptr;
    QRadioButton* radNo = nullptr;
    QLineEdit* edtSelFrom = nullptr;
    QLineEdit* edtSelTo = nullptr;
    /// OK and Cancel.
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;

    Result m_result = Result::None;
    QElapsedTimer m_sinceEvents;
};

} // namespace thermo4::ui
