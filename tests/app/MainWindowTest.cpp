#include "app/CommandLine.h"
#include "app/TfrmAbout.h"
#include "app/TfrmMain.h"
#include "chart/DefaultLook.h"
#include "chart/Graph1.h"
#include "chart/GraphStateFile.h"
#include "graph/TfrmGraph.h"
#include "link/ManualClock.h"
#include "logger/TfrmList.h"
#include "panel/TfrmPanel.h"
#include "setup/TfrmSetup.h"
#include "sim/LiveFrameEncoder.h"
#include "sim/SimUsbTransport.h"
#include "sim/VirtualMeter.h"
#include "support/WindowTestSupport.h"
#include "ui/ScriptedPrompts.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
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

using test::UseTestServices;
using test::WriteGraphTemplate;

/// A child window that refuses to close, as a graph with unsaved data does on Cancel.
class VetoChild : public MdiChild {
public:
    explicit VetoChild(TfrmMain& main) : MdiChild(main) { setWindowTitle(QStringLiteral("Veto")); }
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
        UseTestServices(m_services, m_clock, *m_usb, m_prompts, m_dir);
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
        ASSERT_TRUE(m_window->state().link.connected());
    }

    Controls controls() const {
        const TfrmMain& w = *m_window;
        return {w.btnRun->isEnabled(), w.Run1->isEnabled(),          w.btnStop->isEnabled(),
                w.Stop1->isEnabled(),  w.btnDataLogger->isEnabled(), w.DataLogger1->menuAction()->isEnabled(),
                w.statusText(1)};
    }

    /// What a channel's row of panel digits reads, e.g. "25.3" (blank digits left out).
    QString panelReading(int channel) const {
        const AppState& s = m_window->state();
        const TfrmPanel& panel = *s.panelWindow;
        const std::array<const QLabel*, 4> points{panel.T1_P, panel.T2_P, panel.T3_P, panel.T4_P};
        const auto ch = static_cast<std::size_t>(channel);
        QString text;
        for (std::size_t d = 0; d < 4; ++d) {
            const QPixmap shown = panel.digitImages[ch][d]->pixmap();
            for (std::size_t g = 0; g < 10; ++g) {
                if (!shown.isNull() && s.lcdGlyphs[g].cacheKey() == shown.cacheKey())
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
    ScriptedPrompts m_prompts;
    AppServices m_services;
    QList<QUrl> m_opened;
    int m_exitLoops = 0;
    std::unique_ptr<TfrmMain> m_window;
};

TEST_F(MainWindowTest, MenuEntriesCarryTheirStoredCaptions) {
    TfrmMain& w = open(false);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("470913"));
    const std::pair<QAction*, const char*> entries[] = {
        {w.File1->menuAction(), "&File"},
        {w.Open1, "&Open"},
        {w.Save1, "&Save"},
        {w.Print1, "&Print"},
        {w.PrinterSetup1, "&Printer Setup"},
        {w.Exit1, "E&xit"},
        {w.RealTime1->menuAction(), "Real Time"},
        {w.Run1, "Run"},
        {w.Stop1, "Stop"},
        {w.DataLogger1->menuAction(), "&Data Logger"},
        {w.LoadData1, "&Load "},
        {w.Setup1, "&Setup"},
        {w.View1->menuAction(), "&View"},
        {w.ControlPanel1, "&Control Panel"},
        {w.RealTimeGraph1, "Real Time &Graph"},
        {w.Window1->menuAction(), "&Window"},
        {w.Tile1, "&Tile"},
        {w.Cascade1, "&Cascade"},
        {w.Help1->menuAction(), "&Help"},
        {w.Contents1, "&Contents"},
        {w.About1, "&About"},
    };
    for (const auto& [action, caption] : entries)
        EXPECT_EQ(action->text(), QLatin1String(caption));
    // Each menu holds its entries in the stored order.
    EXPECT_EQ(w.File1->actions().first(), w.Open1);
    EXPECT_EQ(w.File1->actions().last(), w.Exit1);
    EXPECT_EQ(w.DataLogger1->actions(), QList<QAction*>({w.LoadData1, w.Setup1}));
    EXPECT_EQ(w.Help1->actions(), QList<QAction*>({w.Contents1, w.About1}));
}

TEST_F(MainWindowTest, ToolButtonsCarryTheirStoredHintsLeftToRight) {
    TfrmMain& w = open();
    const std::pair<QWidget*, const char*> buttons[] = {
        {w.SpeedButton1, "Open File"},
        {w.SpeedButton2, "Save to file"},
        {w.btnPrint, "Print"},
        {w.btnDataLogger, "Data Logger"},
        {w.btnOutputToGraph, "Output Tabular to graph"},
        {w.btnRun, "Start Graphing Real Time Data"},
        {w.btnStop, "Stop Graphing Real Time Data"},
        {w.BitBtn1, "search bluetooth device"},
        {w.BitBtn2, "disconnect bluetooth device"},
    };
    int previousX = -1;
    for (const auto& [button, hint] : buttons) {
        EXPECT_EQ(button->toolTip(), QLatin1String(hint));
        EXPECT_GT(button->x(), previousX) << hint;
        previousX = button->x();
    }
    EXPECT_GT(w.ComboBoxDeviceName->x(), w.btnStop->x());
    EXPECT_LT(w.ComboBoxDeviceName->x(), w.BitBtn1->x());
}

TEST_F(MainWindowTest, FirstShowingOpensPanelAndGraphAndStartsThePoll) {
    TfrmMain& w = open(false);
    EXPECT_FALSE(w.MainTimer->isActive());
    EXPECT_TRUE(w.MaxMinTimer->isActive());
    EXPECT_TRUE(w.Setup1->isVisible());
    w.show();

    const AppState& s = w.state();
    EXPECT_TRUE(w.MainTimer->isActive());
    EXPECT_EQ(w.MainTimer->interval(), 500);
    EXPECT_EQ(w.MaxMinTimer->interval(), 500);
    EXPECT_FALSE(w.Setup1->isVisible());
    EXPECT_DOUBLE_EQ(s.samplePeriod, static_cast<double>(10.0f / 86400.0f));
    ASSERT_TRUE(s.panelWindow);
    ASSERT_TRUE(s.realTimeGraph);
    EXPECT_EQ(s.realTimeGraph->windowTitle(), QStringLiteral("Real-Time Graph"));
    EXPECT_EQ(s.panelWindow->subWindow()->pos(), QPoint(0, 0));
    EXPECT_EQ(s.realTimeGraph->subWindow()->pos(), QPoint(s.panelWindow->subWindow()->width(), 0));
    EXPECT_EQ(s.realTimeGraph->subWindow()->width(), 1200);
    EXPECT_TRUE(w.ControlPanel1->isChecked());
    EXPECT_TRUE(w.RealTimeGraph1->isChecked());
    EXPECT_FALSE(s.panelWindow->lblNoConnection->isHidden());
    EXPECT_TRUE(s.panelWindow->ingBlutoothLink->isHidden());
    EXPECT_FALSE(w.btnOutputToGraph->isEnabled());
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
        m_window->state().recording = step.recording;
        m_usb->setPlugged(step.plugged);
        tick(step.ticks);
        EXPECT_EQ(controls(), step.expected) << step.name;
    }

    // Connected while a recording runs: Run stays off, Stop and the menu's Stop on; the menu's Run
    // keeps what it had (off since the connection was lost).
    m_usb->setPlugged(false);
    tick(3);
    m_window->state().recording = true;
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(controls(), (Controls{false, false, true, true, true, true, QStringLiteral("On Connection")}));
}

