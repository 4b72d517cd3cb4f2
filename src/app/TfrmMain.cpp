#include "app/TfrmMain.h"

#include "ui/MdiChild.h"
#include "ui/Prompts.h"
#include "app/TfrmAbout.h"
#include "core/TDateTime.h"
#include "files/FileCommands.h"
#include "graph/RealTimeRecording.h"
#include "graph/TfrmGraph.h"
#include "link/Clock.h"
#include "logger/DataLogger.h"
#include "logger/TabularGraph.h"
#include "logger/TfrmList.h"
#include "panel/TfrmPanel.h"
#include "setup/TfrmSetup.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
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
constexpr int kDefaultRealTimeRate = 2;
constexpr int kDefaultAnnoColor = 0;
/// 10 s in days, as the single-precision value the time axis has always used.
constexpr double kInitialSamplePeriod = static_cast<double>(10.0f / 86400.0f);
/// Height of the tool bar (pixels).
constexpr int kToolBarHeight = 59;
constexpr int kStatusPanel0Width = 150;
constexpr int kStatusPanel1Width = 50;

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

TfrmMain::TfrmMain(const AppServices& services, QWidget* parent)
    : QMainWindow(parent), m_usbLink(*services.usb, *services.clock), m_poller(m_state.link, m_usbLink, *services.clock) {
    assert(services.clock && services.usb && services.prompts);
    m_state.services = services;
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("470913"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/thermo4.svg")));
    m_poller.setLinkGuard(&m_state.linkGuard);

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

    MainTimer = new QTimer(this);
    MainTimer->setObjectName(QStringLiteral("MainTimer"));
    MainTimer->setInterval(kTimerIntervalMs);
    connect(MainTimer, &QTimer::timeout, this, &TfrmMain::MainTimerTimer);
    MaxMinTimer = new QTimer(this);
    MaxMinTimer->setObjectName(QStringLiteral("MaxMinTimer"));
    MaxMinTimer->setInterval(kTimerIntervalMs);
    connect(MaxMinTimer, &QTimer::timeout, this, &TfrmMain::MaxMinTimerTimer);
    MaxMinTimer->start();

    FormCreate();
}

TfrmMain::~TfrmMain() {
    MainTimer->stop();
    MaxMinTimer->stop();
    // Children go before the state they point into.
    for (QMdiSubWindow* window : ClientArea->subWindowList())
        delete window;
}

QPrinter& TfrmMain::printer() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return *m_printer;
}

// ---------------------------------------------------------------- building

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
    connect(ComboBoxDeviceName, &QComboBox::activated, this, &TfrmMain::ComboBoxDeviceNameChange);
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
}

// ---------------------------------------------------------------- life cycle

void TfrmMain::FormCreate() {
    readSettings();
    loadGlyphs();
    fillDeviceList();
}

std::unique_ptr<QSettings> TfrmMain::openSettings() const {
    if (!m_state.services.settingsFile.isEmpty())
        return std::make_unique<QSettings>(m_state.services.settingsFile, QSettings::IniFormat);
    // User scope, organisation "470913": the values sit under a key named like the documented one.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("470913"));
}

void TfrmMain::readSettings() {
    const auto settings = openSettings();
    m_state.realTimeRate = readInt(*settings, kRealTimeRateKey, kDefaultRealTimeRate);
    m_state.annoColor = readInt(*settings, kAnnoColorKey, kDefaultAnnoColor);
}

void TfrmMain::writeSettings() {
    // A store that cannot be written is ignored, as a failed registry write was.
    const auto settings = openSettings();
    settings->setValue(kRealTimeRateKey, m_state.realTimeRate);
    settings->setValue(kAnnoColorKey, m_state.annoColor);
    settings->sync();
}

void TfrmMain::loadGlyphs() {
    // Each set stops at its first glyph that does not load; the rest stay empty.
    auto load = [](GlyphSet& glyphs, const QString& name) {
        for (int i = 0; i < core::kGlyphCount; ++i) {
            QPixmap glyph(QStringLiteral(":/glyphs/%1%2").arg(name).arg(i));
            if (glyph.isNull())
                break;
            glyphs[static_cast<std::size_t>(i)] = glyph;
        }
    };
    load(m_state.lcdGlyphs, QStringLiteral("LCD"));
    load(m_state.lcdSmallGlyphs, QStringLiteral("LCDS"));
}

