#pragma once

#include "link/UsbDownload.h"
#include "ui/TfrmScope.h"

#include <QPointer>

namespace thermo4::ui {

/// Creates and shows the download progress window for a transfer of total
/// bytes: caption "Data Retriving Progress", bar and counters at 0, not modal.
/// The window belongs to parent until the caller deletes it.
TfrmScope* ShowDownloadProgress(QWidget* parent, std::int32_t total);

/// Shows a logger download in a TfrmScope: created when the first block has
/// arrived, advanced with every accepted block, closed and released at the end.
class ScopeDownloadProgress : public link::DownloadProgress {
public:
    explicit ScopeDownloadProgress(QWidget* parent) : m_parent(parent) {}
    ~ScopeDownloadProgress() override;
    ScopeDownloadProgress(const ScopeDownloadProgress&) = delete;
    ScopeDownloadProgress& operator=(const ScopeDownloadProgress&) = delete;

    void started(std::int32_t totalBytes) override;
    void advanced(std::int32_t receivedBytes) override;
    void finished() override;

    /// Shows the busy cursor until the first block arrives or the download ends.
    void showWaitCursor();

    /// The window while the download runs; null before the first block and after the end.
    TfrmScope* window() const { return m_window; }

private:
    void restoreCursor();

    QWidget* m_parent;
    QPointer<TfrmScope> m_window;
    bool m_waitCursor = false;
};

} // namespace thermo4::ui
