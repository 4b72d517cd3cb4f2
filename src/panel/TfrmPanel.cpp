#include "panel/TfrmPanel.h"

#include "app/TfrmMain.h"
#include "link/Clock.h"

#include <QAction>
#include <QLabel>
#include <QToolButton>

namespace thermo4::ui {

TfrmPanel::TfrmPanel(TfrmMain& main) : MdiChild(main) {
    setObjectName(QStringLiteral("frmPanel"));
    setWindowTitle(QStringLiteral("PANEL"));
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);

    QFont readingFont(QStringLiteral("Arial Black"));
    readingFont.setBold(true);
    readingFont.setPixelSize(34);
    static constexpr std::array<int, 4> kRowTop{136, 192, 249, 307};
    for (std::size_t channel = 0; channel < lblReading.size(); ++channel) {
        auto* label = new QLabel(QStringLiteral("T%1").arg(channel + 1), this);
        label->setGeometry(88, kRowTop[channel], 30, 52);
        lblReading[channel] = new QLabel(QStringLiteral("----"), this);
        lblReading[channel]->setObjectName(QStringLiteral("lblReadingT%1").arg(channel + 1));
        lblReading[channel]->setFont(readingFont);
        lblReading[channel]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        lblReading[channel]->setGeometry(114, kRowTop[channel], 140, 52);
    }

    lblNoConnection = new QLabel(QStringLiteral("No Connection"), this);
    lblNoConnection->setObjectName(QStringLiteral("lblNoConnection"));
    QFont warningFont = font();
    warningFont.setBold(true);
    lblNoConnection->setFont(warningFont);
    lblNoConnection->setStyleSheet(QStringLiteral("color: red"));
    lblNoConnection->move(87, 94);
    lblNoConnection->adjustSize();
    lblNoConnection->hide();

    ingBlutoothLink = new QLabel(QStringLiteral("\u21c4"), this);
    ingBlutoothLink->setObjectName(QStringLiteral("ingBlutoothLink"));
    ingBlutoothLink->move(68, 221);
    ingBlutoothLink->adjustSize();

    btnClose = new QToolButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setToolTip(QStringLiteral("Close PANEL"));
    btnClose->setText(QStringLiteral("\u2715"));
    btnClose->setGeometry(60, 445, 50, 51);
    btnClose->setCursor(Qt::PointingHandCursor);
    connect(btnClose, &QToolButton::clicked, this, &MdiChild::closeWindow);
}

void TfrmPanel::showEvent(QShowEvent* event) {
    MdiChild::showEvent(event);
    FormShow();
}

void TfrmPanel::FormShow() {
    for (auto& row : state().shownGlyph)
        row.fill(255);
}

void TfrmPanel::RefreshPanel(const core::MeterStatus& status) {
    for (std::size_t channel = 0; channel < lblReading.size(); ++channel) {
        lblReading[channel]->setText(core::ChannelDisplayText(status.channelState, static_cast<int>(channel),
                                                              status.reading[channel]));
    }
}

void TfrmPanel::Blink() {
    if (state().link.serialLink)
        ingBlutoothLink->setVisible(state().blinkPhase);
}

void TfrmPanel::FormActivate() {
    frmMain().btnOutputToGraph->setEnabled(false);
}

bool TfrmPanel::FormCloseQuery() {
    // The blink tick runs on this thread and never inside a close; the bounded wait is a guard.
    link::Clock& clock = frmMain().clock();
    const std::int64_t start = clock.tickMs();
    while (state().blinkBusy && clock.tickMs() - start <= TfrmMain::kPollWaitLimitMs)
        clock.delayWithMessages(10);
    return true;
}

void TfrmPanel::FormClose() {
    frmMain().ControlPanel1->setChecked(false);
}

} // namespace thermo4::ui
