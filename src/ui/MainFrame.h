#pragma once

#include <QList>
#include <QSize>

class QMdiSubWindow;
class QPrinter;
class QString;
class QWidget;

namespace thermo4::session {
class MeterSession;
}

namespace thermo4::ui {

class MdiChild;
struct AppServices;
struct GraphShared;
struct LoggerData;

/// What the child windows may ask of the main window. A child never touches the
/// main window's widgets: it asks here, or announces through the session.
class MainFrame {
public:
    virtual ~MainFrame() = default;

    virtual const AppServices& services() const = 0;
    virtual session::MeterSession& session() = 0;
    virtual LoggerData& loggerData() = 0;
    virtual GraphShared& graphShared() = 0;
    /// The printer chosen by Printer Setup; the printouts use it.
    virtual QPrinter& printer() = 0;
    /// The main window, as the parent of dialogs.
    virtual QWidget* frameWidget() = 0;

    /// Adds child to the client area in a sub-window that is destroyed when it closes, and shows it.
    virtual QMdiSubWindow* addChild(MdiChild* child) = 0;
    /// The active child window, or null.
    virtual MdiChild* activeChild() const = 0;
    /// Makes child the active window.
    virtual void activateChild(MdiChild* child) = 0;
    /// Every child window, in the order they were created.
    virtual QList<MdiChild*> children() const = 0;
    /// Size of the client area that holds the child windows (pixels).
    virtual QSize clientSize() const = 0;

    /// File > Save on the active child window; true when a file was written.
    virtual bool saveActiveChild() = 0;
    /// Creates the real-time graph window if there is none, placed and set up as at start-up.
    virtual void openRealTimeGraph() = 0;
    /// A one-line message for the user in the status bar (also on stderr), e.g. a journal
    /// that cannot be written or a broker that went away.
    virtual void showNotice(const QString& text) = 0;
};

} // namespace thermo4::ui
