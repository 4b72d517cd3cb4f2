#include "logger/TfrmScope.h"

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
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmScope::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
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
}

} // namespace thermo4::ui
