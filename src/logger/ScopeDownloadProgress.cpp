#include "logger/ScopeDownloadProgress.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>

namespace thermo4::ui {

TfrmScope* ShowDownloadProgress(QWidget* parent, std::int32_t total) {
    auto* scope = new TfrmScope(parent);
    scope->setWindowTitle(QStringLiteral("Data Retriving Progress"));
    scope->SText1->setText(QStringLiteral("bytes received"));
    scope->SText2->setText(QStringLiteral("total bytes"));
    for (QWidget* w : {static_cast<QWidget*>(scope->Progress1), static_cast<QWidget*>(scope->lblTotalBytes),
                       static_cast<QWidget*>(scope->lblBytesReceived), static_cast<QWidget*>(scope->SText1),
                       static_cast<QWidget*>(scope->SText2)})
        w->show();
    scope->Progress1->setRange(0, total);
    scope->Progress1->setValue(0);
    scope->lblTotalBytes->setText(QString::number(total));
    scope->lblBytesReceived->setText(QStringLiteral("0"));
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

void ScopeDownloadProgress::started(std::int32_t totalBytes) {
    // The meter answered: the wait for the first reply is over.
    restoreCursor();
    delete m_window.data();
    m_window = ShowDownloadProgress(m_parent, totalBytes);
}

void ScopeDownloadProgress::advanced(std::int32_t receivedBytes) {
    if (!m_window)
        return;
    m_window->lblBytesReceived->setText(QString::number(receivedBytes));
    m_window->Progress1->setValue(receivedBytes);
    m_window->repaint();
}

void ScopeDownloadProgress::finished() {
    restoreCursor();
    delete m_window.data();
    m_window = nullptr;
}

} // namespace thermo4::ui
