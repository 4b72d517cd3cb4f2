// The main window's commands (menu, tool bar) and how it follows the meter session.
#include "app/TfrmAbout.h"
#include "app/TfrmMain.h"
#include "app/TileLayout.h"
#include "files/FileCommands.h"
#include "files/PrintCommands.h"
#include "graph/RealTimeRecording.h"
#include "graph/TfrmGraph.h"
#include "logger/DataLogger.h"
#include "logger/TabularGraph.h"
#include "panel/TfrmPanel.h"
#include "setup/TfrmSetup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace thermo4::ui {

void TfrmMain::ControlPanel1Click() {
    if (m_panel)
        m_panel->restoreNormal();
    else
        OpenPanel();
    // The entry shows whether the panel exists; a click never just toggles it.
    ControlPanel1->setChecked(true);
}

void TfrmMain::RealTimeGraph1Click() {
    if (TfrmGraph* graph = TfrmGraph::realTimeWindow(*this))
        graph->restoreNormal();
    else
        OpenRealTimeGraph();
    RealTimeGraph1->setChecked(TfrmGraph::realTimeWindow(*this) != nullptr);
}

namespace {
/// The windows Tile and Cascade arrange (shown, not minimised, in creation order), brought back
/// from maximised, with their smallest useful sizes.
QList<QMdiSubWindow*> arrangedWindows(QMdiArea& area, QList<TileWindow>& tiles) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        const QWidget* content = window->widget();
        const bool fixed = content && content->minimumSize() == content->maximumSize();
        windows.append(window);
        tiles.append(
            {fixed ? window->size() : window->minimumSizeHint().expandedTo(window->minimumSize()), fixed});
    }
    return windows;
}
} // namespace

void TfrmMain::Tile1Click() {
    QList<TileWindow> tiles;
    const QList<QMdiSubWindow*> windows = arrangedWindows(*ClientArea, tiles);
    const QList<QRect> rects = TileRects(QRect(QPoint(0, 0), ClientArea->viewport()->size()), tiles);
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(rects[i]);
}

void TfrmMain::Cascade1Click() {
    QList<TileWindow> tiles;
    const QList<QMdiSubWindow*> windows = arrangedWindows(*ClientArea, tiles);
    // Each window one title bar lower and further right, so every caption stays in sight.
    const int step = ClientArea->style()->pixelMetric(QStyle::PM_TitleBarHeight) + kCascadeGap;
    const QList<QRect> rects = CascadeRects(QRect(QPoint(0, 0), ClientArea->viewport()->size()), tiles, step);
    for (qsizetype i = 0; i < windows.size(); ++i) {
        windows[i]->setGeometry(rects[i]);
        windows[i]->raise();
    }
}

void TfrmMain::Setup1Click() {
    if (m_setupDialog) {
        m_setupDialog->restoreNormal();
        return;
    }
    auto* dialog = new TfrmSetup(*this);
    addChild(dialog);
    m_setupDialog = dialog;
}

void TfrmMain::Contents1Click() {
    // A missing help file is not reported: the desktop's handler says so itself.
    const QUrl url = QUrl::fromLocalFile(m_services.paths.helpFile());
    if (m_services.openUrl)
        m_services.openUrl(url);
    else
        QDesktopServices::openUrl(url);
}

void TfrmMain::About1Click() {
    if (!m_aboutBox)
        m_aboutBox = new TfrmAbout(this);
    m_aboutBox->showOkButton(true);
    m_aboutBox->exec();
    // The box frees itself when it closes; a box still open here is destroyed now.
    delete m_aboutBox.data();
}

void TfrmMain::Open1Click() {
    OpenFileCommand(*this);
}

void TfrmMain::Save1Click() {
    SaveFileCommand(*this);
}

bool TfrmMain::saveActiveChild() {
    return SaveFileCommand(*this);
}

void TfrmMain::btnPrintClick() {
    PrintActiveChild(*this);
}

void TfrmMain::PrinterSetup1Click() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

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
    m_session->connectSerial(ComboBoxDeviceName->currentText());
}

