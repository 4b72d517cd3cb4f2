#include "setup/TfrmSetup.h"

#include "core/Calibration.h"
#include "core/SetupInput.h"
#include "ui/MainFrame.h"
#include "ui/Prompts.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace thermo4::ui {

using link::SetupOperation;
using link::SetupOutcome;

const QColor TfrmSetup::kOkColor(0, 128, 0);
const QColor TfrmSetup::kFailColor(255, 0, 0);
const char* const TfrmSetup::kUsbOnlyMessage =
    "The meter setup talks to the meter over USB only.\n"
    "Disconnect the serial link and connect the meter with its USB cable.";

namespace {

/// Widest text a status label shows.
const QString kWidestStatus = QStringLiteral("Fail code=9999");
/// Widest texts of the fields that get a width of their own.
const QString kWidestMeterTime = QStringLiteral("05/09/2017   08:30:00");
const QString kWidestCalibration = QStringLiteral("-123.45678901");
const QString kWidestSetting = QStringLiteral("30 minutes");
const QString kWidestAddress = QStringLiteral("16777215");

int textWidth(const QWidget* widget, const QString& text) {
    // Room for the frame and margins of a line edit around the text.
    constexpr int kFramePx = 16;
    return QFontMetrics(widget->font()).horizontalAdvance(text) + kFramePx;
}

} // namespace

TfrmSetup::TfrmSetup(MainFrame& frame) : MdiChild(frame) {
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(QStringLiteral("Data Logger Setup"));

    auto* operations = new QVBoxLayout;
    Button1 =
        button("Button1", QStringLiteral("Adjust Meter Time To Computer Time"), &TfrmSetup::Button1Click);
    lblOK1 = statusLabel("lblOK1");
    operations->addWidget(framed(QString(), statusRow(Button1, lblOK1)));
    operations->addWidget(createIntervalGroup());
    Button3 = button("Button3", QStringLiteral("Erase Meter Memory"), &TfrmSetup::Button3Click);
    lblOK3 = statusLabel("lblOK3");
    operations->addWidget(framed(QString(), statusRow(Button3, lblOK3)));
    Button5 = button("Button5", QStringLiteral("setup Other"), &TfrmSetup::Button5Click);
    lblOK4 = statusLabel("lblOK4");
    operations->addWidget(framed(QStringLiteral("set default value"), statusRow(Button5, lblOK4)));
    Button6 = button("Button6", QStringLiteral("Setup All"), &TfrmSetup::Button6Click);
    operations->addWidget(Button6);
    operations->addStretch();

    auto* service = new QVBoxLayout;
    service->addWidget(createCalibrationGroup());
    service->addWidget(createEepromGroup());
    service->addWidget(createQuickRecordGroup());
    service->addStretch();

    // The groups scroll inside the window when the client area is too small for all of them.
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("setupContent"));
    auto* top = new QHBoxLayout(m_content);
    top->addWidget(createInformationGroup(), 0, Qt::AlignTop);
    top->addLayout(operations);
    top->addLayout(service);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("setupScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_content);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    resize(m_content->sizeHint());
}

// ---------------------------------------------------------------- building the window

QPushButton* TfrmSetup::button(const char* name, const QString& caption, void (TfrmSetup::*handler)()) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    connect(b, &QPushButton::clicked, this, handler);
    return b;
}

QLabel* TfrmSetup::statusLabel(const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(kWidestStatus));
    // Empty until its operation has run: an "OK" there would claim a success that never happened.
    setStatus(label, QString(), kOkColor);
    return label;
}

QHBoxLayout* TfrmSetup::statusRow(QPushButton* button, QLabel* status, bool right) {
    auto* row = new QHBoxLayout;
    if (right)
        row->addStretch();
    row->addWidget(button);
    row->addWidget(status);
    return row;
}

QGroupBox* TfrmSetup::framed(const QString& title, QLayout* layout) {
    auto* group = new QGroupBox(title, this);
    group->setLayout(layout);
    return group;
}

QLineEdit* TfrmSetup::field(const char* name, const QString& text, bool readOnly) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(readOnly);
    return edit;
}

