#include "app/TfrmSetupAlarms.h"

#include "core/NumberText.h"
#include "ui/Prompts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include <cmath>

namespace thermo4::ui {

namespace {

double toShown(double celsius, bool fahrenheit) {
    return fahrenheit ? celsius * 9.0 / 5.0 + 32.0 : celsius;
}

double fromShown(double shown, bool fahrenheit) {
    return fahrenheit ? (shown - 32.0) * 5.0 / 9.0 : shown;
}

/// A number as typed: the locale's form, or with "." whatever the locale.
std::optional<double> parseNumber(const QString& text) {
    bool ok = false;
    double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok) {
        value = QLocale::c().toDouble(text.trimmed(), &ok);
    }
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

QString numberText(double value) {
    // Two decimals keep a limit entered in one unit when it is shown in the other.
    QString text = core::FixedText(value, 2, QLocale());
    const QChar point = QLocale().decimalPoint().at(0);
    while (text.endsWith(QLatin1Char('0')) && text.indexOf(point) < text.size() - 2) {
        text.chop(1);
    }
    return text;
}

} // namespace

TfrmSetupAlarms::TfrmSetupAlarms(const alarm::AlarmSettings& settings, bool sound, bool fahrenheit,
                                 Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_fahrenheit(fahrenheit) {
    setObjectName(QStringLiteral("frmSetupAlarms"));
    setWindowTitle(QStringLiteral("Alarms"));
    const QString unit = fahrenheit ? QStringLiteral("°F") : QStringLiteral("°C");

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Alarm on"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("High limit (%1)").arg(unit), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Low limit (%1)").arg(unit), this), 0, 3);
    for (int channel = 0; channel < 4; ++channel) {
        const auto c = std::size_t(channel);
        const QString name = QStringLiteral("T%1").arg(channel + 1);
        const alarm::ChannelLimits& limits = settings.channel[c];
        grid->addWidget(new QLabel(name, this), channel + 1, 0);
        chkOn[c] = new QCheckBox(this);
        chkOn[c]->setObjectName(QStringLiteral("chk%1On").arg(name));
        chkOn[c]->setAccessibleName(QStringLiteral("%1 alarm on").arg(name));
        chkOn[c]->setChecked(limits.enabled);
        edtHigh[c] = new QLineEdit(this);
        edtHigh[c]->setObjectName(QStringLiteral("edt%1High").arg(name));
        edtHigh[c]->setAccessibleName(QStringLiteral("%1 high limit").arg(name));
        edtLow[c] = new QLineEdit(this);
        edtLow[c]->setObjectName(QStringLiteral("edt%1Low").arg(name));
        edtLow[c]->setAccessibleName(QStringLiteral("%1 low limit").arg(name));
        if (limits.high) {
            edtHigh[c]->setText(numberText(toShown(*limits.high, fahrenheit)));
        }
        if (limits.low) {
            edtLow[c]->setText(numberText(toShown(*limits.low, fahrenheit)));
        }
        grid->addWidget(chkOn[c], channel + 1, 1, Qt::AlignCenter);
        grid->addWidget(edtHigh[c], channel + 1, 2);
        grid->addWidget(edtLow[c], channel + 1, 3);
    }
    edtHold = new QLineEdit(numberText(settings.holdSeconds), this);
    edtHold->setObjectName(QStringLiteral("edtHold"));
    edtHysteresis = new QLineEdit(numberText(settings.hysteresis * (fahrenheit ? 9.0 / 5.0 : 1.0)), this);
    edtHysteresis->setObjectName(QStringLiteral("edtHysteresis"));
    grid->addWidget(new QLabel(QStringLiteral("Hold time (s)"), this), 5, 0, 1, 2);
    grid->addWidget(edtHold, 5, 2);
    grid->addWidget(new QLabel(QStringLiteral("Hysteresis (%1)").arg(unit), this), 6, 0, 1, 2);
    grid->addWidget(edtHysteresis, 6, 2);
    chkSound = new QCheckBox(QStringLiteral("Sound at each alarm and its end"), this);
    chkSound->setObjectName(QStringLiteral("chkSound"));
    chkSound->setChecked(sound);
    grid->addWidget(chkSound, 7, 0, 1, 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmSetupAlarms::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfrmSetupAlarms::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

std::optional<alarm::AlarmSettings> TfrmSetupAlarms::enteredSettings() {
    alarm::AlarmSettings entered;
    const auto field = [this](QLineEdit* edit, std::optional<double>& out, bool& ok) {
        const QString text = edit->text();
        if (!ok || text.trimmed().isEmpty()) {
            return;
        }
        const auto value = parseNumber(text);
        if (!value) {
            m_prompts.warning(text + QStringLiteral(" is not valid.\n"));
            edit->setFocus();
            ok = false;
            return;
        }
        out = fromShown(*value, m_fahrenheit);
    };
    bool ok = true;
    for (std::size_t c = 0; c < 4 && ok; ++c) {
        alarm::ChannelLimits& limits = entered.channel[c];
        limits.enabled = chkOn[c]->isChecked();
        field(edtHigh[c], limits.high, ok);
        field(edtLow[c], limits.low, ok);
        if (ok && limits.high && limits.low && *limits.low >= *limits.high) {
            m_prompts.warning(
                QStringLiteral("The low limit of T%1 must be below its high limit.").arg(c + 1));
            edtLow[c]->setFocus();
            ok = false;
        }
    }
    for (const auto& [edit, out, scale] :
         {std::tuple{edtHold, &entered.holdSeconds, 1.0},
          std::tuple{edtHysteresis, &entered.hysteresis, m_fahrenheit ? 5.0 / 9.0 : 1.0}}) {
        if (!ok) {
            break;
        }
        const auto value = parseNumber(edit->text());
        if (!value || *value < 0.0) {
            m_prompts.warning(edit->text() + QStringLiteral(" is not valid.\n"));
            edit->setFocus();
            ok = false;
            break;
        }
        *out = *value * scale;
    }
    return ok ? std::optional(entered) : std::nullopt;
}

bool TfrmSetupAlarms::soundOn() const {
    return chkSound->isChecked();
}

void TfrmSetupAlarms::accept() {
    if (const auto entered = enteredSettings()) {
        m_entered = *entered;
        QDialog::accept();
    }
}

} // namespace thermo4::ui
