#pragma once

#include "session/MeterSession.h"
#include "ui/AppServices.h"
#include "ui/MainFrame.h"
#include "ui/SharedData.h"

#include <QMainWindow>
#include <QPointer>

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

namespace thermo4::alarm {
struct AlarmEvent;
}
namespace thermo4::mqtt {
class MqttPublisher;
}
namespace thermo4::web {
class LiveFeed;
}
namespace thermo4::session {
class RecordingJournal;
}

namespace thermo4::ui {

class AlarmWatch;
class DesktopNotifier;
class TfrmAbout;
class TfrmAlarmEvents;
class TfrmPanel;
class TfrmSetup;

/// The program's multi-document frame: menu, tool bar, status bar, the blink
/// timer, the persisted settings, and the meter session the windows share.
/// Child windows (panel, graphs, tables, setup) live in its client area and
/// reach it only through MainFrame; its own widgets are its own.
class TfrmMain : public QMainWindow, public MainFrame {
    Q_OBJECT
public:
    static constexpr int kTimerIntervalMs = 500;
    /// Pixels a cascaded window sits further down and right beyond one title bar.
    static constexpr int kCascadeGap = 4;
    /// Status-bar texts of the connection state (panel 1).
    static constexpr const char* kOnConnection = "On Connection";
    static constexpr const char* kOffConnection = "Off Connection";
    static constexpr const char* kNoConnection = "No Connection";
    /// Failed identifies in a row after which the status bar says how to attach a meter.
    static constexpr int kHintAfterFailures = 3;
    /// What to do when no meter answers.
    static constexpr const char* kNoMeterHint =
        "No meter found on USB. For a serial or Bluetooth meter, choose its port in the device list; "
        "to try the program without a meter, start it with --simulate.";

