#include "app/TfrmMain.h"

#include "app/AlarmWatch.h"
#include "app/LivePublishing.h"
#include "app/LiveWebFeed.h"
#include "app/TfrmAbout.h"
#include "formats/JournalFormat.h"
#include "graph/JournalRecovery.h"
#include "graph/RealTimeRecording.h"
#include "graph/TfrmGraph.h"
#include "link/SerialPortList.h"
#include "logger/TfrmList.h"
#include "mqtt/MqttPublisher.h"
#include "panel/GlyphCache.h"
#include "panel/TfrmPanel.h"
#include "session/MeterFactory.h"
#include "session/RecordingJournal.h"
#include "ui/MdiChild.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QSerialPortInfo>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <cassert>

namespace thermo4::ui {

namespace {

const QString kRealTimeRateKey = QStringLiteral("RealTimeRate");
const QString kAnnoColorKey = QStringLiteral("AnnoColor");
constexpr int kDefaultAnnoColor = 0;
/// 10 s in days, as the single-precision value the time axis has always used.
constexpr double kInitialSamplePeriod = static_cast<double>(10.0f / 86400.0f);
/// Height of the tool bar (pixels).
constexpr int kToolBarHeight = 59;
constexpr int kStatusPanel0Width = 150;
constexpr int kStatusPanel1Width = 50;
/// The real-time graph: its width, and how much less than the main window's height less
/// tool bar and status bar it is (pixels).
constexpr int kRealTimeGraphWidth = 1200;
constexpr int kRealTimeGraphMargin = 40;

/// An integer setting; fallback when it is absent or not an integer.
int readInt(const QSettings& settings, const QString& key, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? value : fallback;
}

QToolButton* makeToolButton(QToolBar* bar, const char* name, const QString& hint, const QString& icon) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setIcon(QIcon(icon));
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}

} // namespace

