#include "logger/ScopeDownloadProgress.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace thermo4::ui {

namespace {

void setTotal(TfrmScope& scope, std::int32_t total) {
    // A range of 0..0 is a busy bar: the size comes with the first block.
    scope.Progress1->setRange(0, total);
    scope.Progress1->setValue(0);
    scope.lblTotalBytes->setText(total > 0 ? QString::number(total) : QString());
    scope.lblBytesReceived->setText(QStringLiteral("0"));
}

} // namespace

TfrmScope* ShowDownloadProgress(QWidget* parent, std::int32_t total) {
    auto* scope = new TfrmScope(parent);
    scope->setWindowTitle(QStringLiteral("Data Retriving Progress"));
    scope->SText1->setText(QStringLiteral("bytes received"));
    scope->SText2->setText(QStringLiteral("total bytes"));
    for (QWidget* w : {static_cast<QWidget*>(scope->Progress1), static_cast<QWidget*>(scope->lblTotalBytes),
                       static_cast<QWidget*>(scope->lblBytesReceived), static_cast<QWidget*>(scope->SText1),
                       static_cast<QWidget*>(scope->SText2), static_cast<QWidget*>(scope->BitBtn2)})
        w->show();
    setTotal(*scope, total);
    scope->setModal(false);
    scope->show();
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
        QObject::connect(m_window->BitBtn2, &QPushButton::clicked, m_window, [this] { cancel(); });
        QObject::connect(m_window, &QDialog::rejected, m_window, [this] { cancel(); });
    }
    return *m_window;
}

void ScopeDownloadProgress::cancel() {
    m_cancelled = true;
    if (m_window)
        m_window->BitBtn2->setEnabled(false);
}

void ScopeDownloadProgress::started(std::int32_t totalBytes) {
    // The meter answered: the wait for the first reply is over.
    restoreCursor();
    const bool shown = m_window;
    TfrmScope& scope = shownWindow(totalBytes);
    if (shown)
        setTotal(scope, totalBytes);
    scope.lblWaiting->hide();
    m_sinceEvents.start();
}

void ScopeDownloadProgress::advanced(std::int32_t receivedBytes) {
    if (!m_window)
        return;
    m_window->lblBytesReceived->setText(QString::number(receivedBytes));
    m_window->Progress1->setValue(receivedBytes);
    m_window->lblWaiting->hide();
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
    scope.lblWaiting->setText(QString::fromLatin1(kWaitingText).arg(attempt).arg(attempts));
    scope.lblWaiting->show();
    scope.repaint();
}

void ScopeDownloadProgress::finished() {
    restoreCursor();
    delete m_window.data();
    m_window = nullptr;
}

} // namespace thermo4::ui
