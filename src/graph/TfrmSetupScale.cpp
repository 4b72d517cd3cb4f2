#include "graph/TfrmSetupScale.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmSetupScale::TfrmSetupScale(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSetupScale"));
    setWindowTitle(QLatin1String(kCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto* outer = new QGroupBox(QLatin1String(kCaption), this);
    auto* channels = new QHBoxLayout(outer);
    for (int k = 0; k < 4; ++k) {
        const QString channel = QStringLiteral("T%1").arg(k + 1);
        auto* box = new QGroupBox(channel, outer);
        auto* fields = new QGridLayout(box);
        auto* min = new QLineEdit(box);
        min->setObjectName(QStringLiteral("edt%1Min").arg(channel));
        auto* max = new QLineEdit(box);
        max->setObjectName(QStringLiteral("edt%1Max").arg(channel));
        fields->addWidget(new QLabel(QStringLiteral("MIN"), box), 0, 0);
        fields->addWidget(min, 0, 1);
        fields->addWidget(new QLabel(QStringLiteral("MAX"), box), 1, 0);
        fields->addWidget(max, 1, 1);
        edtMin[std::size_t(k)] = min;
        edtMax[std::size_t(k)] = max;
        channels->addWidget(box);
    }
    chkSave = new QCheckBox(QStringLiteral("Save this setting "), this);
    chkSave->setObjectName(QStringLiteral("chkSave"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkSave);
    bottom->addStretch();
    bottom->addWidget(btnOK);
    bottom->addWidget(btnCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(outer);
    top->addLayout(bottom);
    resize(kClientWidth, kClientHeight);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmSetupScale::keepInTemplate() const {
    return chkSave->isChecked();
}

void TfrmSetupScale::setRanges(const ScaleRanges& ranges) {
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        edtMin[k]->setText(QString::number(ranges[k].min));
        edtMax[k]->setText(QString::number(ranges[k].max));
    }
}

std::optional<int> TfrmSetupScale::parseInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

ScaleReading TfrmSetupScale::readRanges() const {
    ScaleReading reading;
    ScaleRanges ranges;
    bool allValid = true;
    const auto read = [&](const QLineEdit* field, int& into) {
        if (const auto value = parseInteger(field->text())) {
            into = *value;
        } else {
            allValid = false;
            reading.invalidText = field->text(); // a later failure replaces an earlier one
        }
    };
    for (std::size_t k = ranges.size(); k-- > 0;) {
        read(edtMax[k], ranges[k].max);
        read(edtMin[k], ranges[k].min);
    }
    if (allValid)
        reading.ranges = ranges;
    return reading;
}

} // namespace thermo4::ui
