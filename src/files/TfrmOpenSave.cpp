#include "files/TfrmOpenSave.h"

#include "ui/TfrmScope.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace thermo4::ui {

TfrmOpenSave::TfrmOpenSave(Mode mode, bool decimalComma, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmOpenSave"));
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const bool saving = mode == Mode::Save;
    setWindowTitle(saving ? QStringLiteral("Save File") : QStringLiteral("Open File"));

    const QString sets = saving ? QStringLiteral("Save all data sets to a data set collection file(*.ch4)")
                                : QStringLiteral("Open a data set collection file(*.CH4)");
    QString single;
    if (saving)
        single = QStringLiteral("Save single selected  data set to a  file");
    else if (decimalComma)
        single = QStringLiteral("Open single data flle(*.TXT,*.GHF)");
    else
        single = QStringLiteral("Open single data file(*.TXT,*.CSV,*.GHF)");

    auto button = [this](const char* name, const QString& text, Choice choice) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, choice] {
            m_choice = choice;
            done(choice == Choice::Cancel ? QDialog::Rejected : QDialog::Accepted);
        });
        return b;
    };
    btnOpenSets = button("btnOpenSets", sets, Choice::Collection);
    btnOpenSingleSet = button("btnOpenSingleSet", single, Choice::SingleFile);
    Button1 = button("Button1", QStringLiteral("Cancel"), Choice::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(btnOpenSets);
    layout->addWidget(btnOpenSingleSet);
    layout->addWidget(Button1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TfrmOpenSave::Choice TfrmOpenSave::choose() {
    m_choice = Choice::Cancel;
    exec();
    return m_choice;
}

void TfrmOpenSave::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CenterOnScreen(this);
}

} // namespace thermo4::ui