void TfrmMain::fillDeviceList() {
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports)
        ComboBoxDeviceName->addItem(port.systemLocation());
    if (ComboBoxDeviceName->count() > 0)
        ComboBoxDeviceName->setCurrentIndex(0);
    else
        ComboBoxDeviceName->setEditText(QStringLiteral("ComPort"));
    // The port itself is only opened when the user chooses it.
    m_state.serialDeviceName =
        ComboBoxDeviceName->count() > 0 ? ComboBoxDeviceName->currentText() : QString();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmMain::FormShow() {
    Setup1->setVisible(false);
    m_state.samplePeriod = kInitialSamplePeriod;
    OpenRealTimeGraph();
    OpenPanel();
    if (m_state.realTimeGraph) {
        const int panelWidth = m_state.panelWindow && m_state.panelWindow->subWindow()
                                   ? m_state.panelWindow->subWindow()->width()
                                   : 0;
        const int height = this->height() - ToolBar1->height() - statusBar()->height() - 40;
        m_state.realTimeGraph->place(panelWidth, 0, 1200, height);
        m_state.realTimeGraph->setFocus();
    }
    if (m_state.link.connected()) {
        if (m_state.panelWindow)
            m_state.panelWindow->lblNoConnection->hide();
        setStatusText(1, QString::fromLatin1(kOnConnection));
    } else {
        if (m_state.panelWindow) {
            m_state.panelWindow->ingBlutoothLink->hide();
            m_state.panelWindow->lblNoConnection->show();
        }
        setStatusText(1, QString::fromLatin1(kOffConnection));
    }
    MainTimer->start();
    if (m_state.aboutBox)
        m_state.aboutBox->close();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
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
    waitForPoll();
    MainTimer->stop();
    m_state.link.setLink(link::LinkKind::None);
    writeSettings();
}

void TfrmMain::Exit1Click() {
    m_exiting = true;
    MainTimer->stop();
    if (m_state.services.exitLoop)
        m_state.services.exitLoop();
    else
        QCoreApplication::exit(0);
}

void TfrmMain::waitForPoll() {
    // The poll tick processes no window messages, so it is never found running
    // from a handler; the bounded wait keeps a nested call from hanging.
    link::Clock& c = clock();
    const std::int64_t start = c.tickMs();
    while (m_state.link.pollBusy && c.tickMs() - start <= kPollWaitLimitMs)
        c.delayWithMessages(10);
}

TfrmMain::PollPause::PollPause(TfrmMain& main) : m_main(main) {
    m_main.waitForPoll();
    m_main.MainTimer->stop();
}

TfrmMain::PollPause::~PollPause() {
    m_main.MainTimer->start();
}

// ---------------------------------------------------------------- children

QMdiSubWindow* TfrmMain::addChild(MdiChild* child) {
    QMdiSubWindow* window = ClientArea->addSubWindow(child);
    window->setAttribute(Qt::WA_DeleteOnClose);
    child->show();
    return window;
}

MdiChild* TfrmMain::activeChild() const {
    QMdiSubWindow* window = ClientArea->activeSubWindow();
    return window ? qobject_cast<MdiChild*>(window->widget()) : nullptr;
}

QList<MdiChild*> TfrmMain::children() const {
    QList<MdiChild*> result;
    for (QMdiSubWindow* window : ClientArea->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* child = qobject_cast<MdiChild*>(window->widget()))
            result.append(child);
    }
    return result;
}

void TfrmMain::childActivated(QMdiSubWindow* window) {
    if (!window)
        return;
    if (auto* child = qobject_cast<MdiChild*>(window->widget()))
        child->FormActivate();
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
    panel->placeAt(0, 0);
    m_state.panelWindow = panel;
    ControlPanel1->setChecked(true);
}

void TfrmMain::OpenRealTimeGraph() {
    TfrmGraph::OpenRealTimeGraph(*this);
}

void TfrmMain::ControlPanel1Click() {
    if (m_state.panelWindow)
        m_state.panelWindow->restoreNormal();
    else
        OpenPanel();
    // The entry shows whether the panel exists; a click never just toggles it.
    ControlPanel1->setChecked(true);
}

void TfrmMain::RealTimeGraph1Click() {
    if (m_state.realTimeGraph)
        m_state.realTimeGraph->restoreNormal();
    else
        OpenRealTimeGraph();
    RealTimeGraph1->setChecked(m_state.realTimeGraph != nullptr);
}

void TfrmMain::Tile1Click() {
    ClientArea->tileSubWindows();
}

void TfrmMain::Cascade1Click() {
    ClientArea->cascadeSubWindows();
}

void TfrmMain::Setup1Click() {
    if (m_state.setupDialog) {
        m_state.setupDialog->restoreNormal();
        return;
    }
    auto* dialog = new TfrmSetup(*this);
    addChild(dialog);
    m_state.setupDialog = dialog;
}

// ---------------------------------------------------------------- help