TfrmMain::TfrmMain(const AppServices& services, QWidget* parent) : QMainWindow(parent), m_services(services) {
    assert(services.clock && services.prompts && (services.session || (services.usb && services.serialPort)));
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("thermo4"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/thermo4.svg")));

    if (services.session) {
        m_session = services.session;
    } else {
        m_session = new session::MeterSession(*services.clock, *services.usb, *services.serialPort, this);
        m_session->setLinkNoticeSource(services.takeLinkNotice);
    }
    connect(m_session, &session::MeterSession::connectionChanged, this, &TfrmMain::connectionChanged);
    connect(m_session, &session::MeterSession::linkNotice, this, [this](const QString& notice) {
        showNotice(notice);
        m_linkNoticeShown = true;
    });
    connect(m_session, &session::MeterSession::identifyFailed, this, &TfrmMain::identifyFailed);
    connect(m_session, &session::MeterSession::linkReleased, this, [this] {
        if (!m_closeWhenIdle)
            return;
        m_closeWhenIdle = false;
        QTimer::singleShot(0, this, [this] { close(); });
    });
    connect(&m_session->recording(), &session::RecordingState::recordingChanged, this,
            &TfrmMain::recordingChanged);
    // A full recording has stopped itself; the real-time graph shows its end as after Stop.
    connect(&m_session->recording(), &session::RecordingState::filled, this,
            [this] { RealTimeRecording::Stop(*this); });
    m_journal = std::make_unique<session::RecordingJournal>(
        *m_session, formats::JournalFolderIn(services.paths.dataDir()), services.simulated);
    connect(m_journal.get(), &session::RecordingJournal::notice, this, &TfrmMain::showNotice);
    if (session::Meter* meter = services.meter)
        m_journal->setMeterName([meter] { return meter->meterName(); });

    ClientArea = new QMdiArea(this);
    ClientArea->setObjectName(QStringLiteral("ClientArea"));
    ClientArea->setFrameShape(QFrame::NoFrame);
    ClientArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ClientArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(ClientArea);
    connect(ClientArea, &QMdiArea::subWindowActivated, this, &TfrmMain::childActivated);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createAlarms();

    MaxMinTimer = new QTimer(this);
    MaxMinTimer->setObjectName(QStringLiteral("MaxMinTimer"));
    MaxMinTimer->setInterval(kTimerIntervalMs);
    connect(MaxMinTimer, &QTimer::timeout, this, &TfrmMain::MaxMinTimerTimer);
    MaxMinTimer->start();

    FormCreate();
}

TfrmMain::~TfrmMain() {
    m_session->stopPolling();
    MaxMinTimer->stop();
    // Children go before the session and the data they point into.
    for (QMdiSubWindow* window : ClientArea->subWindowList())
        delete window;
}

void TfrmMain::createActions() {
    auto action = [this](const char* name, const QString& caption, void (TfrmMain::*handler)()) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Open1 = action("Open1", QStringLiteral("&Open"), &TfrmMain::Open1Click);
    Save1 = action("Save1", QStringLiteral("&Save"), &TfrmMain::Save1Click);
    Print1 = action("Print1", QStringLiteral("&Print"), &TfrmMain::btnPrintClick);
    PrinterSetup1 = action("PrinterSetup1", QStringLiteral("&Printer Setup"), &TfrmMain::PrinterSetup1Click);
    Exit1 = action("Exit1", QStringLiteral("E&xit"), &TfrmMain::Exit1Click);
    Run1 = action("Run1", QStringLiteral("Run"), &TfrmMain::btnRunClick);
    Run1->setEnabled(false);
    Stop1 = action("Stop1", QStringLiteral("Stop"), &TfrmMain::btnStopClick);
    Stop1->setEnabled(false);
    LoadData1 = action("LoadData1", QStringLiteral("&Load "), &TfrmMain::LoadData1Click);
    Setup1 = action("Setup1", QStringLiteral("&Setup"), &TfrmMain::Setup1Click);
    ControlPanel1 = action("ControlPanel1", QStringLiteral("&Control Panel"), &TfrmMain::ControlPanel1Click);
    ControlPanel1->setCheckable(true);
    ControlPanel1->setChecked(true);
    RealTimeGraph1 =
        action("RealTimeGraph1", QStringLiteral("Real Time &Graph"), &TfrmMain::RealTimeGraph1Click);
    RealTimeGraph1->setCheckable(true);
    RealTimeGraph1->setChecked(true);
    Tile1 = action("Tile1", QStringLiteral("&Tile"), &TfrmMain::Tile1Click);
    Cascade1 = action("Cascade1", QStringLiteral("&Cascade"), &TfrmMain::Cascade1Click);
    Contents1 = action("Contents1", QStringLiteral("&Contents"), &TfrmMain::Contents1Click);
    About1 = action("About1", QStringLiteral("&About"), &TfrmMain::About1Click);
}

void TfrmMain::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto menu = [bar](const char* name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    File1 = menu("File1", QStringLiteral("&File"));
    File1->addActions({Open1, Save1, Print1, PrinterSetup1});
    File1->addSeparator();
    File1->addAction(Exit1);
    RealTime1 = menu("RealTime1", QStringLiteral("Real Time"));
    RealTime1->addActions({Run1, Stop1});
    DataLogger1 = menu("DataLogger1", QStringLiteral("&Data Logger"));
    DataLogger1->addActions({LoadData1, Setup1});
    View1 = menu("View1", QStringLiteral("&View"));
    View1->addActions({ControlPanel1, RealTimeGraph1});
    Window1 = menu("Window1", QStringLiteral("&Window"));
    connect(Window1, &QMenu::aboutToShow, this, &TfrmMain::updateWindowMenu);
    updateWindowMenu();
    Help1 = menu("Help1", QStringLiteral("&Help"));
    Help1->addActions({Contents1, About1});
}

void TfrmMain::createToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setMinimumHeight(kToolBarHeight);
    setContextMenuPolicy(Qt::NoContextMenu);

    SpeedButton1 = makeToolButton(ToolBar1, "SpeedButton1", QStringLiteral("Open File"),
                                  QStringLiteral(":/icons/open.svg"));
    connect(SpeedButton1, &QToolButton::clicked, this, &TfrmMain::Open1Click);
    SpeedButton2 = makeToolButton(ToolBar1, "SpeedButton2", QStringLiteral("Save to file"),
                                  QStringLiteral(":/icons/save.svg"));
    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmMain::Save1Click);
    btnPrint =
        makeToolButton(ToolBar1, "btnPrint", QStringLiteral("Print"), QStringLiteral(":/icons/print.svg"));
    connect(btnPrint, &QToolButton::clicked, this, &TfrmMain::btnPrintClick);
    ToolBar1->addSeparator();
    btnDataLogger = makeToolButton(ToolBar1, "btnDataLogger", QStringLiteral("Data Logger"),
                                   QStringLiteral(":/icons/datalogger.svg"));
    connect(btnDataLogger, &QToolButton::clicked, this, &TfrmMain::LoadData1Click);
    btnOutputToGraph = makeToolButton(ToolBar1, "btnOutputToGraph", QStringLiteral("Output Tabular to graph"),
                                      QStringLiteral(":/icons/tabletograph.svg"));
    btnOutputToGraph->setEnabled(false);
    connect(btnOutputToGraph, &QToolButton::clicked, this, &TfrmMain::btnOutputToGraphClick);
    ToolBar1->addSeparator();
    btnRun = makeToolButton(ToolBar1, "btnRun", QStringLiteral("Start Graphing Real Time Data"),
                            QStringLiteral(":/icons/run.svg"));
    btnRun->setEnabled(false);
    connect(btnRun, &QToolButton::clicked, this, &TfrmMain::btnRunClick);
    btnStop = makeToolButton(ToolBar1, "btnStop", QStringLiteral("Stop Graphing Real Time Data"),
                             QStringLiteral(":/icons/stop.svg"));
    btnStop->setEnabled(false);
    connect(btnStop, &QToolButton::clicked, this, &TfrmMain::btnStopClick);
    ToolBar1->addSeparator();

    ComboBoxDeviceName = new QComboBox(ToolBar1);
    ComboBoxDeviceName->setObjectName(QStringLiteral("ComboBoxDeviceName"));
    ComboBoxDeviceName->setEditable(true);
    ComboBoxDeviceName->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxDeviceName->setMinimumContentsLength(14);
    ComboBoxDeviceName->setEditText(QStringLiteral("ComPort"));
    ToolBar1->addWidget(ComboBoxDeviceName);
    // The user's changes only (choosing an item or typing), not the program's.
    connect(ComboBoxDeviceName, &QComboBox::activated, this, &TfrmMain::deviceChosen);
    connect(ComboBoxDeviceName->lineEdit(), &QLineEdit::textEdited, this,
            &TfrmMain::ComboBoxDeviceNameChange);

    BitBtn1 = makeToolButton(ToolBar1, "BitBtn1", QStringLiteral("search bluetooth device"),
                             QStringLiteral(":/icons/search.svg"));
    connect(BitBtn1, &QToolButton::clicked, this, &TfrmMain::BitBtn1Click);
    BitBtn2 = makeToolButton(ToolBar1, "BitBtn2", QStringLiteral("disconnect bluetooth device"),
                             QStringLiteral(":/icons/disconnect.svg"));
    connect(BitBtn2, &QToolButton::clicked, this, &TfrmMain::BitBtn2Click);
}