TEST_F(MainWindowTest, ConnectionShowsOnThePanel) {
    TfrmMain& w = open();
    TfrmPanel* panel = w.state().panelWindow;
    connectMeter();
    EXPECT_TRUE(panel->lblNoConnection->isHidden());
    EXPECT_TRUE(w.state().link.usbLink());
    EXPECT_EQ(w.statusText(0), QString());

    m_usb->setPlugged(false);
    tick(3);
    EXPECT_FALSE(panel->lblNoConnection->isHidden());
    EXPECT_TRUE(panel->ingBlutoothLink->isHidden());
    EXPECT_FALSE(w.state().link.usbLink());
}

TEST_F(MainWindowTest, ThreeLostReadsInARowEndTheConnectionAndTwoDoNot) {
    TfrmMain& w = open();
    connectMeter();
    const link::LinkState& link = w.state().link;

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
    EXPECT_FALSE(w.state().link.connected());
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
    const core::MeterStatus& status = w.state().link.meterStatus;

    tick();
    EXPECT_FLOAT_EQ(status.reading[0], 25.3f);
    EXPECT_EQ(panelReading(0), QLocale().toString(25.3, 'f', 1));

    tick(2); // wrong start byte, wrong end byte: read, not lost, not decoded
    EXPECT_TRUE(w.state().link.connected());
    EXPECT_EQ(w.state().link.lostFrames, 0);
    EXPECT_FLOAT_EQ(status.reading[0], 25.3f);

    tick(); // decoded, but the panel keeps its picture
    EXPECT_FLOAT_EQ(status.reading[0], 33.3f);
    EXPECT_EQ(panelReading(0), QLocale().toString(25.3, 'f', 1));
}

