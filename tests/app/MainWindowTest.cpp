#include "MainWindowFixture.h"
#include "session/MeterFactory.h"
#include "support/MeterSessionTestAccess.h"
#include "support/WindowTestAccess.h"

namespace thermo4::ui::test {
namespace {

TEST_F(MainWindowTest, FirstShowingOpensPanelAndGraphAndStartsThePoll) {
    TfrmMain& w = open(false);
    EXPECT_FALSE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
    EXPECT_TRUE(Child<QTimer>(w, "MaxMinTimer")->isActive());
    EXPECT_TRUE(action(w, "Setup1")->isVisible());
    w.show();

    EXPECT_TRUE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
    EXPECT_EQ(session::MeterSessionTestAccess::pollTimer(w.session())->interval(), 500);
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
    EXPECT_FALSE(widgets(*panelWindow).lblNoConnection->isHidden());
    EXPECT_TRUE(widgets(*panelWindow).ingBlutoothLink->isHidden());
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
        if (step.recording)
            m_window->session().recording().start();
        else
            m_window->session().recording().stop();
        m_usb->setPlugged(step.plugged);
        tick(step.ticks);
        EXPECT_EQ(controls(), step.expected) << step.name;
    }

    // Connected while a recording runs: Run stays off, Stop and the menu's Stop on; the menu's Run
    // keeps what it had (off since the connection was lost).
    m_usb->setPlugged(false);
    tick(3);
    m_window->session().recording().start();
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(controls(), (Controls{false, false, true, true, true, true, QStringLiteral("On Connection")}));
}

TEST_F(MainWindowTest, ConnectionShowsOnThePanel) {
    TfrmMain& w = open();
    TfrmPanel* panel = w.panelWindow();
    connectMeter();
    EXPECT_TRUE(widgets(*panel).lblNoConnection->isHidden());
    EXPECT_TRUE(session::MeterSessionTestAccess::linkState(w.session()).usbLink());
    EXPECT_EQ(w.statusText(0), QString());

    m_usb->setPlugged(false);
    tick(3);
    EXPECT_FALSE(widgets(*panel).lblNoConnection->isHidden());
    EXPECT_TRUE(widgets(*panel).ingBlutoothLink->isHidden());
    EXPECT_FALSE(session::MeterSessionTestAccess::linkState(w.session()).usbLink());
}

TEST_F(MainWindowTest, ThreeLostReadsInARowEndTheConnectionAndTwoDoNot) {
    TfrmMain& w = open();
    connectMeter();
    const link::LinkState& link = session::MeterSessionTestAccess::linkState(w.session());

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
    EXPECT_FALSE(session::MeterSessionTestAccess::linkState(w.session()).connected());
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
    const core::MeterStatus& status = session::MeterSessionTestAccess::linkState(w.session()).meterStatus;

    tick();
    EXPECT_FLOAT_EQ(status.reading[0], 25.3f);
    EXPECT_EQ(panelReading(0), QLocale().toString(25.3, 'f', 1));

    tick(2); // wrong start byte, wrong end byte: read, not lost, not decoded
    EXPECT_TRUE(session::MeterSessionTestAccess::linkState(w.session()).connected());
    EXPECT_EQ(session::MeterSessionTestAccess::linkState(w.session()).lostFrames, 0);
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

    w.session().recording().start();
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

TEST_F(MainWindowTest, ClosingStopsThePollAndDropsTheLink) {
    TfrmMain& w = open();
    connectMeter();
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
    EXPECT_FALSE(session::MeterSessionTestAccess::linkState(w.session()).connected());
    EXPECT_FALSE(session::MeterSessionTestAccess::linkState(w.session()).usbLink());
}

TEST_F(MainWindowTest, ClosingDuringADownloadClosesAfterIt) {
    TfrmMain& w = open();
    connectMeter();
    m_meter->clearReceived();
    int closeCalls = 0;
    bool closedInside = true;
    const int listener = m_clock.addListener([&](std::int64_t) {
        if (closeCalls == 0 && w.session().linkBusy()) {
            ++closeCalls;
            closedInside = w.close();
        }
    });
    w.LoadData1Click();
    m_clock.removeListener(listener);
    EXPECT_EQ(closeCalls, 1);
    EXPECT_FALSE(closedInside) << "the close waits for the download";
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(m_meter->receivedLetters().back(), 'q') << "the transfer was ended as a cancel ends it";
    EXPECT_TRUE(m_prompts.texts(ScriptedPrompts::Kind::Information).isEmpty());
    EXPECT_FALSE(QFile::exists(settingsFile()));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isVisible()) << "closed once the link was handed back";
    EXPECT_TRUE(QFile::exists(settingsFile()));
    EXPECT_FALSE(session::MeterSessionTestAccess::pollTimer(w.session())->isActive());
    EXPECT_FALSE(w.session().connected());
}

TEST_F(MainWindowTest, AfterAFewFailedIdentifiesTheStatusBarSaysHowToAttachAMeter) {
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    tick(TfrmMain::kHintAfterFailures - 1);
    EXPECT_EQ(w.statusText(0), QString());
    tick();
    EXPECT_EQ(w.statusText(0), QLatin1String(TfrmMain::kNoMeterHint));
    EXPECT_EQ(w.statusText(1), QStringLiteral("Off Connection"));
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(w.statusText(0), QString());
    EXPECT_EQ(w.statusText(1), QStringLiteral("On Connection"));
}

TEST_F(MainWindowTest, TheHintReplacesAnEarlierNoticeAndANewerNoticeStays) {
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    // A broker's or journal's notice at start does not keep the user from learning why no meter shows.
    w.showNotice(QStringLiteral("MQTT: connected"));
    tick(TfrmMain::kHintAfterFailures);
    EXPECT_EQ(w.statusText(0), QLatin1String(TfrmMain::kNoMeterHint));
    // The hint is given once: a notice after it is not overwritten by the next failed identifies.
    w.showNotice(QStringLiteral("MQTT: broker lost"));
    tick(3);
    EXPECT_EQ(w.statusText(0), QStringLiteral("MQTT: broker lost"));
}

TEST_F(MainWindowTest, APermissionNoticeIsShownOnceAndGoesWithTheConnection) {
    int asked = 0;
    m_services.takeLinkNotice = [&asked] {
        return asked++ == 0 ? QStringLiteral("no access: fix") : QString();
    };
    m_usb->setPlugged(false);
    TfrmMain& w = open();
    tick(TfrmMain::kHintAfterFailures + 2);
    // The notice says more than the hint of a meter not found, which does not replace it.
    EXPECT_EQ(w.statusText(0), QStringLiteral("no access: fix"));
    EXPECT_EQ(asked, TfrmMain::kHintAfterFailures + 2);
    m_usb->setPlugged(true);
    tick();
    EXPECT_EQ(w.statusText(0), QString());
}

TEST_F(MainWindowTest, TheBlinkTickTogglesAndBlinksTheLinkIconOnlyOnTheSerialLink) {
    TfrmMain& w = open();
    QLabel* icon = widgets(*w.panelWindow()).ingBlutoothLink;
    const bool phase = w.blinkPhase();
    w.MaxMinTimerTimer();
    EXPECT_NE(w.blinkPhase(), phase);
    EXPECT_TRUE(icon->isHidden());

    session::MeterSessionTestAccess::setLink(w.session(), link::LinkKind::Serial);
    for (int i = 0; i < 4; ++i) {
        w.MaxMinTimerTimer();
        EXPECT_EQ(!icon->isHidden(), w.blinkPhase());
    }
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
    EXPECT_TRUE(widgets(*panel).lblNoConnection->isHidden());
    tick();
    EXPECT_EQ(serialMeter.receivedLetters(), "KA") << "the poll reads over the serial link";
    for (int i = 0; i < 2; ++i) {
        w.MaxMinTimerTimer();
        EXPECT_EQ(!widgets(*panel).ingBlutoothLink->isHidden(), w.blinkPhase()) << "the link icon blinks";
    }

    w.BitBtn2Click();
    EXPECT_FALSE(w.session().connected());
    EXPECT_FALSE(widgets(*panel).lblNoConnection->isHidden());
    EXPECT_TRUE(widgets(*panel).ingBlutoothLink->isHidden());
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
    EXPECT_TRUE(widgets(*w.panelWindow()).lblNoConnection->isHidden());
    EXPECT_EQ(w.statusText(1), QStringLiteral("On Connection"));
    EXPECT_TRUE(w.findChildren<TfrmAbout*>().isEmpty());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TfrmAbout*>(top) && top->isVisible()) << "the progress window is closed";
}