void TfrmMain::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    // Panel 0 (at least 150 px) takes the room a note on the link needs; panel 1 keeps its text whole.
    StatusPanel0 = new QLabel(bar);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(kStatusPanel0Width);
    StatusPanel1 = new QLabel(bar);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel1->setMinimumWidth(std::max(
        kStatusPanel1Width, StatusPanel1->fontMetrics().horizontalAdvance(QLatin1String(kOffConnection))));
    bar->addWidget(StatusPanel0, 1);
    bar->addWidget(StatusPanel1, 0);
    StatusPanelMeter = new QLabel(bar);
    StatusPanelMeter->setObjectName(QStringLiteral("StatusPanelMeter"));
    StatusPanelMeter->setToolTip(QStringLiteral("The meter this window talks to"));
    bar->addWidget(StatusPanelMeter, 0);
}

void TfrmMain::FormCreate() {
    readSettings();
    LoadLcdGlyphs();
    fillDeviceList();
}

std::unique_ptr<QSettings> TfrmMain::openSettings() const {
    if (!m_services.settingsFile.isEmpty())
        return std::make_unique<QSettings>(m_services.settingsFile, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("thermo4"), QStringLiteral("thermo4"));
}

std::unique_ptr<QSettings> TfrmMain::openFormerSettings() const {
    if (!m_services.settingsFile.isEmpty()) {
        if (m_services.formerSettingsFile.isEmpty())
            return nullptr;
        return std::make_unique<QSettings>(m_services.formerSettingsFile, QSettings::IniFormat);
    }
    // Earlier versions kept the two values under another organisation name.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("470913"));
}

void TfrmMain::readSettings() {
    auto settings = openSettings();
    // A store without either value takes the former store's; closing writes them to the new one.
    if (!settings->contains(kRealTimeRateKey) && !settings->contains(kAnnoColorKey)) {
        if (auto former = openFormerSettings())
            settings = std::move(former);
    }
    m_session->recording().setRealTimeRate(
        readInt(*settings, kRealTimeRateKey, session::RecordingState::kDefaultRate));
    m_graphShared.annoColor = readInt(*settings, kAnnoColorKey, kDefaultAnnoColor);
    if (m_services.meter)
        m_services.meter->preferUsbMeter(settings->value(QLatin1String(kUsbMeterKey)).toString());
}

