#pragma once

#include <QDialog>

class QPushButton;

namespace thermo4::ui {

/// The File menu's choice between the data-set collection file and a single
/// graph or table file, for saving ("Save File") or opening ("Open File").
/// Modal, centred, on top; created for one command and freed after it.
class TfrmOpenSave : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Save, Open };
    /// What the user chose; the button that closes the dialog decides.
    enum class Choice { Collection, SingleFile, Cancel };

    /// decimalComma: the system's decimal separator is a comma, so no
    /// comma-separated file type is offered.
    TfrmOpenSave(Mode mode, bool decimalComma, QWidget* parent = nullptr);

    /// Runs the dialog modally and returns the choice (closing it cancels).
    Choice choose();

protected:
    void showEvent(QShowEvent* event) override;

private:
    friend struct WindowTestAccess;

public:

    /// Collection file (result OK), single file (result No), Cancel.
    QPushButton* btnOpenSets = nullptr;
    QPushButton* btnOpenSingleSet = nullptr;
    QPushButton* Button1 = nullptr;

    Choice m_choice = Choice::Cancel;
};

} // namespace thermo4::ui
