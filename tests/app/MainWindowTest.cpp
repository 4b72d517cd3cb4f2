#include "app/CommandLine.h"
#include "app/TfrmAbout.h"
#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "graph/TfrmGraph.h"
#include "link/ManualClock.h"
#include "logger/TfrmList.h"
#include "panel/GlyphCache.h"
#include "panel/TfrmPanel.h"
#include "setup/TfrmSetup.h"
#include "sim/LiveFrameEncoder.h"
#include "sim/SimSerialPort.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/WindowTestSupport.h"
#include "ui/ScriptedPrompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace thermo4::ui {
namespace {

using test::Child;
using test::UseTestServices;
using test::WriteGraphTemplate;

/// A child window that refuses to close, as a graph with unsaved data does on Cancel.
class VetoChild : public MdiChild {
public:
    explicit VetoChild(MainFrame& frame) : MdiChild(frame) { setWindowTitle(QStringLiteral("Veto")); }
    bool FormCloseQuery() override {
        ++asked;
        return allow;
    }
    bool allow = false;
    int asked = 0;
};

/// Enabling of the connection-dependent controls and the status text.
struct Controls {
    bool btnRun;
    bool Run1;
    bool btnStop;
    bool Stop1;
    bool btnDataLogger;
    bool DataLogger1;
    QString status;
    bool operator==(const Controls&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Controls& c) {
    return out << "btnRun " << c.btnRun << " Run " << c.Run1 << " btnStop " << c.btnStop << " Stop "
               << c.Stop1 << " btnDataLogger " << c.btnDataLogger << " DataLogger " << c.DataLogger1 << " '"
               << c.status.toStdString() << "'";
}

void processDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_meter = std::make_unique<sim::VirtualMeter>(m_clock);
        m_usb = std::make_unique<sim::SimUsbTransport>(*m_meter);
        UseTestServices(m_services, m_clock, *m_usb, m_serial, m_prompts, m_dir);
        // An install has its graph template; without it every graph window reports it missing.
        ASSERT_TRUE(WriteGraphTemplate(m_services.paths, 50.0f, -10.0f));
        m_services.exitLoop = [this] { ++m_exitLoops; };
        m_services.openUrl = [this](const QUrl& url) {
            m_opened.append(url);
            return true;
        };
    }

    void TearDown() override {
        m_window.reset();
        processDeferredDeletes();
        EXPECT_EQ(m_prompts.unanswered(), 0);
    }

    QString settingsFile() const { return m_dir.filePath(QStringLiteral("settings.ini")); }

    static int sampleCount(const TfrmMain& w) {
        const TfrmGraph* graph = TfrmGraph::realTimeWindow(w);
        return graph ? graph->sampleCount() : 0;
    }
    static QAction* action(const TfrmMain& w, const char* name) { return Child<QAction>(w, name); }
    static QMenu* menu(const TfrmMain& w, const char* name) { return Child<QMenu>(w, name); }
    static QToolButton* button(const TfrmMain& w, const char* name) { return Child<QToolButton>(w, name); }

    TfrmMain& open(bool show = true) {
        m_window = std::make_unique<TfrmMain>(m_services);
        m_window->resize(1600, 1000);
        if (show)
            m_window->show();
        return *m_window;
    }