TEST_F(MainWindowTest, SamplesReachTheRealTimeGraphOnlyWhileRecording) {
    TfrmMain& w = open();
    AppState& s = w.state();
    s.realTimeRate = 0;
    connectMeter();
    tick(2);
    EXPECT_EQ(s.sampleCount, 0);
    EXPECT_FALSE(s.realTimeUnsaved);

    s.recording = true;
    tick(3);
    EXPECT_EQ(s.sampleCount, 3);
    EXPECT_TRUE(s.realTimeUnsaved);

    // With the panel closed the frames are still decoded and sampled.
    ASSERT_TRUE(s.panelWindow->closeWindow());
    processDeferredDeletes();
    ASSERT_FALSE(s.panelWindow);
    tick();
    EXPECT_EQ(s.sampleCount, 4);
}

TEST_F(MainWindowTest, SettingsDefaultThenSurviveAClose) {
    {
        TfrmMain& w = open();
        EXPECT_EQ(w.state().realTimeRate, 2);
        EXPECT_EQ(w.state().annoColor, 0);
        w.state().realTimeRate = 7;
        w.state().annoColor = 0x00FF00;
        EXPECT_TRUE(w.close());
    }
    {
        const QSettings stored(settingsFile(), QSettings::IniFormat);
        EXPECT_EQ(stored.value(QStringLiteral("RealTimeRate")).toInt(), 7);
        EXPECT_EQ(stored.value(QStringLiteral("AnnoColor")).toInt(), 0x00FF00);
    }
    TfrmMain& again = open();
    EXPECT_EQ(again.state().realTimeRate, 7);
    EXPECT_EQ(again.state().annoColor, 0x00FF00);
}

TEST_F(MainWindowTest, UnreadableSettingsFallBackToTheDefaults) {
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue(QStringLiteral("RealTimeRate"), QStringLiteral("fast"));
        stored.setValue(QStringLiteral("AnnoColor"), QStringLiteral(""));
    }
    TfrmMain& w = open();
    EXPECT_EQ(w.state().realTimeRate, 2);
    EXPECT_EQ(w.state().annoColor, 0);
}

TEST_F(MainWindowTest, ClosingStopsThePollAndDropsTheLink) {
    TfrmMain& w = open();
    connectMeter();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.MainTimer->isActive());
    EXPECT_FALSE(w.state().link.connected());
    EXPECT_FALSE(w.state().link.usbLink());
}

TEST_F(MainWindowTest, ExitEndsWithoutAskingAndWithoutWritingTheSettings) {
    TfrmMain& w = open();
    auto* veto = new VetoChild(w);
    w.addChild(veto);
    w.state().realTimeRate = 9;
    w.Exit1->trigger();
    EXPECT_EQ(m_exitLoops, 1);
    EXPECT_FALSE(w.MainTimer->isActive());
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
    EXPECT_TRUE(w.MainTimer->isActive());
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_EQ(w.children().size(), 3);

    veto->allow = true;
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(QFile::exists(settingsFile()));
}

TEST_F(MainWindowTest, ControlPanelIsReopenedAtTheCornerOrRestored) {
    TfrmMain& w = open();
    AppState& s = w.state();
    s.panelWindow->placeAt(200, 150);
    ASSERT_TRUE(s.panelWindow->closeWindow());
    processDeferredDeletes();
    EXPECT_FALSE(s.panelWindow);
    EXPECT_FALSE(w.ControlPanel1->isChecked());

    w.ControlPanel1->trigger();
    ASSERT_TRUE(s.panelWindow);
    EXPECT_EQ(s.panelWindow->subWindow()->pos(), QPoint(0, 0));
    EXPECT_TRUE(w.ControlPanel1->isChecked());

    TfrmPanel* panel = s.panelWindow;
    panel->subWindow()->showMinimized();
    w.ControlPanel1->trigger();
    EXPECT_EQ(s.panelWindow, panel);
    EXPECT_FALSE(panel->subWindow()->isMinimized());
    EXPECT_TRUE(w.ControlPanel1->isChecked());
}

TEST_F(MainWindowTest, ClosingTheRealTimeGraphClearsItsMarksAndTheViewMenuBringsItBack) {
    TfrmMain& w = open();
    AppState& s = w.state();
    connectMeter();
    s.recording = true;
    s.sampleCount = 5;
    w.btnRun->setEnabled(false);
    w.btnStop->setEnabled(true);

    ASSERT_TRUE(s.realTimeGraph->closeWindow());
    processDeferredDeletes();
    EXPECT_FALSE(s.realTimeGraph);
    EXPECT_FALSE(w.RealTimeGraph1->isChecked());
    EXPECT_FALSE(s.recording);
    EXPECT_EQ(s.sampleCount, 0);
    EXPECT_TRUE(w.btnRun->isEnabled());
    EXPECT_FALSE(w.btnStop->isEnabled());

    w.RealTimeGraph1->trigger();
    ASSERT_TRUE(s.realTimeGraph);
    EXPECT_TRUE(w.RealTimeGraph1->isChecked());
    TfrmGraph* graph = s.realTimeGraph;
    w.RealTimeGraph1->trigger();
    EXPECT_EQ(s.realTimeGraph, graph);
}

