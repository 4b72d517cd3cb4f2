#pragma once

#include "app/MdiChild.h"

class QTableWidget;

namespace thermo4::ui {

/// A table of readings opened from a text file: number, date, time, T1 to T4.
class TfrmList : public MdiChild {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;

    explicit TfrmList(TfrmMain& main);

    void FormActivate() override;

    QTableWidget* Grid1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
};

} // namespace thermo4::ui