    /// One poll tick as MainTimer runs it, then the 500 ms to the next.
    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            m_window->MainTimerTimer();
            m_clock.advance(TfrmMain::kTimerIntervalMs);
        }
    }

    void connectMeter() {
        tick();
        ASSERT_TRUE(m_window->session().connected());
    }

    Controls controls() const {
        const TfrmMain& w = *m_window;
        return {button(w, "btnRun")->isEnabled(),
                action(w, "Run1")->isEnabled(),
                button(w, "btnStop")->isEnabled(),
                action(w, "Stop1")->isEnabled(),
                button(w, "btnDataLogger")->isEnabled(),
                menu(w, "DataLogger1")->menuAction()->isEnabled(),
                w.statusText(1)};
    }

    /// What a channel's row of panel digits reads, e.g. "25.3" (blank digits left out).
    QString panelReading(int channel) const {
        const TfrmPanel& panel = *m_window->panelWindow();
        const std::array<const QLabel*, 4> points{panel.T1_P, panel.T2_P, panel.T3_P, panel.T4_P};
        const auto ch = static_cast<std::size_t>(channel);
        QString text;
        for (std::size_t d = 0; d < 4; ++d) {
            const QPixmap shown = panel.digitImages[ch][d]->pixmap();
            for (std::size_t g = 0; g < 10; ++g) {
                if (!shown.isNull() && LargeLcdGlyphs()[g].cacheKey() == shown.cacheKey())
                    text += QChar(u'0' + static_cast<char16_t>(g));
            }
            if (d == 2 && !points[ch]->isHidden())
                text += QLocale().decimalPoint();
        }
        return text;
    }

    QTemporaryDir m_dir;
    link::ManualClock m_clock;
    std::unique_ptr<sim::VirtualMeter> m_meter;
    std::unique_ptr<sim::SimUsbTransport> m_usb;
    sim::SimSerialPort m_serial{m_clock};
    ScriptedPrompts m_prompts;
    AppServices m_services;
    QList<QUrl> m_opened;
    int m_exitLoops = 0;
    std::unique_ptr<TfrmMain> m_window;
};

TEST_F(MainWindowTest, MenuEntriesCarryTheirStoredCaptions) {
    TfrmMain& w = open(false);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("thermo4"));
    const std::pair<QAction*, const char*> entries[] = {
        {menu(w, "File1")->menuAction(), "&File"},
        {action(w, "Open1"), "&Open"},
        {action(w, "Save1"), "&Save"},
        {action(w, "Print1"), "&Print"},
        {action(w, "PrinterSetup1"), "&Printer Setup"},
        {action(w, "Exit1"), "E&xit"},
        {menu(w, "RealTime1")->menuAction(), "Real Time"},
        {action(w, "Run1"), "Run"},
        {action(w, "Stop1"), "Stop"},
        {menu(w, "DataLogger1")->menuAction(), "&Data Logger"},
        {action(w, "LoadData1"), "&Load "},
        {action(w, "Setup1"), "&Setup"},
        {menu(w, "View1")->menuAction(), "&View"},
        {action(w, "ControlPanel1"), "&Control Panel"},
        {action(w, "RealTimeGraph1"), "Real Time &Graph"},
        {menu(w, "Window1")->menuAction(), "&Window"},
        {action(w, "Tile1"), "&Tile"},
        {action(w, "Cascade1"), "&Cascade"},
        {menu(w, "Help1")->menuAction(), "&Help"},
        {action(w, "Contents1"), "&Contents"},
        {action(w, "About1"), "&About"},
    };
    for (const auto& [action, caption] : entries)
        EXPECT_EQ(action->text(), QLatin1String(caption));
    // Each menu holds its entries in the stored order.
    EXPECT_EQ(menu(w, "File1")->actions().first(), action(w, "Open1"));
    EXPECT_EQ(menu(w, "File1")->actions().last(), action(w, "Exit1"));
    EXPECT_EQ(menu(w, "DataLogger1")->actions(),
              QList<QAction*>({action(w, "LoadData1"), action(w, "Setup1")}));
    EXPECT_EQ(menu(w, "Help1")->actions(), QList<QAction*>({action(w, "Contents1"), action(w, "About1")}));
}

