#include "app/AlarmWatch.h"
#include "app/DesktopNotifier.h"
#include "app/TfrmAlarmEvents.h"
#include "app/TfrmMain.h"
#include "app/TfrmSetupAlarms.h"
#include "core/TDateTime.h"
#include "formats/JournalFormat.h"
#include "formats/JournalWriter.h"
#include "graph/TfrmGraph.h"
#include "panel/TfrmPanel.h"
#include "session/RecordingJournal.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

namespace thermo4::ui {

namespace {

/// "T1 > 300.0 (301.2)", "T3 no reading", "meter lost".
QString conditionWithValue(const alarm::AlarmEvent& event) {
    const QString value = alarm::AlarmValueText(event);
    const QString condition = alarm::AlarmConditionText(event);
    return event.kind == alarm::AlarmKind::High || event.kind == alarm::AlarmKind::Low
               ? QStringLiteral("%1 (%2)").arg(condition, value)
               : condition;
}

} // namespace

void TfrmMain::createAlarms() {
    m_alarms = new AlarmWatch(*m_session, this);
    m_notifier = new DesktopNotifier(this);
    {
        const auto settings = openSettings();
        m_alarms->readSettings(*settings);
    }
    connect(m_alarms, &AlarmWatch::alarmEvent, this, &TfrmMain::alarmEvent);
    connect(m_alarms, &AlarmWatch::changed, this, &TfrmMain::showAlarms);

    Alarms1 = new QAction(QStringLiteral("&Alarms..."), this);
    Alarms1->setObjectName(QStringLiteral("Alarms1"));
    connect(Alarms1, &QAction::triggered, this, &TfrmMain::Alarms1Click);
    AlarmEvents1 = new QAction(QStringLiteral("Alarm &Events"), this);
    AlarmEvents1->setObjectName(QStringLiteral("AlarmEvents1"));
    connect(AlarmEvents1, &QAction::triggered, this, &TfrmMain::AlarmEvents1Click);
    RealTime1->addSeparator();
    RealTime1->addActions({Alarms1, AlarmEvents1});

    StatusPanelAlarm = new QLabel(statusBar());
    StatusPanelAlarm->setObjectName(QStringLiteral("StatusPanelAlarm"));
    StatusPanelAlarm->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    StatusPanelAlarm->hide();
    statusBar()->addPermanentWidget(StatusPanelAlarm);
}

TfrmAlarmEvents* TfrmMain::alarmEventsWindow() const {
    return m_alarmEvents;
}

void TfrmMain::alarmEvent(const alarm::AlarmEvent& event) {
    const QString time = event.time.toString(QStringLiteral("HH:mm:ss"));
    const QString what = conditionWithValue(event);
    showNotice(event.on ? QStringLiteral("Alarm: %1 at %2").arg(what, time)
                        : QStringLiteral("Alarm over: %1 at %2").arg(what, time));
    m_notifier->notify(event.on ? QStringLiteral("thermo4 alarm: %1").arg(alarm::AlarmConditionText(event))
                                : QStringLiteral("thermo4: %1").arg(alarm::AlarmMarkText(event)),
                       QStringLiteral("%1 at %2").arg(what, time));
    if (m_alarms->soundOn())
        QApplication::beep();

    // A running recording keeps each beginning and end with its samples.
    if (!m_session->recording().recording())
        return;
    const QString mark = alarm::AlarmMarkText(event);
    if (TfrmGraph* graph = TfrmGraph::realTimeWindow(*this))
        graph->markAlarm(event.time, event.channel, mark);
    if (formats::JournalWriter* writer = m_journal->writer()) {
        const double days = core::TDateTimeFromDateTime(event.time);
        const QString value = alarm::AlarmValueText(event);
        writer->appendNote(days,
                           formats::JournalAlarmLine(
                               days, value.isEmpty() ? mark : QStringLiteral("%1 (%2)").arg(mark, value)));
    }
}

void TfrmMain::showAlarms() {
    const alarm::AlarmMonitor& monitor = m_alarms->monitor();
    QStringList on;
    for (const alarm::AlarmEvent& event : monitor.active())
        on << alarm::AlarmConditionText(event);
    if (TfrmPanel* panel = panelWindow()) {
        for (int channel = 0; channel < 4; ++channel) {
            QStringList conditions;
            for (const alarm::AlarmEvent& event : monitor.active()) {
                if (event.channel == channel)
                    conditions << conditionWithValue(event);
            }
            panel->setChannelAlarm(channel, conditions.isEmpty()
                                                ? QString()
                                                : QStringLiteral("T%1 alarm: %2")
                                                      .arg(channel + 1)
                                                      .arg(conditions.join(QStringLiteral(", "))));
        }
    }
    if (TfrmGraph* graph = TfrmGraph::realTimeWindow(*this))
        graph->showAlarmLimits(m_alarms->settings());
    StatusPanelAlarm->setText(on.isEmpty() ? QString()
                                           : QStringLiteral("Alarm: ") + on.join(QStringLiteral(", ")));
    StatusPanelAlarm->setVisible(!on.isEmpty());
}

void TfrmMain::Alarms1Click() {
    const bool fahrenheit = m_session->connected() && m_session->meterStatus().unitFahrenheit;
    TfrmSetupAlarms dialog(m_alarms->settings(), m_alarms->soundOn(), fahrenheit, *m_services.prompts, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_alarms->setSoundOn(dialog.soundOn());
    m_alarms->setSettings(dialog.acceptedSettings());
    // Kept at once, not only when the window closes: alarms matter most when something goes wrong.
    const auto settings = openSettings();
    m_alarms->writeSettings(*settings);
    settings->sync();
}

void TfrmMain::AlarmEvents1Click() {
    if (!m_alarmEvents) {
        m_alarmEvents = new TfrmAlarmEvents(*m_alarms, *m_services.prompts, this);
        m_alarmEvents->setWindowFlag(Qt::Tool);
    }
    m_alarmEvents->show();
    m_alarmEvents->raise();
    m_alarmEvents->activateWindow();
}

} // namespace thermo4::ui
