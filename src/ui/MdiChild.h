#pragma once

#include <QWidget>

class QMdiSubWindow;

namespace thermo4::ui {

class TfrmMain;
struct AppState;

/// Base of the main window's child windows (panel, graphs, tables, setup).
/// A child lives in a sub-window of the frame, is destroyed when it closes and
/// answers the frame's events through the handlers below.
class MdiChild : public QWidget {
    Q_OBJECT
public:
    explicit MdiChild(TfrmMain& main);

    TfrmMain& frmMain() const { return m_main; }
    AppState& state() const;
    /// The frame's sub-window holding this child; null until it is added.
    QMdiSubWindow* subWindow() const;

    /// Brings the window back from minimised or maximised to its normal state and shows it.
    void restoreNormal();
    /// Sets the sub-window's outer geometry in the frame's client area (pixels).
    void place(int left, int top, int width, int height);
    void placeAt(int left, int top);
    /// Closes the window through its sub-window, as the user's close box does.
    bool closeWindow();

    /// The child became the active window of the frame.
    virtual void FormActivate() {}
    /// May the window close? A window holding unsaved data asks here; false keeps it open.
    virtual bool FormCloseQuery() { return true; }
    /// The window is closing: undo its marks on the main window (menu checks,
    /// buttons). Its AppState reference clears itself when it is destroyed.
    virtual void FormClose() {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TfrmMain& m_main;
};

} // namespace thermo4::ui