TEST_F(MainWindowTest, ToolButtonsCarryTheirStoredHintsLeftToRight) {
    TfrmMain& w = open();
    const std::pair<QWidget*, const char*> buttons[] = {
        {button(w, "SpeedButton1"), "Open File"},
        {button(w, "SpeedButton2"), "Save to file"},
        {button(w, "btnPrint"), "Print"},
        {button(w, "btnDataLogger"), "Data Logger"},
        {button(w, "btnOutputToGraph"), "Output Tabular to graph"},
        {button(w, "btnRun"), "Start Graphing Real Time Data"},
        {button(w, "btnStop"), "Stop Graphing Real Time Data"},
        {button(w, "BitBtn1"), "search bluetooth device"},
        {button(w, "BitBtn2"), "disconnect bluetooth device"},
    };
    int previousX = -1;
    for (const auto& [button, hint] : buttons) {
        EXPECT_EQ(button->toolTip(), QLatin1String(hint));
        EXPECT_GT(button->x(), previousX) << hint;
        previousX = button->x();
    }
    EXPECT_GT(Child<QComboBox>(w, "ComboBoxDeviceName")->x(), button(w, "btnStop")->x());
    EXPECT_LT(Child<QComboBox>(w, "ComboBoxDeviceName")->x(), button(w, "BitBtn1")->x());
}

TEST_F(MainWindowTest, FirstShowingOpensPanelAndGraphAndStartsThePoll) {
    TfrmMain& w = open(false);
    EXPECT_FALSE(w.session().pollTimer()->isActive());
    EXPECT_TRUE(Child<QTimer>(w, "MaxMinTimer")->isActive());
    EXPECT_TRUE(action(w, "Setup1")->isVisible());
    w.show();

    EXPECT_TRUE(w.session().pollTimer()->isActive());
    EXPECT_EQ(w.session().pollTimer()->interval(), 500);
    EXPECT_EQ(Child<QTimer>(w, "MaxMinTimer")->interval(), 500);
    EXPECT_FALSE(action(w, "Setup1")->isVisible());
    EXPECT_DOUBLE_EQ(w.session().recording().samplePeriod, static_cast<double>(10.0f / 86400.0f));
    TfrmPanel* panelWindow = w.panelWindow();
    TfrmGraph* realTime = TfrmGraph::realTimeWindow(w);
    ASSERT_TRUE(panelWindow);
    ASSERT_TRUE(realTime);
    EXPECT_EQ(realTime->windowTitle(), QStringLiteral("Real-Time Graph"));
    EXPECT_EQ(panelWindow->subWindow()->pos(), QPoint(0, 0));
    EXPECT_EQ(realTime->subWindow()->pos(), QPoint(panelWindow->subWindow()->width(), 0));
    EXPECT_EQ(realTime->subWindow()->width(), 1200);
    EXPECT_TRUE(action(w, "ControlPanel1")->isChecked());
    EXPECT_TRUE(action(w, "RealTimeGraph1")->isChecked());
    EXPECT_FALSE(panelWindow->lblNoConnection->isHidden());
    EXPECT_TRUE(panelWindow->ingBlutoothLink->isHidden());
    EXPECT_FALSE(button(w, "btnOutputToGraph")->isEnabled());
    EXPECT_EQ(controls(),
              (Controls{false, false, false, false, true, true, QStringLiteral("Off Connection")}));

    // A second showing does not open the windows again.
    w.hide();
    w.show();
    EXPECT_EQ(w.children().size(), 2);
}

TEST_F(MainWindowTest, ControlsFollowTheConnectionStateTable) {
    struct Step {
        const char* name;
        bool recording;
        bool plugged;
        int ticks;
        Controls expected;
    };
    const Step idle[] = {
        {"identified",
         false,
         true,
         1,
         {true, true, false, false, true, true, QStringLiteral("On Connection")}},
        {"lost",
         false,
         false,
         3,
         {false, false, false, false, false, false, QStringLiteral("No Connection")}},
        {"found again",
         false,
         true,
         1,
         {true, true, false, false, true, true, QStringLiteral("On Connection")}},
    };
    open();
    for (const Step& step : idle) {
        m_window->session().recording().setRecording(step.recording);
        m_usb->setPlugged(step.plugged);
        tick(step.ticks);
        EXPECT_EQ(controls(), step.expected) << step.name;
    }

    // Connected while a recording runs: Run stays off, Stop and the menu's Stop on; the menu's Run
    // keeps what it had (off since the connection was lost).
    m_usb->setPlugged(false);
    tick(3);
    m_window->session().recording().setRecording(true);
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(controls(), (Controls{false, false, true, true, true, true, QStringLiteral("On Connection")}));
}

