#include "panel/ClickArea.h"

#include <QMouseEvent>

namespace thermo4::ui {

ClickArea::ClickArea(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_NoSystemBackground);
}

void ClickArea::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void ClickArea::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: its release is not another click.
    m_pressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace thermo4::ui
