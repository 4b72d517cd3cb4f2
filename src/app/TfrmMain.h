#pragma once

#include "app/AppState.h"
#include "link/MeterPoller.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QSettings;
class QTimer;
class QToolBar;
class QToolButton;

namespace thermo4::ui {

class MdiChild;

/// The program's multi-document frame: menu, tool bar, status bar, the poll
/// and blink timers, the persisted settings and the process-wide AppState.
/// Child windows (panel, graphs, tables, setup) live in its client area.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kTimerIntervalMs = 500;
    /// Status-bar texts of the connection state (panel 1).
    static constexpr const char* kOnConnection = "On Connection";
    static constexpr const char* kOffConnection = "Off Connection";
    static constexpr const char* kNoConnection = "No Connection";

    /// services.clock, services.usb and services.prompts must be set and outlive the window.
    explicit TfrmMain(const AppServices& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    AppState& state() { return m_state; }
    const AppState& state() const { return m_state; }
    Prompts& prompts() const { return *m_state.services.prompts; }
    link::Clock& clock() const { return *m_state.services.clock; }
    link::MeterPoller& poller() { return m_poller; }
    link::UsbMeterLink& usbLink() { return m_usbLink; }
    QMdiArea* clientArea() const { return ClientArea; }
    /// The printer chosen by Printer Setup; the printouts use it.
    QPrinter& printer();

    /// Adds child to the client area in a sub-window that is destroyed when it closes, and shows it.
    QMdiSubWindow* addChild(MdiChild* child);
    /// The active child window, or null.
    MdiChild* activeChild() const;
    /// Every child window, in the order they were created.
    QList<MdiChild*> children() const;

    /// Text of status-bar panel 0 or 1.
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString& text);

    /// Waits until no poll tick runs (processing window messages), at most
    /// kPollWaitLimitMs, and stops MainTimer; restarts it when destroyed. Every
    /// transaction outside the poll (panel keys, downloads, setup) holds one.
    class PollPause {
    public:
        explicit PollPause(TfrmMain& main);
        ~PollPause();
        PollPause(const PollPause&) = delete;
        PollPause& operator=(const PollPause&) = delete;

    private:
        TfrmMain& m_main;
    };
    /// Longest wait for a running poll tick (ms); a tick cannot outlast a few transaction time-outs.
    static constexpr int kPollWaitLimitMs = 3000;
    /// Waits until pollBusy is clear, processing window messages, at most kPollWaitLimitMs.
    void waitForPoll();

    // Menu (captions as stored; objectName = the entry's name).
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* PrinterSetup1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* RealTime1 = nullptr;
    QAction* Run1 = nullptr;
    QAction* Stop1 = nullptr;
    QMenu* DataLogger1 = nullptr;
    QAction* LoadData1 = nullptr;
    QAction* Setup1 = nullptr;
    QMenu* View1 = nullptr;
    QAction* ControlPanel1 = nullptr;
    QAction* RealTimeGraph1 = nullptr;
    QMenu* Window1 = nullptr;
    QAction* Tile1 = nullptr;
    QAction* Cascade1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    // Tool bar, left to right.
    QToolBar* ToolBar1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* btnPrint = nullptr;
    QToolButton* btnDataLogger = nullptr;
    QToolButton* btnOutputToGraph = nullptr;
    QToolButton* btnRun = nullptr;
    QToolButton* btnStop = nullptr;
    QComboBox* ComboBoxDeviceName = nullptr;
    QToolButton* BitBtn1 = nullptr;
    QToolButton* BitBtn2 = nullptr;

    QMdiArea* ClientArea = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    /// The poll, 500 ms; stopped until the window is first shown.
    QTimer* MainTimer = nullptr;
    /// The blink tick, 500 ms; runs from start to end.
    QTimer* MaxMinTimer = nullptr;

public slots:
    void Open1Click();
    void Save1Click();
    void btnPrintClick();
    void PrinterSetup1Click();
    /// Ends the event loop at once: no child is asked, the settings are not written.
    void Exit1Click();
    void btnRunClick();
    void btnStopClick();
    void LoadData1Click();
    void Setup1Click();
    void ControlPanel1Click();
    void RealTimeGraph1Click();
    void Tile1Click();
    void Cascade1Click();
    void Contents1Click();
    void About1Click();
    void btnOutputToGraphClick();
    void ComboBoxDeviceNameChange();
    void BitBtn1Click();
    void BitBtn2Click();

    /// The poll tick: identify while not connected, else read and decode the live frame.
    void MainTimerTimer();
    /// The blink tick of the panel's statistics labels, recording icons and link icon.
    void MaxMinTimerTimer();
    /// Puts the window into the connected state.
    void OnConnection();
    /// Puts the window into the disconnected state ("No Connection").
    void OffConnection();

    /// Creates the panel window at the top-left corner and checks "&Control Panel".
    void OpenPanel();
    /// Creates the real-time graph window and checks "Real Time &Graph".
    void OpenRealTimeGraph();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();

    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void readSettings();
    void writeSettings();
    std::unique_ptr<QSettings> openSettings() const;
    void loadGlyphs();
    void fillDeviceList();
    void updateWindowMenu();
    void childActivated(QMdiSubWindow* window);
    void showLinkNotice(const QString& notice);

    AppState m_state;
    link::UsbMeterLink m_usbLink;
    link::MeterPoller m_poller;
    std::unique_ptr<QPrinter> m_printer;
    bool m_shown = false;
    bool m_exiting = false;
};

} // namespace thermo4::ui