TEST_F(MainWindowTest, ConnectionShowsOnThePanel) {
    TfrmMain& w = open();
    TfrmPanel* panel = w.panelWindow();
    connectMeter();
    EXPECT_TRUE(panel->lblNoConnection->isHidden());
    EXPECT_TRUE(w.session().linkState().usbLink());
    EXPECT_EQ(w.statusText(0), QString());

    m_usb->setPlugged(false);
    tick(3);
    EXPECT_FALSE(panel->lblNoConnection->isHidden());
    EXPECT_TRUE(panel->ingBlutoothLink->isHidden());
    EXPECT_FALSE(w.session().linkState().usbLink());
}

TEST_F(MainWindowTest, ThreeLostReadsInARowEndTheConnectionAndTwoDoNot) {
    TfrmMain& w = open();
    connectMeter();
    const link::LinkState& link = w.session().linkState();

    m_usb->setPlugged(false);
    tick(2);
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(link.lostFrames, 2);
    EXPECT_EQ(w.statusText(1), QStringLiteral("On Connection"));

    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(link.lostFrames, 0);

    // The count starts again after the good read: two more failures keep the connection.
    m_usb->setPlugged(false);
    tick(2);
    EXPECT_TRUE(link.connected());
    tick();
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(link.lostFrames, 0);
    EXPECT_EQ(w.statusText(1), QStringLiteral("No Connection"));
}

TEST_F(MainWindowTest, AMeterWithAnotherModelCodeIsNeverConnected) {
    m_meter->setModel("419");
    TfrmMain& w = open();
    tick(10);
    EXPECT_FALSE(w.session().linkState().connected());
    EXPECT_EQ(controls(),
              (Controls{false, false, false, false, true, true, QStringLiteral("Off Connection")}));
    EXPECT_EQ(m_meter->receivedLetters(), std::string(10, 'K'));
}

TEST_F(MainWindowTest, FramesWithWrongMarkersAreIgnoredAndBlankSegmentsLeaveThePanel) {
    auto frameShowing = [](int t1Tenths) {
        sim::DisplayState display;
        display.tenths = {t1Tenths, 200, 300, 400};
        return sim::EncodeLiveFrame(display);
    };
    sim::LiveFrame badStart = frameShowing(111);
    badStart[0] = 0x00;
    sim::LiveFrame badEnd = frameShowing(222);
    badEnd[63] = 0x00;
    sim::LiveFrame blankSegments = frameShowing(333);
    std::fill(blankSegments.begin() + 40, blankSegments.begin() + 60, std::uint8_t{0xFF});
    m_meter->setLiveFrames({frameShowing(253), badStart, badEnd, blankSegments});

    TfrmMain& w = open();
    connectMeter();
    const core::MeterStatus& status = w.session().linkState().meterStatus;

    tick();
    EXPECT_FLOAT_EQ(status.reading[0], 25.3f);
    EXPECT_EQ(panelReading(0), QLocale().toString(25.3, 'f', 1));

    tick(2); // wrong start byte, wrong end byte: read, not lost, not decoded
    EXPECT_TRUE(w.session().linkState().connected());
    EXPECT_EQ(w.session().linkState().lostFrames, 0);
    EXPECT_FLOAT_EQ(status.reading[0], 25.3f);

    tick(); // decoded, but the panel keeps its picture
    EXPECT_FLOAT_EQ(status.reading[0], 33.3f);
    EXPECT_EQ(panelReading(0), QLocale().toString(25.3, 'f', 1));
}