void TfrmMain::writeSettings() {
    // A store that cannot be written is ignored, as a failed registry write was.
    const auto settings = openSettings();
    settings->setValue(kRealTimeRateKey, m_session->recording().realTimeRate());
    settings->setValue(kAnnoColorKey, m_graphShared.annoColor);
    settings->sync();
}

void TfrmMain::fillDeviceList() {
    for (const QString& port : link::ListSerialPorts())
        ComboBoxDeviceName->addItem(port);
    if (ComboBoxDeviceName->count() > 0)
        ComboBoxDeviceName->setCurrentIndex(0);
    else
        ComboBoxDeviceName->setEditText(QStringLiteral("ComPort"));
    // The port itself is only opened when the user chooses it.
    m_session->setSerialDevice(ComboBoxDeviceName->count() > 0 ? ComboBoxDeviceName->currentText()
                                                               : QString());
    fillUsbMeters();
}

void TfrmMain::setSplash(TfrmAbout* splash) {
    m_aboutBox = splash;
}

void TfrmMain::publishTo(mqtt::MqttPublisher& publisher) {
    auto* publishing = new LivePublishing(*m_session, publisher, m_services.simulated, this);
    if (session::Meter* meter = m_services.meter)
        publishing->setMeterName([meter] { return meter->meterName(); });
    // The broker's state stays in a panel of its own: the notice panel is emptied when the meter
    // connects, which may come right after the broker's first line.
    auto* panel = new QLabel(QStringLiteral("MQTT: connecting"), statusBar());
    panel->setObjectName(QStringLiteral("StatusPanelMqtt"));
    statusBar()->addPermanentWidget(panel);
    const auto show = [this, panel](const QString& text, bool connected) {
        panel->setText(connected ? QStringLiteral("MQTT: connected") : QStringLiteral("MQTT: no connection"));
        panel->setToolTip(text);
        showNotice(text);
    };
    connect(publishing, &LivePublishing::notice, this, show);
    // A line delivered before the window was there (the splash lets events through).
    if (const mqtt::MqttPublisher::Status last = publisher.lastStatus(); !last.text.isEmpty())
        show(last.text, last.connected);
    publishing->publishAlarms(*m_alarms);
}

