#include "app/TfrmAlarmEvents.h"

#include "app/AlarmWatch.h"
#include "formats/SafeFileWriter.h"
#include "ui/Prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmAlarmEvents::TfrmAlarmEvents(AlarmWatch& watch, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_watch(watch), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmAlarmEvents"));
    setWindowTitle(QStringLiteral("Alarm Events"));
    setAttribute(Qt::WA_DeleteOnClose);
    Grid1 = new QTableWidget(0, 6, this);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    Grid1->setHorizontalHeaderLabels({QStringLiteral("Time"), QStringLiteral("Channel"),
                                      QStringLiteral("Kind"), QStringLiteral("Limit (°C)"),
                                      QStringLiteral("Value"), QStringLiteral("State")});
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->verticalHeader()->hide();
    Grid1->horizontalHeader()->setStretchLastSection(true);
    btnSave = new QPushButton(QStringLiteral("Save..."), this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    connect(btnSave, &QPushButton::clicked, this, &TfrmAlarmEvents::btnSaveClick);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &TfrmAlarmEvents::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Grid1);
    layout->addLayout(buttons);
    resize(620, 300);

    for (const alarm::AlarmEvent& event : watch.events()) {
        addRow(event);
    }
    Grid1->resizeColumnsToContents();
    connect(&watch, &AlarmWatch::alarmEvent, this, &TfrmAlarmEvents::addRow);
}

void TfrmAlarmEvents::addRow(const alarm::AlarmEvent& event) {
    const int row = Grid1->rowCount();
    Grid1->insertRow(row);
    const QStringList cells{event.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                            alarm::AlarmChannelText(event.channel),
                            alarm::AlarmKindText(event.kind),
                            event.hasLimit() ? alarm::AlarmLimitText(event.limit) : QString(),
                            alarm::AlarmValueText(event),
                            event.on ? QStringLiteral("on") : QStringLiteral("off")};
    for (int column = 0; column < cells.size(); ++column) {
        Grid1->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    Grid1->scrollToBottom();
}

bool TfrmAlarmEvents::btnSaveClick() {
    FileDialogRequest request;
    request.caption = QStringLiteral("Save Alarm Events");
    request.fileName = QStringLiteral("alarms.csv");
    request.filters = {{QStringLiteral("CSV file(*.csv)"), QStringLiteral("*.csv")}};
    request.defaultSuffix = QStringLiteral("csv");
    const FileDialogResult chosen = m_prompts.saveFile(request);
    if (!chosen.accepted()) {
        return false;
    }
    formats::SafeFileWriter writer(chosen.path);
    if (!writer.open() || !writer.write(alarm::AlarmEventsCsv(m_watch.events())) || !writer.commit()) {
        m_prompts.error(writer.error());
        return false;
    }
    return true;
}

} // namespace thermo4::ui
