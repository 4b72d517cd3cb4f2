#include "MainWindowFixture.h"

#include "logger/DataLogger.h"
#include "support/MeterSessionTestAccess.h"
#include "support/WindowTestAccess.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <functional>

namespace thermo4::ui::test {
namespace {

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

TEST_F(MainWindowTest, ExitEndsWithoutAskingAndWithoutWritingTheSettings) {
    TfrmMain& w = open();
    auto* veto = new VetoChild(w);
    w.addChild(veto);
    w.session().recording().setRealTimeRate(9);
    action(w, "Exit1")->trigger();
    EXPECT_EQ(m_exitLoops, 1);
    EXPECT_FALSE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
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
    EXPECT_TRUE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
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
    w.session().recording().start();
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

/// Height the real-time graph opens with in w: the main window's less tool bar, status bar and 40.
int realTimeGraphHeight(const TfrmMain& w) {
    const auto* bar = w.findChild<QToolBar*>(QStringLiteral("ToolBar1"), Qt::FindDirectChildrenOnly);
    return w.height() - bar->height() - w.statusBar()->height() - 40;
}

TEST_F(MainWindowTest, TheRealTimeGraphTakesALateMaximiseUntilTheUserResizesIt) {
    m_window = std::make_unique<TfrmMain>(m_services);
    TfrmMain& w = *m_window;
    w.resize(1600, 800); // shown before the window manager maximises it
    w.show();
    QMdiSubWindow* graph = TfrmGraph::realTimeWindow(w)->subWindow();
    EXPECT_EQ(graph->height(), realTimeGraphHeight(w));

    w.resize(1600, 1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return graph->height() == realTimeGraphHeight(w); }, 10000))
        << graph->height() << " for a window of " << w.height();
    EXPECT_EQ(graph->pos(), QPoint(w.panelWindow()->subWindow()->width(), 0));
    EXPECT_EQ(graph->width(), 1200);

    // Once the user has given the graph a size of their own, it keeps it.
    graph->setGeometry(100, 50, 900, 600);
    w.resize(1600, 900);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.clientSize().height() < 900 - 59; }, 10000));
    EXPECT_EQ(graph->geometry(), QRect(100, 50, 900, 600));
}

TEST_F(MainWindowTest, AReCreatedRealTimeGraphOpensWhereAndAsLargeAsAtStartUp) {
    TfrmMain& w = open();
    const QRect atStart = TfrmGraph::realTimeWindow(w)->subWindow()->geometry();
    EXPECT_EQ(atStart.height(), realTimeGraphHeight(w));
    const std::function<void()> reopen[] = {
        [&w] { action(w, "RealTimeGraph1")->trigger(); },
        [&w] { static_cast<MainFrame&>(w).openRealTimeGraph(); }, // as Run does
    };
    for (const auto& open : reopen) {
        ASSERT_TRUE(TfrmGraph::realTimeWindow(w)->closeWindow());
        processDeferredDeletes();
        ASSERT_FALSE(TfrmGraph::realTimeWindow(w));
        open();
        ASSERT_TRUE(TfrmGraph::realTimeWindow(w));
        EXPECT_EQ(TfrmGraph::realTimeWindow(w)->subWindow()->geometry(), atStart);
    }
}

TEST_F(MainWindowTest, TileKeepsThePanelAtItsSizeAndGivesTheGraphsTheRest) {
    TfrmMain& w = open();
    auto* file = new TfrmGraph(w, QStringLiteral("file.ghf"));
    w.addChild(file);
    QMdiSubWindow* panel = w.panelWindow()->subWindow();
    const QSize panelSize = panel->size();
    action(w, "Tile1")->trigger();
    QCoreApplication::sendPostedEvents();

    EXPECT_EQ(panel->geometry(), QRect(QPoint(0, 0), panelSize));
    const QRect client(QPoint(0, 0), w.clientSize());
    for (TfrmGraph* graph : {TfrmGraph::realTimeWindow(w), file}) {
        const QRect place = graph->subWindow()->geometry();
        EXPECT_FALSE(place.intersects(panel->geometry())) << graph->windowTitle().toStdString();
        EXPECT_TRUE(client.contains(place)) << graph->windowTitle().toStdString();
        EXPECT_GE(widgets(*graph).ToolBar1->width(), widgets(*graph).ToolBar1->sizeHint().width());
    }
    EXPECT_FALSE(
        TfrmGraph::realTimeWindow(w)->subWindow()->geometry().intersects(file->subWindow()->geometry()));
}

TEST_F(MainWindowTest, OnSmallScreensEveryWindowFitsTheClientArea) {
    for (const QSize screen : {QSize(1280, 800), QSize(1366, 768)}) {
        SCOPED_TRACE(std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
        m_window = std::make_unique<TfrmMain>(m_services);
        TfrmMain& w = *m_window;
        w.resize(screen.width(), screen.height() - 30); // less a window manager's title bar
        w.show();
        TfrmGraph* logger = OpenLoggerGraph(w, 45352.5);
        action(w, "Setup1")->trigger();
        QCoreApplication::processEvents();

        const QRect client(QPoint(0, 0), w.clientSize());
        for (MdiChild* child : w.children())
            EXPECT_TRUE(client.contains(child->subWindow()->geometry()))
                << child->windowTitle().toStdString();
        EXPECT_LT(w.panelWindow()->scale(), 1.0);
        // The data-set table shows all its columns, without scrolling sideways.
        EXPECT_EQ(widgets(*logger).Grid2->horizontalScrollBar()->maximum(), 0);
        EXPECT_GE(widgets(*logger).Grid2->viewport()->width(),
                  widgets(*logger).Grid2->horizontalHeader()->length());
        m_window.reset();
        processDeferredDeletes();
    }
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

TEST_F(MainWindowTest, ActivatingATableEnablesOutputToGraphAndThePanelDisablesIt) {
    TfrmMain& w = open();
    auto* list = new TfrmList(w);
    w.addChild(list);
    w.activateChild(list);
    EXPECT_TRUE(button(w, "btnOutputToGraph")->isEnabled());
    EXPECT_EQ(widgets(*list).Grid1->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("T1"));

    w.activateChild(w.panelWindow());
    EXPECT_FALSE(button(w, "btnOutputToGraph")->isEnabled());
    w.activateChild(list);
    w.activateChild(TfrmGraph::realTimeWindow(w));
    EXPECT_FALSE(button(w, "btnOutputToGraph")->isEnabled());
}

TEST_F(MainWindowTest, TheSplashClosesWhenTheWindowIsFirstShown) {
    auto* splash = new TfrmAbout;
    splash->showAsSplash();
    EXPECT_FALSE(widgets(*splash).btnOK->isVisibleTo(splash));
    EXPECT_EQ(widgets(*splash).lblTitle->text(), QStringLiteral("Four Channel Thermometer Software"));
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
        title = widgets(*box).lblTitle->text();
        okShown = widgets(*box).btnOK->isVisible();
        version = widgets(*box).lblVersion->text() + widgets(*box).lblVersionNumber->text();
        widgets(*box).btnOK->click();
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

} // namespace
} // namespace thermo4::ui::test
