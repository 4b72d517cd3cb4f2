#include "MainWindowFixture.h"

#include "app/AlarmWatch.h"
#include "app/TfrmAlarmEvents.h"
#include "app/TfrmSetupAlarms.h"
#include "formats/JournalReader.h"
#include "formats/JournalWriter.h"
#include "session/RecordingJournal.h"
#include "support/WindowTestAccess.h"

#include <QCheckBox>
#include <QLineEdit>

namespace thermo4::ui::test {
namespace {

alarm::AlarmSettings HighLimitOnT1(double limit) {
    alarm::AlarmSettings settings;
    settings.channel[0] = {true, limit, std::nullopt};
    return settings;
}

QStringList MarkTexts(const chart::Graph1& graph) {
    QStringList texts;
    for (int i = GraphShared::kMarkBase + 1; i < graph.graphAnnotationCount(); ++i) {
        texts << graph.graphAnnotationText(i);
    }
    return texts;
}

TEST_F(MainWindowTest, AnAlarmMarksThePanelTheGraphTheStatusBarAndTheRecording) {
    TfrmMain& w = open();
    w.session().recording().setRealTimeRate(1);
    m_meter->setFixedCelsius(0, 25.0);
    connectMeter();
    w.alarms().setSettings(HighLimitOnT1(30.0));
    TfrmGraph& graph = *TfrmGraph::realTimeWindow(w);
    ASSERT_EQ(widgets(graph).Graph1->limitLines().size(), 1u);
    EXPECT_EQ(widgets(graph).Graph1->limitLines()[0].subset, 0);
    EXPECT_EQ(widgets(graph).Graph1->limitLines()[0].y, 30.0);

    w.session().recording().start();
    tick();
    EXPECT_EQ(w.panelWindow()->channelAlarm(0), QString());
    m_meter->setFixedCelsius(0, 35.0);
    tick();
    EXPECT_EQ(w.panelWindow()->channelAlarm(0), QStringLiteral("T1 alarm: T1 > 30.0 (35.0)"));
    EXPECT_EQ(w.panelWindow()->channelAlarm(1), QString());
    EXPECT_EQ(Child<QLabel>(w, "StatusPanelAlarm")->text(), QStringLiteral("Alarm: T1 > 30.0"));
    EXPECT_TRUE(w.statusText(0).startsWith(QStringLiteral("Alarm: T1 > 30.0 (35.0) at ")))
        << w.statusText(0).toStdString();

    // A panel opened while the alarm is on shows it too.
    ASSERT_TRUE(w.panelWindow()->closeWindow());
    processDeferredDeletes();
    w.ControlPanel1Click();
    ASSERT_TRUE(w.panelWindow());
    EXPECT_EQ(w.panelWindow()->channelAlarm(0), QStringLiteral("T1 alarm: T1 > 30.0 (35.0)"));

    m_meter->setFixedCelsius(0, 29.0);
    tick();
    EXPECT_EQ(w.panelWindow()->channelAlarm(0), QString());
    EXPECT_TRUE(Child<QLabel>(w, "StatusPanelAlarm")->isHidden());
    EXPECT_EQ(MarkTexts(*widgets(graph).Graph1), (QStringList{"T1 > 30.0", "T1 back"}));

    // The journal keeps both as notes that its reader passes over.
    formats::JournalWriter* writer = w.journal().writer();
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->waitUntilWritten(10000));
    QFile file(writer->filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QRegularExpression(R"(\n# alarm: [0-9T:.-]+: T1 > 30\.0 \(35\.0\)\n)")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(R"(\n# alarm: [0-9T:.-]+: T1 back \(29\.0\)\n)")));
    const formats::JournalContents read = formats::JournalReader::read(writer->filePath());
    EXPECT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(int(read.samples.size()), sampleCount(w));
    EXPECT_EQ(read.droppedLines, 0);

    // The events window lists both and saves them as CSV.
    w.AlarmEvents1Click();
    TfrmAlarmEvents* events = w.alarmEventsWindow();
    ASSERT_TRUE(events);
    ASSERT_EQ(widgets(*events).Grid1->rowCount(), 2);
    EXPECT_EQ(widgets(*events).Grid1->item(1, 5)->text(), QStringLiteral("off"));
    const QString csv = m_dir.filePath(QStringLiteral("alarms.csv"));
    m_prompts.queueSaveFile(csv);
    ASSERT_TRUE(events->btnSaveClick());
    QFile saved(csv);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("time,channel,kind,limit,value,state"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",T1,high,30.0,35.0,on"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(",T1,high,30.0,29.0,off"))) << lines[2].toStdString();
}

TEST_F(MainWindowTest, AlarmLimitsAreEnteredInTheMetersUnitAndKeptInTheSettings) {
    TfrmMain& w = open();
    alarm::AlarmSettings start = HighLimitOnT1(100.0);
    TfrmSetupAlarms dialog(start, true, /*fahrenheit=*/true, m_prompts, &w);
    EXPECT_EQ(widgets(dialog).edtHigh[0]->text(), QStringLiteral("212.0"));
    EXPECT_EQ(widgets(dialog).edtHysteresis->text(), QStringLiteral("0.9"));

    // A text that is no number, and a low limit above the high one, keep the dialog open.
    widgets(dialog).edtLow[1]->setText(QStringLiteral("abc"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    widgets(dialog).edtLow[1]->setText(QStringLiteral("230"));
    widgets(dialog).edtHigh[1]->setText(QStringLiteral("50"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(m_prompts.texts(ScriptedPrompts::Kind::Warning),
              (QStringList{"abc is not valid.\n", "The low limit of T2 must be below its high limit."}));

    widgets(dialog).edtHigh[1]->clear();
    widgets(dialog).chkOn[1]->setChecked(true);
    widgets(dialog).edtHold->setText(QStringLiteral("5"));
    widgets(dialog).chkSound->setChecked(false);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const alarm::AlarmSettings entered = dialog.acceptedSettings();
    EXPECT_NEAR(*entered.channel[0].high, 100.0, 1e-9);
    EXPECT_NEAR(*entered.channel[1].low, 110.0, 1e-9);
    EXPECT_FALSE(entered.channel[1].high);
    EXPECT_NEAR(entered.hysteresis, 0.5, 1e-9);
    EXPECT_EQ(entered.holdSeconds, 5.0);

    // What the settings keep comes back in the next run.
    w.alarms().setSettings(entered);
    w.alarms().setSoundOn(dialog.soundOn());
    QSettings settings(settingsFile(), QSettings::IniFormat);
    w.alarms().writeSettings(settings);
    AlarmWatch next(w.session());
    next.readSettings(settings);
    EXPECT_EQ(next.settings(), entered);
    EXPECT_FALSE(next.soundOn());
}

} // namespace
} // namespace thermo4::ui::test