QGroupBox* TfrmSetup::createInformationGroup() {
    auto* group = new QGroupBox(QStringLiteral("Meter DataLogger Information"), this);
    struct Entry {
        const char* caption;
        const char* name;
    };
    // In the order the information read fills them.
    const Entry entries[] = {
        {"FirmWare Version:", "txtVer"},
        {"Meter Time:", "txtMeterTime"},
        {"Recording Interval:", "txtInt"},
        {"Data Sets In Memory:", "txtDataSets"},
        {"Memory Available:", "txtMemoryAvailable"},
        {"ALARM:", "txtAlarm"},
        {"Hi:", "txtHi"},
        {"Lo:", "txtLo"},
        {"T1-T2:", "txtT1_T2"},
        {"Thermo Type:", "txtThermoType"},
        {"time to off:", "txtSleepTime"},
        {"T1 offset:", "txtT1offset"},
        {"T2 offset:", "txtT2offset"},
        {"T3 offset:", "txtT3offset"},
        {"T4 offset:", "txtT4offset"},
        {"SN:", "txtSN"},
    };
    QLabel* captions[16] = {};
    for (std::size_t i = 0; i < m_infoFields.size(); ++i) {
        m_infoFields[i] = field(entries[i].name, QString(), true);
        captions[i] = new QLabel(QLatin1String(entries[i].caption), group);
        captions[i]->setBuddy(m_infoFields[i]);
    }
    // The left column holds the meter time and the serial number, the right one short settings.
    for (std::size_t i = 0; i < m_infoFields.size(); ++i) {
        const bool left = i <= 4 || i == 10 || i == 15;
        m_infoFields[i]->setFixedWidth(textWidth(this, left ? kWidestMeterTime : kWidestSetting));
    }

    // Left: the logger's state; right: the measuring settings.
    auto* grid = new QGridLayout;
    int row = 0;
    const auto add = [&](std::size_t index, int column) {
        grid->addWidget(captions[index], row, column, Qt::AlignRight);
        grid->addWidget(m_infoFields[index], row, column + 1);
        ++row;
    };
    for (std::size_t index : {0, 1}) // firmware, meter time
        add(index, 0);
    auto* timeHint = new QLabel(QStringLiteral("MM/DD/YY   hh:mm:ss"), group);
    grid->addWidget(timeHint, row++, 1);
    for (std::size_t index : {2, 3, 4, 15, 10}) // interval, data sets, memory, SN, time to off
        add(index, 0);
    row = 0;
    for (std::size_t index : {5, 6, 7, 9, 8, 11, 12, 13, 14}) // alarm, hi, lo, type, T1-T2, offsets
        add(index, 2);
    grid->setColumnMinimumWidth(2, 12);

    Button4 = button("Button4", QStringLiteral("Read  "), &TfrmSetup::Button4Click);
    lblOK5 = statusLabel("lblOK5");
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(grid);
    layout->addLayout(statusRow(Button4, lblOK5, true));
    return group;
}

QGroupBox* TfrmSetup::createIntervalGroup() {
    auto* group = new QGroupBox(QStringLiteral("Meter Recording Interval "), this);
    const QString hint = QStringLiteral("mm:ss(00:01~59:59)");
    const auto twoDigits = [&](const char* name, const QString& text) {
        QLineEdit* edit = field(name, QString());
        edit->setInputMask(QStringLiteral("99;_"));
        edit->setText(text);
        edit->setToolTip(hint);
        edit->setFixedWidth(textWidth(edit, QStringLiteral("000")));
        return edit;
    };
    edtInt1 = twoDigits("edtInt1", QStringLiteral("00"));
    edtInt2 = twoDigits("edtInt2", QStringLiteral("02"));
    Button2 = button("Button2", QStringLiteral("Adjust Meter Recording Interval "), &TfrmSetup::Button2Click);
    lblOK2 = statusLabel("lblOK2");

    auto* fields = new QHBoxLayout;
    fields->addWidget(edtInt1);
    fields->addWidget(new QLabel(QStringLiteral(":"), group));
    fields->addWidget(edtInt2);
    fields->addWidget(new QLabel(QStringLiteral("mm:ss"), group));
    fields->addStretch();
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(fields);
    layout->addLayout(statusRow(Button2, lblOK2));
    return group;
}