void TfrmMain::Contents1Click() {
    // No check and no message when the file is missing, as before.
    const QUrl url = QUrl::fromLocalFile(m_state.services.paths.helpFile());
    if (m_state.services.openUrl)
        m_state.services.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void TfrmMain::About1Click() {
    if (!m_state.aboutBox)
        m_state.aboutBox = new TfrmAbout(this);
    m_state.aboutBox->btnOK->show();
    m_state.aboutBox->exec();
    // The box frees itself when it closes; a box still open here is destroyed now.
    delete m_state.aboutBox.data();
}

// ---------------------------------------------------------------- file and printing

void TfrmMain::Open1Click() {
    OpenFileCommand(*this);
}

void TfrmMain::Save1Click() {
    SaveFileCommand(*this);
}

void TfrmMain::btnPrintClick() {
    if (!activeChild())
        return;
    // Printing tables and graphs is added with the printing commands.
}

void TfrmMain::PrinterSetup1Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

// ---------------------------------------------------------------- real time and logger

void TfrmMain::btnRunClick() {
    RealTimeRecording::Run(*this);
}

void TfrmMain::btnStopClick() {
    RealTimeRecording::Stop(*this);
}

void TfrmMain::LoadData1Click() {
    DataLoggerCommand(*this);
}

void TfrmMain::btnOutputToGraphClick() {
    OutputTabularToGraph(*this);
}

void TfrmMain::ComboBoxDeviceNameChange() {
    m_state.serialDeviceName = ComboBoxDeviceName->currentText();
    // Connecting over the chosen serial port comes with the serial link.
}

void TfrmMain::BitBtn1Click() {
    // The Bluetooth search comes with the serial link.
}

void TfrmMain::BitBtn2Click() {
    // Dropping the serial connection comes with the serial link.
}

// ---------------------------------------------------------------- poll

void TfrmMain::MainTimerTimer() {
    if (m_state.link.pollBusy)
        return;
    const link::PollResult result = m_poller.tick(m_state.recording, m_state.realTimeRate);
    switch (result.event) {
    case link::PollEvent::Connected:
        if (m_state.panelWindow)
            m_state.panelWindow->ingBlutoothLink->hide();
        OnConnection();
        break;
    case link::PollEvent::IdentifyFailed:
        if (m_state.services.takeLinkNotice) {
            const QString notice = m_state.services.takeLinkNotice();
            if (!notice.isEmpty())
                showLinkNotice(notice);
        }
        break;
    case link::PollEvent::FrameDecoded:
        if (result.refreshPanel && m_state.panelWindow)
            m_state.panelWindow->RefreshPanel(m_state.link.meterStatus);
        if (result.sampleDue && m_state.realTimeGraph) {
            const core::MeterStatus& status = m_state.link.meterStatus;
            m_state.realTimeGraph->AppendSample(core::TDateTimeFromDateTime(result.time), status.channelState,
                                                status.reading);
            m_state.realTimeUnsaved = true;
        }
        break;
    case link::PollEvent::ConnectionLost:
        OffConnection();
        break;
    case link::PollEvent::LinkBusy:
    case link::PollEvent::FrameDropped:
    case link::PollEvent::ReadFailed:
        break;
    }
}

void TfrmMain::showLinkNotice(const QString& notice) {
    StatusPanel0->setText(notice);
    StatusPanel0->setToolTip(notice);
    qWarning("%s", qPrintable(notice));
}

void TfrmMain::OnConnection() {
    setStatusText(0, QString());
    setStatusText(1, QString::fromLatin1(kOnConnection));
    if (!m_state.link.connected())
        m_state.link.setLink(link::LinkKind::Usb);
    MainTimer->setInterval(kTimerIntervalMs);
    if (m_state.panelWindow)
        m_state.panelWindow->lblNoConnection->hide();
    DataLogger1->menuAction()->setVisible(true);
    DataLogger1->menuAction()->setEnabled(true);
    btnDataLogger->setVisible(true);
    btnDataLogger->setEnabled(true);
    QToolButton* clear = m_state.realTimeGraph ? m_state.realTimeGraph->tbntClr : nullptr;
    if (m_state.recording) {
        btnRun->setEnabled(false);
        btnStop->setEnabled(true);
        Stop1->setEnabled(true);
        if (clear)
            clear->setEnabled(false);
    } else {
        btnRun->setEnabled(true);
        Run1->setEnabled(true);
        btnStop->setEnabled(false);
        Stop1->setEnabled(false);
        if (clear)
            clear->setEnabled(true);
    }
}

void TfrmMain::OffConnection() {
    btnRun->setEnabled(false);
    Run1->setEnabled(false);
    btnStop->setEnabled(false);
    Stop1->setEnabled(false);
    btnDataLogger->setEnabled(false);
    DataLogger1->menuAction()->setEnabled(false);
    setStatusText(0, QString());
    m_state.link.meterStatus.recBlink = false;
    m_state.link.meterStatus.statsBlink = false;
    if (m_state.panelWindow) {
        m_state.panelWindow->ingBlutoothLink->hide();
        m_state.panelWindow->lblNoConnection->show();
    }
    MainTimer->setInterval(kTimerIntervalMs);
    m_state.link.lostFrames = 0;
    setStatusText(1, QString::fromLatin1(kNoConnection));
    m_state.link.setLink(link::LinkKind::None);
}

void TfrmMain::MaxMinTimerTimer() {
    m_state.blinkBusy = true;
    m_state.blinkPhase = !m_state.blinkPhase;
    if (m_state.panelWindow)
        m_state.panelWindow->Blink();
    m_state.blinkBusy = false;
}

// ---------------------------------------------------------------- status bar

QString TfrmMain::statusText(int panel) const {
    return (panel == 0 ? StatusPanel0 : StatusPanel1)->text();
}

void TfrmMain::setStatusText(int panel, const QString& text) {
    QLabel* label = panel == 0 ? StatusPanel0 : StatusPanel1;
    label->setText(text);
    label->setToolTip(QString());
}

} // namespace thermo4::ui
