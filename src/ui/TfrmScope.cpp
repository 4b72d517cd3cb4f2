#include "ui/TfrmScope.h"

#include "ui/Prompts.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace thermo4::ui {

namespace {
template <typename W> W* hidden(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    widget->hide();
    return widget;
}
} // namespace

void CenterOnScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

TfrmScope::TfrmScope(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmScope"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    GroupBox1 = hidden(new QGroupBox(this), "GroupBox1");
    radAll = new QRadioButton(QStringLiteral("&All"), GroupBox1);
    radAll->setObjectName(QStringLiteral("radAll"));
    radAll->setChecked(true);
    radNo = new QRadioButton(QStringLiteral("&Select"), GroupBox1);
    radNo->setObjectName(QStringLiteral("radNo"));
    edtSelFrom = new QLineEdit(GroupBox1);
    edtSelFrom->setObjectName(QStringLiteral("edtSelFrom"));
    edtSelTo = new QLineEdit(GroupBox1);
    edtSelTo->setObjectName(QStringLiteral("edtSelTo"));
    auto* fromLabel = new QLabel(QStringLiteral("&from"), GroupBox1);
    fromLabel->setBuddy(edtSelFrom);
    auto* toLabel = new QLabel(QStringLiteral("&to"), GroupBox1);
    toLabel->setBuddy(edtSelTo);
    auto* range = new QGridLayout(GroupBox1);
    range->addWidget(radAll, 0, 0, 1, 5);
    range->addWidget(radNo, 1, 0);
    range->addWidget(fromLabel, 1, 1);
    range->addWidget(edtSelFrom, 1, 2);
    range->addWidget(toLabel, 1, 3);
    range->addWidget(edtSelTo, 1, 4);

    Progress1 = hidden(new QProgressBar(this), "Progress1");
    Progress1->setTextVisible(false);
    Progress1->setMinimumWidth(300);
    SText1 = hidden(new QLabel(this), "SText1");
    SText2 = hidden(new QLabel(this), "SText2");
    lblBytesReceived = hidden(new QLabel(this), "lblBytesReceived");
    lblTotalBytes = hidden(new QLabel(this), "lblTotalBytes");
    lblWaiting = hidden(new QLabel(this), "lblWaiting");
    lblBytesReceived->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTotalBytes->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* counters = new QGridLayout;
    counters->addWidget(lblBytesReceived, 0, 0);
    counters->addWidget(SText1, 0, 1);
    counters->addWidget(lblTotalBytes, 1, 0);
    counters->addWidget(SText2, 1, 1);
    counters->setColumnStretch(1, 1);

    BitBtn1 = hidden(new QPushButton(QStringLiteral("OK"), this), "BitBtn1");
    BitBtn2 = hidden(new QPushButton(QStringLiteral("Cancel"), this), "BitBtn2");
    connect(BitBtn1, &QPushButton::clicked, this, &TfrmScope::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrmScope::BitBtn2Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addWidget(Progress1);
    layout->addLayout(counters);
    layout->addWidget(lblWaiting);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmScope::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

std::optional<formats::ExportRange> TfrmScope::AskExportRange(QWidget* parent, int last, Prompts& prompts) {
    TfrmScope dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Save File"));
    dialog.setModal(true);
    dialog.GroupBox1->show();
    dialog.BitBtn1->show();
    dialog.BitBtn2->show();
    dialog.BitBtn1->setDefault(true);
    dialog.edtSelFrom->setText(QStringLiteral("1"));
    dialog.edtSelTo->setText(QString::number(last));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const auto range = formats::ResolveExportRange(dialog.radAll->isChecked(), dialog.edtSelFrom->text(),
                                                   dialog.edtSelTo->text(), last);
    if (!range)
        prompts.error(QLatin1String(formats::kInvalidIntegerMessage));
    return range;
}

void TfrmScope::showFileProgress(const QString& caption, const QString& text, int total) {
    setWindowTitle(caption);
    SText1->setText(text);
    SText1->show();
    Progress1->setVisible(total > 0);
    Progress1->setRange(0, std::max(total, 1));
    Progress1->setValue(0);
    BitBtn2->show();
    resetResult();
    // Input elsewhere waits until the command ends: the window being saved or
    // filled cannot be closed or saved again meanwhile.
    setWindowModality(Qt::ApplicationModal);
    show();
    m_sinceEvents.invalidate();
}

bool TfrmScope::lineDone(int count, bool showCount) {
    // Cancel pressed during a pass is seen on the next line, as a per-line check would see it.
    const bool cancelled = m_result == Result::Cancel;
    // The clock is read every 64 lines: a pass per line would cost more than the line.
    const bool due =
        !m_sinceEvents.isValid() || ((count & 63) == 0 && m_sinceEvents.elapsed() >= kEventIntervalMs);
    if (due) {
        if (showCount)
            SText1->setText(QString::number(count));
        if (Progress1->isVisible())
            Progress1->setValue(std::min(count, Progress1->maximum()));
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return !cancelled;
}

void TfrmScope::showProgress(const QString& caption, const QString& text, int total) {
    setWindowTitle(caption);
    SText1->setText(text);
    SText1->show();
    Progress1->show();
    Progress1->setRange(0, total);
    Progress1->setValue(0);
    show();
}

void TfrmScope::setProgress(int done) {
    Progress1->setValue(done);
}

void TfrmScope::showDownloadProgress(std::int32_t total) {
    setWindowTitle(QStringLiteral("Data Retriving Progress"));
    SText1->setText(QStringLiteral("bytes received"));
    SText2->setText(QStringLiteral("total bytes"));
    for (QWidget* w : {static_cast<QWidget*>(Progress1), static_cast<QWidget*>(lblTotalBytes),
                       static_cast<QWidget*>(lblBytesReceived), static_cast<QWidget*>(SText1),
                       static_cast<QWidget*>(SText2), static_cast<QWidget*>(BitBtn2)})
        w->show();
    setDownloadTotal(total);
    setModal(false);
    show();
}

void TfrmScope::setDownloadTotal(std::int32_t total) {
    // A range of 0..0 is a busy bar: the size comes with the first block.
    Progress1->setRange(0, total);
    Progress1->setValue(0);
    lblTotalBytes->setText(total > 0 ? QString::number(total) : QString());
    lblBytesReceived->setText(QStringLiteral("0"));
}

void TfrmScope::setReceived(std::int32_t received) {
    lblBytesReceived->setText(QString::number(received));
    Progress1->setValue(received);
}

void TfrmScope::showWaiting(const QString& text) {
    lblWaiting->setText(text);
    lblWaiting->show();
}

void TfrmScope::hideWaiting() {
    lblWaiting->hide();
}

void TfrmScope::disableCancel() {
    BitBtn2->setEnabled(false);
}

void TfrmScope::BitBtn1Click() {
    m_result = Result::Ok;
    if (isModal())
        accept();
}

void TfrmScope::BitBtn2Click() {
    // A running loop sees the result on its next pass; a modal use ends here.
    m_result = Result::Cancel;
    if (isModal())
        reject();
    emit cancelPressed();
}

} // namespace thermo4::ui
