#include "logger/ScopeDownloadProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace thermo4::ui {

TfrmScope* ShowDownloadProgress(QWidget* parent, std::int32_t total) {
    auto* scope = new TfrmScope(parent);
    scope->showDownloadProgress(total);
    if (parent)
        parent->repaint();
    return scope;
}

ScopeDownloadProgress::~ScopeDownloadProgress() {
    finished();
}

void ScopeDownloadProgress::showWaitCursor() {
    if (!m_waitCursor) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_waitCursor = true;
    }
}

void ScopeDownloadProgress::restoreCursor() {
    if (m_waitCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
}

TfrmScope& ScopeDownloadProgress::shownWindow(std::int32_t total) {
    if (!m_window) {
        m_window = ShowDownloadProgress(m_parent, total);
        // Cancel runs no modal loop here: the download sees the request at its next wait.
        QObject::connect(m_window, &TfrmScope::cancelPressed, m_window, [this] { cancel(); });
        QObject::connect(m_window, &QDialog::rejected, m_window, [this] { cancel(); });
    }
    return *m_window;
}

void ScopeDownloadProgress::cancel() {
    m_cancelled = true;
    if (m_window)
        m_window->disableCancel();
}

void ScopeDownloadProgress::started(std::int32_t totalBytes) {
    // The meter answered: the wait for the first reply is over.
    restoreCursor();
    const bool shown = m_window;
    TfrmScope& scope = shownWindow(totalBytes);
    if (shown)
        scope.setDownloadTotal(totalBytes);
    scope.hideWaiting();
    m_sinceEvents.start();
}

void ScopeDownloadProgress::advanced(std::int32_t receivedBytes) {
    if (!m_window)
        return;
    m_window->setReceived(receivedBytes);
    m_window->hideWaiting();
    m_window->repaint();
    // A transfer that never waits still lets Cancel and the windows' painting through.
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kEventIntervalMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
}

void ScopeDownloadProgress::waiting(int attempt, int attempts) {
    // The user may want to give up: the window (and its Cancel) shows from here on.
    restoreCursor();
    TfrmScope& scope = shownWindow(0);
    scope.showWaiting(QString::fromLatin1(kWaitingText).arg(attempt).arg(attempts));
    scope.repaint();
}

void ScopeDownloadProgress::finished() {
    restoreCursor();
    delete m_window.data();
    m_window = nullptr;
}

} // namespace thermo4::ui