void TfrmMain::serveLivePage(web::LiveFeed& feed) {
    auto* page = new LiveWebFeed(*m_session, feed, *m_alarms, m_services.simulated, this);
    if (session::Meter* meter = m_services.meter)
        page->setMeterName([meter] { return meter->meterName(); });
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmMain::FormShow() {
    Setup1->setVisible(m_services.service);
    m_session->recording().samplePeriod = kInitialSamplePeriod;
    OpenRealTimeGraph();
    OpenPanel();
    placeRealTimeGraph();
    if (TfrmGraph* graph = TfrmGraph::realTimeWindow(*this))
        graph->setFocus();
    setStatusText(1, QString::fromLatin1(m_session->connected() ? kOnConnection : kOffConnection));
    m_session->startPolling();
    if (m_aboutBox)
        m_aboutBox->close();
    // Asked once the window is on the screen; the poll goes on meanwhile.
    QMetaObject::invokeMethod(
        this, [this] { JournalRecovery::OfferUnsaved(*this); }, Qt::QueuedConnection);
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (m_panel)
        m_panel->fitHeight(clientSize().height());
    // The window manager maximises the window after it is first shown: a graph still where
    // the program put it takes the new height.
    const TfrmGraph* graph = TfrmGraph::realTimeWindow(*this);
    if (m_shown && graph && graph->subWindow() && graph->subWindow()->geometry() == m_realTimePlace)
        placeRealTimeGraph();
}

QRect TfrmMain::realTimeGraphGeometry() const {
    const int left = m_panel && m_panel->subWindow() ? m_panel->subWindow()->width() : 0;
    const QSize client = clientSize();
    const int height = this->height() - ToolBar1->height() - statusBar()->height() - kRealTimeGraphMargin;
    // Beside the panel, within the client area on a small screen.
    return {left, 0, std::min(kRealTimeGraphWidth, client.width() - left), std::min(height, client.height())};
}

void TfrmMain::placeRealTimeGraph() {
    TfrmGraph* graph = TfrmGraph::realTimeWindow(*this);
    if (!graph || !graph->subWindow())
        return;
    const QRect place = realTimeGraphGeometry();
    graph->place(place.x(), place.y(), place.width(), place.height());
    // A window cannot be made smaller than its minimum: remember what it really got.
    m_realTimePlace = graph->subWindow()->geometry();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
        return;
    }
    if (m_session->linkBusy()) {
        // Delivered from inside an operation's waits: a download is called off, anything
        // else finishes; the window closes once the link is handed back.
        m_session->cancelDownload();
        m_closeWhenIdle = true;
        event->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TfrmMain::FormCloseQuery() {
    for (MdiChild* child : children()) {
        if (!child->FormCloseQuery())
            return false;
    }
    return true;
}

void TfrmMain::FormClose() {
    m_session->shutDown();
    writeSettings();
}

void TfrmMain::Exit1Click() {
    m_exiting = true;
    m_session->cancelDownload();
    m_session->stopPolling();
    if (m_services.exitLoop)
        m_services.exitLoop();
    else
        QCoreApplication::exit(0);
}

QPrinter& TfrmMain::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

QMdiSubWindow* TfrmMain::addChild(MdiChild* child) {
    QMdiSubWindow* window = ClientArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(child, &MdiChild::closed, this, &TfrmMain::childClosed);
    child->show();
    return window;
}

MdiChild* TfrmMain::activeChild() const {
    QMdiSubWindow* window = ClientArea->activeSubWindow();
    return window ? qobject_cast<MdiChild*>(window->widget()) : nullptr;
}

void TfrmMain::activateChild(MdiChild* child) {
    if (child && child->subWindow())
        ClientArea->setActiveSubWindow(child->subWindow());
}

QList<MdiChild*> TfrmMain::children() const {
    QList<MdiChild*> result;
    for (QMdiSubWindow* window : ClientArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* child = qobject_cast<MdiChild*>(window->widget()))
            result.append(child);
    }
    return result;
}

QSize TfrmMain::clientSize() const {
    return ClientArea->size();
}

void TfrmMain::childActivated(QMdiSubWindow* window) {
    if (!window)
        return;
    auto* child = qobject_cast<MdiChild*>(window->widget());
    if (!child)
        return;
    // "Output Tabular to graph" works on the active table; a graph or the panel turns it off.
    if (qobject_cast<TfrmList*>(child))
        btnOutputToGraph->setEnabled(true);
    else if (qobject_cast<TfrmGraph*>(child) || qobject_cast<TfrmPanel*>(child))
        btnOutputToGraph->setEnabled(false);
    child->FormActivate();
}

void TfrmMain::childClosed(MdiChild* child) {
    if (child == m_panel)
        ControlPanel1->setChecked(false);
    if (auto* graph = qobject_cast<TfrmGraph*>(child); graph && graph->isRealTime())
        RealTimeGraph1->setChecked(false);
}

void TfrmMain::updateWindowMenu() {
    Window1->clear();
    Window1->addAction(Tile1);
    Window1->addAction(Cascade1);
    const QList<QMdiSubWindow*> windows = ClientArea->subWindowList(QMdiArea::CreationOrder);
    if (!windows.isEmpty())
        Window1->addSeparator();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        const QString caption = window->widget() ? window->widget()->windowTitle() : window->windowTitle();
        QAction* entry = Window1->addAction(QStringLiteral("&%1 %2").arg(number++).arg(caption));
        entry->setCheckable(true);
        entry->setChecked(window == ClientArea->activeSubWindow());
        connect(entry, &QAction::triggered, window, [this, window] {
            window->showNormal();
            ClientArea->setActiveSubWindow(window);
        });
    }
}

void TfrmMain::OpenPanel() {
    auto* panel = new TfrmPanel(*this);
    addChild(panel);
    panel->fitHeight(clientSize().height());
    panel->placeAt(0, 0);
    m_panel = panel;
    ControlPanel1->setChecked(true);
    showAlarms();
}

void TfrmMain::OpenRealTimeGraph() {
    if (TfrmGraph::realTimeWindow(*this) == nullptr) {
        TfrmGraph::OpenRealTimeGraph(*this);
        // At the first showing FormShow places it again, beside the panel it opens next.
        placeRealTimeGraph();
        showAlarms();
    }
    RealTimeGraph1->setChecked(true);
}

TfrmPanel* TfrmMain::panelWindow() const {
    return m_panel;
}

QString TfrmMain::statusText(int panel) const {
    return (panel == 0 ? StatusPanel0 : StatusPanel1)->text();
}

void TfrmMain::setStatusText(int panel, const QString& text) {
    QLabel* label = panel == 0 ? StatusPanel0 : StatusPanel1;
    label->setText(text);
    label->setToolTip(QString());
    if (panel == 0)
        m_linkNoticeShown = false;
}

} // namespace thermo4::ui
