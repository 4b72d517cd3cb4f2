#pragma once

#include "link/DownloadProgress.h"
#include "ui/TfrmScope.h"

#include <QElapsedTimer>
#include <QPointer>

namespace thermo4::ui {

/// Creates and shows the download progress window for a transfer of total
/// bytes (0: not known yet, a busy bar): caption "Data Retriving Progress", bar
/// and counters at 0, Cancel, not modal. The window belongs to parent until the
/// caller deletes it.
TfrmScope* ShowDownloadProgress(QWidget* parent, std::int32_t total);

/// Shows a logger download in a TfrmScope: created when the first block has
/// arrived or the meter is waited for, advanced with every accepted block,
/// closed and released at the end. Cancel, the close box and Escape ask the
/// download to stop.
class ScopeDownloadProgress : public link::DownloadProgress {
public:
    /// What the window says while the meter does not answer (try, tries).
    static constexpr const char* kWaitingText = "waiting for the meter, try %1 of %2";
    /// Longest time between two event passes while blocks arrive (ms): the window
    /// repaints and Cancel is seen on a link whose transfer does not wait.
    static constexpr int kEventIntervalMs = 50;

    explicit ScopeDownloadProgress(QWidget* parent) : m_parent(parent) {}
    ~ScopeDownloadProgress() override;
    ScopeDownloadProgress(const ScopeDownloadProgress&) = delete;
    ScopeDownloadProgress& operator=(const ScopeDownloadProgress&) = delete;

    void started(std::int32_t totalBytes) override;
    void advanced(std::int32_t receivedBytes) override;
    void finished() override;
    void waiting(int attempt, int attempts) override;
    bool cancelled() const override { return m_cancelled; }

    /// Shows the busy cursor until the first block arrives, the meter is waited for or the download ends.
    void showWaitCursor();

    /// The window while the download runs; null before the first block or wait and after the end.
    TfrmScope* window() const { return m_window; }

private:
    void restoreCursor();
    /// The window, created (total not known yet) when there is none.
    TfrmScope& shownWindow(std::int32_t total);
    void cancel();

    QWidget* m_parent;
    QPointer<TfrmScope> m_window;
    QElapsedTimer m_sinceEvents;
    bool m_waitCursor = false;
    bool m_cancelled = false;
};

} // namespace thermo4::ui