TEST_F(MainWindowTest, SamplesReachTheRealTimeGraphOnlyWhileRecording) {
    TfrmMain& w = open();
    w.session().recording().setRealTimeRate(0);
    connectMeter();
    tick(2);
    EXPECT_EQ(sampleCount(w), 0);
    EXPECT_FALSE(w.session().recording().realTimeUnsaved);

    w.session().recording().setRecording(true);
    tick(3);
    EXPECT_EQ(sampleCount(w), 3);
    EXPECT_TRUE(w.session().recording().realTimeUnsaved);

    // With the panel closed the frames are still decoded and sampled.
    ASSERT_TRUE(w.panelWindow()->closeWindow());
    processDeferredDeletes();
    ASSERT_FALSE(w.panelWindow());
    tick();
    EXPECT_EQ(sampleCount(w), 4);
}

TEST_F(MainWindowTest, SettingsDefaultThenSurviveAClose) {
    {
        TfrmMain& w = open();
        EXPECT_EQ(w.session().recording().realTimeRate(), 2);
        EXPECT_EQ(w.graphShared().annoColor, 0);
        w.session().recording().setRealTimeRate(7);
        w.graphShared().annoColor = 0x00FF00;
        EXPECT_TRUE(w.close());
    }
    {
        const QSettings stored(settingsFile(), QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("RealTimeRate")).toInt(), 7);
        EXPECT_EQ(stored.value(QStringLiteral("AnnoColor")).toInt(), 0x00FF00);
    }
    TfrmMain& again = open();
    EXPECT_EQ(again.session().recording().realTimeRate(), 7);
    EXPECT_EQ(again.graphShared().annoColor, 0x00FF00);
}

TEST_F(MainWindowTest, SettingsAreTakenOnceFromTheFormerStoreWhenTheNewOneHasNone) {
    m_services.formerSettingsFile = m_dir.filePath(QStringLiteral("former.ini"));
    {
        QSettings former(m_services.formerSettingsFile, QSettings::IniFormat);
        former.setValue(QStringLiteral("RealTimeRate"), 5);
        former.setValue(QStringLiteral("AnnoColor"), 0x0000FF);
    }
    {
        TfrmMain& w = open();
        EXPECT_EQ(w.session().recording().realTimeRate(), 5);
        EXPECT_EQ(w.graphShared().annoColor, 0x0000FF);
        w.session().recording().setRealTimeRate(3);
        EXPECT_TRUE(w.close());
    }
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("RealTimeRate")).toInt(),
              3);
    // The new store now answers; the former one is left as it was and no longer read.
    TfrmMain& again = open();
    EXPECT_EQ(again.session().recording().realTimeRate(), 3);
    EXPECT_EQ(again.graphShared().annoColor, 0x0000FF);
    EXPECT_EQ(QSettings(m_services.formerSettingsFile, QSettings::IniFormat)
                  .value(QStringLiteral("RealTimeRate"))
                  .toInt(),
              5);
}

TEST_F(MainWindowTest, UnreadableSettingsFallBackToTheDefaults) {
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue(QStringLiteral("RealTimeRate"), QStringLiteral("fast"));
        stored.setValue(QStringLiteral("AnnoColor"), QStringLiteral(""));
    }
    TfrmMain& w = open();
    EXPECT_EQ(w.session().recording().realTimeRate(), 2);
    EXPECT_EQ(w.graphShared().annoColor, 0);
}

TEST_F(MainWindowTest, ClosingStopsThePollAndDropsTheLink) {
    TfrmMain& w = open();
    connectMeter();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.session().pollTimer()->isActive());
    EXPECT_FALSE(w.session().linkState().connected());
    EXPECT_FALSE(w.session().linkState().usbLink());
}

TEST_F(MainWindowTest, ExitEndsWithoutAskingAndWithoutWritingTheSettings) {
    TfrmMain& w = open();
    auto* veto = new VetoChild(w);
    w.addChild(veto);
    w.session().recording().setRealTimeRate(9);
    action(w, "Exit1")->trigger();
    EXPECT_EQ(m_exitLoops, 1);
    EXPECT_FALSE(w.session().pollTimer()->isActive());
    // Whatever happens to the window afterwards, the close path does not run.
    w.close();
    m_window.reset();
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_TRUE(m_prompts.shown().isEmpty());
}

