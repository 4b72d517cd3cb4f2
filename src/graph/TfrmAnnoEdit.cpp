#include "graph/TfrmAnnoEdit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmAnnoEdit::TfrmAnnoEdit(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAnnoEdit"));
    setWindowTitle(QString());
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(Edit1);
    top->addLayout(buttons);
    resize(kClientWidth, kClientHeight);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfrmAnnoEdit::text() const {
    return Edit1->text();
}

} // namespace thermo4::ui
