#include "ui/MdiChild.h"

#include "ui/AppServices.h"
#include "ui/MainFrame.h"

#include <QCloseEvent>
#include <QMdiSubWindow>

#include <algorithm>

namespace thermo4::ui {

MdiChild::MdiChild(MainFrame& frame) : m_frame(frame) {}

const AppServices& MdiChild::services() const {
    return m_frame.services();
}

session::MeterSession& MdiChild::session() const {
    return m_frame.session();
}

Prompts& MdiChild::prompts() const {
    return *m_frame.services().prompts;
}

link::Clock& MdiChild::clock() const {
    return *m_frame.services().clock;
}

QMdiSubWindow* MdiChild::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void MdiChild::restoreNormal() {
    if (QMdiSubWindow* window = subWindow()) {
        window->showNormal();
        window->raise();
    } else {
        showNormal();
    }
}

void MdiChild::place(int left, int top, int width, int height) {
    QWidget* window = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    // Never below what the window's layout needs, or its fields pile up on each other.
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    window->setGeometry(left, top, std::max(width, least.width()), std::max(height, least.height()));
}

void MdiChild::placeAt(int left, int top) {
    QWidget* window = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    window->move(left, top);
}

bool MdiChild::closeWindow() {
    if (QMdiSubWindow* window = subWindow())
        return window->close();
    return close();
}

void MdiChild::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    emit closed(this);
}

} // namespace thermo4::ui