TEST_F(MainWindowTest, EveryViewFollowsTheConnectionStateTheSessionDecides) {
    const QString port = QStringLiteral("/dev/rfcomm0");
    const QStringList emptyPorts{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1")};
    sim::VirtualMeter serialMeter(m_clock, 3);
    /// What the windows show of the connection, and which meter the next poll tick reads.
    struct Views {
        Controls controls;
        bool noConnectionLabel;
        bool linkIconBlinks;
        std::string polled;
        bool operator==(const Views&) const = default;
    };
    const Controls on{true, true, false, false, true, true, QStringLiteral("On Connection")};
    const Views overUsb{on, false, false, "usb"};
    const Views overSerial{on, false, true, "serial"};
    const Views none{
        {false, false, false, false, false, false, QStringLiteral("No Connection")}, true, false, ""};
    const auto search = [this](const QStringList& ports) {
        auto* devices = Child<QComboBox>(*m_window, "ComboBoxDeviceName");
        devices->clear();
        devices->addItems(ports);
        m_window->BitBtn1Click();
        processDeferredDeletes();
    };
    struct Case {
        const char* name;
        bool startOnUsb;
        std::function<void()> event;
        Views expected;
    };
    const Case cases[] = {
        {"search finds nothing, the USB meter still answers", true, [&] { search(emptyPorts); }, overUsb},
        {"search finds nothing, the serial meter still answers", false, [&] { search(emptyPorts); },
         overSerial},
        {"search finds nothing, the serial meter is gone", false,
         [&] {
             m_serial.detach(port);
             search(emptyPorts);
         },
         none},
        {"search finds the serial meter", true, [&] { search(emptyPorts + QStringList{port}); }, overSerial},
        {"disconnect", false, [&] { m_window->BitBtn2Click(); }, none},
        {"the serial link drops", false,
         [&] {
             m_serial.detach(port);
             tick(3);
         },
         none},
        {"the USB link drops", true,
         [&] {
             m_usb->setPlugged(false);
             tick(3);
         },
         none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_window.reset();
        processDeferredDeletes();
        m_serial.attach(port, serialMeter);
        m_usb->setPlugged(c.startOnUsb);
        TfrmMain& w = open();
        if (c.startOnUsb)
            connectMeter();
        else
            ASSERT_TRUE(w.session().connectSerial(port));
        c.event();

        Views shown{controls(), !widgets(*w.panelWindow()).lblNoConnection->isHidden(), false, ""};
        const QLabel* icon = widgets(*w.panelWindow()).ingBlutoothLink;
        for (int i = 0; i < 2; ++i) {
            w.MaxMinTimerTimer();
            shown.linkIconBlinks = shown.linkIconBlinks || !icon->isHidden();
        }
        m_meter->clearReceived();
        serialMeter.clearReceived();
        tick();
        shown.polled = m_meter->receivedLetters() == "A"      ? "usb"
                       : serialMeter.receivedLetters() == "A" ? "serial"
                                                              : "";
        EXPECT_EQ(shown, c.expected) << shown.controls << " label " << shown.noConnectionLabel << " icon "
                                     << shown.linkIconBlinks << " polled '" << shown.polled << "'";
        if (w.session().serialLink()) {
            EXPECT_EQ(Child<QComboBox>(w, "ComboBoxDeviceName")->currentText(), port);
        }
    }
}

TEST_F(MainWindowTest, AReopenedPanelShowsTheLinkIconOnlyForTheSerialLink) {
    TfrmMain& w = open();
    connectMeter();
    ASSERT_TRUE(w.panelWindow()->closeWindow());
    processDeferredDeletes();
    action(w, "ControlPanel1")->trigger();
    EXPECT_TRUE(widgets(*w.panelWindow()).ingBlutoothLink->isHidden());
    EXPECT_TRUE(widgets(*w.panelWindow()).lblNoConnection->isHidden());
}

} // namespace
// Two virtual meters stand for two USB devices: the window lists both, switches on a choice,
// names the meter it holds, and the next start takes the one chosen last.
TEST_F(MainWindowTest, TheDeviceListSwitchesUsbMetersAndTheChoiceOutlivesTheWindow) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    QStringList scenarios;
    for (const char* name : {"a", "b"}) {
        QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(QLatin1String(name))));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"usb_path": "%1", "serial": "SN-%2"})")
                       .arg(m_dir.filePath(QStringLiteral("hidraw-%1").arg(QLatin1String(name))),
                            QString::fromLatin1(name).toUpper())
                       .toUtf8());
        scenarios.append(file.fileName());
    }
    session::MeterChoice choice{session::MeterKind::Virtual, {}, scenarios[0], true};
    choice.moreScenarios = {scenarios[1]};
    const auto start = [&](std::unique_ptr<session::Meter>& meter) -> TfrmMain& {
        QString error;
        meter = session::MakeMeter(choice, m_clock, &error);
        m_services.session = &meter->session();
        m_services.meter = meter.get();
        TfrmMain& w = open();
        w.MainTimerTimer();
        return w;
    };

    std::unique_ptr<session::Meter> meter;
    TfrmMain& w = start(meter);
    EXPECT_EQ(w.windowTitle(), "thermo4 - SN-A");
    EXPECT_EQ(Child<QLabel>(w, "StatusPanelMeter")->text(), "SN-A");
    auto* devices = Child<QComboBox>(w, "ComboBoxDeviceName");
    EXPECT_EQ(devices->currentText(), "USB 0-1: " + m_dir.filePath("hidraw-a"));
    const int second = devices->findText("USB 0-2: " + m_dir.filePath("hidraw-b"));
    ASSERT_GE(second, 0);
    emit devices->activated(second);
    EXPECT_EQ(w.windowTitle(), "thermo4");
    w.MainTimerTimer();
    EXPECT_EQ(w.windowTitle(), "thermo4 - SN-B");
    m_window.reset();
    meter.reset();

    TfrmMain& again = start(meter);
    EXPECT_EQ(again.windowTitle(), "thermo4 - SN-B");
    m_window.reset();
    meter.reset();
    qputenv("XDG_RUNTIME_DIR", runtime);
}

} // namespace thermo4::ui::test
