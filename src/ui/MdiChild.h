#pragma once

#include <QWidget>

class QMdiSubWindow;

namespace thermo4::link {
class Clock;
}
namespace thermo4::session {
class MeterSession;
}

namespace thermo4::ui {

class MainFrame;
class Prompts;
struct AppServices;

/// Base of the main window's child windows (panel, graphs, tables, setup).
/// A child lives in a sub-window of the frame, is destroyed when it closes and
/// answers the frame's events through the handlers below.
class MdiChild : public QWidget {
    Q_OBJECT
public:
    explicit MdiChild(MainFrame& frame);

    MainFrame& frame() const { return m_frame; }
    const AppServices& services() const;
    session::MeterSession& session() const;
    Prompts& prompts() const;
    link::Clock& clock() const;
    /// The frame's sub-window holding this child; null until it is added.
    QMdiSubWindow* subWindow() const;

    /// Brings the window back from minimised or maximised to its normal state and shows it.
    void restoreNormal();
    /// Sets the sub-window's outer geometry in the frame's client area (pixels), no smaller
    /// than the window's layout needs.
    void place(int left, int top, int width, int height);
    void placeAt(int left, int top);
    /// Closes the window through its sub-window, as the user's close box does.
    bool closeWindow();

    /// The child became the active window of the frame.
    virtual void FormActivate() {}
    /// May the window close? A window holding unsaved data asks here; false keeps it open.
    virtual bool FormCloseQuery() { return true; }
    /// The window is closing: last work on its own state before it is destroyed.
    virtual void FormClose() {}

signals:
    /// The window closed (after FormClose); it is destroyed next.
    void closed(thermo4::ui::MdiChild* child);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainFrame& m_frame;
};

} // namespace thermo4::ui