TEST_F(MainWindowTest, AChildThatRefusesKeepsTheProgramRunning) {
    TfrmMain& w = open();
    auto* veto = new VetoChild(w);
    w.addChild(veto);

    EXPECT_FALSE(w.close());
    EXPECT_EQ(veto->asked, 1);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.session().pollTimer()->isActive());
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_EQ(w.children().size(), 3);

    veto->allow = true;
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(QFile::exists(settingsFile()));
}

TEST_F(MainWindowTest, ControlPanelIsReopenedAtTheCornerOrRestored) {
    TfrmMain& w = open();
    w.panelWindow()->placeAt(200, 150);
    ASSERT_TRUE(w.panelWindow()->closeWindow());
    processDeferredDeletes();
    EXPECT_FALSE(w.panelWindow());
    EXPECT_FALSE(action(w, "ControlPanel1")->isChecked());

    action(w, "ControlPanel1")->trigger();
    ASSERT_TRUE(w.panelWindow());
    EXPECT_EQ(w.panelWindow()->subWindow()->pos(), QPoint(0, 0));
    EXPECT_TRUE(action(w, "ControlPanel1")->isChecked());

    TfrmPanel* panel = w.panelWindow();
    panel->subWindow()->showMinimized();
    action(w, "ControlPanel1")->trigger();
    EXPECT_EQ(w.panelWindow(), panel);
    EXPECT_FALSE(panel->subWindow()->isMinimized());
    EXPECT_TRUE(action(w, "ControlPanel1")->isChecked());
}

TEST_F(MainWindowTest, ClosingTheRealTimeGraphClearsItsMarksAndTheViewMenuBringsItBack) {
    TfrmMain& w = open();
    connectMeter();
    w.session().recording().setRecording(true);
    button(w, "btnRun")->setEnabled(false);
    button(w, "btnStop")->setEnabled(true);

    ASSERT_TRUE(TfrmGraph::realTimeWindow(w)->closeWindow());
    processDeferredDeletes();
    EXPECT_FALSE(TfrmGraph::realTimeWindow(w));
    EXPECT_FALSE(action(w, "RealTimeGraph1")->isChecked());
    EXPECT_FALSE(w.session().recording().recording());
    EXPECT_EQ(sampleCount(w), 0);
    EXPECT_TRUE(button(w, "btnRun")->isEnabled());
    EXPECT_FALSE(button(w, "btnStop")->isEnabled());

    action(w, "RealTimeGraph1")->trigger();
    ASSERT_TRUE(TfrmGraph::realTimeWindow(w));
    EXPECT_TRUE(action(w, "RealTimeGraph1")->isChecked());
    TfrmGraph* graph = TfrmGraph::realTimeWindow(w);
    action(w, "RealTimeGraph1")->trigger();
    EXPECT_EQ(TfrmGraph::realTimeWindow(w), graph);
}

TEST_F(MainWindowTest, HelpContentsOpensThePageInTheProgramsFolder) {
    TfrmMain& w = open();
    action(w, "Contents1")->trigger();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.first(), QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("bin/thermo4HELP.htm"))));
    EXPECT_TRUE(m_prompts.shown().isEmpty());
}