QGroupBox* TfrmSetup::createCalibrationGroup() {
    auto* group = new QGroupBox(QStringLiteral("Adjust value"), this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Gain"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("EXT offset"), group), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("CJC offset"), group), 0, 3);
    const int width = textWidth(this, kWidestCalibration);
    for (int ch = 0; ch < 4; ++ch) {
        const QByteArray t = "T" + QByteArray::number(ch + 1);
        m_gainFields[ch] = field(("edt" + t + "Gain").constData(), QStringLiteral("1"), true);
        m_extOffsetFields[ch] = field(("edt" + t + "_EXT_offset").constData(), QStringLiteral("0"), true);
        m_cjcOffsetFields[ch] = field(("edt" + t + "_CJC_offset").constData(), QStringLiteral("0"), true);
        grid->addWidget(new QLabel(QString::fromLatin1(t), group), ch + 1, 0);
        for (int column = 0;
             QLineEdit * edit : {m_gainFields[ch], m_extOffsetFields[ch], m_cjcOffsetFields[ch]}) {
            edit->setFixedWidth(width);
            grid->addWidget(edit, ch + 1, ++column);
        }
    }
    Button7 = button("Button7", QStringLiteral("Read  "), &TfrmSetup::Button7Click);
    lblOK6 = statusLabel("lblOK6");
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(grid);
    layout->addLayout(statusRow(Button7, lblOK6, true));
    return group;
}

QGroupBox* TfrmSetup::createEepromGroup() {
    auto* group = new QGroupBox(QStringLiteral("EEProm"), this);
    txtWAddress = field("txtWAddress", QStringLiteral("0"));
    txtWData = field("txtWData", QStringLiteral("0"));
    edtPassword = field("edtPassword", QStringLiteral("0"));
    edtPassword->setEchoMode(QLineEdit::Password);
    txtRAddress = field("txtRAddress", QStringLiteral("0"));
    txtRData = field("txtRData", QStringLiteral("0"), true);
    Button8 = button("Button8", QStringLiteral("Write EEProm"), &TfrmSetup::Button8Click);
    Button9 = button("Button9", QStringLiteral("Read EEProm"), &TfrmSetup::Button9Click);
    lblWriteOK = statusLabel("lblWriteOK");
    lblReadOK = statusLabel("lblReadOK");
    for (QLineEdit* edit : {txtWAddress, txtWData, edtPassword, txtRAddress, txtRData})
        edit->setFixedWidth(textWidth(this, kWidestAddress));

    auto* grid = new QGridLayout(group);
    const auto caption = [&](const char* text, int row, int column) {
        grid->addWidget(new QLabel(QLatin1String(text), group), row, column, Qt::AlignRight);
    };
    caption("Address", 0, 0);
    grid->addWidget(txtWAddress, 0, 1);
    caption("Data", 0, 2);
    grid->addWidget(txtWData, 0, 3);
    caption("Password", 1, 0);
    grid->addWidget(edtPassword, 1, 1);
    grid->addWidget(Button8, 1, 2, 1, 2);
    grid->addWidget(lblWriteOK, 1, 4);
    caption("Address", 2, 0);
    grid->addWidget(txtRAddress, 2, 1);
    caption("Data", 2, 2);
    grid->addWidget(txtRData, 2, 3);
    grid->addWidget(Button9, 3, 2, 1, 2);
    grid->addWidget(lblReadOK, 3, 4);
    return group;
}

QGroupBox* TfrmSetup::createQuickRecordGroup() {
    auto* group = new QGroupBox(QStringLiteral("QUICK REC"), this);
    txtQuick_REC_NUM = field("txtQuick_REC_NUM", QStringLiteral("1"));
    txtInterval = field("txtInterval", QStringLiteral("2"));
    Button10 = button("Button10", QStringLiteral("QUICK REC"), &TfrmSetup::Button10Click);
    lblQUICKRECOK = statusLabel("lblQUICKRECOK");
    for (QLineEdit* edit : {txtQuick_REC_NUM, txtInterval})
        edit->setFixedWidth(textWidth(this, kWidestAddress));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("NUM"), group), 0, 0, Qt::AlignRight);
    grid->addWidget(txtQuick_REC_NUM, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("interval"), group), 0, 2, Qt::AlignRight);
    grid->addWidget(txtInterval, 0, 3);
    grid->addWidget(Button10, 1, 2, 1, 2);
    grid->addWidget(lblQUICKRECOK, 1, 4);
    return group;
}

