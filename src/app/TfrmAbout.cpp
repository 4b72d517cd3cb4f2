#include "app/TfrmAbout.h"

#include "app/CommandLine.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(QIcon(QStringLiteral(":/icons/thermo4.svg")).pixmap(64, 64));

    lblTitle = new QLabel(QString::fromLatin1(kTitle), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(QStringLiteral("Version:"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersionNumber = new QLabel(CommandLine::programVersion(), this);
    lblVersionNumber->setObjectName(QStringLiteral("lblVersionNumber"));

    auto* note = new QLabel(QStringLiteral("Live readings, real-time graphs and data-logger downloads\n"
                                           "for the four-channel thermocouple thermometer (T1 to T4)."),
                            this);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout;
    grid->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1, 1, 2);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblVersionNumber, 1, 2);
    grid->addWidget(note, 2, 1, 1, 2);
    grid->setColumnStretch(2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(btnOK, 0, Qt::AlignHCenter);
}

void TfrmAbout::showOkButton(bool shown) {
    btnOK->setVisible(shown);
}

void TfrmAbout::setTitle(const QString& title) {
    setWindowTitle(title);
    lblTitle->setText(title);
}

void TfrmAbout::showAsSplash() {
    btnOK->hide();
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    QCoreApplication::processEvents();
}

} // namespace thermo4::ui