TEST(ShippedFiles, TheHelpPageSitsBesideTheExecutable) {
    // Tests run from build/tests; the program and its help page from build/bin.
    QFile help(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/thermo4HELP.htm"));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly));
    const QByteArray page = help.readAll();
    for (const char* topic : {"Control panel", "Real-time graph", "Data logger", "70-thermo4.rules"})
        EXPECT_TRUE(page.contains(topic)) << topic;
}

TEST_F(MainWindowTest, APermissionNoticeIsShownOnceAndGoesWithTheConnection) {
    int asked = 0;
    m_services.takeLinkNotice = [&asked] {
        return asked++ == 0 ? QStringLiteral("no access: fix") : QString();
    };
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    tick(3);
    EXPECT_EQ(w.statusText(0), QStringLiteral("no access: fix"));
    EXPECT_EQ(asked, 3);
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(w.statusText(0), QString());
}

TEST_F(MainWindowTest, TheBlinkTickTogglesAndBlinksTheLinkIconOnlyOnTheSerialLink) {
    TfrmMain& w = open();
    QLabel* icon = w.panelWindow()->ingBlutoothLink;
    const bool phase = w.blinkPhase();
    w.MaxMinTimerTimer();
    EXPECT_NE(w.blinkPhase(), phase);
    EXPECT_TRUE(icon->isHidden());

    w.session().linkState().setLink(link::LinkKind::Serial);
    for (int i = 0; i < 4; ++i) {
        w.MaxMinTimerTimer();
        EXPECT_EQ(!icon->isHidden(), w.blinkPhase());
    }
}

TEST_F(MainWindowTest, ActivatingATableEnablesOutputToGraphAndThePanelDisablesIt) {
    TfrmMain& w = open();
    auto* list = new TfrmList(w);
    w.addChild(list);
    w.activateChild(list);
    EXPECT_TRUE(button(w, "btnOutputToGraph")->isEnabled());
    EXPECT_EQ(list->Grid1->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("T1"));

    w.activateChild(w.panelWindow());
    EXPECT_FALSE(button(w, "btnOutputToGraph")->isEnabled());
    w.activateChild(list);
    w.activateChild(TfrmGraph::realTimeWindow(w));
    EXPECT_FALSE(button(w, "btnOutputToGraph")->isEnabled());
}

TEST_F(MainWindowTest, TheSplashClosesWhenTheWindowIsFirstShown) {
    auto* splash = new TfrmAbout;
    splash->showAsSplash();
    EXPECT_FALSE(splash->btnOK->isVisibleTo(splash));
    EXPECT_EQ(splash->lblTitle->text(), QStringLiteral("Four Channel Thermometer Software"));
    TfrmMain& w = open(false);
    const QPointer<TfrmAbout> splashWindow = splash;
    w.setSplash(splash);
    w.show();
    processDeferredDeletes();
    EXPECT_FALSE(splashWindow);
}

TEST_F(MainWindowTest, HelpAboutShowsTheBoxModallyAndFreesIt) {
    TfrmMain& w = open();
    QString title;
    bool okShown = false;
    QString version;
    // The box runs its own event loop; read and close it from inside that loop.
    QTimer::singleShot(0, &w, [&] {
        auto* box = qobject_cast<TfrmAbout*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isModal());
        title = box->lblTitle->text();
        okShown = box->btnOK->isVisible();
        version = box->lblVersion->text() + box->lblVersionNumber->text();
        box->btnOK->click();
    });
    action(w, "About1")->trigger();
    processDeferredDeletes();
    EXPECT_TRUE(w.findChildren<TfrmAbout*>().isEmpty());
    EXPECT_EQ(title, QStringLiteral("Four Channel Thermometer Software"));
    EXPECT_TRUE(okShown);
    EXPECT_EQ(version, QStringLiteral("Version:") + CommandLine::programVersion());
}

TEST_F(MainWindowTest, OnlyAServiceStartOffersTheSetupEntry) {
    for (const bool service : {false, true}) {
        SCOPED_TRACE(service ? "--service" : "plain start");
        m_services.service = service;
        TfrmMain& w = open();
        EXPECT_EQ(action(w, "Setup1")->isVisible(), service);
        EXPECT_TRUE(action(w, "LoadData1")->isVisible());
        m_window.reset();
        processDeferredDeletes();
    }
}