    /// services.clock, .usb, .serialPort and .prompts must be set and outlive the window.
    explicit TfrmMain(const AppServices& services, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // MainFrame
    const AppServices& services() const override { return m_services; }
    session::MeterSession& session() override { return *m_session; }
    LoggerData& loggerData() override { return m_loggerData; }
    GraphShared& graphShared() override { return m_graphShared; }
    QPrinter& printer() override;
    QWidget* frameWidget() override { return this; }
    QMdiSubWindow* addChild(MdiChild* child) override;
    MdiChild* activeChild() const override;
    void activateChild(MdiChild* child) override;
    QList<MdiChild*> children() const override;
    QSize clientSize() const override;
    bool saveActiveChild() override;
    void openRealTimeGraph() override { OpenRealTimeGraph(); }
    void showNotice(const QString& text) override;

    /// The about box shown as the splash until the window is first shown.
    void setSplash(TfrmAbout* splash);
    /// thermo4 --record: a real-time recording starts by itself when a meter is first connected.
    void setRecordOnConnect(bool record) { m_recordOnConnect = record; }
    /// thermo4 --mqtt: publishes the live readings and recorded samples through publisher
    /// (started, and outliving the window).
    void publishTo(mqtt::MqttPublisher& publisher);
    /// thermo4 --http: feeds the live web page the readings, the recording and the alarms on
    /// (feed outlives the window).
    void serveLivePage(web::LiveFeed& feed);
    /// The panel window, or null.
    TfrmPanel* panelWindow() const;
    /// Phase of the last blink tick.
    bool blinkPhase() const { return m_blinkPhase; }
    /// Text of status-bar panel 0 or 1.
    QString statusText(int panel) const;
    /// The journal of the real-time graph's unsaved samples.
    session::RecordingJournal& journal() const { return *m_journal; }
    /// The alarm limits and what they say about the readings.
    AlarmWatch& alarms() const { return *m_alarms; }
    /// The alarm events window, or null.
    TfrmAlarmEvents* alarmEventsWindow() const;

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
    /// Real Time > Alarms...: the alarm dialog.
    void Alarms1Click();
    /// Real Time > Alarm Events: the list of this run's alarm events.
    void AlarmEvents1Click();

    /// The poll tick (MainTimer runs it through the session).
    void MainTimerTimer();
    /// The blink tick of the panel's statistics labels, recording icons and link icon.
    void MaxMinTimerTimer();

    /// Creates the panel window at the top-left corner and checks "&Control Panel".
    void OpenPanel();
    /// Creates the real-time graph window and checks "Real Time &Graph".
    void OpenRealTimeGraph();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
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
    /// The store of earlier versions, or null when there is none to read.
    std::unique_ptr<QSettings> openFormerSettings() const;
    void fillDeviceList();
    /// Lists the USB meters attached now after the serial ports ("USB 1-2: /dev/hidraw3", the
    /// item's data its path), and selects the one held while it is connected over USB.
    void fillUsbMeters();
    /// A device list item was chosen: a USB meter is switched to, a serial port connected.
    void deviceChosen(int index);
    /// The setting that names the USB meter chosen last (serial number, else path).
    static constexpr const char* kUsbMeterKey = "UsbMeter";
    /// Names the meter held in the caption and the status bar, and remembers a USB meter for the next start.
    void showMeter();
    /// Selects device in the device list, or shows it as typed text when it is not listed.
    void showDevice(const QString& device);
    /// Where the real-time graph opens: beside the panel at the top, 1200 px wide, as high as
    /// the main window less its tool bar, status bar and 40 px.
    QRect realTimeGraphGeometry() const;
    /// Puts the real-time graph at realTimeGraphGeometry() and remembers it, so that it
    /// follows the main window's size until the user moves or resizes it.
    void placeRealTimeGraph();
    void updateWindowMenu();
    void childActivated(QMdiSubWindow* window);
    void childClosed(MdiChild* child);
    void setStatusText(int panel, const QString& text);

    // Reactions to the session.
    void connectionChanged(session::ConnectionChange change);
    void OnConnection();
    void OffConnection();
    void recordingChanged(bool recording);
    void identifyFailed(int failures);

    // Alarms (TfrmMainAlarms.cpp).
    void createAlarms();
    void alarmEvent(const alarm::AlarmEvent& event);
    /// Brings the panel's marks, the real-time graph's limit lines and the status panel in line.
    void showAlarms();

    AppServices m_services;
    LoggerData m_loggerData;
    GraphShared m_graphShared;
    session::MeterSession* m_session = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    /// Destroyed before the session it follows (a member, not a child object).
    std::unique_ptr<session::RecordingJournal> m_journal;
    QPointer<TfrmPanel> m_panel;
    QPointer<TfrmAbout> m_aboutBox;
    QPointer<TfrmSetup> m_setupDialog;
    QPointer<TfrmAlarmEvents> m_alarmEvents;
    AlarmWatch* m_alarms = nullptr;
    DesktopNotifier* m_notifier = nullptr;
    /// Geometry the program last gave the real-time graph's sub-window.
    QRect m_realTimePlace;
    bool m_blinkPhase = false;
    /// Status panel 0 holds a notice from the link, which the hint must not replace.
    bool m_linkNoticeShown = false;
    bool m_shown = false;
    bool m_exiting = false;
    /// The window was closed while an operation held the link: it closes when the link is handed back.
    bool m_closeWhenIdle = false;
    bool m_recordOnConnect = false;
    /// The recording of --record was started (once, at the first connection).
    bool m_recordStarted = false;

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
    QAction* Alarms1 = nullptr;
    QAction* AlarmEvents1 = nullptr;
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
    /// The meter held (serial number, else its path), empty while none is.
    QLabel* StatusPanelMeter = nullptr;
    /// The alarms on now ("Alarm: T1 > 300.0"), empty while none is.
    QLabel* StatusPanelAlarm = nullptr;
    /// The blink tick, 500 ms; runs from start to end.
    QTimer* MaxMinTimer = nullptr;
};

} // namespace thermo4::ui