// ---------------------------------------------------------------- the operations

void TfrmSetup::run(const link::SetupRequest& request) {
    session().runSetup(request, this);
}

void TfrmSetup::runOperation(const std::function<void()>& operation) {
    if (m_running)
        return;
    if (session().serialLink()) {
        prompts().information(QString::fromLatin1(kUsbOnlyMessage));
        return;
    }
    // However the operation ends (an error escaping it included), the window is usable again,
    // the cursor is back and the link is handed back to the poll.
    struct Running {
        TfrmSetup& window;
        explicit Running(TfrmSetup& w) : window(w) {
            window.m_running = true;
            window.setButtonsEnabled(false);
        }
        ~Running() {
            window.setHourglass(false);
            window.setButtonsEnabled(true);
            window.m_running = false;
        }
    };
    {
        Running running(*this);
        operation();
    }
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        QTimer::singleShot(0, this, [this] { closeWindow(); });
    }
}

void TfrmSetup::setButtonsEnabled(bool enabled) {
    for (QPushButton* b :
         {Button1, Button2, Button3, Button4, Button5, Button6, Button7, Button8, Button9, Button10})
        b->setEnabled(enabled);
}

void TfrmSetup::Button1Click() {
    runOperation([this] { run(link::SetupRequest::adjustTime()); });
}

void TfrmSetup::Button2Click() {
    runOperation([this] { run(link::SetupRequest::adjustInterval(edtInt1->text(), edtInt2->text())); });
}

bool TfrmSetup::eraseConfirmed() {
    return prompts().confirm(QString::fromLatin1(kEraseQuestion));
}

void TfrmSetup::Button3Click() {
    runOperation([this] {
        if (eraseConfirmed())
            run(link::SetupRequest::erase());
    });
}

void TfrmSetup::Button4Click() {
    runOperation([this] { run(link::SetupRequest::readInfo()); });
}

void TfrmSetup::Button5Click() {
    runOperation([this] { run(link::SetupRequest::setDefaults()); });
}

void TfrmSetup::Button6Click() {
    runOperation([this] {
        // Its erase step (and the default settings before it) empty the memory as Erase does.
        if (!eraseConfirmed())
            return;
        // One hold across every step.
        session().runSetupAll(edtInt1->text(), edtInt2->text(), this);
    });
}

void TfrmSetup::Button7Click() {
    runOperation([this] { run(link::SetupRequest::calibration()); });
}

void TfrmSetup::Button8Click() {
    runOperation([this] {
        run(link::SetupRequest::eepromWrite(edtPassword->text(), txtWAddress->text(), txtWData->text()));
    });
}

void TfrmSetup::Button9Click() {
    runOperation([this] { run(link::SetupRequest::eepromRead(txtRAddress->text())); });
}

void TfrmSetup::Button10Click() {
    runOperation(
        [this] { run(link::SetupRequest::quickRecord(txtQuick_REC_NUM->text(), txtInterval->text())); });
}

// ---------------------------------------------------------------- progress

void TfrmSetup::operationStarted(SetupOperation operation) {
    if (QLabel* label = labelOf(operation)) {
        m_previousStatus = label->text();
        m_previousColor = label->palette().color(QPalette::WindowText);
        setStatus(label, QString(), kOkColor);
    }
    if (operation == SetupOperation::ReadInfo) {
        for (QLineEdit* edit : m_infoFields)
            edit->clear();
    } else if (operation == SetupOperation::Calibration) {
        for (const auto* fields : {&m_cjcOffsetFields, &m_gainFields, &m_extOffsetFields})
            for (QLineEdit* edit : *fields)
                edit->clear();
    }
    repaint();
}