void TfrmMain::BitBtn1Click() {
    QStringList ports;
    // The USB meters listed after the ports are not searched.
    for (int i = 0; i < ComboBoxDeviceName->count() && ComboBoxDeviceName->itemData(i).isNull(); ++i)
        ports.append(ComboBoxDeviceName->itemText(i));
    const QString shownBefore = ComboBoxDeviceName->currentText();
    // The about box is the search's progress window.
    auto* progress = new TfrmAbout;
    progress->setAttribute(Qt::WA_DeleteOnClose);
    progress->showOkButton(false);
    progress->show();
    progress->repaint();
    m_aboutBox = progress;
    m_session->searchSerial(ports, [this](int index, const QString& title) {
        ComboBoxDeviceName->setCurrentIndex(index);
        if (m_aboutBox) {
            m_aboutBox->setTitle(title);
        }
    });
    if (m_aboutBox)
        m_aboutBox->close();
    // The list names the live serial link's device (the one found, or the one taken up again
    // after a search that found nothing); otherwise what it named before the search.
    showDevice(m_session->serialLink() ? m_session->serialDevice() : shownBefore);
}

void TfrmMain::showDevice(const QString& device) {
    const int index = ComboBoxDeviceName->findText(device);
    if (index >= 0)
        ComboBoxDeviceName->setCurrentIndex(index);
    else
        ComboBoxDeviceName->setEditText(device);
}

void TfrmMain::BitBtn2Click() {
    m_session->disconnectSerial();
}

void TfrmMain::MainTimerTimer() {
    m_session->pollOnce();
}

void TfrmMain::MaxMinTimerTimer() {
    m_blinkPhase = !m_blinkPhase;
    if (m_panel)
        m_panel->Blink(m_blinkPhase);
}

void TfrmMain::connectionChanged(session::ConnectionChange change) {
    switch (change) {
    case session::ConnectionChange::Connected:
        OnConnection();
        break;
    case session::ConnectionChange::Lost:
        OffConnection();
        break;
    }
    showMeter();
}

void TfrmMain::OnConnection() {
    setStatusText(0, QString());
    setStatusText(1, QString::fromLatin1(kOnConnection));
    DataLogger1->menuAction()->setVisible(true);
    DataLogger1->menuAction()->setEnabled(true);
    btnDataLogger->setVisible(true);
    btnDataLogger->setEnabled(true);
    const bool recording = m_session->recording().recording();
    btnRun->setEnabled(!recording);
    if (!recording)
        Run1->setEnabled(true);
    btnStop->setEnabled(recording);
    Stop1->setEnabled(recording);
    if (m_recordOnConnect && !m_recordStarted) {
        m_recordStarted = true;
        RealTimeRecording::StartUnattended(*this);
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
    setStatusText(1, QString::fromLatin1(kNoConnection));
}

void TfrmMain::recordingChanged(bool recording) {
    if (recording) {
        btnRun->setEnabled(false);
        Run1->setEnabled(false);
        btnStop->setEnabled(true);
        Stop1->setEnabled(true);
    } else {
        btnRun->setEnabled(m_session->connected());
        Run1->setEnabled(m_session->connected());
        btnStop->setEnabled(false);
        Stop1->setEnabled(false);
    }
}

void TfrmMain::showNotice(const QString& notice) {
    StatusPanel0->setText(notice);
    StatusPanel0->setToolTip(notice);
    qWarning("%s", qPrintable(notice));
}

void TfrmMain::identifyFailed(int failures) {
    // Shown once per stretch without a meter; a later notice (journal, MQTT) replaces it. A meter
    // whose node cannot be opened has its own notice, which says more, so no hint then.
    if (failures != kHintAfterFailures || m_linkNoticeShown)
        return;
    const QString hint = QString::fromLatin1(kNoMeterHint);
    StatusPanel0->setText(hint);
    StatusPanel0->setToolTip(hint);
}

} // namespace thermo4::ui
