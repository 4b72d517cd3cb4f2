#include "graph/TfrmSetupRealTime.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace thermo4::ui {

QComboBox* TfrmSetupRealTime::createRateBox(QWidget* parent, const char* name, int index) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (int i = 0; i < kRateItems; ++i)
        box->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    box->setCurrentIndex(index);
    return box;
}

TfrmSetupRealTime::TfrmSetupRealTime(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetupRealTime"));
    setWindowTitle(QStringLiteral("Real-Time Setup"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    edtRealTimeNo = new QLineEdit(QString::fromLatin1(kInitialCount), this);
    edtRealTimeNo->setObjectName(QStringLiteral("edtRealTimeNo"));
    edtRealTimeNo->setMaxLength(5);
    edtRealTimeNo->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]{0,5}")), edtRealTimeNo));
    ComboBox1 = createRateBox(this, "ComboBox1", 0);
    ComboBox2 = createRateBox(this, "ComboBox2", 2);
    edtPeriod = new QLineEdit(this);
    edtPeriod->setObjectName(QStringLiteral("edtPeriod"));
    edtPeriod->setReadOnly(true);
    btnOpenSingleSet = new QPushButton(QStringLiteral("Start"), this);
    btnOpenSingleSet->setObjectName(QStringLiteral("btnOpenSingleSet"));
    btnOpenSingleSet->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Real-Time data no to be recorded\n"
                                              "(Adjust the number to meet your need)"),
                               this),
                    0, 0);
    grid->addWidget(edtRealTimeNo, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Real -Time Sampling Rate"), this), 1, 0);
    auto* rate = new QHBoxLayout;
    rate->addWidget(ComboBox1);
    rate->addWidget(ComboBox2);
    rate->addWidget(new QLabel(QStringLiteral("mm:ss"), this));
    grid->addLayout(rate, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Recording Period"), this), 2, 0);
    auto* period = new QHBoxLayout;
    period->addWidget(edtPeriod);
    period->addWidget(new QLabel(QStringLiteral("HH:MM:SS"), this));
    grid->addLayout(period, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOpenSingleSet);
    buttons->addWidget(Button1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    resize(kClientWidth, kClientHeight);

    connect(btnOpenSingleSet, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ComboBox1, &QComboBox::activated, this, &TfrmSetupRealTime::ComboBox1Change);
    connect(ComboBox2, &QComboBox::activated, this, &TfrmSetupRealTime::ComboBox1Change);
}

QString TfrmSetupRealTime::periodText(qint64 seconds, bool padded) {
    const int width = padded ? 2 : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds % 3600 / 60, width, 10, QLatin1Char('0'))
        .arg(seconds % 60, width, 10, QLatin1Char('0'));
}

RateIndexes TfrmSetupRealTime::rateIndexes() const {
    return {ComboBox1->currentIndex(), ComboBox2->currentIndex()};
}

void TfrmSetupRealTime::setRateIndexes(RateIndexes indexes) {
    ComboBox1->setCurrentIndex(indexes.minutes);
    ComboBox2->setCurrentIndex(indexes.seconds);
}

void TfrmSetupRealTime::showPeriod(qint64 seconds) {
    edtPeriod->setText(periodText(seconds, false));
}

QString TfrmSetupRealTime::countText() const {
    return edtRealTimeNo->text();
}

void TfrmSetupRealTime::ComboBox1Change() {
    if (ComboBox1->currentIndex() == 0 && ComboBox2->currentIndex() == 0) {
        ComboBox1->setCurrentIndex(0);
        ComboBox2->setCurrentIndex(2);
    }
    bool ok = false;
    const qint64 count = edtRealTimeNo->text().trimmed().toLongLong(&ok);
    const qint64 rate = qint64(ComboBox1->currentIndex()) * 60 + ComboBox2->currentIndex();
    edtPeriod->setText(periodText((ok ? count : 0) * rate, true));
}

} // namespace thermo4::ui