void TfrmSetup::setHourglass(bool on) {
    if (on == m_hourglass)
        return;
    m_hourglass = on;
    if (on)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void TfrmSetup::operationFinished(const SetupOutcome& outcome) {
    QLabel* label = labelOf(outcome.operation);
    switch (outcome.end) {
    case SetupOutcome::End::Busy:
        // Another transaction holds the link: nothing was sent, the label shows what it showed.
        if (label)
            setStatus(label, m_previousStatus, m_previousColor);
        return;
    case SetupOutcome::End::Refused:
        // A refused interval leaves its label as it was; the service fields' labels stay cleared.
        if (label && outcome.operation == SetupOperation::AdjustInterval)
            setStatus(label, m_previousStatus, m_previousColor);
        showRefusal(outcome);
        return;
    case SetupOutcome::End::Ok:
    case SetupOutcome::End::Failed:
        break;
    }
    if (label)
        setStatus(label, outcome.statusText(), outcome.ok() ? kOkColor : kFailColor);
    if (outcome.info) {
        const auto fields = outcome.info->fields();
        for (std::size_t i = 0; i < fields.size(); ++i)
            m_infoFields[i]->setText(fields[i].text);
    }
    if (outcome.calibration) {
        const QString point = QLocale().decimalPoint();
        const QChar decimal = point.isEmpty() ? QChar(u'.') : point.at(0);
        for (std::size_t ch = 0; ch < 4; ++ch) {
            m_gainFields[ch]->setText(core::CalibrationText(outcome.calibration->gain[ch], decimal));
            m_extOffsetFields[ch]->setText(
                core::CalibrationText(outcome.calibration->externalOffset[ch], decimal));
            m_cjcOffsetFields[ch]->setText(
                core::CalibrationText(outcome.calibration->cjcOffset[ch], decimal));
        }
    }
    if (outcome.operation == SetupOperation::EepromRead)
        txtRData->setText(outcome.eepromValue ? QString::number(*outcome.eepromValue) : QString());
    if (!outcome.ok() && !outcome.message.isEmpty())
        prompts().information(outcome.message);
}

void TfrmSetup::showRefusal(const SetupOutcome& outcome) {
    // The interval and the access code have messages of their own; a field that is
    // not a whole number gets the conversion error.
    if (outcome.message == core::InvalidIntervalMessage() || outcome.message == core::AccessCodeMessage())
        prompts().information(outcome.message);
    else
        prompts().error(outcome.message);
}

QLabel* TfrmSetup::labelOf(SetupOperation operation) const {
    switch (operation) {
    case SetupOperation::ReadInfo:
        return lblOK5;
    case SetupOperation::AdjustTime:
        return lblOK1;
    case SetupOperation::AdjustInterval:
        return lblOK2;
    case SetupOperation::Erase:
        return lblOK3;
    case SetupOperation::SetDefaults:
        return lblOK4;
    case SetupOperation::Calibration:
        return lblOK6;
    case SetupOperation::EepromWrite:
        return lblWriteOK;
    case SetupOperation::EepromRead:
        return lblReadOK;
    case SetupOperation::QuickRecord:
        return lblQUICKRECOK;
    case SetupOperation::BluetoothOn:
        return nullptr;
    }
    return nullptr;
}

void TfrmSetup::setStatus(QLabel* label, const QString& text, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setText(text);
}

void TfrmSetup::showEvent(QShowEvent* event) {
    MdiChild::showEvent(event);
    const QString point = QLocale().decimalPoint();
    session().setDecimalPoint(point.isEmpty() ? QChar(u'.') : point.at(0));
    if (m_placed)
        return;
    m_placed = true;
    // As large as its groups need, no larger than the frame's client area, and centred in it.
    const QWidget* window = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    const QSize client = frame().clientSize();
    const QSize frameSize = window->size() - size(); // title bar and borders
    const QSize wanted = (m_content->sizeHint() + frameSize).boundedTo(client);
    place(std::max(0, (client.width() - wanted.width()) / 2),
          std::max(0, (client.height() - wanted.height()) / 2), wanted.width(), wanted.height());
}

// ---------------------------------------------------------------- closing

bool TfrmSetup::FormCloseQuery() {
    // An operation holds the link and the meter is mid-exchange: the window closes when it ends.
    if (m_running) {
        m_closeWhenDone = true;
        return false;
    }
    return true;
}

void TfrmSetup::FormClose() {
    // The poll may have been stopped by an operation of the dialog; it runs again from here.
    session().startPolling();
}

} // namespace thermo4::ui