TEST_F(MainWindowTest, HelpContentsOpensThePageInTheProgramsFolder) {
    TfrmMain& w = open();
    w.Contents1->trigger();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.first(), QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("bin/470913HELP.htm"))));
    EXPECT_TRUE(m_prompts.shown().isEmpty());
}

TEST(ShippedFiles, TheHelpPageSitsBesideTheExecutable) {
    // Tests run from build/tests; the program and its help page from build/bin.
    QFile help(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/470913HELP.htm"));
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
    AppState& s = w.state();
    QLabel* icon = s.panelWindow->ingBlutoothLink;
    const bool phase = s.blinkPhase;
    w.MaxMinTimerTimer();
    EXPECT_NE(s.blinkPhase, phase);
    EXPECT_TRUE(icon->isHidden());
    EXPECT_FALSE(s.blinkBusy);

    s.link.setLink(link::LinkKind::Serial);
    for (int i = 0; i < 4; ++i) {
        w.MaxMinTimerTimer();
        EXPECT_EQ(!icon->isHidden(), s.blinkPhase);
    }
}

TEST_F(MainWindowTest, ActivatingATableEnablesOutputToGraphAndThePanelDisablesIt) {
    TfrmMain& w = open();
    auto* list = new TfrmList(w);
    w.addChild(list);
    w.clientArea()->setActiveSubWindow(list->subWindow());
    EXPECT_TRUE(w.btnOutputToGraph->isEnabled());
    EXPECT_EQ(list->Grid1->horizontalHeaderItem(3)->text(), QStringLiteral("T1"));

    w.clientArea()->setActiveSubWindow(w.state().panelWindow->subWindow());
    EXPECT_FALSE(w.btnOutputToGraph->isEnabled());
    w.clientArea()->setActiveSubWindow(list->subWindow());
    w.clientArea()->setActiveSubWindow(w.state().realTimeGraph->subWindow());
    EXPECT_FALSE(w.btnOutputToGraph->isEnabled());
}

TEST_F(MainWindowTest, TheSplashClosesWhenTheWindowIsFirstShown) {
    auto* splash = new TfrmAbout;
    splash->showAsSplash();
    EXPECT_FALSE(splash->btnOK->isVisibleTo(splash));
    EXPECT_EQ(splash->lblTitle->text(), QStringLiteral("Four Channel Thermometer Software"));
    TfrmMain& w = open(false);
    w.state().aboutBox = splash;
    w.show();
    processDeferredDeletes();
    EXPECT_FALSE(w.state().aboutBox);
}

TEST_F(MainWindowTest, HelpAboutShowsTheBoxModallyAndFreesIt) {
    TfrmMain& w = open();
    QString title;
    bool okShown = false;
    QString version;
    // The box runs its own event loop; read and close it from inside that loop.
    QTimer::singleShot(0, &w, [&] {
        TfrmAbout* box = w.state().aboutBox;
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->isModal());
        title = box->lblTitle->text();
        okShown = box->btnOK->isVisible();
        version = box->lblVersion->text() + box->lblVersionNumber->text();
        box->btnOK->click();
    });
    w.About1->trigger();
    EXPECT_FALSE(w.state().aboutBox);
    EXPECT_EQ(title, QStringLiteral("Four Channel Thermometer Software"));
    EXPECT_TRUE(okShown);
    EXPECT_EQ(version, QStringLiteral("Version:") + CommandLine::programVersion());
}

TEST_F(MainWindowTest, TheWindowMenuListsTheOpenWindowsAndSetupOpensOnce) {
    TfrmMain& w = open();
    emit w.Window1->aboutToShow();
    QStringList entries;
    for (const QAction* action : w.Window1->actions())
        entries.append(action->text());
    EXPECT_TRUE(entries.contains(QStringLiteral("&Tile")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&Cascade")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&1 Real-Time Graph")));
    EXPECT_TRUE(entries.contains(QStringLiteral("&2 PANEL")));

    w.Setup1Click();
    TfrmSetup* setup = w.state().setupDialog;
    ASSERT_TRUE(setup);
    w.Setup1Click();
    EXPECT_EQ(w.state().setupDialog, setup);
    EXPECT_EQ(w.children().size(), 3);
}

} // namespace
} // namespace thermo4::ui
