#pragma once

#include <QWidget>

namespace thermo4::ui {

/// A transparent area over one of the meter's keys with a hand cursor. A click
/// is a press and release of the left button inside it; a double click reports
/// clicked() for its first half and doubleClicked() for its second, so a key
/// with both handlers sees both.
class ClickArea : public QWidget {
    Q_OBJECT
public:
    explicit ClickArea(QWidget* parent = nullptr);

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    /// A left press began inside the area and has not been released yet.
    bool m_pressed = false;
};

} // namespace thermo4::ui