TEST_F(MainWindowTest, TheWindowMenuListsTheOpenWindowsAndSetupOpensOnce) {
    TfrmMain& w = open();
    emit menu(w, "Window1")->aboutToShow();
    QStringList entries;
    for (const QAction* action : menu(w, "Window1")->actions())
        entries.append(action->text());
    EXPECT_TRUE(entries.contains(QStringLiteral("&Tile")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&Cascade")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&1 Real-Time Graph")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&2 PANEL")));

    w.Setup1Click();
    ASSERT_EQ(w.findChildren<TfrmSetup*>().size(), 1);
    TfrmSetup* setup = w.findChildren<TfrmSetup*>().first();
    w.Setup1Click();
    ASSERT_EQ(w.findChildren<TfrmSetup*>().size(), 1);
    EXPECT_EQ(w.findChildren<TfrmSetup*>().first(), setup);
    EXPECT_EQ(w.children().size(), 3);
}

TEST_F(MainWindowTest, TheDeviceListConnectsTheSerialMeterAndDisconnectHandsBackToUsb) {
    sim::VirtualMeter serialMeter(m_clock, 3);
    m_serial.attach(QStringLiteral("/dev/rfcomm0"), serialMeter);
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    auto* devices = Child<QComboBox>(w, "ComboBoxDeviceName");
    TfrmPanel* panel = w.panelWindow();

    devices->setEditText(QStringLiteral("/dev/ttyUSB7"));
    w.ComboBoxDeviceNameChange();
    EXPECT_FALSE(w.session().connected());
    EXPECT_EQ(w.statusText(1), QStringLiteral("No Connection"));

    devices->setEditText(QStringLiteral("/dev/rfcomm0"));
    w.ComboBoxDeviceNameChange();
    EXPECT_TRUE(w.session().serialLink());
    EXPECT_EQ(controls(), (Controls{true, true, false, false, true, true, QStringLiteral("On Connection")}));
    EXPECT_TRUE(panel->lblNoConnection->isHidden());
    tick();
    EXPECT_EQ(serialMeter.receivedLetters(), "KA") << "the poll reads over the serial link";
    for (int i = 0; i < 2; ++i) {
        w.MaxMinTimerTimer();
        EXPECT_EQ(!panel->ingBlutoothLink->isHidden(), w.blinkPhase()) << "the link icon blinks";
    }

    w.BitBtn2Click();
    EXPECT_FALSE(w.session().connected());
    EXPECT_FALSE(panel->lblNoConnection->isHidden());
    EXPECT_TRUE(panel->ingBlutoothLink->isHidden());
    m_usb->setPlugged(true);
    tick();
    EXPECT_TRUE(w.session().usbLink()) << "within one poll tick the USB meter is back";
}

TEST_F(MainWindowTest, TheSearchTriesTheListedPortsAndSelectsTheOneThatAnswered) {
    sim::VirtualMeter serialMeter(m_clock, 3);
    m_serial.attach(QStringLiteral("/dev/rfcomm2"), serialMeter);
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    auto* devices = Child<QComboBox>(w, "ComboBoxDeviceName");
    devices->clear();
    devices->addItems(
        {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/rfcomm2")});
    devices->setCurrentIndex(0);
    w.BitBtn1Click();
    processDeferredDeletes();
    EXPECT_EQ(devices->currentIndex(), 2);
    EXPECT_TRUE(w.session().serialLink());
    EXPECT_TRUE(button(w, "btnRun")->isEnabled());
    EXPECT_FALSE(button(w, "btnStop")->isEnabled());
    EXPECT_TRUE(w.panelWindow()->lblNoConnection->isHidden());
    EXPECT_EQ(w.statusText(1), QStringLiteral("Off Connection")) << "the search leaves the status text";
    EXPECT_TRUE(w.findChildren<TfrmAbout*>().isEmpty());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TfrmAbout*>(top) && top->isVisible()) << "the progress window is closed";
}

TEST_F(MainWindowTest, AReopenedPanelShowsTheLinkIconOnlyForTheSerialLink) {
    TfrmMain& w = open();
    connectMeter();
    ASSERT_TRUE(w.panelWindow()->closeWindow());
    processDeferredDeletes();
    action(w, "ControlPanel1")->trigger();
    EXPECT_TRUE(w.panelWindow()->ingBlutoothLink->isHidden());
    EXPECT_TRUE(w.panelWindow()->lblNoConnection->isHidden());
}

} // namespace
} // namespace thermo4::ui
